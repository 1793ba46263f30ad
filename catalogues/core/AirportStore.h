#pragma once

#include <QStringList>
#include <QVariant>
#include <QtGlobal>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::catalogues {

// The columns of a waypoint row that the airport window edits.
QStringList airportColumns(); // H, FL_PER, H_PER, ATIS, RSBN

// Stores the airport window's columns of the current waypoint row (with RSBN
// = rsbn, Null for no beacon) in a transaction of its own. Whatever else is
// pending in the row (the waypoint editor's entries) stays pending, to be
// stored or discarded by the editor. When the write fails, the airport's
// values stay pending as well and texts::airportStoreFailed is shown. Returns whether the airport's columns were stored.
bool storeAirport(store::Session &session, store::Query &punkts, const QVariant &rsbn, QObject *owner);

// The runway dialog's "Сохранить": the current runway row (editing or
// appended) gets AP = airport and is posted in a transaction of its own. A
// failure shows its message and discards the row's changes (a new row
// disappears), so that the list is not left half-edited.
bool saveRunway(store::Session &session, store::Query &runways, qint64 airport, QObject *owner);

// The airport window's closing: every runway row, first to last, gets AP =
// airport and is posted, each in its own transaction. The first failure
// shows its message and leaves the remaining rows as they are.
bool storeRunways(store::Session &session, store::Query &runways, qint64 airport, QObject *owner);

} // namespace kx::catalogues
