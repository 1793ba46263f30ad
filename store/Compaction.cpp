#include "Compaction.h"

#include "Database.h"
#include "Schema.h"
#include "SqlText.h"

#include "base/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlQuery>
#include <QtEndian>

#include <algorithm>

#include <filesystem>

namespace kx::store {
namespace {

using RowCounts = QMap<QString, qint64>;

bool countRows(Database &db, RowCounts *counts)
{
    QSqlQuery q(db.sql());
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")))
        return false;
    QStringList tables;
    while (q.next())
        tables.append(q.value(0).toString());
    q.finish();
    for (const QString &table : std::as_const(tables)) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdentifier(table))) || !q.next())
            return false;
        counts->insert(table, q.value(0).toLongLong());
        q.finish();
    }
    return true;
}

bool flushToDisk(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && platform::flushToDisk(file.handle());
}

bool vacuumInto(const QString &databasePath, const QString &scratchPath, RowCounts *counts)
{
    Database source(QStringLiteral("kalyx-compaction-source"));
    if (!source.open(databasePath) || !countRows(source, counts))
        return false;
    // A file of a newer schema than this program knows is left exactly as it is.
    const int version = schemaVersion(source);
    if (version < 0 || version > kSchemaVersion)
        return false;
    QSqlQuery q(source.sql());
    if (!q.prepare(QStringLiteral("VACUUM INTO ?")))
        return false;
    q.addBindValue(scratchPath);
    const bool ok = q.exec();
    q.finish();
    // Leaving here closes the last connection, which checkpoints the write-ahead
    // log into the database file and removes it.
    return ok;
}

bool checkCopy(const QString &scratchPath, const RowCounts &expected)
{
    if (!Database::looksLikeDatabase(scratchPath))
        return false;
    Database copy(QStringLiteral("kalyx-compaction-copy"));
    RowCounts counts;
    return copy.open(scratchPath) && countRows(copy, &counts) && counts == expected;
}

bool removeIfExists(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

} // namespace

bool isWorthCompacting(const QString &databasePath)
{
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16)))
        return false;
    const auto *h = reinterpret_cast<const uchar *>(header.constData());
    // The page count and the free-list's length in the header (offsets 28 and
    // 36); the count is the file's size in pages where the header's own is stale.
    quint32 pageSize = qFromBigEndian<quint16>(h + 16);
    if (pageSize == 1)
        pageSize = 65536;
    const bool countValid = qFromBigEndian<quint32>(h + 92) == qFromBigEndian<quint32>(h + 24);
    const qint64 pages = countValid && qFromBigEndian<quint32>(h + 28) > 0 ? qFromBigEndian<quint32>(h + 28)
                                                                           : file.size() / std::max<quint32>(pageSize, 512);
    const qint64 free = qFromBigEndian<quint32>(h + 36);
    return pages > 0 && free * 8 >= pages;
}

bool removeScratchCopy(const QString &scratchPath)
{
    return removeIfExists(scratchPath);
}

bool compactDatabase(const QString &databasePath, const QString &scratchPath,
                     const std::function<void(const QString &copy)> &afterCopy)
{
    if (!removeIfExists(scratchPath) || !QFileInfo(databasePath).isFile())
        return false;
    RowCounts counts;
    const bool copied = vacuumInto(databasePath, scratchPath, &counts);
    if (copied && afterCopy)
        afterCopy(scratchPath);
    // A write-ahead log still there belongs to some other connection: its
    // changes are not in the copy, so the copy must not replace the database.
    const QFileInfo wal(databasePath + QStringLiteral("-wal"));
    // The copy takes the original's access rights (and owner where the process
    // may set it) before it takes its name: whoever could use the database can
    // use it after the compaction, and nobody else.
    const bool ok = copied && !(wal.exists() && wal.size() > 0) && checkCopy(scratchPath, counts)
        && flushToDisk(scratchPath) && platform::copyFileAccess(databasePath, scratchPath);
    // The check's connections are closed here, before anything is renamed.
    if (ok) {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(scratchPath.toStdU16String()),
                                std::filesystem::path(databasePath.toStdU16String()), error);
        if (!error)
            return true;
    }
    removeIfExists(scratchPath);
    return false;
}

} // namespace kx::store
