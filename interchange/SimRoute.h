#pragma once

#include <QList>
#include <QString>

namespace kx::store {
class Session;
}

namespace kx::interchange {

// A calculated route as the files of other simulators take it: its points
// with their positions, and its legs with the values the NVU is set to.
struct SimPoint
{
    QString id;
    QString type; // "Airport", "NDB", "VOR"; empty for an intersection
    QString lat;  // signed decimal degrees with six decimals ("55.972667")
    QString lon;
    double feet = 0; // the waypoint's elevation, 0 when unknown

    // Whether the ident can stand in a file as one word.
    bool hasFileIdent() const;
    // The ident, or for a point without a usable one the name X-Plane gives a
    // bare position: signed latitude and longitude with three decimals, the
    // longitude's degrees in three digits ("+43.500_+039.900").
    QString fileIdent() const;
};

struct SimLeg
{
    // As the NVU cell gets them: the leg's length (Points.S made positive) and
    // its orthodromic course in the departure system (Points.OZMPU_V), each
    // rounded to one decimal.
    double length = 0;
    double course = 0;
};

struct SimRoute
{
    QString name;            // Routes.Name
    QString departure;       // Routes.AP_V
    QString destination;     // Routes.AP_P
    QString departureName;   // Routes.Dep_Name
    QString destinationName; // Routes.Dest_Name
    double totalKm = 0;      // Routes.S
    QList<SimPoint> points;  // at least two
    QList<SimLeg> legs;      // one fewer than the points

    // "DEP-ARR" from the route's airports, else from its first and last points.
    QString airportPair() const;
};

// Reads the current route of session.QRoutes, which must be calculated. False,
// with *why set for a person, when a point has no readable position or a leg
// no length or course (a database changed by other means), or when the route
// has fewer than two points; *why is empty when the database itself failed
// (*dbError then holds its reason).
bool readSimRoute(store::Session &session, SimRoute *route, QString *why, QString *dbError);

} // namespace kx::interchange
