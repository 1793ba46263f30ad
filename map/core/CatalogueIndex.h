#pragma once

#include "CatalogueLayer.h"

#include <QList>
#include <QString>

namespace kx::store {
class Database;
}

namespace kx::map {

// The R*Tree of the waypoints' positions (PunktsArea) and the notes of the
// waypoints changed since (PunktsAreaStale, written by the schema's
// triggers).
namespace catalogueindex {

// Brings the tree up to date from the notes in one transaction: each noted
// waypoint is taken out and, while it exists and its position can be read,
// put back where it is now. Cheap when nothing changed. A database that
// cannot be written (a read-only program folder) keeps its tree as it is;
// false with *error when the statements fail.
bool refresh(store::Database &db, QString *error = nullptr);

// The waypoints in the boxes up to maxRank, most important first; false with
// *error when the statement fails.
bool read(store::Database &db, const QList<GeoBox> &boxes, int maxRank, QList<CataloguePoint> *out,
          QString *error = nullptr);

// The region a new waypoint at a place takes: the first two letters of the
// ICAO ident of the nearest airport that has one, within reachKm; empty when
// there is none.
QString regionNear(store::Database &db, geo::GeoPoint at, double reachKm);

} // namespace catalogueindex

} // namespace kx::map
