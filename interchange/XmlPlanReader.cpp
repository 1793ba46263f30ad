#include "PlanReaders.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"

#include "base/IniFile.h"
#include "base/Numbers.h"
#include "geo/DecimalCoord.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>
#include <optional>

namespace kx::interchange {
namespace {

// A plan's elements lie four deep (SimBase.Document, FlightPlan.FlightPlan,
// ATCWaypoint, ICAO, ICAOIdent); anything far deeper is no plan, and a
// document nested without end would only eat the stack of whoever walks it.
constexpr int kMaxDepth = 32;
// Cruising altitudes beyond this are no altitudes (feet).
constexpr double kMaxAltitude = 1e6;

const QString kFlightPlan = QStringLiteral("FlightPlan.FlightPlan");
const QString kWaypoint = QStringLiteral("ATCWaypoint");

// One WorldPosition (or DepartureLLA): N55° 58' 19.80",E37° 24' 52.20",+000622.00.
struct Position
{
    QString lat;
    QString lon;
    double altitude = 0;
};

std::optional<Position> readPosition(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([NSns])\\s*(\\d+)\\s*[°*]\\s*(\\d+)\\s*'\\s*(\\d+(?:[.,]\\d+)?)\\s*\"\\s*,"
                       "\\s*([EWew])\\s*(\\d+)\\s*[°*]\\s*(\\d+)\\s*'\\s*(\\d+(?:[.,]\\d+)?)\\s*\"\\s*"
                       "(?:,\\s*([+-]?\\d+(?:[.,]\\d+)?)\\s*)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const std::optional<QString> lat =
        geo::latitudeFromDms(m.captured(1).toUpper() == u"S", m.captured(2), m.captured(3), m.captured(4));
    const std::optional<QString> lon =
        geo::longitudeFromDms(m.captured(5).toUpper() == u"W", m.captured(6), m.captured(7), m.captured(8));
    if (!lat || !lon)
        return std::nullopt;
    Position position{*lat, *lon, 0};
    if (m.hasCaptured(9)) {
        const std::optional<double> altitude = planAltitudeFeet(m.captured(9));
        if (!altitude)
            return std::nullopt;
        position.altitude = *altitude;
    }
    return position;
}

PlanPointType typeOfWaypoint(const QString &type)
{
    if (type.compare(u"Airport", Qt::CaseInsensitive) == 0)
        return PlanPointType::Airport;
    if (type.compare(u"VOR", Qt::CaseInsensitive) == 0)
        return PlanPointType::Vor;
    if (type.compare(u"NDB", Qt::CaseInsensitive) == 0)
        return PlanPointType::Ndb;
    return PlanPointType::None;
}

// FS9's routetype of the XML RouteType; a number is taken as it is.
int routeTypeOf(const QString &text)
{
    const QString names[] = {QStringLiteral("Direct"), QStringLiteral("VOR"), QStringLiteral("LowAlt"),
                             QStringLiteral("HighAlt")};
    for (int i = 0; i < 4; ++i)
        if (text.compare(names[i], Qt::CaseInsensitive) == 0)
            return i;
    int number = 0;
    return parseWholeNumber(text, &number) ? number : 0;
}

// Whole feet of CruisingAlt ("28000", "5600.000"); 0 for anything else, as a
// cruising_altitude that is no whole number reads in FS9's plan.
int cruisingAltitudeOf(const QString &text)
{
    bool ok = false;
    const double feet = QString(text).replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(feet) || std::abs(feet) > kMaxAltitude)
        return 0;
    return static_cast<int>(roundHalfEven(feet));
}

// What the document says, gathered as it is read.
struct Waypoint
{
    QString id;        // the id attribute
    QString icaoIdent; // ICAO/ICAOIdent
    QString region;    // ICAO/ICAORegion
    bool hasRegion = false;
    QString type;      // ATCWaypointType
    QString position;  // WorldPosition
    bool hasPosition = false;
};

class Reader
{
public:
    Reader(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error)
        : m_xml(bytes), m_fileName(fileName), m_shownName(planFileName(fileName)), m_plan(plan), m_error(error)
    {
    }

    bool run();

private:
    bool unreadable(const QString &why)
    {
        *m_error = texts::xmlPlanUnreadable(m_shownName, texts::xmlAtLine(m_xml.lineNumber(), why));
        return false;
    }
    bool pointProblem(const QString &problem, const QString &where)
    {
        *m_error = texts::xmlPointProblem(problem, where, m_shownName);
        return false;
    }
    bool endElement();
    bool addWaypoint();
    bool fillHeader();

    QXmlStreamReader m_xml;
    QString m_fileName;
    QString m_shownName;
    Plan *m_plan;
    QString *m_error;

    QStringList m_open;      // the names of the open elements, the root first
    int m_planDepth = -1;    // where FlightPlan.FlightPlan is open; -1 outside it
    bool m_planSeen = false; // the first FlightPlan.FlightPlan is the plan
    QString m_text;          // the text of the element now open
    QHash<QString, QString> m_header;
    std::optional<Waypoint> m_waypoint;
};

bool Reader::run()
{
    *m_plan = {};
    m_plan->fileName = m_shownName;
    m_plan->routeName = routeNameOf(m_fileName);
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // A plan needs neither, and entities are how a small file grows
            // into a huge one or reaches for other files.
            return unreadable(texts::xmlDeclarations());
        case QXmlStreamReader::StartElement: {
            if (m_open.size() >= kMaxDepth)
                return unreadable(texts::xmlTooDeep(kMaxDepth));
            const QString name = m_xml.name().toString();
            m_open.append(name);
            m_text.clear();
            const int depth = static_cast<int>(m_open.size());
            if (name == kFlightPlan && !m_planSeen) {
                m_planSeen = true;
                m_planDepth = depth;
            } else if (m_planDepth > 0 && depth == m_planDepth + 1 && name == kWaypoint) {
                m_waypoint = Waypoint{};
                m_waypoint->id = m_xml.attributes().value(QStringLiteral("id")).toString().trimmed();
            }
            break;
        }
        case QXmlStreamReader::Characters:
            m_text += m_xml.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!endElement())
                return false;
            break;
        default:
            break;
        }
    }
    if (m_xml.hasError()) {
        return unreadable(m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError ? texts::xmlTruncated()
                                                                                          : texts::xmlMalformed());
    }
    if (!m_planSeen) {
        *m_error = texts::xmlPlanUnreadable(m_shownName, texts::xmlNoFlightPlan());
        return false;
    }
    if (m_plan->points.size() < 2) {
        *m_error = m_plan->points.isEmpty() ? texts::fileReadFailed(m_shownName) : texts::wrongFileFormat(m_shownName);
        return false;
    }
    return fillHeader();
}

bool Reader::endElement()
{
    const int depth = static_cast<int>(m_open.size());
    const QString name = m_open.takeLast();
    const QString text = m_text.trimmed();
    m_text.clear();
    if (m_planDepth < 0)
        return true;
    if (depth == m_planDepth) {
        m_planDepth = -1;
        return true;
    }
    if (depth == m_planDepth + 1) {
        if (name == kWaypoint && m_waypoint)
            return addWaypoint();
        if (!m_header.contains(name))
            m_header.insert(name, text);
        return true;
    }
    if (!m_waypoint)
        return true;
    const QString parent = m_open.constLast();
    if (depth == m_planDepth + 2) {
        if (name == u"ATCWaypointType")
            m_waypoint->type = text;
        else if (name == u"WorldPosition") {
            m_waypoint->position = text;
            m_waypoint->hasPosition = true;
        }
    } else if (depth == m_planDepth + 3 && parent == u"ICAO") {
        if (name == u"ICAOIdent")
            m_waypoint->icaoIdent = text;
        else if (name == u"ICAORegion") {
            m_waypoint->region = text;
            m_waypoint->hasRegion = true;
        }
    }
    return true;
}

bool Reader::addWaypoint()
{
    const Waypoint w = *m_waypoint;
    m_waypoint.reset();
    PlanPoint point;
    point.ident = w.icaoIdent.isEmpty() ? w.id : w.icaoIdent;
    point.region = w.region.isNull() ? QString(QLatin1String("")) : w.region;
    point.regionKnown = w.hasRegion;
    point.type = typeOfWaypoint(w.type);
    const int number = static_cast<int>(m_plan->points.size()) + 1;
    if (point.ident.isEmpty())
        return pointProblem(texts::xmlNoIdent(), texts::xmlWaypoint(number, {}));
    for (const QString *text : {&point.ident, &point.region}) {
        const int code = firstControlCharacter(*text);
        if (code >= 0)
            return pointProblem(texts::controlCharacter(code), texts::xmlWaypoint(number, {}));
    }
    point.where = texts::xmlWaypoint(number, point.ident);
    // An empty WorldPosition says no more than a missing one.
    if (w.hasPosition && !w.position.isEmpty()) {
        const std::optional<Position> position = readPosition(w.position);
        if (!position)
            return pointProblem(texts::badPlanPosition(w.position), point.where);
        point.lat = position->lat;
        point.lon = position->lon;
        point.altitude = position->altitude;
    }
    m_plan->points.append(point);
    return true;
}

bool Reader::fillHeader()
{
    for (auto it = m_header.cbegin(); it != m_header.cend(); ++it) {
        const int code = firstControlCharacter(it.value());
        if (code >= 0)
            return pointProblem(texts::controlCharacter(code), it.key());
    }
    const auto value = [&](const char *name) {
        const QString text = m_header.value(QLatin1String(name));
        return text.isNull() ? QString(QLatin1String("")) : text;
    };
    // FS9's departure_id carries the airport's position after its ident;
    // the export writes it back so.
    const auto airport = [&](const char *ident, const char *lla) {
        const QString id = value(ident);
        const std::optional<Position> at = readPosition(value(lla));
        if (!at)
            return id;
        const QString sep = QStringLiteral(", ");
        return id + sep + planLatitude(at->lat) + sep + planLongitude(at->lon) + sep + planAltitude(at->altitude);
    };
    PlanHeader &header = m_plan->header;
    header.type = value("FPType");
    header.routeType = routeTypeOf(value("RouteType"));
    header.cruisingAltitude = cruisingAltitudeOf(value("CruisingAlt"));
    header.departureId = airport("DepartureID", "DepartureLLA");
    header.departureName = value("DepartureName");
    header.departurePosition = value("DeparturePosition");
    header.destinationId = airport("DestinationID", "DestinationLLA");
    header.destinationName = value("DestinationName");
    return true;
}

} // namespace

bool readXmlPlan(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error)
{
    return Reader(bytes, fileName, plan, error).run();
}

} // namespace kx::interchange
