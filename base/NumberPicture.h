#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <QVariant>

namespace kx {

// Formats a number with a picture of digit placeholders, as the program's grids
// and edits show them:
//   "0"  a digit, "0" when the number has none there;
//   "#"  a digit when the number has one there;
//   "."  the decimal separator (given: the user's, or "," in printed texts);
//   any other character is written as it stands, between the digits around it
//   (so "### ### ###" groups the digits by three with blanks).
// The number is rounded to the placeholders after the point; those beyond the
// "0"s drop trailing zeros. Digits beyond the placeholders before the point are
// all written. Up to three sections separated by ";" serve positive, negative
// (written without sign) and zero values; an empty section falls back to the
// first, and an empty first section writes the shortest general form.
//   formatFloat(u"### ### ###", 10668, ',')     == "10 668"
//   formatFloat(u"0.#", 16.0, ',')              == "16"
//   formatFloat(u";0.0", -728.04, ',')          == "728,0"
QString formatFloat(QStringView picture, double value, QChar decimalPoint);

// The same for a stored value: Null (or a value that is not a number) gives an
// empty text.
QString formatValue(QStringView picture, const QVariant &value, QChar decimalPoint);

} // namespace kx
