#pragma once

#include "shell/core/Startup.h"

#include <QStringList>

namespace kx::test {

// Answers the simulator folder chooser from a list of folders, in order; an
// empty entry, or none left, is "Отмена". Records where it was opened.
class ScriptedChooser : public shell::FolderChooser
{
public:
    QStringList answers;
    QStringList shownAt;
    QString choose(const QString &current) override
    {
        shownAt.append(current);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

} // namespace kx::test
