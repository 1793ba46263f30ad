#include "PointList.h"

namespace kx::editor {
namespace {

// Qualified aliases keep the waypoint's and the beacon's ID and Name apart.
const QString kPointListSql = QStringLiteral(
    "SELECT Points.Number AS \"Points.Number\", Points.Code AS \"Points.Code\", Points.Punkt AS \"Points.Punkt\", "
    "Punkts.ID AS \"Punkts.ID\", Punkts.Name AS \"Punkts.Name\", Punkts.LAT AS \"Punkts.LAT\", "
    "Punkts.LON AS \"Punkts.LON\", Points.MPU AS \"Points.MPU\", Points.S AS \"Points.S\", "
    "Points.RSBN AS \"Points.RSBN\", RSBN.ID AS \"RSBN.ID\", RSBN.Name AS \"RSBN.Name\", Points.Dm AS \"Points.Dm\" "
    "FROM (Points INNER JOIN Punkts ON Points.Punkt = Punkts.Code) LEFT JOIN RSBN ON Points.RSBN = RSBN.Code "
    "WHERE Points.Route = ? "
    "ORDER BY Points.Number");

} // namespace

PointList::PointList(store::Database &db) : m_list(db, QStringLiteral("QPPM")) {}

bool PointList::open(qint64 routeCode)
{
    m_route = routeCode;
    m_list.close();
    return m_list.open(kPointListSql, {routeCode});
}

bool PointList::reopenAtCode(qint64 pointCode)
{
    if (!m_list.open())
        return false;
    m_list.locate(u"Points.Code", pointCode);
    return true;
}

bool PointList::reopenAtRow(int rowNumber)
{
    if (!m_list.open())
        return false;
    m_list.setRowNumber(rowNumber);
    return true;
}

bool PointList::reopenAfterDeletion(int rowNumber)
{
    if (!m_list.open())
        return false;
    if (m_list.rowCount() > rowNumber && m_list.rowCount() >= 2)
        m_list.setRowNumber(rowNumber);
    else
        m_list.last();
    return true;
}

qint64 PointList::currentCode() const
{
    return m_list.value(u"Points.Code").toLongLong();
}

qint64 PointList::currentPunkt() const
{
    return m_list.value(u"Points.Punkt").toLongLong();
}

int PointList::currentNumber() const
{
    return m_list.value(u"Points.Number").toInt();
}

QString PointList::currentId() const
{
    return m_list.value(u"Punkts.ID").toString();
}

QString PointList::currentLat() const
{
    return m_list.value(u"Punkts.LAT").toString();
}

QString PointList::currentLon() const
{
    return m_list.value(u"Punkts.LON").toString();
}

QVariant PointList::currentBeacon() const
{
    return m_list.value(u"Points.RSBN");
}

} // namespace kx::editor
