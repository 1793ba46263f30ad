#include "RouteHeader.h"

#include "EditorTexts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"

namespace kx::editor {

bool deleteRouteWithPoints(store::Session &session, QObject *owner, qint64 route)
{
    Prompter &prompter = session.prompter();
    BusyGuard busy(session.busy());
    store::Query &q3 = session.Q3;
    q3.close();
    if (!q3.exec(QStringLiteral("DELETE FROM Points WHERE Route = ?"), {route})) {
        busy.restoreNow();
        prompter.info(owner, texts::routePointsDeleteFailed());
    }
    q3.close();
    const bool deleted = q3.exec(QStringLiteral("DELETE FROM Routes WHERE Code = ?"), {route});
    if (!deleted) {
        busy.restoreNow();
        prompter.info(owner, texts::routeDeleteFailed());
    }
    q3.close();
    return deleted;
}

bool saveRouteHeader(store::Session &session, QObject *owner)
{
    store::Query &routes = session.QRoutes;
    if (routes.post())
        return true;
    routes.cancel();
    session.prompter().error(owner, texts::routesWriteFailed());
    return false;
}

} // namespace kx::editor
