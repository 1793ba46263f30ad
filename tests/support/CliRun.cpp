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
#ifdef Q_OS_WIN
    // A Windows console program ends its lines with CR LF.
    result.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return result;
}

} // namespace kx::test
