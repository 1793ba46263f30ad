#pragma once

#include <QStringView>

namespace kx::store {

// The words of a waypoint's name, by which the catalogue finds "London
// Heathrow" from "heath". A word begins at the name's first character and
// after each separator, and is not itself a separator; a word is found by the
// beginning of the name from there on, so that a text of several words
// ("London Heath") finds its name too. The schema's triggers keep the table
// PunktWords of these starts, read with SQLite's built-in functions; the
// program's own statements check a name with KALYX_HASWORD (Collation.h).
// Both must split a name alike.

// The characters between words.
inline constexpr char16_t kWordSeparators[] = u" -/(),.\"";
// A word is kept with at most this many characters of the name from its start.
inline constexpr int kWordLength = 24;
// Words are taken from the first so many characters of a name (a name the
// program stores has at most 50).
inline constexpr int kWordPositions = 50;

inline bool isWordSeparator(QChar c)
{
    for (const char16_t s : kWordSeparators)
        if (s != 0 && c == QChar(s))
            return true;
    return false;
}

// Whether a word of name begins with text, letter case ignored (Cyrillic
// included); an empty text begins every word.
bool hasWordStartingWith(QStringView name, QStringView text);

} // namespace kx::store
