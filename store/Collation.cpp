#include "Collation.h"

#include "NameWords.h"
#include "TextKey.h"

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

// The next code point of UTF-8 text at *i, moving past it; -1 where the text
// is not well-formed UTF-8.
qint32 decodeUtf8(const unsigned char *s, int n, int *i)
{
    const unsigned char lead = s[*i];
    if (lead < 0x80) {
        ++*i;
        return lead;
    }
    int length = 0;
    quint32 c = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
    } else {
        return -1;
    }
    if (*i + length > n)
        return -1;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = s[*i + k];
        if ((next & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (next & 0x3F);
    }
    const quint32 least = length == 2 ? 0x80 : (length == 3 ? 0x800 : 0x10000);
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return -1;
    *i += length;
    return static_cast<qint32>(c);
}

// A code point's place in UTF-16 order, which Qt's comparison follows: the
// characters beyond U+FFFF are written with surrogates, which come before
// U+E000.
quint32 utf16Order(char32_t c)
{
    if (c < 0xD800)
        return c;
    if (c >= 0x10000)
        return 0xD800 + (c - 0x10000);
    return c + 0x110000;
}

// Texts that are not well-formed UTF-8 compare as Qt reads them.
int compareDecoded(const char *a, int aLength, const char *b, int bLength)
{
    return QString::compare(QString::fromUtf8(a, aLength), QString::fromUtf8(b, bLength), Qt::CaseInsensitive);
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

} // namespace

namespace {

// The spellings of text in other letter case that NOCASE tells apart: of all
// of it when they are few (whole), else of as many leading characters as give
// few enough.
struct Spellings
{
    QStringList texts;
    bool whole = true;
};

Spellings spellingsOfLeading(const QString &text)
{
    const QList<uint> codePoints = text.toUcs4();
    std::vector<QList<char32_t>> spellings;
    spellings.reserve(static_cast<size_t>(codePoints.size()));
    qsizetype combinations = 1;
    for (const uint c : codePoints) {
        spellings.push_back(spellingsOf(c));
        combinations = std::min<qsizetype>(combinations * spellings.back().size(), kMaxSpellings + 1);
    }
    qsizetype prefixLength = codePoints.size();
    if (combinations > kMaxSpellings) {
        prefixLength = 0;
        combinations = 1;
        while (prefixLength < codePoints.size()
               && combinations * spellings[static_cast<size_t>(prefixLength)].size() <= kMaxSpellings)
            combinations *= spellings[static_cast<size_t>(prefixLength++)].size();
    }
    std::vector<QList<char32_t>> prefixes{{}};
    for (qsizetype i = 0; i < prefixLength; ++i) {
        std::vector<QList<char32_t>> longer;
        for (const QList<char32_t> &p : prefixes)
            for (const char32_t c : spellings[static_cast<size_t>(i)])
                longer.push_back(p + QList<char32_t>{c});
        prefixes = std::move(longer);
    }
    Spellings out;
    out.whole = prefixLength == codePoints.size();
    for (const QList<char32_t> &p : prefixes) {
        QString spelled;
        for (const char32_t c : p)
            appendCodePoint(spelled, c);
        out.texts.append(spelled);
    }
    return out;
}

// The texts of column, in NOCASE order, that begin with one of prefixes.
QString prefixRanges(const QString &column, const QStringList &prefixes, QVariantList *values)
{
    QStringList terms;
    for (const QString &spelled : prefixes) {
        const QString past = pastPrefix(spelled);
        values->append(spelled);
        if (past.isEmpty()) {
            terms.append(QStringLiteral("%1 >= ? COLLATE NOCASE").arg(column));
        } else {
            terms.append(QStringLiteral("(%1 >= ? COLLATE NOCASE AND %1 < ? COLLATE NOCASE)").arg(column));
            values->append(past);
        }
    }
    return u'(' + terms.join(QStringLiteral(" OR ")) + u')';
}

} // namespace

QString noCaseIndexCondition(const QString &column, const QString &text, QVariantList *values)
{
    const Spellings spellings = spellingsOfLeading(text);
    if (!spellings.whole)
        return prefixRanges(column, spellings.texts, values);
    for (const QString &spelled : spellings.texts)
        values->append(spelled);
    return QStringLiteral("%1 COLLATE NOCASE IN (%2)")
        .arg(column, QStringList(spellings.texts.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QString noCasePrefixCondition(const QString &column, const QString &text, QVariantList *values)
{
    if (text.isEmpty())
        return QStringLiteral("1");
    return prefixRanges(column, spellingsOfLeading(text).texts, values);
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
    // The same bytes are the same letters: names in a list often begin alike
    // ("Москва - Сочи 2", "Москва - Сочи 3"), and need not be read there. The
    // comparison starts at the first byte of the letter they differ in.
    const auto *ua = reinterpret_cast<const unsigned char *>(a);
    const auto *ub = reinterpret_cast<const unsigned char *>(b);
    const int shorter = std::min(aLength, bLength);
    int same = 0;
    while (same < shorter && ua[same] == ub[same])
        ++same;
    const auto continues = [&](int k) {
        const unsigned char c = k < aLength ? ua[k] : (k < bLength ? ub[k] : 0);
        return (c & 0xC0) == 0x80;
    };
    while (same > 0 && continues(same))
        --same;

    // Identifiers and coordinates are ASCII: compare them without decoding.
    if (isAscii(a + same, aLength - same) && isAscii(b + same, bLength - same)) {
        for (int i = same; i < shorter; ++i) {
            const unsigned char ca = asciiFold(ua[i]);
            const unsigned char cb = asciiFold(ub[i]);
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
    }
    // Others letter by letter as they are decoded, without a copy of either:
    // sorting a list of Russian names compares them many times over.
    int i = same;
    int j = same;
    while (i < aLength && j < bLength) {
        const qint32 ca = decodeUtf8(ua, aLength, &i);
        const qint32 cb = decodeUtf8(ub, bLength, &j);
        if (ca < 0 || cb < 0)
            return compareDecoded(a, aLength, b, bLength);
        const quint32 ka = utf16Order(QChar::toCaseFolded(static_cast<char32_t>(ca)));
        const quint32 kb = utf16Order(QChar::toCaseFolded(static_cast<char32_t>(cb)));
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (i < aLength)
        return 1;
    return j < bLength ? -1 : 0;
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

namespace {

// KALYX_HASWORD(name, text).
void hasWord(sqlite3_context *context, int, sqlite3_value **arguments)
{
    const auto text = [](sqlite3_value *v) {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(v));
        return bytes ? QString::fromUtf8(bytes, sqlite3_value_bytes(v)) : QString();
    };
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    sqlite3_result_int(context, hasWordStartingWith(text(arguments[0]), text(arguments[1])) ? 1 : 0);
}

} // namespace

bool registerCollation(QSqlDatabase &db)
{
    sqlite3 *sqlite = sqliteHandle(db);
    if (!sqlite)
        return false;
    return sqlite3_create_collation(sqlite, kCollation, SQLITE_UTF8, nullptr, &collate) == SQLITE_OK
        && sqlite3_create_function(sqlite, kHasWord, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &hasWord, nullptr,
                                   nullptr)
        == SQLITE_OK;
}

} // namespace kx::store
