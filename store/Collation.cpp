#include "Collation.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <QHash>
#include <QList>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

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

// Beyond this many spellings a look-up narrows by the leading letters only,
// spelt in at most as many ways.
constexpr qsizetype kMaxSpellings = 16;

// Every character by the fold it shares with others: Qt's case-insensitive
// comparison, which the collation uses for non-ASCII text, takes two
// characters as equal exactly when their simple case folds are equal.
const QHash<char32_t, QList<char32_t>> &foldClasses()
{
    static const QHash<char32_t, QList<char32_t>> classes = [] {
        QHash<char32_t, QList<char32_t>> out;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const char32_t fold = QChar::toCaseFolded(c);
            if (fold != c)
                out[fold].append(c);
        }
        for (auto it = out.begin(); it != out.end(); ++it)
            if (QChar::toCaseFolded(it.key()) == it.key())
                it.value().append(it.key());
        return out;
    }();
    return classes;
}

// The characters the collation takes as equal to c, one of each that SQLite's
// NOCASE tells apart (ASCII letters as their small letter).
QList<char32_t> spellingsOf(char32_t c)
{
    const auto toNoCaseKey = [](char32_t d) { return d < 0x80 ? char32_t(asciiFold(static_cast<unsigned char>(d))) : d; };
    const QList<char32_t> members = foldClasses().value(QChar::toCaseFolded(c), {c});
    QList<char32_t> out;
    for (const char32_t d : members) {
        const char32_t key = toNoCaseKey(d);
        if (!out.contains(key))
            out.append(key);
    }
    return out;
}

void appendCodePoint(QString &text, char32_t c)
{
    text.append(QString::fromUcs4(&c, 1));
}

// The smallest text above every text that begins with prefix, in NOCASE order
// (its last character raised by one); empty when there is none.
QString pastPrefix(const QList<char32_t> &prefix)
{
    if (prefix.isEmpty())
        return {};
    QList<char32_t> bound = prefix;
    char32_t &last = bound.last();
    if (last >= 0x10FFFF)
        return {};
    last = last + 1 == 0xD800 ? 0xE000 : last + 1;
    QString text;
    for (const char32_t c : std::as_const(bound))
        appendCodePoint(text, c);
    return text;
}

} // namespace

QString noCaseIndexCondition(const QString &column, const QString &text, QVariantList *values)
{
    const QList<uint> codePoints = text.toUcs4();
    std::vector<QList<char32_t>> spellings;
    spellings.reserve(static_cast<size_t>(codePoints.size()));
    qsizetype combinations = 1;
    for (const uint c : codePoints) {
        spellings.push_back(spellingsOf(c));
        combinations = std::min<qsizetype>(combinations * spellings.back().size(), kMaxSpellings + 1);
    }
    // All of the text when its spellings are few, else the leading characters
    // whose spellings make few enough ranges.
    qsizetype prefixLength = codePoints.size();
    if (combinations > kMaxSpellings) {
        prefixLength = 0;
        combinations = 1;
        while (prefixLength < codePoints.size()
               && combinations * spellings[static_cast<size_t>(prefixLength)].size() <= kMaxSpellings)
            combinations *= spellings[static_cast<size_t>(prefixLength++)].size();
    }
    // Every spelling of the leading prefixLength characters.
    std::vector<QList<char32_t>> prefixes{{}};
    for (qsizetype i = 0; i < prefixLength; ++i) {
        std::vector<QList<char32_t>> longer;
        for (const QList<char32_t> &p : prefixes)
            for (const char32_t c : spellings[static_cast<size_t>(i)])
                longer.push_back(p + QList<char32_t>{c});
        prefixes = std::move(longer);
    }

    const bool whole = prefixLength == codePoints.size();
    QStringList terms;
    for (const QList<char32_t> &p : prefixes) {
        QString spelled;
        for (const char32_t c : p)
            appendCodePoint(spelled, c);
        if (whole) {
            terms.append(QStringLiteral("?"));
            values->append(spelled);
            continue;
        }
        const QString past = pastPrefix(p);
        values->append(spelled);
        if (past.isEmpty()) {
            terms.append(QStringLiteral("%1 >= ? COLLATE NOCASE").arg(column));
        } else {
            terms.append(QStringLiteral("(%1 >= ? COLLATE NOCASE AND %1 < ? COLLATE NOCASE)").arg(column));
            values->append(past);
        }
    }
    if (whole)
        return QStringLiteral("%1 COLLATE NOCASE IN (%2)").arg(column, terms.join(QStringLiteral(", ")));
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

QStringList noCaseSpellings(const QString &text)
{
    QStringList spellings{QString()};
    for (const uint c : text.toUcs4()) {
        const QList<char32_t> options = spellingsOf(c);
        if (spellings.size() * options.size() > kMaxSpellings)
            return {};
        QStringList longer;
        longer.reserve(spellings.size() * options.size());
        for (const QString &spelled : std::as_const(spellings))
            for (const char32_t option : options) {
                QString next = spelled;
                appendCodePoint(next, option);
                longer.append(next);
            }
        spellings = std::move(longer);
    }
    return spellings;
}

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
