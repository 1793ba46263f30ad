#pragma once

namespace kx::geo {

// Two ways to round to tenths, which differ where a value lies on or near a
// half (docs/glossary.md: RoundTo1, RoundTenth).
//
// The value as a double, divided by 0.1 (the double nearest to it), the
// quotient rounded to a whole number (halves to even) and multiplied by 0.1:
// how every value the calculation stores or shows is rounded. The binary
// quotient decides: 0.25 gives 0.2 (2.5 exactly, to even), 0.35 gives 0.3
// (3.4999...), 123.45 gives 123.4.
double roundDividingByTenth(long double value);

// The integer part (toward zero) kept, its fraction rounded to tenths (halves
// to even): 12.25 gives 12.2, -3.25 gives -3.2. The NVU cells and the
// airport's elevation in metres.
double roundFractionToTenth(long double value);

inline constexpr long double kFeetPerMetre = 3.280839895L;

// Whole feet of a height in metres, halves to even.
long long MetresToFeet(long double metres);
// Whole metres of a height in feet, halves to even (the cruising level a plan
// file gives in feet).
long long FeetToWholeMetres(long long feet);
// Metres with one decimal of a height in whole feet, by roundFractionToTenth.
double FeetToMetres(long long feet);

} // namespace kx::geo
