#pragma once

#include <QtGlobal>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// Deletes a route's points and then its row (each statement through Q3, with
// the busy cursor), reporting each failure with the information icon and going
// on. Returns whether the route's row is gone.
bool deleteRouteWithPoints(store::Session &session, QObject *owner, qint64 route);

// Posts the current row of the route list, which saves the header fields the
// user typed. When that fails the message "Ошибка записи в таблицу [Routes]!"
// is shown and the typed values are given up, so that the list can be read
// again. Returns whether the row was saved.
bool saveRouteHeader(store::Session &session, QObject *owner);

} // namespace kx::editor
