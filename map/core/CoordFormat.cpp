#include "CoordFormat.h"

#include <cmath>

namespace kx::map {
namespace {

QString coordinateText(double degrees, QChar positive, QChar negative, int degreeDigits)
{
    // Hundredths of a minute, rounded once, so the minutes never read 60.00.
    const qint64 hundredths = std::llround(std::abs(degrees) * 6000);
    const QChar letter = degrees < 0 && hundredths > 0 ? negative : positive;
    return QStringLiteral("%1%2*%3.%4")
        .arg(letter)
        .arg(hundredths / 6000, degreeDigits, 10, QChar(u'0'))
        .arg((hundredths % 6000) / 100, 2, 10, QChar(u'0'))
        .arg(hundredths % 100, 2, 10, QChar(u'0'));
}

} // namespace

QString latitudeText(double degrees)
{
    return coordinateText(degrees, u'N', u'S', 2);
}

QString longitudeText(double degrees)
{
    return coordinateText(degrees, u'E', u'W', 3);
}

} // namespace kx::map
