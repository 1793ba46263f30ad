#pragma once

#include <QString>
#include <QVariant>

namespace kx {

// The shortest general form of a number: at most 15 significant digits, no
// thousands separator, no trailing zeros, a whole number without decimals,
// "." as the decimal separator (1498.8, 16.7, 300).
QString generalNumber(double value);

// A number's text with its decimal point (the first ".") made the decimal
// comma, as numbers appear before a person and in the coordinate texts' minutes.
QString withDecimalComma(QString text);

// generalNumber with the decimal comma, as numbers appear in messages (1498,8).
QString generalNumberComma(double value);

// A number with a fixed count of decimals and the decimal comma (123,4).
QString fixedNumberComma(double value, int decimals);

// Whether a value holds a number of any of Qt's integer or floating types.
bool isNumber(const QVariant &value);

// Round to the nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

} // namespace kx
