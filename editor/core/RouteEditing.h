#pragma once

#include "CalcMarker.h"
#include "PointEditing.h"
#include "PointList.h"

#include <QObject>
#include <QUndoStack>

namespace kx::store {
class Session;
}

namespace kx::editor {

// Which changes the route allows at the point of this row number (from 1) of
// a route of count points, as the editor's buttons allow them: a point is
// inserted after any point but the last (or as the first of an empty route);
// the first and the last point are neither replaced nor deleted.
bool canInsertAfter(int row, int count);
bool canChangePoint(int row, int count);

// The editing of the route open in the route editor, wherever the person
// makes it (the editor's buttons, the map): its point list QPPM, the marker of
// the not calculated state, and the undo stack of its point edits. Every edit
// is one step of the stack and one transaction; after each, done or not, and
// after each undo and redo, the point list is read again with the point
// concerned current and the route is marked as not calculated. Messages are
// the editor's own, owned by the window the person works in.
class RouteEditing : public QObject
{
    Q_OBJECT
public:
    explicit RouteEditing(store::Session &session, QObject *parent = nullptr);
    ~RouteEditing() override;

    PointList &points() { return m_points; }
    CalcMarker &marker() { return m_marker; }
    const CalcMarker &marker() const { return m_marker; }
    QUndoStack &undoStack() { return m_stack; }
    store::Session &session() { return m_session; }

    // The route was opened in the editor, or closed: nothing to undo, not marked.
    void reset();

    // Marks the route as not calculated, the first time since it was opened or
    // calculated (markingNotCalculated() tells the editor just before).
    void markNotCalculated(QObject *owner);

    // The edits. after and the points are the route's as the list shows them.
    qint64 insertAfter(QObject *owner, int after, qint64 punkt); // the new point's Code, 0 after a failure
    bool replace(QObject *owner, qint64 point, qint64 punkt);
    bool remove(QObject *owner, qint64 point);                    // asks nothing: the caller has asked
    qint64 insertOwn(QObject *owner, int after, const OwnWaypoint &waypoint);

    void undo(QObject *owner);
    void redo(QObject *owner);

    // The row (from 1) of a point in the point list, 0 when it is not there.
    int rowOf(qint64 point) const;

    // For the steps: what follows every step and every undo or redo.
    struct Focus
    {
        qint64 point = 0;      // the point to make current, when not 0
        int row = 0;           // else this row (after a deletion: the follower)
        bool deletion = false;
    };
    QObject *owner() const { return m_owner; }
    void stepFailed() { m_failed = true; }
    void setFocus(const Focus &focus) { m_focus = focus; }

signals:
    void markingNotCalculated();

private:
    // Runs a new step: the point it made current (1 when it names none), 0
    // when it failed.
    qint64 push(QObject *owner, QUndoCommand *step);
    void settle();

    store::Session &m_session;
    PointList m_points;
    CalcMarker m_marker;
    QUndoStack m_stack;
    QObject *m_owner = nullptr;
    bool m_failed = false;
    Focus m_focus;
};

} // namespace kx::editor
