#include "RouteSheetData.h"

#include "ReportTexts.h"

#include "catalogues/core/CatalogueLists.h"
#include "interchange/RoutePointsQuery.h"
#include "store/Query.h"
#include "store/Session.h"

namespace kx::reports {
namespace {

RouteSheetData fail(QString *error, RouteSheetData result, const QString &text)
{
    if (error)
        *error = text;
    return result;
}

bool isEmpty(const QVariant &v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
}

QVariant orZero(const QVariant &v) { return isEmpty(v) ? QVariant(0.0) : v; }

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

// The rows of an open list as column → value maps.
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

// An airport's runways as a dataset of the sheet, with their columns.
bool addRunways(store::Session &session, const QVariant &airport, const QString &dataset, ReportInput &input,
                QString *error)
{
    store::Query runways(session.ADOC, QStringLiteral("Runways"));
    if (!runways.open(catalogues::runwaysSql(), {airport})) {
        if (error)
            *error = QStringLiteral("[Runways] ") + runways.lastError();
        return false;
    }
    input.datasets.insert(dataset, rowMaps(runways));
    input.fields.insert(dataset, runways.columnNames());
    return true;
}

} // namespace

RouteSheetData gatherRouteSheetData(store::Session &session, store::Query &qp, ReportInput &input, QString *error)
{
    // The route editor's list is not left open on the printed route.
    struct CloseOnExit
    {
        store::Query &qp;
        ~CloseOnExit() { qp.close(); }
    } closeOnExit{qp};

    input = ReportInput();
    store::Query &routes = session.QRoutes;
    if (routes.isEmpty())
        return fail(error, RouteSheetData::Failed, texts::noCurrentRoute());
    const QVariant routeCode = routes.value(u"Code");

    if (!interchange::openRoutePoints(qp, routeCode.toLongLong()))
        return fail(error, RouteSheetData::PointsFailed, qp.lastError());
    if (qp.isEmpty())
        return fail(error, RouteSheetData::Failed, texts::routeWithoutPoints());

    QVariantMap &v = input.variables;
    qp.last();
    takeAirport(qp, QStringLiteral("P"), v);
    const QVariant destination = qp.value(u"Punkt");
    qp.first();
    takeAirport(qp, QStringLiteral("V"), v);
    const QVariant departure = qp.value(u"Punkt");

    if (!addRunways(session, departure, QStringLiteral("FRDB2"), input, error)
        || !addRunways(session, destination, QStringLiteral("FRDB3"), input, error)) {
        input = ReportInput();
        return RouteSheetData::Failed;
    }

    v.insert(QStringLiteral("Name"), routes.value(u"Name").toString());
    v.insert(QStringLiteral("AP_V"), routes.value(u"AP_V").toString());
    v.insert(QStringLiteral("AP_P"), routes.value(u"AP_P").toString());
    v.insert(QStringLiteral("SO"), routes.value(u"S"));
    v.insert(QStringLiteral("Vilka"), routes.value(u"Vilka"));
    v.insert(QStringLiteral("FL"), routes.value(u"FL"));

    input.datasets.insert(QStringLiteral("FRDB1"), rowMaps(qp));
    input.fields.insert(QStringLiteral("FRDB1"), qp.columnNames());
    return RouteSheetData::Ok;
}

} // namespace kx::reports
