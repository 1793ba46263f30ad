#pragma once

#include "Plan.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

class QObject;

namespace kx::store {
class Database;
class Session;
} // namespace kx::store

// The one importer of flight plans: whatever reader made the Plan
// (PlanReaders.h), its waypoints are found in the catalogue by the same rules
// and the route is stored the same way.
namespace kx::interchange {

// The catalogue waypoints a plan's waypoints may be, read once per import
// with the statements of catalogueLookupSql, so that finding a waypoint costs
// no statement however long the plan and however large the catalogue.
// A plan waypoint is the catalogue row (the lowest Code of several; texts
// compared without regard to letter case):
// - an airport: of type Airport and the same ident, wherever the plan puts it;
// - a VOR, NDB or waypoint without type, with a position: of the same ident
//   and type (Null for none) and the same region and coordinate texts, or
//   else the nearest such row within kSamePlaceKm whatever its region (FS9
//   writes the placeholder region "KK" for the catalogue's "EG" beacons);
// - the same without a position: of the same ident, type and region.
// A waypoint of Unknown type takes a row of any type by the same rules; one
// whose region is not known, a row of any region.
// A row added for an earlier waypoint of the plan serves later ones alike.
class PlanCatalogue
{
public:
    // Reads the rows whose ident one of points names; false with *error (the
    // database's reason) when a statement fails.
    bool load(store::Database &db, const QList<PlanPoint> &points, QString *error);
    // The Code of the row that serves the point; 0 when there is none.
    qint64 find(const PlanPoint &point) const;
    // A row the import has added for the point.
    void add(qint64 code, const PlanPoint &point);

private:
    struct Row
    {
        qint64 code = 0;
        QString type;   // "airport", "vor", "ndb", or "" for none (case-folded Type)
        QString region; // case-folded, as the coordinate texts
        QString lat;
        QString lon;
        std::optional<long double> latRad;
        std::optional<long double> lonRad;
    };
    // Rows by case-folded ident, in Code order.
    QHash<QString, QList<Row>> m_rows;
};

// The statement that reads the catalogue rows of some idents, whatever their
// letter case (Code, ID, Region, Type, LAT, LON), narrowed through the ident
// index Punkts_ID_Region, which it names; its values are appended to *values.
QString catalogueLookupSql(const QStringList &idents, QVariantList *values);

// Stores a plan as a new route, all in one transaction: the Routes row of its
// header (Name the plan's route name, FL its cruising altitude in metres,
// AP_V and AP_P the departure and destination idents before any ","), one
// new Punkts row for each waypoint the catalogue does not hold (Region, ID,
// Type, LAT, LON, H from the plan, MS from the simulator's variation table
// under fsPath), and the route points 1, 2, 3 ... in plan order. Returns the
// new route's Code. Returns 0 with *error, the message for a person, having
// stored nothing: texts::routesWriteFailed, texts::punktsWriteFailed,
// texts::pointsWriteFailed or texts::catalogueReadFailed when the database
// refuses a row or a statement, texts::waypointNotInCatalogue for a waypoint
// without a position that the catalogue does not hold.
qint64 storePlan(store::Database &db, const QString &fsPath, const Plan &plan, QString *error);

// The import command for a plan a reader has made: storePlan on the
// session's database, then the route list read again and standing on the new
// route, whose Code it returns so that the caller opens the route editor on
// it. 0 after it has shown the failure through the session's prompter, owned
// by owner (the route list window); the route list and the catalogue are then
// as they were.
qint64 importPlan(store::Session &session, const Plan &plan, QObject *owner);

} // namespace kx::interchange
