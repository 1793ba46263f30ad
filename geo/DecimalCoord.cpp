#include "DecimalCoord.h"

#include "CoordText.h"

#include <numbers>

namespace kx::geo {

namespace {

constexpr int kMaxDecimals = 12;
constexpr qint64 kScale = 1'000'000'000'000; // 10^kMaxDecimals

// The value in units of 10^-12 degree, sign apart; nothing when unreadable or
// too large for the arithmetic below.
struct Scaled
{
    bool negative = false;
    qint64 units = 0;
};

std::optional<Scaled> readScaled(const QString &text)
{
    QStringView s(text);
    Scaled result;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        result.negative = s.front() == u'-';
        s = s.mid(1);
    }
    const qsizetype point = s.indexOf(u'.');
    const QStringView whole = point < 0 ? s : s.left(point);
    const QStringView fraction = point < 0 ? QStringView() : s.mid(point + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || whole.size() > 3 || fraction.size() > kMaxDecimals)
        return std::nullopt;
    qint64 wholeValue = 0;
    for (const QChar c : whole) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        wholeValue = wholeValue * 10 + (c.unicode() - u'0');
    }
    qint64 fractionValue = 0;
    for (const QChar c : fraction) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        fractionValue = fractionValue * 10 + (c.unicode() - u'0');
    }
    for (qsizetype i = fraction.size(); i < kMaxDecimals; ++i)
        fractionValue *= 10;
    result.units = wholeValue * kScale + fractionValue;
    return result;
}

std::optional<QString> fromDecimal(const QString &text, int limit, int degreeDigits, QChar positive, QChar negative)
{
    const std::optional<Scaled> value = readScaled(text);
    if (!value || value->units > limit * kScale)
        return std::nullopt;
    // Hundredths of a minute: units * 6000 / 10^12 = units * 6 / 10^9. At most
    // 180 * 10^12 * 6, well inside 64 bits.
    constexpr qint64 kDivisor = 1'000'000'000;
    const qint64 numerator = value->units * 6;
    qint64 hundredths = numerator / kDivisor;
    const qint64 remainder = numerator % kDivisor;
    if (2 * remainder > kDivisor || (2 * remainder == kDivisor && hundredths % 2 != 0))
        ++hundredths;
    // Whole degrees and minutes come from one count of hundredths, so minutes of
    // 59.995 and more carry into the degrees instead of reading 60.00.
    const qint64 degrees = hundredths / 6000;
    const qint64 minuteHundredths = hundredths % 6000;
    const QChar letter = value->negative && hundredths != 0 ? negative : positive;
    return letter + QStringLiteral("%1").arg(degrees, degreeDigits, 10, QLatin1Char('0')) + u'*'
        + QStringLiteral("%1").arg(minuteHundredths / 100, 2, 10, QLatin1Char('0')) + u'.'
        + QStringLiteral("%1").arg(minuteHundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<QString> latitudeFromDecimal(const QString &degrees)
{
    return fromDecimal(degrees, 90, 2, u'N', u'S');
}

std::optional<QString> longitudeFromDecimal(const QString &degrees)
{
    return fromDecimal(degrees, 180, 3, u'E', u'W');
}

std::optional<QString> decimalFromCoordinate(const QString &text, int decimals)
{
    const std::optional<long double> radians = readCoordinate(text);
    if (!radians)
        return std::nullopt;
    const long double degrees = *radians * 180 / std::numbers::pi_v<long double>;
    QString result = QString::number(static_cast<double>(degrees), 'f', decimals);
    // A value that rounds to zero is written as zero, not as "-0.000000".
    if (result.startsWith(u'-') && result.count(u'0') == result.size() - (decimals > 0 ? 2 : 1))
        result.remove(0, 1);
    return result;
}

} // namespace kx::geo
