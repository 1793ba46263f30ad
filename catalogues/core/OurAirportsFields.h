#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The values of OurAirports' files as the catalogue keeps them. Each reader
// gives the value, nothing when the field holds something that is not one, or
// (for the optional ones) Null for an empty field.
namespace kx::catalogues::fields {

inline constexpr int kMaxIdent = 10;      // Punkts.ID
inline constexpr int kMaxName = 50;       // Punkts.Name
inline constexpr int kMaxDesignator = 10; // Runways.Runway

// A decimal number as the files write it: "." whatever the machine's
// settings, an optional sign ("+5.2"), an exponent allowed; Null for an empty
// field, nothing for anything else.
std::optional<QVariant> number(const QString &field);
// The same, nothing also outside minimum..maximum.
std::optional<QVariant> numberWithin(const QString &field, double minimum, double maximum);

// Decimal degrees to a coordinate text ("N55*58.36", "W046*28.07"), every
// decimal taken and rounded exactly (geo/DecimalCoord.h); an exponent form
// ("1.5E-4") is written out first. Nothing for an empty field, a text that is
// no number, or a value beyond the pole or the antimeridian.
std::optional<QString> latitude(const QString &field);
std::optional<QString> longitude(const QString &field);

// An ident as the catalogue keeps it: 1 to 10 characters.
bool isIdent(const QString &ident);
// An ICAO location indicator: four capital Latin letters.
bool isIcaoCode(const QString &code);

// At most length characters, never half of a surrogate pair.
QString limited(const QString &text, int length);

// A true track in the runway dialog's range 0.1..360, one decimal: north is 360.
QVariant track(double degrees);

// Radio frequencies as the catalogue keeps them: a VOR's in MHz to the
// channel's 50 kHz (114650 kHz is 114.65), an NDB's in kHz to a hundredth.
double vorMegahertz(double kilohertz);
double ndbKilohertz(double kilohertz);

// The ranges outside which a value is no value of its kind: it is dropped.
inline constexpr double kMinElevationFeet = -1500;   // the lowest airfields lie near -1,300 ft
inline constexpr double kMaxElevationFeet = 30000;
inline constexpr double kMinVorKilohertz = 108000;
inline constexpr double kMaxVorKilohertz = 118000;
inline constexpr double kMinNdbKilohertz = 100;
inline constexpr double kMaxNdbKilohertz = 1800;
inline constexpr double kMinAtisMegahertz = 108;
inline constexpr double kMaxAtisMegahertz = 137;

} // namespace kx::catalogues::fields
