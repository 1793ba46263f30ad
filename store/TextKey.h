#pragma once

#include <QString>

namespace kx::store {

// A text's sort key: the text with its capital letters made small, so that
// keys compare, byte by byte, as the texts do without regard to letter case.
// The key is written in SQL with built-in functions only, so an index over it
// is one that every stock SQLite client keeps and uses: the schema names no
// collation of the program's own, and SQLite's NOCASE folds only the 26 Latin
// letters.
//
// Folded are the Latin capitals A to Z in the whole text and the Cyrillic
// capitals of Russian, Ukrainian and Belarusian (А to Я, Ё, Є, І, Ї, Ґ, Ў) in
// its first cyrillicLength characters; a longer text keeps the rest of its
// Cyrillic as it is. SQLite's parser cannot nest the 38 replace() calls that a
// whole-text fold would take, so the key is spelt one character at a time,
// and cyrillicLength bounds how long the expression gets. A text of Latin
// letters alone, nearly every ident, is lower() of itself. A Null text has the
// key of the empty text, so that a key is never Null.
//
// These keys order Cyrillic exactly as the program's own collation orders it
// (ё after я, as Unicode's small letters go), for every text the program
// itself stores (idents of at most 10 characters, regions of 2); other
// scripts' capitals keep their case.
QString textKeySql(const QString &expression, int cyrillicLength);

// The key of a text, computed as textKeySql's expression computes it in SQL:
// what a value compared with such a key is turned into before it is bound.
QString textKey(const QString &text, int cyrillicLength);

// The smallest text that follows, byte by byte, every text beginning with
// prefix: the upper bound of a prefix's range in an index. Empty when there is
// none (an empty prefix, or one ending in the last code point).
QString pastPrefix(const QString &prefix);

} // namespace kx::store
