#include "CatalogueLists.h"

#include "store/Collation.h"
#include "store/NameWords.h"
#include "store/Schema.h"
#include "store/Statement.h"
#include "store/TextKey.h"

namespace kx::catalogues {
namespace {

// A beacon's region and call sign are folded in full, as an ident is.
constexpr int kBeaconCyrillic = 10;

QString punktsColumns()
{
    return QStringLiteral("Punkts.Code, Punkts.ID, Punkts.Region, Punkts.Name, Punkts.Type, Punkts.Freq, "
                          "Punkts.LAT, Punkts.LON, Punkts.MS, Punkts.H, Punkts.ATIS, Punkts.RSBN, Punkts.H_PER, "
                          "Punkts.FL_PER");
}

store::PagedSql rsbnSql()
{
    // A Null call sign or name reads as empty text, so that the beacon still
    // has a name to be chosen by.
    return {QStringLiteral("RSBN.Code, RSBN.Region, RSBN.ID, RSBN.Name, RSBN.LAT, RSBN.LON, RSBN.Freq, "
                           "ifnull(RSBN.ID, '') || ' (' || ifnull(RSBN.Name, '') || ')' AS LongName"),
            QStringLiteral("RSBN"),
            {store::textKeySql(QStringLiteral("RSBN.Region"), kBeaconCyrillic),
             store::textKeySql(QStringLiteral("RSBN.ID"), kBeaconCyrillic), QStringLiteral("RSBN.Code")}};
}

} // namespace

CatalogueLists::CatalogueLists(store::Database &db)
    : QPunkts(db, QStringLiteral("QPunkts")), QRSBN(db, QStringLiteral("QRSBN"))
{
    QPunkts.setPagedSql(waypointListSql(punktsColumns()));
    QPunkts.setUpdateTable(QStringLiteral("Punkts"));
    QRSBN.setPagedSql(rsbnSql());
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

store::PagedSql waypointListSql(const QString &columns)
{
    return {columns, QStringLiteral("Punkts"), store::waypointOrderKeys()};
}

bool findWaypointByIdent(store::Query &list, const QString &text)
{
    // The range of keys that begin with the text's key: a search of the index.
    const QString key = store::waypointIdentKey(text);
    const QString past = store::pastPrefix(key);
    const QString first = store::Query::orderKey(0);
    if (past.isEmpty())
        return list.locateWhere(first + QStringLiteral(" >= ?"), {key});
    return list.locateWhere(QStringLiteral("%1 >= ? AND %1 < ?").arg(first), {key, past});
}

bool findWaypointByName(store::Query &list, const QString &text, int sortAtMost)
{
    // The words kept begin with at most so many characters of the name.
    QVariantList wordValues;
    const QString words =
        store::noCasePrefixCondition(QStringLiteral("Word"), text.left(store::kWordLength), &wordValues);
    store::Statement count(list.database(),
                           QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM PunktWords WHERE %1 LIMIT ?)").arg(words));
    if (!count.execFirst(wordValues + QVariantList{sortAtMost + 1}))
        return false;
    // Walking the list in order checks one name after another and stops at the
    // first that has the word: soon, when many have it. Few are sorted.
    const QString check = QStringLiteral("%1(Name, ?)").arg(QLatin1String(store::kHasWord));
    if (count.value(0).toInt() > sortAtMost)
        return list.locateWhere(check, {text});
    return list.locateWhere(QStringLiteral("Code IN (SELECT Punkt FROM PunktWords WHERE %1) AND %2").arg(words, check),
                            wordValues + QVariantList{text});
}

std::optional<WaypointPlace> waypointPlace(store::Database &db, qint64 code)
{
    store::Statement place(db, QStringLiteral("SELECT LAT, LON FROM Punkts WHERE Code = ?"));
    if (!place.execFirst({code}))
        return std::nullopt;
    return WaypointPlace{place.value(0), place.value(1)};
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
