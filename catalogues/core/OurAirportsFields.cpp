#include "OurAirportsFields.h"

#include "base/Numbers.h"
#include "geo/DecimalCoord.h"

#include <cmath>

namespace kx::catalogues::fields {
namespace {

// Exponents beyond this give no coordinate however many digits come with them.
constexpr int kMaxExponent = 400;

// A number in exponent form ("1.5E-4", "-5.5e1") written out as plain decimals
// ("0.00015", "-55"), digit for digit, so that its rounding is that of the
// digits written; nothing for any other text.
std::optional<QString> withoutExponent(const QString &text)
{
    const qsizetype e = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    if (e < 0)
        return std::nullopt;
    QStringView mantissa = QStringView(text).left(e);
    bool ok = false;
    const int exponent = QStringView(text).mid(e + 1).toInt(&ok);
    if (!ok || std::abs(exponent) > kMaxExponent)
        return std::nullopt;
    QString sign;
    if (!mantissa.isEmpty() && (mantissa.front() == u'-' || mantissa.front() == u'+')) {
        sign = mantissa.front();
        mantissa = mantissa.mid(1);
    }
    const qsizetype point = mantissa.indexOf(u'.');
    QString digits = mantissa.toString();
    if (point >= 0)
        digits.remove(point, 1);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : std::as_const(digits))
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const qsizetype at = (point >= 0 ? point : mantissa.size()) + exponent;
    QString plain;
    if (at <= 0)
        plain = QStringLiteral("0.") + QString(-at, u'0') + digits;
    else if (at >= digits.size())
        plain = digits + QString(at - digits.size(), u'0');
    else
        plain = digits.left(at) + u'.' + digits.mid(at);
    qsizetype zeros = 0;
    while (zeros + 1 < plain.size() && plain.at(zeros) == u'0' && plain.at(zeros + 1) != u'.')
        ++zeros;
    return sign + plain.mid(zeros);
}

std::optional<QString> coordinate(const QString &field, bool isLatitude)
{
    const auto convert = [isLatitude](const QString &text) {
        return isLatitude ? geo::latitudeFromDecimal(text) : geo::longitudeFromDecimal(text);
    };
    const QString text = field.trimmed();
    if (std::optional<QString> converted = convert(text))
        return converted;
    const std::optional<QString> plain = withoutExponent(text);
    return plain ? convert(*plain) : std::nullopt;
}

} // namespace

std::optional<QVariant> number(const QString &field)
{
    const QString text = field.trimmed();
    if (text.isEmpty())
        return QVariant();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return QVariant(value);
}

std::optional<QVariant> numberWithin(const QString &field, double minimum, double maximum)
{
    std::optional<QVariant> value = number(field);
    if (value && !value->isNull() && (value->toDouble() < minimum || value->toDouble() > maximum))
        return std::nullopt;
    return value;
}

std::optional<QString> latitude(const QString &field)
{
    return coordinate(field, true);
}

std::optional<QString> longitude(const QString &field)
{
    return coordinate(field, false);
}

bool isIdent(const QString &ident)
{
    return !ident.isEmpty() && ident.size() <= kMaxIdent;
}

bool isIcaoCode(const QString &code)
{
    if (code.size() != 4)
        return false;
    for (const QChar c : code)
        if (c < u'A' || c > u'Z')
            return false;
    return true;
}

QString limited(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    QString cut = text.left(length);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

QVariant track(double degrees)
{
    double value = roundHalfEven(degrees * 10) / 10;
    value = std::fmod(value, 360.0);
    if (value <= 0)
        value += 360;
    return value;
}

double vorMegahertz(double kilohertz)
{
    return roundHalfEven(kilohertz / 10) / 100;
}

double ndbKilohertz(double kilohertz)
{
    return roundHalfEven(kilohertz * 100) / 100;
}

} // namespace kx::catalogues::fields
