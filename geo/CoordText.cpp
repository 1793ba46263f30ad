#include "CoordText.h"

#include "GeoTexts.h"

#include "base/Error.h"
#include "base/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>

namespace kx::geo {

namespace {

QString replaceFirst(const QString &text, QChar from, QChar to)
{
    QString result = text;
    const qsizetype at = result.indexOf(from);
    if (at >= 0)
        result[at] = to;
    return result;
}

[[noreturn]] void badCoordinate(const QString &text) { throw Error(texts::badCoordinate(text)); }

} // namespace

std::optional<long double> readCommaNumber(const QString &text)
{
    QString s = text.trimmed();
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
        negative = s.front() == u'-';
        s.remove(0, 1);
    }
    // Digits with at most one decimal comma; the first character rules out
    // "inf", "nan" and a second sign, which the converter below would take.
    if (s.isEmpty() || s.contains(u'.') || s.count(u',') > 1)
        return std::nullopt;
    if (!s.front().isDigit() && s.front() != u',')
        return std::nullopt;
    s.replace(u',', u'.');
    const QByteArray bytes = s.toLatin1();
    long double value = 0;
    const char *end = bytes.constData() + bytes.size();
    const auto [ptr, ec] = std::from_chars(bytes.constData(), end, value);
    // A number past what a double holds ("24,E857" is 24 followed by 857
    // zeros) would turn into an infinity in the formulas.
    if (ec != std::errc() || ptr != end || !(std::fabs(value) <= std::numeric_limits<double>::max()))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<long double> readPlainDegrees(QStringView body)
{
    const auto digits = [&body](qsizetype from, qsizetype to, qint64 *value) {
        *value = 0;
        for (qsizetype i = from; i < to; ++i) {
            const char16_t c = body[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            *value = *value * 10 + (c - u'0');
        }
        return to > from;
    };
    const qsizetype star = body.indexOf(u'*');
    if (star < 1 || star > 3)
        return std::nullopt;
    qsizetype mark = body.indexOf(u'.', star);
    if (mark < 0)
        mark = body.indexOf(u',', star);
    constexpr qsizetype kMaxDecimals = 9;
    qint64 degrees = 0;
    qint64 minutes = 0;
    qint64 fraction = 0;
    if (mark < 0 || mark - star - 1 > 2 || body.size() - mark - 1 > kMaxDecimals || !digits(0, star, &degrees)
        || !digits(star + 1, mark, &minutes) || !digits(mark + 1, body.size(), &fraction))
        return std::nullopt;
    qint64 scale = 1;
    for (qsizetype i = mark + 1; i < body.size(); ++i)
        scale *= 10;
    const long double wholeMinutes = static_cast<long double>(minutes * scale + fraction) / scale;
    return static_cast<long double>(degrees) + wholeMinutes / 60;
}

std::optional<long double> readCoordinate(const QString &text)
{
    if (text.size() > 1) {
        if (const std::optional<long double> degrees = readPlainDegrees(QStringView(text).mid(1))) {
            const long double radians = *degrees * std::numbers::pi_v<long double> / 180;
            const QChar letter = text.front();
            return letter == u'S' || letter == u'W' ? -radians : radians;
        }
    }
    if (text.isEmpty())
        return std::nullopt;
    const QString body = PointToComma(text.mid(1));
    const qsizetype star = body.indexOf(u'*');
    if (star < 0)
        return std::nullopt;
    const std::optional<long double> degrees = readCommaNumber(body.left(star));
    const std::optional<long double> minutes = readCommaNumber(body.mid(star + 1));
    if (!degrees || !minutes)
        return std::nullopt;
    const long double radians = (*degrees + *minutes / 60) * std::numbers::pi_v<long double> / 180;
    const QChar letter = text.front();
    return letter == u'S' || letter == u'W' ? -radians : radians;
}

long double CoordToRad(const QString &text)
{
    const std::optional<long double> radians = readCoordinate(text);
    if (!radians)
        badCoordinate(text);
    return *radians;
}

std::optional<Position> readPosition(const QVariant &lat, const QVariant &lon)
{
    if (lat.isNull() || lon.isNull())
        return std::nullopt;
    const std::optional<long double> latRad = readCoordinate(lat.toString());
    const std::optional<long double> lonRad = readCoordinate(lon.toString());
    if (!latRad || !lonRad)
        return std::nullopt;
    return Position{*latRad, *lonRad};
}

QString PointToComma(const QString &text) { return withDecimalComma(text); }

QString CommaToPoint(const QString &text)
{
    return replaceFirst(text, u',', u'.');
}

QString BlanksToZeros(const QString &text)
{
    QString result = text;
    for (qsizetype i = 1; i < result.size(); ++i)
        if (result.at(i) == u' ')
            result[i] = u'0';
    return result;
}

} // namespace kx::geo
