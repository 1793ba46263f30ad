#include "CatalogueLists.h"

#include "store/Collation.h"

namespace kx::catalogues {
namespace {

QString nocase()
{
    return QStringLiteral(" COLLATE ") + QLatin1String(store::kCollation);
}

QString punktsSql()
{
    return QStringLiteral("SELECT Punkts.Code, Punkts.ID, Punkts.Region, Punkts.Name, Punkts.Type, Punkts.Freq, "
                          "Punkts.LAT, Punkts.LON, Punkts.MS, Punkts.H, Punkts.ATIS, Punkts.RSBN, Punkts.H_PER, "
                          "Punkts.FL_PER "
                          "FROM Punkts "
                          "ORDER BY Punkts.ID")
        + nocase() + QStringLiteral(", Punkts.Region") + nocase();
}

QString rsbnSql()
{
    // A Null call sign or name reads as empty text, so that the beacon still
    // has a name to be chosen by.
    return QStringLiteral("SELECT RSBN.Code, RSBN.Region, RSBN.ID, RSBN.Name, RSBN.LAT, RSBN.LON, RSBN.Freq, "
                          "ifnull(RSBN.ID, '') || ' (' || ifnull(RSBN.Name, '') || ')' AS LongName "
                          "FROM RSBN "
                          "ORDER BY RSBN.Region")
        + nocase() + QStringLiteral(", RSBN.ID") + nocase();
}

} // namespace

CatalogueLists::CatalogueLists(store::Database &db)
    : QPunkts(db, QStringLiteral("QPunkts")), QRSBN(db, QStringLiteral("QRSBN"))
{
    QPunkts.setSql(punktsSql());
    QPunkts.setUpdateTable(QStringLiteral("Punkts"));
    QRSBN.setSql(rsbnSql());
}

bool CatalogueLists::openPunkts()
{
    QPunkts.close();
    return QPunkts.open();
}

bool CatalogueLists::openRsbn()
{
    QRSBN.close();
    return QRSBN.open();
}

QString runwaysSql()
{
    // Each column named by its own name alone, as the route sheet's layout
    // addresses it.
    return QStringLiteral("SELECT Runways.Code AS \"Code\", Runways.AP AS \"AP\", Runways.Runway AS \"Runway\", "
                          "Runways.DPRM AS \"DPRM\", Runways.BPRM AS \"BPRM\", Runways.ILSAngle AS \"ILSAngle\", "
                          "Runways.ILSFreq AS \"ILSFreq\", Runways.Type AS \"Type\", Runways.IZPU_P AS \"IZPU_P\", "
                          "Runways.Zm_P AS \"Zm_P\", Runways.Sm_P AS \"Sm_P\" "
                          "FROM Runways "
                          "WHERE Runways.AP = ? "
                          "ORDER BY Runways.Code");
}

} // namespace kx::catalogues
