#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace kx::geo {

// A stored position is two coordinate texts: latitude "N57*20.00" and
// longitude "E061*55.00" (hemisphere letter, zero-padded whole degrees, "*",
// minutes with hundredths). South and west are written with "S" and "W" in the
// same layout. Flight plans carry the form N57* 20.00' / E61* 55.00'
// (interchange/PlnText.h).

// A number written with the decimal comma ("20,00", "57", "-3,5"), read the
// same way on every machine. Surrounding blanks are ignored; a "." anywhere,
// an empty text, trailing garbage or a number beyond the range of a double
// ("1E400") make it unreadable.
std::optional<long double> readCommaNumber(const QString &text);

// The angle of a coordinate text in radians: degrees + minutes / 60, negative
// for a latitude "S" or a longitude "W", positive for any other letter. The
// minutes may carry "." or "," ("N57*20.00" and "N57*20,00" read the same).
// Nothing when the text is empty, has no "*" or holds a number that cannot be
// read: for readers to which a bad coordinate is an expected case.
std::optional<long double> readCoordinate(const QString &text);
// The same for a coordinate that must be there (a route's waypoint): throws
// kx::Error with texts::badCoordinate when it cannot be read.
long double CoordToRad(const QString &text);
// The degrees of a coordinate text's body, its letter left off, in the
// program's own layout ("55*58.36", "037*24,88": one to three digits, "*",
// one or two digits, "." or ",", one to nine digits): the same value as
// readCoordinate's degrees, without its general conversions, for work that
// reads hundreds of thousands (an import). Nothing for any other layout.
std::optional<long double> readPlainDegrees(QStringView body);

// A position in radians, latitude north and longitude east positive.
struct Position
{
    long double lat = 0;
    long double lon = 0;
};
// A position from its two coordinate texts; nothing when either is Null or
// cannot be read.
std::optional<Position> readPosition(const QVariant &lat, const QVariant &lon);

// The text with its first "." replaced by ","; empty stays empty.
QString PointToComma(const QString &text);
// The text with its first "," replaced by "."; empty stays empty.
QString CommaToPoint(const QString &text);

// An edit field's text with every blank from the second character on turned
// into "0" in place (the letter position is left alone, digits do not shift).
QString BlanksToZeros(const QString &text);

} // namespace kx::geo
