#pragma once

#include "geo/GeoPoint.h"

#include <QString>
#include <QVariant>

namespace kx::map {

// What kind of catalogue waypoint a point of the catalogue layer is.
enum class CatalogueKind { Airport, Vor, Ndb, Intersection };

// How soon, zooming in, the map shows a catalogue waypoint, and which one
// keeps its place when two would crowd each other: airports with an ICAO
// ident and an ATIS frequency first, then those with an ICAO ident, VORs,
// NDBs, the other airports (fields known only by a local code), and last the
// intersections.
enum CatalogueRank : int {
    kRankMajorAirport = 0,
    kRankAirport = 1,
    kRankVor = 2,
    kRankNdb = 3,
    kRankMinorAirport = 4,
    kRankIntersection = 5,
    kRankCount = 6,
};
int catalogueRank(const QVariant &type, const QString &id, const QVariant &atis);
CatalogueKind catalogueKind(const QVariant &type);
// The closest scale (pixels per km) at which a rank is still shown, and the
// highest rank shown at a scale.
double rankMinScale(int rank);
int maxRankAt(double scale);

// A waypoint of the catalogue in the map's layer.
struct CataloguePoint
{
    qint64 code = 0;
    QString id;
    CatalogueKind kind = CatalogueKind::Intersection;
    int rank = kRankIntersection;
    geo::GeoPoint position;
};

// A part of the sphere by latitude and longitude, west to east within -180..180.
struct GeoBox
{
    double south = -90;
    double north = 90;
    double west = -180;
    double east = 180;
};

} // namespace kx::map
