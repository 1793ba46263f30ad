#include "RouteHeader.h"

#include "EditorTexts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"
#include "store/Transaction.h"

namespace kx::editor {

bool deleteRouteWithPoints(store::Session &session, QObject *owner, qint64 route)
{
    BusyGuard busy(session.busy());
    store::Transaction transaction(session.ADOC);
    QString failure;
    if (!transaction.isActive())
        failure = texts::routeDeleteFailed();
    else if (!session.ADOC.exec(QStringLiteral("DELETE FROM Points WHERE Route = ?"), {route}))
        failure = texts::routePointsDeleteFailed();
    else if (!session.ADOC.exec(QStringLiteral("DELETE FROM Routes WHERE Code = ?"), {route}) || !transaction.commit())
        failure = texts::routeDeleteFailed();
    if (failure.isEmpty())
        return true;
    transaction.rollback();
    session.prompter().info(owner, failure);
    return false;
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
