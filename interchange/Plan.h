#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// A flight plan as every reader gives it, whatever file it came from (FS9's
// *.PLN, the XML *.PLN of FSX, P3D, MSFS and online planners, and any other
// planner's route file): the header that fills a route's row and the
// waypoints in flight order. Readers only read; the one importer
// (PlanImport.h) finds each waypoint in the catalogue, adds those it lacks
// and stores the route, so every format is matched and stored alike.
namespace kx::interchange {

// What the catalogue calls a waypoint: an airport, a VOR, an NDB, or a
// waypoint without catalogue type (an intersection, a user waypoint). Unknown
// is for plans that do not say: such a waypoint is the catalogue's waypoint
// of its ident at its place whatever its type, and new, one without type.
enum class PlanPointType { Airport, Vor, Ndb, None, Unknown };

struct PlanPoint
{
    QString ident;  // never empty
    QString region; // the ICAO region the plan gives; empty when it gives none
    // False for plans that carry no region (FS9's short form, X-Plane,
    // FlightGear): any region of the catalogue is then the waypoint's.
    bool regionKnown = true;
    PlanPointType type = PlanPointType::None;
    // The position as coordinate texts ("N55*58.33", "W003*06.02"); both
    // empty when the plan gives none (newer XML planners leave it out for
    // navaids), and the waypoint must then be in the catalogue already.
    QString lat;
    QString lon;
    double altitude = 0; // feet, as the plan writes it (the waypoint's elevation for FS9)
    // How messages name the waypoint: "waypoint.3", "ATCWaypoint 4 (HOC)".
    QString where;

    bool hasPosition() const { return !lat.isEmpty() && !lon.isEmpty(); }
};

// The header, as the Routes row takes it.
struct PlanHeader
{
    QString type;                // Routes.Type ("IFR", "VFR")
    int routeType = 0;           // Routes.RouteType (0 direct, 1 VOR to VOR, 2 low, 3 high airways)
    int cruisingAltitude = 0;    // feet; Routes.FL is it in metres
    QString departureId;         // Routes.Dep_ID: the ident, optionally ", " and the position
    QString departureName;       // Routes.Dep_Name
    QString departurePosition;   // Routes.Dep_Pos (a gate, a runway)
    QString destinationId;       // Routes.Dest_ID
    QString destinationName;     // Routes.Dest_Name
};

struct Plan
{
    QString fileName;  // the file's name without its folder, as messages name it
    QString routeName; // Routes.Name: the file's name without its last extension
    PlanHeader header;
    QList<PlanPoint> points;
};

// The catalogue's Type of a plan waypoint: "Airport", "VOR", "NDB", or Null.
inline QVariant catalogueType(PlanPointType type)
{
    switch (type) {
    case PlanPointType::Airport:
        return QStringLiteral("Airport");
    case PlanPointType::Vor:
        return QStringLiteral("VOR");
    case PlanPointType::Ndb:
        return QStringLiteral("NDB");
    case PlanPointType::None:
    case PlanPointType::Unknown:
        break;
    }
    return QVariant(QMetaType::fromType<QString>());
}

} // namespace kx::interchange
