#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::interchange {

// What the printed route sheet is filled with, as plain values: the variables
// (Name, AP_V, AP_P, SO, Vilka, FL; VName, VH, VATIS, VFLPer, VHPer, VRSBN for
// the departure airport and PName ... PRSBN for the destination) and the
// datasets FRDB1 (the route's points, the columns of the route editor's list
// QP), FRDB2 and FRDB3 (the runways of the departure and the destination
// airport). Texts are QString, numbers stay numbers, Null stays Null except
// where the sheet wants 0 for an empty airport value.
struct ReportData
{
    QVariantMap variables;
    QMap<QString, QList<QVariantMap>> datasets;
    QMap<QString, QStringList> fields; // each dataset's columns, rows or no rows
};

enum class ReportDataResult {
    Ok,
    PointsFailed, // QP could not be opened ("Ошибка выполнения запроса [QP]!")
    Failed,       // anything else (the sheet cannot be prepared)
};

// Gathers the data for the current route of session.QRoutes: opens qp on the
// route's points, takes the destination's values from its last row and the
// departure's from its first, reads both airports' runways through Q2 and Q3,
// and the route's header from QRoutes. Q2, Q3 and qp are closed again on
// every path: the data is copied, and the shared objects are left closed.
ReportDataResult gatherReportData(store::Session &session, store::Query &qp, ReportData &data,
                                  QString *error = nullptr);

// An airport's runways, in the order they were entered; one bound value, the
// airport's Punkts.Code.
QString runwaysSql();

// The rows of an open list as column → value maps.
QList<QVariantMap> rowMaps(const store::Query &query);

} // namespace kx::interchange
