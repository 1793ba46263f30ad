#include "RouteEditing.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "store/Session.h"
#include "store/Statement.h"

#include <algorithm>

namespace kx::editor {
namespace {

QString waypointId(store::Session &session, qint64 punkt)
{
    store::Statement id(session.ADOC, QStringLiteral("SELECT ID FROM Punkts WHERE Code = ?"));
    return id.execFirst({punkt}) ? id.value(0).toString() : QString();
}

// One step of the stack. Each run (the first one included) is one
// transaction; one that fails has shown its message and leaves the stack.
class Step : public QUndoCommand
{
public:
    explicit Step(RouteEditing &editing) : m_editing(editing) {}

    void redo() override { settle(forward()); }
    void undo() override { settle(backward()); }

protected:
    virtual bool forward() = 0;
    virtual bool backward() = 0;

    store::Session &session() { return m_editing.session(); }
    QObject *owner() const { return m_editing.owner(); }
    qint64 route() const { return m_editing.points().route(); }
    void focus(const RouteEditing::Focus &f) { m_editing.setFocus(f); }

    RouteEditing &m_editing;

private:
    void settle(bool ok)
    {
        if (ok)
            return;
        setObsolete(true);
        m_editing.stepFailed();
    }
};

class InsertStep : public Step
{
public:
    InsertStep(RouteEditing &editing, int after, qint64 punkt) : Step(editing), m_after(after), m_punkt(punkt)
    {
        setText(texts::insertStep(after + 1, waypointId(session(), punkt)));
    }
protected:
    bool forward() override
    {
        const qint64 point = insertPointAfter(session(), owner(), route(), m_after, m_punkt, m_point);
        if (point == 0) {
            focus({0, m_editing.points().rowNumber()});
            return false;
        }
        m_point = point;
        focus({m_point});
        return true;
    }
    bool backward() override
    {
        focus({0, m_after});
        return withdrawPoint(session(), owner(), route(), m_point, m_after + 1);
    }

private:
    int m_after;
    qint64 m_punkt;
    qint64 m_point = 0;
};

class ReplaceStep : public Step
{
public:
    ReplaceStep(RouteEditing &editing, qint64 point, qint64 punkt) : Step(editing), m_point(point), m_punkt(punkt)
    {
        const PointRow row = readPointRow(session(), point);
        setText(texts::replaceStep(row.number(), waypointId(session(), punkt)));
    }

protected:
    bool forward() override
    {
        focus({0, m_editing.rowOf(m_point)});
        return replacePointWaypoint(session(), owner(), m_point, m_punkt, &m_before) && m_before.isValid();
    }
    bool backward() override
    {
        focus({0, m_editing.rowOf(m_point)});
        return restorePointWaypoint(session(), owner(), m_before, m_punkt);
    }

private:
    qint64 m_point;
    qint64 m_punkt;
    PointRow m_before;
};

class DeleteStep : public Step
{
public:
    DeleteStep(RouteEditing &editing, qint64 point) : Step(editing), m_point(point)
    {
        m_row = readPointRow(session(), point);
        setText(texts::deleteStep(m_row.number(), waypointId(session(), m_row.punkt())));
    }

protected:
    bool forward() override
    {
        const int row = m_editing.rowOf(m_point);
        focus({0, row > 0 ? row : m_editing.points().rowNumber(), row > 0});
        if (!m_row.isValid()) {
            // Gone before it could be deleted (another copy of the program).
            session().prompter().error(owner(), texts::pointsStatementFailed());
            return false;
        }
        return deletePoint(session(), owner(), route(), m_point, m_row.number(), &m_row) && m_row.isValid();
    }
    bool backward() override
    {
        focus({m_point});
        return restorePoint(session(), owner(), m_row);
    }

private:
    qint64 m_point;
    PointRow m_row;
};

class OwnStep : public Step
{
public:
    OwnStep(RouteEditing &editing, int after, const OwnWaypoint &waypoint)
        : Step(editing), m_after(after), m_waypoint(waypoint)
    {
        setText(texts::ownPointStep(after + 1, waypoint.id));
    }
protected:
    bool forward() override
    {
        const OwnPoint own = insertOwnPoint(session(), owner(), route(), m_after, m_waypoint, m_own);
        if (own.point == 0) {
            focus({0, m_editing.points().rowNumber()});
            return false;
        }
        m_own = own;
        focus({m_own.point});
        return true;
    }
    bool backward() override
    {
        focus({0, m_after});
        return withdrawPoint(session(), owner(), route(), m_own.point, m_after + 1, m_own.created ? m_own.punkt : 0);
    }

private:
    int m_after;
    OwnWaypoint m_waypoint;
    OwnPoint m_own;
};

} // namespace

bool canInsertAfter(int row, int count)
{
    return count == 0 || (row >= 1 && row < count);
}

bool canChangePoint(int row, int count)
{
    return row > 1 && row < count;
}

RouteEditing::RouteEditing(store::Session &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_points(session.ADOC)
{
}

RouteEditing::~RouteEditing() = default;

void RouteEditing::reset()
{
    m_stack.clear();
    m_marker.clear();
}

void RouteEditing::markNotCalculated(QObject *owner)
{
    if (m_marker.isSet())
        return;
    emit markingNotCalculated();
    m_marker.mark(m_session, owner);
}

int RouteEditing::rowOf(qint64 point) const
{
    const store::Query &list = m_points.query();
    for (int row = 0; row < list.rowCount(); ++row)
        if (list.valueAt(row, u"Points.Code").toLongLong() == point)
            return row + 1;
    return 0;
}

qint64 RouteEditing::push(QObject *owner, QUndoCommand *step)
{
    m_owner = owner;
    m_failed = false;
    m_focus = {};
    m_stack.push(step); // runs it; a step that failed is not kept
    const qint64 result = m_failed ? 0 : std::max<qint64>(1, m_focus.point);
    settle();
    return result;
}

qint64 RouteEditing::insertAfter(QObject *owner, int after, qint64 punkt)
{
    return push(owner, new InsertStep(*this, after, punkt));
}

bool RouteEditing::replace(QObject *owner, qint64 point, qint64 punkt)
{
    return push(owner, new ReplaceStep(*this, point, punkt)) != 0;
}

bool RouteEditing::remove(QObject *owner, qint64 point)
{
    return push(owner, new DeleteStep(*this, point)) != 0;
}

qint64 RouteEditing::insertOwn(QObject *owner, int after, const OwnWaypoint &waypoint)
{
    return push(owner, new OwnStep(*this, after, waypoint));
}

void RouteEditing::undo(QObject *owner)
{
    if (!m_stack.canUndo())
        return;
    m_owner = owner;
    m_failed = false;
    m_focus = {};
    m_stack.undo();
    settle();
}

void RouteEditing::redo(QObject *owner)
{
    if (!m_stack.canRedo())
        return;
    m_owner = owner;
    m_failed = false;
    m_focus = {};
    m_stack.redo();
    settle();
}

void RouteEditing::settle()
{
    // After a failure the steps around the failed one may no longer fit the
    // route as it is: none of them is offered any more.
    if (m_failed)
        m_stack.clear();
    bool read = false;
    if (m_focus.point != 0)
        read = m_points.reopenAtCode(m_focus.point);
    else if (m_focus.deletion)
        read = m_points.reopenAfterDeletion(m_focus.row);
    else
        read = m_points.reopenAtRow(std::max(1, m_focus.row));
    if (!read)
        m_session.prompter().error(m_owner, texts::pointListOpenFailed());
    markNotCalculated(m_owner);
}

} // namespace kx::editor
