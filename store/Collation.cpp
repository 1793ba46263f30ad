#include "Collation.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace kx::store {
namespace {

bool isAscii(const char *s, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

unsigned char asciiFold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

int collate(void *, int aLength, const void *a, int bLength, const void *b)
{
    return compareNoCase(static_cast<const char *>(a), aLength, static_cast<const char *>(b), bLength);
}

} // namespace

int compareNoCase(const char *a, int aLength, const char *b, int bLength)
{
    // Identifiers and coordinates are ASCII: compare them without decoding.
    if (isAscii(a, aLength) && isAscii(b, bLength)) {
        const int n = std::min(aLength, bLength);
        for (int i = 0; i < n; ++i) {
            const unsigned char ca = asciiFold(static_cast<unsigned char>(a[i]));
            const unsigned char cb = asciiFold(static_cast<unsigned char>(b[i]));
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
    }
    const QString sa = QString::fromUtf8(a, aLength);
    const QString sb = QString::fromUtf8(b, bLength);
    return QString::compare(sa, sb, Qt::CaseInsensitive);
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

bool registerCollation(QSqlDatabase &db)
{
    sqlite3 *sqlite = sqliteHandle(db);
    if (!sqlite)
        return false;
    return sqlite3_create_collation(sqlite, kCollation, SQLITE_UTF8, nullptr, &collate) == SQLITE_OK;
}

} // namespace kx::store
