#pragma once

#include "geo/GeoPoint.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace kx::map {

// A beacon or waypoint of the catalogue as the map shows it; no position when
// its coordinate texts cannot be read.
struct MapBeacon
{
    qint64 code = 0;
    QString id;
    QString name;
    std::optional<geo::GeoPoint> position;
};

// One point of the route in flight order.
struct MapPoint
{
    qint64 pointCode = 0; // Points.Code
    qint64 punktCode = 0; // Points.Punkt
    int number = 0;       // Points.Number
    QString id;
    QString name;
    QString type; // Punkts.Type: "Airport", "NDB", "VOR" or empty for an intersection
    std::optional<geo::GeoPoint> position;
    // The correction beacon of the leg that starts here.
    std::optional<MapBeacon> beacon;

    bool isAirport() const { return type.compare(QLatin1String("Airport"), Qt::CaseInsensitive) == 0; }
    QString label() const { return QString::number(number) + u' ' + id; }
};

// What the map draws of a route: its header, its points and the beacon range.
struct RouteMap
{
    qint64 code = 0;
    QString name;
    QVariant distance; // Routes.S, km; Null before the calculation
    QVariant fork;     // Routes.Vilka, degrees
    bool calculated = false;
    int rangeKm = 300; // L_RSBN
    QList<MapPoint> points;

    QList<geo::GeoPoint> positions() const;
    // "3 ABC" for each point whose position cannot be read.
    QStringList unlocated() const;
};

// The catalogue's RSBN beacons the map may show around the route (its
// airports and navaids come from the catalogue layer, CatalogueIndex.h).
struct MapCatalogue
{
    QList<MapBeacon> rsbn;
};

} // namespace kx::map
