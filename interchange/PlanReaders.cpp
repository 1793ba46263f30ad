#include "PlanReaders.h"

#include "InterchangeTexts.h"
#include "FlightGearRoute.h"
#include "PlnFormat.h"
#include "SimPlanParts.h"
#include "XPlaneFms.h"

#include "base/IniFile.h"
#include "geo/CoordText.h"

namespace kx::interchange {
namespace {

// An empty text that binds as an empty text, not as Null.
QString nonNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

} // namespace

bool looksLikeXmlPlan(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    qsizetype i = 0;
    while (i < view.size() && (view[i] == ' ' || view[i] == '\t' || view[i] == '\r' || view[i] == '\n'))
        ++i;
    view = view.sliced(i);
    return view.startsWith("<?xml") || view.startsWith("<SimBase.Document");
}

bool readPlanFile(const QString &fileName, Plan *plan, QString *error)
{
    QByteArray bytes;
    if (!readPlanBytes(fileName, &bytes, error))
        return false;
    switch (detectPlanFormat(bytes)) {
    case PlanFormat::XPlaneFms:
        return readFms(bytes, fileName, plan, error);
    case PlanFormat::FlightGearRoute:
        return readFlightGearRoute(bytes, fileName, plan, error);
    case PlanFormat::MicrosoftPlan:
        break;
    }
    if (looksLikeXmlPlan(bytes))
        return readXmlPlan(bytes, fileName, plan, error);
    return readFs9Plan(decodeTextFile(bytes).text, fileName, plan, error);
}

bool readFs9Plan(const QString &text, const QString &fileName, Plan *plan, QString *error)
{
    const QString shownName = planFileName(fileName);
    const IniFile ini(text);
    const QString section = QString::fromUtf16(kPlanSection);
    const auto entry = [&](const char *key) { return nonNull(ini.readString(section, QLatin1String(key))); };

    *plan = {};
    plan->fileName = shownName;
    plan->routeName = nonNull(routeNameOf(fileName));
    // A header text that would store a control character stops the import
    // before anything is written.
    for (const char *key : {"type", "departure_id", "departure_name", "departure_position", "destination_id",
                            "destination_name"}) {
        const int code = firstControlCharacter(entry(key));
        if (code >= 0) {
            *error = texts::planProblem(texts::controlCharacter(code), QLatin1String(key), shownName);
            return false;
        }
    }
    PlanHeader &header = plan->header;
    header.type = entry("type");
    header.routeType = ini.readInteger(section, QStringLiteral("routetype"), 0);
    header.cruisingAltitude = ini.readInteger(section, QStringLiteral("cruising_altitude"), 0);
    header.departureId = entry("departure_id");
    header.departureName = entry("departure_name");
    header.departurePosition = entry("departure_position");
    header.destinationId = entry("destination_id");
    header.destinationName = entry("destination_name");

    const int last = lastWaypointIndexOfLines(splitTextLines(text));
    if (last <= 0) {
        *error = last < 0 ? texts::fileReadFailed(shownName) : texts::wrongFileFormat(shownName);
        return false;
    }
    plan->points.reserve(last + 1);
    for (int k = 0; k <= last; ++k) {
        const QString key = QStringLiteral("waypoint.") + QString::number(k);
        const QString value = ini.readString(section, key);
        const PlanWaypoint w = parseWaypointLine(value);
        if (!w.problem.isEmpty()) {
            *error = texts::planProblem(w.problem, key, shownName);
            return false;
        }
        // The short form carries no region: the catalogue's, whatever it is.
        plan->points.append({w.id, w.region, !isShortWaypointLine(value), pointTypeOfLetter(w.typeLetter), w.lat, w.lon,
                             w.h, key});
    }
    return true;
}

} // namespace kx::interchange
