#include "RoutePointsQuery.h"

#include "store/Query.h"

namespace kx::interchange {

QString routePointsSql()
{
    // Jet's "&" joins Null as an empty text; COALESCE keeps that, so an airport
    // without a beacon of its own shows the bare separator.
    return QStringLiteral(
        "SELECT Points.Number AS \"Number\", Points.Punkt AS \"Punkt\", Punkts.ID AS \"Punkts.ID\", "
        "Punkts.Name AS \"Punkts.Name\", Punkts.Type AS \"Type\", Punkts.Freq AS \"Freq\", Punkts.LAT AS \"LAT\", "
        "Punkts.LON AS \"LON\", Punkts.MS AS \"MS\", Punkts.H AS \"H\", Punkts.ATIS AS \"ATIS\", "
        "COALESCE(RSBN_1.ID, '') || '  -  ' || COALESCE(RSBN_1.Name, '') AS \"RSBNKorr\", "
        "Punkts.H_PER AS \"H_PER\", Punkts.FL_PER AS \"FL_PER\", Points.OZMPU_V AS \"OZMPU_V\", "
        "Points.OZMPU_P AS \"OZMPU_P\", Points.S AS \"S\", Points.LUR AS \"LUR\", Points.Sp AS \"Sp\", "
        "Points.P_V AS \"P_V\", Points.P_P AS \"P_P\", Points.MPU AS \"MPU\", Points.IPU AS \"IPU\", "
        "Points.RSBN AS \"RSBN\", RSBN.ID AS \"RSBN.ID\", Points.Sm AS \"Sm\", Points.Zm AS \"Zm\", "
        "Points.UKm AS \"UKm\", Points.Am AS \"Am\", Points.Dm AS \"Dm\", RSBN.Name AS \"RSBN.Name\" "
        "FROM ((Points INNER JOIN Punkts ON Points.Punkt = Punkts.Code) "
        "LEFT JOIN RSBN ON Points.RSBN = RSBN.Code) "
        "LEFT JOIN RSBN AS RSBN_1 ON Punkts.RSBN = RSBN_1.Code "
        "WHERE Points.Route = ? "
        "ORDER BY Points.Number");
}

bool openRoutePoints(store::Query &qp, qint64 routeCode)
{
    qp.close();
    qp.setSql(routePointsSql(), {routeCode});
    return qp.open();
}

} // namespace kx::interchange
