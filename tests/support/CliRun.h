#pragma once

#include <QString>
#include <QStringList>

namespace kx::test {

// One run of the command-line tool as a process.
struct CliRun
{
    int exitCode = -1; // -1: it did not finish normally
    QString out;
    QString err;
};

// Runs program --dir folder args... and waits for it (at most a minute). Lines
// end in "\n" on every system.
CliRun runCli(const QString &program, const QString &folder, const QStringList &args);

} // namespace kx::test
