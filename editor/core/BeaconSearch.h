#pragma once

#include <QString>
#include <QVariant>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// Finds every beacon of the RSBN table within range km of a route point and
// leaves them as the candidates in RSBNSelect (RSBN = the beacon's Code, L =
// its distance rounded to 0.1 km), replacing the last search's. A beacon at
// exactly range km is a candidate. A beacon whose position cannot be read is
// never a candidate. Shows the busy cursor while it works, and its messages
// through the session's prompter, owned by owner: the route point's
// coordinate that cannot be read (the candidates then stay as they were), a
// failed statement, or none in range. Returns the number of candidates; 0
// after a message.
//
// The emptying and the inserts form one transaction, so that thousands of
// candidates cost one disk sync. After a failed insert the candidates
// inserted before it are kept, as they would be without the transaction.
int searchBeacons(store::Session &session, QObject *owner, const QString &pointLat, const QString &pointLon,
                  int range);

// Sets the point's correction beacon (a Null beacon removes it). Shows
// texts::pointsStatementFailed when the statement fails.
bool setPointBeacon(store::Session &session, QObject *owner, qint64 point, const QVariant &beacon);

} // namespace kx::editor
