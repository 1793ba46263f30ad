#pragma once

#include "store/Query.h"

#include <QVariant>

namespace kx::store {
class Database;
}

namespace kx::editor {

// The route editor's point list QPPM: one route's points with their waypoints
// and correction beacons, in flight order. A point whose waypoint is missing
// from the catalogue drops out of it; a missing beacon shows as Null.
// Columns, by their qualified names: Points.Number, Points.Code, Points.Punkt,
// Punkts.ID, Punkts.Name, Punkts.LAT, Punkts.LON, Points.MPU, Points.S,
// Points.RSBN, RSBN.ID, RSBN.Name, Points.Dm.
class PointList
{
public:
    explicit PointList(store::Database &db);

    store::Query &query() { return m_list; }
    const store::Query &query() const { return m_list; }

    // Reads the route's points (closing the list first); the first row becomes
    // current. False when the statement fails; the list is then closed.
    [[nodiscard]] bool open(qint64 routeCode);
    void close() { m_list.close(); }
    bool isOpen() const { return m_list.isOpen(); }
    qint64 route() const { return m_route; }

    int rowCount() const { return m_list.rowCount(); }
    bool isEmpty() const { return m_list.isEmpty(); }
    int rowNumber() const { return m_list.rowNumber(); }

    // Reads the list again and makes the point with this Code current; the
    // first row stays current when it is gone.
    [[nodiscard]] bool reopenAtCode(qint64 pointCode);
    // Reads the list again and goes back to this row number; the first row
    // stays current when there are fewer rows now.
    [[nodiscard]] bool reopenAtRow(int rowNumber);
    // Reads the list again after the point at this row number was deleted: the
    // point that followed it becomes current, or the last point when none did.
    [[nodiscard]] bool reopenAfterDeletion(int rowNumber);

    // The current point; 0, empty or Null on an empty list.
    qint64 currentCode() const;
    qint64 currentPunkt() const;
    int currentNumber() const;
    QString currentId() const;
    QString currentLat() const;
    QString currentLon() const;
    QVariant currentBeacon() const; // Points.RSBN, Null for none

private:
    store::Query m_list;
    qint64 m_route = 0;
};

} // namespace kx::editor
