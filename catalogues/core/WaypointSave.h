#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::catalogues {

// What the waypoint editor holds when "Сохранить" is pressed: the type's
// index in the type list (WaypointType.h), the entries and the coordinate
// texts as the checks left them.
struct WaypointEntry
{
    int typeIndex = 0;
    QVariant storedType; // the row's Type, kept when the type index is kNoType
    QString region;
    QString id;
    QString lat;
    QString lon;

    // The Type the row gets: Null for an intersection.
    QVariant typeToStore() const;
};

// The checks of an entry after the coordinate checks, in their order.
enum class EntryProblem {
    None,
    RegionMissing,        // every type but an airport needs a region
    IdentMissing,
    CoordinatesMissing,   // a latitude or longitude of zero degrees and minutes
    Duplicate,            // another waypoint with the same key
    DuplicateCheckFailed, // the look-up itself failed
};

QString entryProblemText(EntryProblem problem);

// "N00*00.00" / "E000*00.00" (or with S, W) stand for a position not entered.
bool isPositionMissing(const QString &lat, const QString &lon);

// Whether another waypoint has the entry's region, ident, latitude, longitude
// and, unless the entry is an intersection, type (letter case ignored, an
// empty region and a Null one alike). ownCode: the waypoint being edited, 0
// for one not stored yet, which any match duplicates.
EntryProblem findDuplicate(store::Session &session, const WaypointEntry &entry, qint64 ownCode);

// Region, ident, position and duplicate checks in order; the first problem.
// The caller empties the region of an airport first.
EntryProblem checkEntry(store::Session &session, const WaypointEntry &entry, qint64 ownCode);

enum class StoreResult {
    Saved,            // stored, and what follows from it done
    NotSaved,         // the row could not be written; the entries are kept
    SavedIncomplete,  // stored, but marking routes or deleting runways failed
    Lost,             // the write was undone after the list took it; the list
                      // was read again and the entries are gone
};

// Stores the current row of the waypoint list (editing or appended) with the
// entry's Type, LAT, LON and MS = MagVar at the position, in a transaction of
// its own. Then, when positionChanged, marks every route through the
// waypoint as not calculated; when the type is not an airport, deletes the
// waypoint's runways; and reads the list again on the waypoint. Each failure
// shows its message through the session's prompter, owned by owner.
[[nodiscard]] StoreResult storeWaypoint(store::Session &session, store::Query &punkts, const WaypointEntry &entry,
                                        bool positionChanged, QObject *owner);

// The two statements that follow a save, for the editor and for tests.
[[nodiscard]] bool markRoutesNotCalculated(store::Session &session, qint64 waypoint);
[[nodiscard]] bool deleteRunways(store::Session &session, qint64 waypoint);

} // namespace kx::catalogues
