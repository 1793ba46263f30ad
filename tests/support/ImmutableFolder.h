#pragma once

#include <QProcess>
#include <QString>

namespace kx::test {

// A folder into which nothing can be written while this lives, not even by
// root (the tests run as root in CI, for whom permission bits mean nothing):
// the file system's immutable attribute (chattr +i), taken off again at the
// end so that the folder can be removed.
class ImmutableFolder
{
public:
    explicit ImmutableFolder(QString path) : m_path(std::move(path)) { m_set = run("+i"); }
    ~ImmutableFolder()
    {
        if (m_set)
            run("-i");
    }
    ImmutableFolder(const ImmutableFolder &) = delete;
    ImmutableFolder &operator=(const ImmutableFolder &) = delete;

    bool isSet() const { return m_set; }
    // Why the attribute could not be set.
    const QString &error() const { return m_error; }

private:
    bool run(const char *flag)
    {
        QProcess chattr;
        chattr.start(QStringLiteral("chattr"), {QLatin1String(flag), m_path});
        if (!chattr.waitForFinished() || chattr.exitStatus() != QProcess::NormalExit || chattr.exitCode() != 0) {
            m_error = QStringLiteral("chattr %1 %2: %3%4")
                          .arg(QLatin1String(flag), m_path, chattr.errorString(),
                               QString::fromLocal8Bit(chattr.readAllStandardError()));
            return false;
        }
        return true;
    }

    QString m_path;
    QString m_error;
    bool m_set = false;
};

} // namespace kx::test
