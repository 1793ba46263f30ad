#pragma once

namespace kx::geo {

// The value as a double, divided by 0.1, rounded to a whole number (halves to
// even) and multiplied by 0.1: how every stored or shown value is rounded
// (0.25 gives 0.2, 0.35 gives 0.3, 123.45 gives 123.4).
double RoundTo1(long double value);

// The integer part (toward zero) plus the fraction rounded to tenths, halves
// to even: 12.25 gives 12.2, -3.25 gives -3.2.
double RoundTenth(long double value);

inline constexpr long double kFeetPerMetre = 3.280839895L;

// Whole feet of a height in metres, halves to even.
long long MetresToFeet(long double metres);
// Whole metres of a height in feet, halves to even (the cruising level a plan
// file gives in feet).
long long FeetToWholeMetres(long long feet);
// Metres with one decimal of a height in whole feet, by RoundTenth.
double FeetToMetres(long long feet);

} // namespace kx::geo
