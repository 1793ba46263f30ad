#pragma once

#include <QString>

#include <optional>

namespace kx::geo {

// Signed decimal degrees as catalogue files give them (the shipped catalogue,
// OurAirports: "55.9726", "-179.36333", "+52.55889892578125") to the coordinate texts the database
// stores: hemisphere letter (N/S, E/W), whole degrees zero-padded to 2
// (latitude) or 3 (longitude) digits, "*", minutes with exactly two decimals
// ("N55*58.36", "E037*24.88").
// The minutes are rounded to hundredths, halves to even; the arithmetic is done
// on the decimal digits themselves, all of them however many there are, so a
// value that lies exactly on a half is rounded as written and not as its
// nearest binary double, and a digit far down the fraction still counts. Minutes that round
// to 60.00 carry into the degrees ("55.99999" gives "N56*00.00"). A value that
// rounds to zero takes the letter N or E.
// Nothing for an unreadable text (empty, exponent, more than three whole
// digits, blanks inside) or a value beyond 90 (latitude) or 180 (longitude)
// degrees, by however little.
std::optional<QString> latitudeFromDecimal(const QString &degrees);
std::optional<QString> longitudeFromDecimal(const QString &degrees);

// The same text for degrees held as a double (a position on the map, made
// data): minutes rounded to hundredths, halves away from zero, 60.00 minutes
// carried into the degrees.
QString latitudeText(double degrees);
QString longitudeText(double degrees);

// Degrees, minutes and seconds as flight planners write a position
// (N55° 58' 19.80"): whole degrees and minutes, seconds with "." or "," and
// any decimals up to twelve, the hemisphere given as south (latitude) or west
// (longitude). The same coordinate text, the minutes rounded to hundredths
// exactly, halves to even (19.80" is 0.33'). Nothing when a part is not made
// of digits, the minutes or seconds reach 60, or the value lies beyond 90
// (180) degrees.
std::optional<QString> latitudeFromDms(bool south, const QString &degrees, const QString &minutes,
                                       const QString &seconds);
std::optional<QString> longitudeFromDms(bool west, const QString &degrees, const QString &minutes,
                                        const QString &seconds);

// The other way, for the files of other simulators: a coordinate text as
// signed decimal degrees with the given number of decimals ("N55*58.36" with
// 6 gives "55.972667", "W000*30.00" gives "-0.500000"; zero has no sign).
// Nothing when the text cannot be read.
std::optional<QString> decimalFromCoordinate(const QString &text, int decimals);

} // namespace kx::geo
