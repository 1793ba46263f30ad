#pragma once

#include <QString>
#include <QtGlobal>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// What a new route is made of: its name, its two airports' idents and its
// cruising level in metres (0 to 99999, as the editor takes it).
struct NewRouteEntry
{
    QString name;
    QString departure;
    QString arrival;
    int fl = 0;
};

// The first problem of an entry, as the message to show; empty when it has
// none. *field tells which entry it is about (0 name, 1 departure, 2 arrival,
// 3 level).
QString newRouteProblem(store::Session &session, const NewRouteEntry &entry, int *field = nullptr);

// Makes the route in one transaction: its Routes row filled as the import of
// a flight plan between the two airports fills it (the departure and
// destination texts in the plan's own form, "IFR", route type 0 for a direct
// plan) and the two airports as its points 1 and 2. Not calculated. Checks
// the entry first; every problem and failure is shown through the session's
// prompter, owned by owner. Returns the new route's Code, 0 when none was made.
qint64 createRoute(store::Session &session, QObject *owner, const NewRouteEntry &entry);

} // namespace kx::editor
