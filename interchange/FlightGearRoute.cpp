#include "FlightGearRoute.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"
#include "SimPlanParts.h"
#include "SimTexts.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>
#include <vector>

namespace kx::interchange {
namespace {

// A property node: its name, its text and its children in file order.
struct Node
{
    QString name;
    QString text;
    std::vector<std::unique_ptr<Node>> children;

    const Node *child(QStringView childName) const
    {
        for (const auto &c : children)
            if (c->name == childName)
                return c.get();
        return nullptr;
    }
    QString childText(QStringView childName) const
    {
        const Node *c = child(childName);
        return c ? c->text.trimmed() : QString();
    }
};

// Real routes nest four deep and hold some hundreds of nodes.
constexpr int kMaxDepth = 32;
constexpr int kMaxNodes = 200000;

// The document as a tree; false with *why set for XML that does not parse,
// declares a DTD or nests deeper than any route.
bool parseTree(const QByteArray &bytes, Node *root, QString *why)
{
    QXmlStreamReader xml(bytes);
    std::vector<Node *> path;
    int nodes = 0;
    const auto fail = [&](const QString &what) {
        *why = texts::xmlAtLine(xml.lineNumber(), what);
        return false;
    };
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return fail(texts::xmlDeclarations());
        case QXmlStreamReader::StartElement: {
            if (path.size() >= static_cast<size_t>(kMaxDepth))
                return fail(texts::xmlTooDeep(kMaxDepth));
            if (++nodes > kMaxNodes)
                return fail(texts::notFlightGearRoute());
            Node *node = root;
            if (!path.empty()) {
                path.back()->children.push_back(std::make_unique<Node>());
                node = path.back()->children.back().get();
            }
            node->name = xml.name().toString();
            path.push_back(node);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!path.empty())
                path.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!path.empty())
                path.back()->text += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return fail(xml.error() == QXmlStreamReader::PrematureEndOfDocumentError ? texts::xmlTruncated()
                                                                                 : texts::xmlMalformed());
    return true;
}

void property(QXmlStreamWriter &xml, const QString &name, const char *type, const QString &value)
{
    xml.writeStartElement(name);
    xml.writeAttribute(QStringLiteral("type"), QLatin1String(type));
    xml.writeCharacters(value);
    xml.writeEndElement();
}

void airport(QXmlStreamWriter &xml, const QString &block, const QString &ident)
{
    xml.writeStartElement(block);
    property(xml, QStringLiteral("airport"), "string", ident);
    xml.writeEndElement();
}

// Waypoint types that carry no position of their own.
bool withoutPosition(const QString &type)
{
    static const QStringList kTypes{
        QStringLiteral("runway"),         QStringLiteral("hdgToAlt"), QStringLiteral("vectors"),
        QStringLiteral("discontinuity"),  QStringLiteral("via"),      QStringLiteral("dmeIntercept"),
        QStringLiteral("radialIntercept")};
    return kTypes.contains(type);
}

} // namespace

QByteArray writeFlightGearRoute(const SimRoute &route)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("PropertyList"));
    property(xml, QStringLiteral("version"), "int", QStringLiteral("2"));
    const SimPoint &first = route.points.first();
    const SimPoint &last = route.points.last();
    if (first.type == u"Airport" && first.hasFileIdent())
        airport(xml, QStringLiteral("departure"), first.id);
    if (last.type == u"Airport" && last.hasFileIdent())
        airport(xml, QStringLiteral("destination"), last.id);
    xml.writeStartElement(QStringLiteral("route"));
    for (qsizetype i = 0; i < route.points.size(); ++i) {
        const SimPoint &p = route.points.at(i);
        xml.writeStartElement(QStringLiteral("wp"));
        if (i > 0)
            xml.writeAttribute(QStringLiteral("n"), QString::number(i));
        property(xml, QStringLiteral("type"), "string", QStringLiteral("basic"));
        property(xml, QStringLiteral("ident"), "string", p.fileIdent());
        property(xml, QStringLiteral("lon"), "double", p.lon);
        property(xml, QStringLiteral("lat"), "double", p.lat);
        xml.writeEndElement();
    }
    xml.writeEndElement(); // route
    xml.writeEndElement(); // PropertyList
    xml.writeEndDocument();
    return bytes;
}

bool readFlightGearRoute(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error)
{
    const QString shownName = planFileName(fileName);
    Node root;
    QString why;
    if (!parseTree(bytes, &root, &why)) {
        *error = texts::xmlPlanUnreadable(shownName, why);
        return false;
    }
    const Node *route = root.child(u"route");
    if (root.name != u"PropertyList" || !route) {
        *error = texts::xmlPlanUnreadable(shownName, texts::notFlightGearRoute());
        return false;
    }
    const QString version = root.childText(u"version");
    if (version != u"2") {
        *error = texts::xmlPlanUnreadable(shownName, texts::unsupportedFlightGearVersion(version.left(20)));
        return false;
    }
    Plan result;
    result.fileName = shownName;
    result.routeName = routeNameOf(fileName);
    QString ignored;
    for (const auto &[block, ident] : {std::pair{u"departure", &result.header.departureId},
                                       std::pair{u"destination", &result.header.destinationId}}) {
        const Node *node = root.child(block);
        if (node && !node->childText(u"airport").isEmpty())
            readIdent(node->childText(u"airport"), ident, &ignored);
    }
    QList<double> altitudes;
    int index = 0;
    for (const auto &wp : route->children) {
        if (wp->name != u"wp")
            continue;
        ++index;
        const QString type = wp->childText(u"type");
        const bool placed = wp->child(u"lat") || wp->child(u"lon");
        if (!placed && withoutPosition(type))
            continue;
        PlanPoint p;
        p.type = PlanPointType::Unknown;
        p.regionKnown = false;
        QString problem;
        if (readIdent(wp->childText(u"ident"), &p.ident, &problem))
            readDecimalPosition(wp->childText(u"lat"), wp->childText(u"lon"), &p, &problem);
        p.where = texts::flightGearWaypoint(index, p.ident);
        if (problem.isEmpty() && result.points.size() >= kMaxSimPlanPoints)
            problem = texts::tooManyPoints(kMaxSimPlanPoints);
        if (!problem.isEmpty()) {
            *error = texts::xmlPointProblem(problem, p.where, shownName);
            return false;
        }
        bool numeric = false;
        const double feet = wp->childText(u"altitude-ft").toDouble(&numeric);
        altitudes.append(numeric ? feet : 0);
        result.points.append(p);
    }
    QList<PlanPoint> &p = result.points;
    // Fewer than two points: as a flight plan of FS2004 without them.
    if (p.size() < 2) {
        *error = p.isEmpty() ? texts::fileReadFailed(shownName) : texts::wrongFileFormat(shownName);
        return false;
    }
    const auto isAirport = [](const PlanPoint &point, const QString &airport) {
        return !airport.isEmpty() && point.ident.compare(airport, Qt::CaseInsensitive) == 0;
    };
    if (isAirport(p.first(), result.header.departureId)) {
        p.first().type = PlanPointType::Airport;
        altitudes.first() = 0;
    }
    if (isAirport(p.last(), result.header.destinationId)) {
        p.last().type = PlanPointType::Airport;
        altitudes.last() = 0;
    }
    result.header.cruisingAltitude = cruisingAltitudeOf(altitudes);
    *plan = result;
    return true;
}

} // namespace kx::interchange
