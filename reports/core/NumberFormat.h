#pragma once

#include <QString>

#include <optional>

namespace kx::reports {

// A display format for numbers on the printed sheet, always with "," as the
// decimal separator, rounding to the decimals shown.
//
// Two kinds of pattern are understood:
//  - a number picture, as the grids use it (base/NumberPicture.h): "#0.0",
//    "#000.0", "#.0", "#0", "0.0 км", with sections for negative and zero
//    values after ";". A "0" is a digit always written, a "#" one written only
//    when the number has it.
//  - a printf-style conversion with optional text around it: "%g", "%2.2f",
//    "%5d", "%.3e", "%-8.1f МГц". %g without precision is the shortest general
//    form (up to 15 significant digits), %f without precision has two decimals.
class NumberFormat
{
public:
    // nullopt (and *error set) when the pattern is not one of the above.
    static std::optional<NumberFormat> parse(const QString &pattern, QString *error = nullptr);

    QString format(double value) const;
    const QString &pattern() const { return m_pattern; }

private:
    NumberFormat() = default;

    enum class Kind { Picture, Printf };
    Kind m_kind = Kind::Picture;
    QString m_pattern;
    QString m_prefix;
    QString m_suffix;
    // printf
    char16_t m_conversion = u'g';
    int m_width = 0;
    int m_precision = -1;
    bool m_leftJustify = false;
};

// Formats value with pattern; the pattern must be valid (an invalid one gives
// the shortest general form).
QString formatNumber(double value, const QString &pattern);

// The shortest general form with the decimal comma: how a number without a
// display format appears on the sheet.
QString plainNumber(double value);

} // namespace kx::reports
