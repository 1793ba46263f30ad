#include "ReportData.h"

#include "RoutePointsQuery.h"

#include "store/Query.h"
#include "store/Session.h"

namespace kx::interchange {
namespace {

ReportDataResult fail(QString *error, ReportDataResult result, const QString &text)
{
    if (error)
        *error = text;
    return result;
}

bool isEmpty(const QVariant &v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
}

QVariant orZero(const QVariant &v)
{
    return isEmpty(v) ? QVariant(0.0) : v;
}

// The airport values of one end of the route, from the current row of qp;
// prefix is "V" (departure) or "P" (destination).
void takeAirport(const store::Query &qp, const QString &prefix, QVariantMap &variables)
{
    const QString id = qp.value(u"Punkts.ID").toString();
    const QString name = qp.value(u"Punkts.Name").toString();
    variables.insert(prefix + QStringLiteral("Name"), name.isEmpty() ? id : id + QStringLiteral("  -  ") + name);
    variables.insert(prefix + QStringLiteral("H"), orZero(qp.value(u"H")));
    variables.insert(prefix + QStringLiteral("ATIS"), orZero(qp.value(u"ATIS")));
    variables.insert(prefix + QStringLiteral("FLPer"), orZero(qp.value(u"FL_PER")));
    variables.insert(prefix + QStringLiteral("HPer"), orZero(qp.value(u"H_PER")));
    variables.insert(prefix + QStringLiteral("RSBN"), qp.value(u"RSBNKorr").toString());
}

} // namespace

QString runwaysSql()
{
    return QStringLiteral(
        "SELECT Runways.Code AS \"Code\", Runways.AP AS \"AP\", Runways.Runway AS \"Runway\", "
        "Runways.DPRM AS \"DPRM\", Runways.BPRM AS \"BPRM\", Runways.ILSAngle AS \"ILSAngle\", "
        "Runways.ILSFreq AS \"ILSFreq\", Runways.Type AS \"Type\", Runways.IZPU_P AS \"IZPU_P\", "
        "Runways.Zm_P AS \"Zm_P\", Runways.Sm_P AS \"Sm_P\" "
        "FROM Runways "
        "WHERE Runways.AP = ? "
        "ORDER BY Runways.Code");
}

QList<QVariantMap> rowMaps(const store::Query &query)
{
    QList<QVariantMap> rows;
    const QStringList &columns = query.columnNames();
    rows.reserve(query.rowCount());
    for (int r = 0; r < query.rowCount(); ++r) {
        QVariantMap row;
        for (int c = 0; c < columns.size(); ++c)
            row.insert(columns.at(c), query.valueAt(r, c));
        rows.append(row);
    }
    return rows;
}

ReportDataResult gatherReportData(store::Session &session, store::Query &qp, ReportData &data, QString *error)
{
    // The shared work objects are left closed whatever happens below.
    struct CloseOnExit
    {
        store::Session &s;
        store::Query &qp;
        ~CloseOnExit()
        {
            s.Q2.close();
            s.Q3.close();
            qp.close();
        }
    } closeOnExit{session, qp};

    data = ReportData();
    store::Query &routes = session.QRoutes;
    if (routes.isEmpty())
        return fail(error, ReportDataResult::Failed, QStringLiteral("нет текущего маршрута"));
    const QVariant routeCode = routes.value(u"Code");

    if (!openRoutePoints(qp, routeCode.toLongLong()))
        return fail(error, ReportDataResult::PointsFailed, qp.lastError());
    if (qp.isEmpty())
        return fail(error, ReportDataResult::Failed, QStringLiteral("в маршруте нет пунктов"));

    QVariantMap &v = data.variables;
    qp.last();
    takeAirport(qp, QStringLiteral("P"), v);
    const QVariant lastPunkt = qp.value(u"Punkt");

    session.Q2.close();
    session.Q3.close();
    session.Q2.setSql(QString());
    session.Q3.setSql(runwaysSql(), {lastPunkt});

    qp.first();
    takeAirport(qp, QStringLiteral("V"), v);
    session.Q2.setSql(runwaysSql(), {qp.value(u"Punkt")});

    if (!session.Q2.open())
        return fail(error, ReportDataResult::Failed, QStringLiteral("[Q2] %1").arg(session.Q2.lastError()));
    if (!session.Q3.open())
        return fail(error, ReportDataResult::Failed, QStringLiteral("[Q3] %1").arg(session.Q3.lastError()));

    v.insert(QStringLiteral("Name"), routes.value(u"Name").toString());
    v.insert(QStringLiteral("AP_V"), routes.value(u"AP_V").toString());
    v.insert(QStringLiteral("AP_P"), routes.value(u"AP_P").toString());
    v.insert(QStringLiteral("SO"), routes.value(u"S"));
    v.insert(QStringLiteral("Vilka"), routes.value(u"Vilka"));
    v.insert(QStringLiteral("FL"), routes.value(u"FL"));

    data.datasets.insert(QStringLiteral("FRDB1"), rowMaps(qp));
    data.datasets.insert(QStringLiteral("FRDB2"), rowMaps(session.Q2));
    data.datasets.insert(QStringLiteral("FRDB3"), rowMaps(session.Q3));
    data.fields.insert(QStringLiteral("FRDB1"), qp.columnNames());
    data.fields.insert(QStringLiteral("FRDB2"), session.Q2.columnNames());
    data.fields.insert(QStringLiteral("FRDB3"), session.Q3.columnNames());
    return ReportDataResult::Ok;
}

} // namespace kx::interchange
