#include "FlightGearRoute.h"

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

// The document as a tree; false with *why set for XML that does not parse.
bool parseTree(const QByteArray &bytes, Node *root, QString *why)
{
    QXmlStreamReader xml(bytes);
    std::vector<Node *> path;
    int nodes = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++nodes > kMaxNodes || path.size() >= static_cast<size_t>(kMaxDepth)) {
                *why = texts::xmlError(static_cast<int>(xml.lineNumber()), texts::notFlightGearRoute());
                return false;
            }
            Node *node = root;
            if (!path.empty()) {
                path.back()->children.push_back(std::make_unique<Node>());
                node = path.back()->children.back().get();
            } else if (!root->name.isEmpty()) {
                break; // a second root element is an error the reader reports
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
    if (xml.hasError()) {
        *why = texts::xmlError(static_cast<int>(xml.lineNumber()), xml.errorString());
        return false;
    }
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

bool readFlightGearRoute(const QByteArray &bytes, ForeignPlan *plan, QString *why)
{
    Node root;
    if (!parseTree(bytes, &root, why))
        return false;
    const Node *route = root.child(u"route");
    if (root.name != u"PropertyList" || !route) {
        *why = texts::notFlightGearRoute();
        return false;
    }
    const QString version = root.childText(u"version");
    if (version != u"2") {
        *why = texts::unsupportedFlightGearVersion(version.left(20));
        return false;
    }
    ForeignPlan result;
    QString ignored;
    for (const auto &[block, ident] :
         {std::pair{u"departure", &result.departure}, std::pair{u"destination", &result.destination}}) {
        const Node *node = root.child(block);
        if (node && !node->childText(u"airport").isEmpty())
            readIdent(node->childText(u"airport"), ident, &ignored);
    }
    int index = 0;
    for (const auto &wp : route->children) {
        if (wp->name != u"wp")
            continue;
        ++index;
        const QString type = wp->childText(u"type");
        const bool placed = wp->child(u"lat") || wp->child(u"lon");
        if (!placed && withoutPosition(type))
            continue;
        ForeignWaypoint w;
        QString problem;
        if (readIdent(wp->childText(u"ident"), &w.id, &problem))
            readPosition(wp->childText(u"lat"), wp->childText(u"lon"), &w, &problem);
        if (!problem.isEmpty()) {
            *why = texts::flightGearBadWaypoint(index, problem);
            return false;
        }
        if (result.waypoints.size() >= kMaxForeignPoints) {
            *why = texts::tooManyPoints(kMaxForeignPoints);
            return false;
        }
        result.waypoints.append(w);
    }
    QList<ForeignWaypoint> &w = result.waypoints;
    if (w.size() < 2) {
        *why = w.isEmpty() ? texts::noPlanPoints() : texts::onePlanPoint();
        return false;
    }
    if (!result.departure.isEmpty() && w.first().id.compare(result.departure, Qt::CaseInsensitive) == 0)
        w.first().kind = ForeignWaypoint::Kind::Airport;
    if (!result.destination.isEmpty() && w.last().id.compare(result.destination, Qt::CaseInsensitive) == 0)
        w.last().kind = ForeignWaypoint::Kind::Airport;
    *plan = result;
    return true;
}

} // namespace kx::interchange
