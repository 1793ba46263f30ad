#pragma once

#include "ReportBuilder.h"

#include <QString>

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::reports {

enum class RouteSheetData {
    Ok,
    PointsFailed, // qp could not be opened ("Ошибка выполнения запроса [QP]!")
    Failed,       // anything else (the sheet cannot be prepared)
};

// What the printed route sheet of the current route of session.QRoutes is
// filled with, as plain values: the variables (Name, AP_V, AP_P, SO, Vilka,
// FL; VName, VH, VATIS, VFLPer, VHPer, VRSBN for the departure airport and
// PName ... PRSBN for the destination) and the datasets FRDB1 (the route's
// points, the columns of the route editor's list QP), FRDB2 and FRDB3 (the
// runways of the departure and the destination airport). Texts are QString,
// numbers stay numbers, Null stays Null except where the sheet wants 0 for an
// empty airport value.
//
// Opens qp on the route's points, takes the destination's values from its last
// row and the departure's from its first, reads both airports' runways and the
// route's header from QRoutes. qp is closed again on every path: the sheet
// keeps a copy of what it shows. *error says why it failed.
[[nodiscard]] RouteSheetData gatherRouteSheetData(store::Session &session, store::Query &qp, ReportInput &input,
                                                  QString *error = nullptr);

} // namespace kx::reports
