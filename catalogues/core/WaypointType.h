#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace kx::catalogues {

// The waypoint types in the order of the editor's list; the order is the
// type's index. An intersection is stored as a Null Type.
enum WaypointTypeIndex : int {
    kNoType = -1, // a stored Type the list does not know
    kIntersection = 0,
    kAirport = 1,
    kNdb = 2,
    kVor = 3,
};

// "Пересечение", "Airport", "NDB", "VOR".
QStringList waypointTypeItems();
// The index of a stored Type: Null or empty text 0, "Airport" 1, "NDB" 2,
// "VOR" 3, any other text kNoType.
int waypointTypeIndex(const QVariant &storedType);
// The Type stored for an index: Null for an intersection, else the item text.
QVariant storedWaypointType(int index);

} // namespace kx::catalogues
