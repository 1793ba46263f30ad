#include "SimPlanParts.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"
#include "SimTexts.h"

#include "geo/DecimalCoord.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kx::interchange {
namespace {

constexpr int kMaxIdentLength = 40;
// Higher than any aircraft flies: an altitude beyond it is not one.
constexpr double kMaxAltitudeFeet = 100000;

} // namespace

PlanFormat detectPlanFormat(const QByteArray &bytes)
{
    // The first kilobytes tell: a plan's header comes first.
    QByteArray head = bytes.left(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const QByteArray trimmed = head.trimmed();
    if (trimmed.startsWith('<'))
        return trimmed.contains("<PropertyList") ? PlanFormat::FlightGearRoute : PlanFormat::MicrosoftPlan;
    const QList<QByteArray> lines = trimmed.split('\n');
    const QByteArray first = lines.value(0).trimmed().toUpper();
    const QList<QByteArray> version = lines.value(1).simplified().split(' ');
    if ((first == "I" || first == "A") && version.size() == 2 && version.at(1).toLower() == "version")
        return PlanFormat::XPlaneFms;
    return PlanFormat::MicrosoftPlan;
}

bool readIdent(const QString &text, QString *id, QString *why)
{
    const QString trimmed = text.trimmed();
    const bool blank = std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c.isSpace(); });
    if (trimmed.isEmpty() || trimmed.size() > kMaxIdentLength || blank || firstControlCharacter(trimmed) >= 0
        || trimmed.contains(QChar::ReplacementCharacter)) {
        *why = texts::badIdent(text.left(kMaxIdentLength + 1));
        return false;
    }
    *id = trimmed;
    return true;
}

bool readDecimalPosition(const QString &lat, const QString &lon, PlanPoint *point, QString *why)
{
    const std::optional<QString> latText = geo::latitudeFromDecimal(lat.trimmed());
    if (!latText) {
        *why = texts::badPlanLatitude(lat.left(40));
        return false;
    }
    const std::optional<QString> lonText = geo::longitudeFromDecimal(lon.trimmed());
    if (!lonText) {
        *why = texts::badPlanLongitude(lon.left(40));
        return false;
    }
    point->lat = *latText;
    point->lon = *lonText;
    return true;
}

int cruisingAltitudeOf(const QList<double> &altitudes)
{
    double highest = 0;
    for (const double feet : altitudes)
        if (std::isfinite(feet) && feet <= kMaxAltitudeFeet)
            highest = std::max(highest, feet);
    return static_cast<int>(std::nearbyint(highest));
}

} // namespace kx::interchange
