#include "CliRun.h"

#include <QProcess>

namespace kx::test {

CliRun runCli(const QString &program, const QString &folder, const QStringList &args)
{
    QProcess process;
    process.start(program, QStringList{QStringLiteral("--dir"), folder} + args);
    CliRun result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace kx::test
