#include "DecimalCoord.h"

#include "CoordText.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kx::geo {

namespace {

constexpr int kMaxWholeDigits = 3;

// A decimal number as its digits: whether it is negative, and every digit of
// the whole part and the fraction in order, with how many belong to the
// fraction. Published files write as many decimals as the double they came
// from had (52.55889892578125, -158.617996216), so none is dropped.
struct Digits
{
    bool negative = false;
    QVarLengthArray<quint8, 40> digits;
    int fractionDigits = 0;
};

std::optional<Digits> readDigits(const QString &text)
{
    QStringView s(text);
    Digits result;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        result.negative = s.front() == u'-';
        s = s.mid(1);
    }
    const qsizetype point = s.indexOf(u'.');
    const QStringView whole = point < 0 ? s : s.left(point);
    const QStringView fraction = point < 0 ? QStringView() : s.mid(point + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || whole.size() > kMaxWholeDigits)
        return std::nullopt;
    result.digits.reserve(whole.size() + fraction.size());
    for (const QStringView part : {whole, fraction}) {
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            result.digits.append(static_cast<quint8>(c.unicode() - u'0'));
        }
    }
    result.fractionDigits = static_cast<int>(fraction.size());
    return result;
}

// The value in hundredths of a minute (degrees times 6000), rounded to a whole
// number with halves to even, worked on the decimal digits: the digits times
// 6, shifted three places, give the exact product, whose fraction alone
// decides the rounding.
qint64 roundedHundredths(const Digits &value)
{
    QVarLengthArray<quint8, 41> product(value.digits.size() + 1);
    int carry = 0;
    for (qsizetype i = value.digits.size(); i-- > 0;) {
        const int d = value.digits[i] * 6 + carry;
        product[i + 1] = static_cast<quint8>(d % 10);
        carry = d / 10;
    }
    product[0] = static_cast<quint8>(carry);
    // product holds value * 6 with fractionDigits decimals; times 1000 moves
    // the point three places right.
    const int fraction = value.fractionDigits - 3;
    const qsizetype wholeCount = fraction > 0 ? product.size() - fraction : product.size();
    qint64 hundredths = 0;
    for (qsizetype i = 0; i < wholeCount; ++i)
        hundredths = hundredths * 10 + product[i];
    for (int i = fraction; i < 0; ++i)
        hundredths *= 10;
    if (wholeCount == product.size())
        return hundredths;
    const int first = product[wholeCount];
    bool beyond = false;
    for (qsizetype i = wholeCount + 1; i < product.size() && !beyond; ++i)
        beyond = product[i] != 0;
    if (first > 5 || (first == 5 && (beyond || hundredths % 2 != 0)))
        ++hundredths;
    return hundredths;
}

QString coordinateText(qint64 hundredths, bool negative, int degreeDigits, QChar positive, QChar negativeLetter)
{
    // Whole degrees and minutes come from one count of hundredths, so minutes of
    // 59.995 and more carry into the degrees instead of reading 60.00.
    const qint64 degrees = hundredths / 6000;
    const qint64 minuteHundredths = hundredths % 6000;
    // Written digit by digit: an import converts hundreds of thousands.
    char16_t text[10];
    qsizetype n = 0;
    text[n++] = (negative && hundredths != 0 ? negativeLetter : positive).unicode();
    for (qint64 scale = degreeDigits == 3 ? 100 : 10; scale > 0; scale /= 10)
        text[n++] = static_cast<char16_t>(u'0' + degrees / scale % 10);
    text[n++] = u'*';
    text[n++] = static_cast<char16_t>(u'0' + minuteHundredths / 1000);
    text[n++] = static_cast<char16_t>(u'0' + minuteHundredths / 100 % 10);
    text[n++] = u'.';
    text[n++] = static_cast<char16_t>(u'0' + minuteHundredths / 10 % 10);
    text[n++] = static_cast<char16_t>(u'0' + minuteHundredths % 10);
    return QString(reinterpret_cast<const QChar *>(text), n);
}

// A whole number of at most `digits` digits.
std::optional<qint64> wholeNumber(QStringView text, int digits)
{
    if (text.isEmpty() || text.size() > digits)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

constexpr int kMaxSecondDecimals = 12;

std::optional<QString> fromDms(bool negative, const QString &degreesText, const QString &minutesText,
                               const QString &secondsText, int limit, int degreeDigits, QChar positive,
                               QChar negativeLetter)
{
    const std::optional<qint64> degrees = wholeNumber(degreesText, kMaxWholeDigits);
    const std::optional<qint64> minutes = wholeNumber(minutesText, 2);
    QStringView seconds(secondsText);
    qsizetype mark = seconds.indexOf(u'.');
    if (mark < 0)
        mark = seconds.indexOf(u',');
    const std::optional<qint64> wholeSeconds = wholeNumber(mark < 0 ? seconds : seconds.left(mark), 2);
    const QStringView decimals = mark < 0 ? QStringView() : seconds.mid(mark + 1);
    std::optional<qint64> fraction =
        decimals.isEmpty() ? std::optional<qint64>(0) : wholeNumber(decimals, kMaxSecondDecimals);
    if (!degrees || !minutes || !wholeSeconds || !fraction || *minutes >= 60 || *wholeSeconds >= 60
        || (mark >= 0 && decimals.isEmpty()))
        return std::nullopt;
    qint64 scale = 1;
    for (qsizetype i = 0; i < decimals.size(); ++i)
        scale *= 10;
    // In thirds of a hundredth of a minute, times scale: a second is 5/3
    // hundredths. At most 10859 * 300 * 10^12 + 5 * 60 * 10^12, inside 64 bits.
    const qint64 numerator = (*degrees * 60 + *minutes) * 300 * scale + 5 * (*wholeSeconds * scale + *fraction);
    const qint64 denominator = 3 * scale;
    qint64 hundredths = numerator / denominator;
    const qint64 remainder = numerator % denominator;
    if (2 * remainder > denominator || (2 * remainder == denominator && hundredths % 2 != 0))
        ++hundredths;
    const bool exact = remainder == 0;
    if (hundredths > limit * 6000LL || (hundredths == limit * 6000LL && !exact))
        return std::nullopt;
    return coordinateText(hundredths, negative, degreeDigits, positive, negativeLetter);
}

std::optional<QString> fromDecimal(const QString &text, int limit, int degreeDigits, QChar positive, QChar negative)
{
    const std::optional<Digits> value = readDigits(text);
    if (!value)
        return std::nullopt;
    // Beyond the limit is beyond it by any amount, even one that the rounding
    // to hundredths of a minute would bring back onto it.
    const auto fraction = value->digits.cend() - value->fractionDigits;
    int whole = 0;
    for (auto it = value->digits.cbegin(); it != fraction; ++it)
        whole = whole * 10 + *it;
    if (whole > limit || (whole == limit && std::any_of(fraction, value->digits.cend(), [](int d) { return d != 0; })))
        return std::nullopt;
    return coordinateText(roundedHundredths(*value), value->negative, degreeDigits, positive, negative);
}

// Degrees as a double: hundredths of a minute rounded once (halves away from
// zero), so the minutes never read 60.00.
QString fromDegrees(double degrees, int degreeDigits, QChar positive, QChar negative)
{
    return coordinateText(std::llround(std::abs(degrees) * 6000), degrees < 0, degreeDigits, positive, negative);
}

} // namespace

std::optional<QString> latitudeFromDms(bool south, const QString &degrees, const QString &minutes,
                                       const QString &seconds)
{
    return fromDms(south, degrees, minutes, seconds, 90, 2, u'N', u'S');
}

std::optional<QString> longitudeFromDms(bool west, const QString &degrees, const QString &minutes,
                                        const QString &seconds)
{
    return fromDms(west, degrees, minutes, seconds, 180, 3, u'E', u'W');
}

std::optional<QString> latitudeFromDecimal(const QString &degrees) { return fromDecimal(degrees, 90, 2, u'N', u'S'); }

std::optional<QString> longitudeFromDecimal(const QString &degrees) { return fromDecimal(degrees, 180, 3, u'E', u'W'); }

QString latitudeText(double degrees) { return fromDegrees(degrees, 2, u'N', u'S'); }

QString longitudeText(double degrees) { return fromDegrees(degrees, 3, u'E', u'W'); }

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
