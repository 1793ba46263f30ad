#pragma once

#include <QString>

// The texts of a flight plan's fields (*.PLN): positions in the plan's form
// N57* 20.00' / E61* 55.00', comma-separated fields, altitudes.
namespace kx::interchange {

// Flight-plan latitude ("N55* 58.27'", "S33* 56.8'") to a coordinate text
// ("N55*58.27", "S33*56.80"): apostrophes and blanks dropped, "," read as ".",
// degrees padded to two digits, minutes to two, a one-digit fraction gets a
// trailing "0". A text without a hemisphere letter is taken as north.
QString PlnLatToText(const QString &text);
// The same for a longitude, degrees padded to three digits ("E37* 24.88'" gives
// "E037*24.88", "W0* 27.7'" gives "W000*27.70"); no letter is taken as east.
QString PlnLonToText(const QString &text);

// The text with a blank inserted after its first "*".
QString SpaceAfterDegree(const QString &text);
// A longitude without the zero that follows a leading "E0" or "W0"
// ("E061*55.00" gives "E61*55.00"); anything else is returned unchanged.
QString TrimLonZero(const QString &text);

// Replaces, while the search text occurs, its first occurrence (so occurrences
// formed by a replacement are replaced as well). An empty search text, or a
// replacement that contains the search text, replaces each original
// occurrence once instead of looping.
QString ReplaceAll(const QString &text, const QString &search, const QString &replacement);

// The part before the first ","; the whole text when there is none.
QString FieldBeforeComma(const QString &text);
// The text after its n-th ",": n times, everything up to and including the
// first remaining "," is dropped; once no "," is left a step changes nothing.
QString SkipFields(const QString &text, int n);

// Flight-plan altitude: sign, at least six digits, ".00" (622 gives
// "+000622.00", -10 gives "-000010.00").
QString AltitudeText(qint64 feet);

} // namespace kx::interchange
