#pragma once

#include "base/FileLock.h"

#include <QString>

namespace kx::shell {

// Whether another window copy of the program runs on the same program folder.
// Every window copy holds a shared lock on kalyx.lock in the program folder
// for its whole run (the command line does not: it only reads the settings);
// a copy that can have the exclusive lock for a moment is the only one. The
// system drops the lock of a copy that ends however it ends.
class WindowCopies
{
public:
    explicit WindowCopies(const QString &programFolder);

    // True when another window copy holds the folder. Either way this copy
    // holds it from now on. A folder that cannot be written (where no settings
    // can be lost) tells nothing and reads as false.
    bool anotherRunning();

private:
    QString m_folder;
    FileLock m_lock;
};

} // namespace kx::shell
