#include "WaypointProperties.h"

#include "base/Busy.h"
#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_PPM.h"
#include "editor/U_Points.h"
#include "store/Session.h"

#include <tuple>

namespace kx::shell {

using catalogues::TF_PPM;

void showWaypointProperties(store::Session &session, editor::TF_Points &points, catalogues::CatalogueLists &lists,
                            TF_PPM &waypointEditor)
{
    store::Query &punkts = lists.QPunkts;
    const QVariant route = session.currentRouteCode();
    const qint64 point = points.currentPointCode();
    const qint64 waypoint = points.currentPunkt();
    {
        BusyGuard busy(session.busy());
        if (!lists.openPunkts())
            return;
        if (waypoint == 0 || !punkts.locate(u"Code", waypoint)) {
            punkts.close();
            return;
        }
    }

    waypointEditor.run(TF_PPM::Mode::Edit);

    BusyGuard busy(session.busy());
    // A route list that cannot be read again is left closed and shows no
    // routes; the editor's own list, read next, tells its own failure.
    std::ignore = session.reopenRoutesAt(route);
    points.reloadPointsAtCode(point);
    if (waypointEditor.positionSaved())
        points.markNotCalculated();
    punkts.close();
}

} // namespace kx::shell
