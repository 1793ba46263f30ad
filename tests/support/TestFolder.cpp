#include "TestFolder.h"

#include "base/Cp1251.h"
#include "store/Database.h"
#include "store/Script.h"
#include "tools/mkdb/DbBuild.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kx::test {

bool writeMagdec(const QString &path, const MagdecEntry &entry, bool withTail)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray bytes(136, '\0');
    bytes.reserve(136 + 360 * 181 * 2 + 12);
    for (int column = 0; column < 360; ++column)
        for (int row = 0; row <= 180; ++row) {
            char le[2];
            qToLittleEndian<qint16>(entry(column, row), le);
            bytes.append(le, 2);
        }
    if (withTail)
        bytes.append(QByteArray(12, '\0'));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TestFolder::TestFolder() = default;

QString TestFolder::path() const
{
    return m_dir.path() + u'/';
}

bool TestFolder::createDatabase()
{
    QString error;
    const bool ok = dbbuild::createDatabase(file(QStringLiteral("kalyxdb.kdb")), &error);
    if (!ok)
        qWarning("createDatabase: %s", qPrintable(error));
    return ok;
}

double TestFolder::variationAt(int latitudeNorth, int longitudeEast)
{
    return (3 * latitudeNorth - longitudeEast) / 10.0;
}

bool TestFolder::createFirstSchemaDatabase()
{
    return createOlderSchemaDatabase(QStringLiteral("schema-0.sql"));
}

bool TestFolder::createSecondSchemaDatabase()
{
    return createOlderSchemaDatabase(QStringLiteral("schema-1.sql"));
}

bool TestFolder::createOlderSchemaDatabase(const QString &schemaFile)
{
    QFile schema(QStringLiteral(KX_SOURCE_DIR "/tests/store/data/") + schemaFile);
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    const QString path = file(QStringLiteral("kalyxdb.kdb"));
    if (QFileInfo::exists(path))
        return false;
    QString error;
    bool ok = false;
    {
        store::Database db(QStringLiteral("kalyx-first-schema"));
        ok = db.create(path) && store::runScript(db, QString::fromUtf8(schema.readAll()), &error);
        if (error.isEmpty())
            error = db.lastError();
    }
    if (!ok)
        qWarning("%s: %s", qPrintable(schemaFile), qPrintable(error));
    return ok;
}

bool TestFolder::createSimulator(const MagdecEntry &entry)
{
    // Column: degrees east; row: degrees from the south pole. A table unit is
    // 360/65536 degrees, near enough for every value to read back exactly.
    const MagdecEntry varying = [](int column, int row) -> qint16 {
        return static_cast<qint16>(std::lround(variationAt(row - 90, column) * 65536 / 360));
    };
    if (!writeMagdec(magdecPath(), entry ? entry : varying))
        return false;
    QDir().mkpath(fsPath() + QStringLiteral("Gauges/Tu154_cfg"));
    QDir().mkpath(fsPath() + QStringLiteral("Gauges/i21_cfg"));
    QFile gauge(fsPath() + QStringLiteral("Gauges/i21_cfg/I21_PPM.CFG"));
    return gauge.open(QIODevice::WriteOnly) && gauge.write("[config]\r\nversion=1\r\n[ppm]\r\nppm_01=55*58.33,037*24.87\r\n") > 0;
}

bool TestFolder::writeIni(const QString &text)
{
    QFile ini(file(QStringLiteral("kalyx.ini")));
    const QByteArray bytes = toCp1251(text);
    return ini.open(QIODevice::WriteOnly) && ini.write(bytes) == bytes.size();
}

bool TestFolder::writeDefaultIni(int rsbnRange)
{
    return writeIni(QStringLiteral("[SETUP]\r\nFSPath=%1\r\nPLNPath=\r\nL_RSBN=%2\r\n").arg(fsPath()).arg(rsbnRange));
}

QString TestFolder::readIni() const
{
    QFile ini(file(QStringLiteral("kalyx.ini")));
    if (!ini.open(QIODevice::ReadOnly))
        return {};
    return fromCp1251(ini.readAll());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool setFolderWritable(const QString &path, bool writable, QString *why)
{
#ifdef Q_OS_LINUX
    if (geteuid() == 0) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = writable ? flags & ~FS_IMMUTABLE_FL : flags | FS_IMMUTABLE_FL;
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (!ok && why)
            *why = QStringLiteral("%1: no immutable attribute (%2)").arg(path, QString::fromLocal8Bit(strerror(error)));
        return ok;
    }
#endif
    const QFile::Permissions permissions =
        writable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner : QFile::ReadOwner | QFile::ExeOwner;
    if (QFile::setPermissions(path, permissions))
        return true;
    if (why)
        *why = QStringLiteral("%1: permissions not changed").arg(path);
    return false;
}

} // namespace kx::test
