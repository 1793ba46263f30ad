#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class QSqlDatabase;
struct sqlite3;

namespace kx::store {

// The collation by which statements compare and order text without regard to
// letter case, Cyrillic as well as Latin ("ORDER BY Routes.Name COLLATE
// KALYX_NOCASE", "WHERE Punkts.ID = ? COLLATE KALYX_NOCASE").
inline constexpr char kCollation[] = "KALYX_NOCASE";

// The function by which statements find a waypoint by a word of its name:
// KALYX_HASWORD(name, text) is 1 when a word of name begins with text, letter
// case ignored, Cyrillic included (NameWords.h), else 0.
inline constexpr char kHasWord[] = "KALYX_HASWORD";

// Registers the collation and the function on an open connection; false when
// the driver does not give access to its SQLite handle.
[[nodiscard]] bool registerCollation(QSqlDatabase &db);

// The SQLite handle under a Qt connection; null when the driver is not SQLite.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// The collation's comparison of two UTF-8 texts: <0, 0 or >0.
int compareNoCase(const char *a, int aLength, const char *b, int bLength);

// The schema names no collation of the program's own, so an index can serve a
// comparison under KALYX_NOCASE only through SQLite's own NOCASE (which folds
// ASCII letters alone). This gives a condition on column that such an index
// answers and that every text equal to text under KALYX_NOCASE meets: the
// texts NOCASE takes as equal to one of text's spellings in other letter case
// (Cyrillic ones included), or, when it has too many of them, those beginning
// with a spelling of its first letters. The caller still compares with
// KALYX_NOCASE; this only narrows the rows. Its values are appended to *values.
QString noCaseIndexCondition(const QString &column, const QString &text, QVariantList *values);
// The spellings of text that an index with SQLite's NOCASE tells apart and
// that KALYX_NOCASE takes as equal to it ("k" and the Kelvin sign "K"), for
// look-ups of many texts in one "column COLLATE NOCASE IN (...)"; empty when
// there are more than a few, and noCaseIndexCondition narrows by ranges.
QStringList noCaseSpellings(const QString &text);

// As noCaseIndexCondition, for the texts that begin with text: ranges of an
// index with SQLite's NOCASE for each spelling of text's first letters, which
// hold every text that begins with text under KALYX_NOCASE and possibly more.
QString noCasePrefixCondition(const QString &column, const QString &text, QVariantList *values);

} // namespace kx::store
