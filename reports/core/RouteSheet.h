#pragma once

#include "Layout.h"
#include "PreparedReport.h"
#include "ReportBuilder.h"

#include <QString>

class QObject;

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::reports {

// The route sheet of one route, ready for the preview, a printer or a PDF.
struct RouteSheet
{
    Layout layout;
    ReportInput input;
    PreparedReport prepared; // on the layout's own page
};

// The printing of the current route (the current row of session.QRoutes) up
// to the preview: loads pp.fr3 from the program folder afresh, gathers the
// route's data (RouteSheetData.h; qp is left closed) and prepares the pages.
// On failure shows the message itself, owned by messageOwner (the route list
// window): "Ошибка выполнения запроса [QP]!" when qp cannot be opened,
// "Ошибка открытия формы отчета pp.fr3!" for a missing or broken layout or
// any other failure, followed on its next line by the reason (with the
// layout's line number where there is one); detail then says what went
// wrong, for logs.
[[nodiscard]] bool prepareRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner,
                                     RouteSheet &sheet, QString *detail = nullptr);

// The sheet of the current route written as a PDF file (the command line's
// print). Messages as prepareRouteSheet; a file that cannot be written gives
// texts::fileWriteFailed and leaves no file behind.
[[nodiscard]] bool writeRouteSheetPdf(store::Session &session, store::Query &qp, QObject *messageOwner,
                                      const QString &path, QString *detail = nullptr);

} // namespace kx::reports
