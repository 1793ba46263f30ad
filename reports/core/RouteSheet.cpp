#include "RouteSheet.h"

#include "LayoutParser.h"
#include "PagePainter.h"
#include "ReportTexts.h"
#include "RouteSheetData.h"

#include "base/BaseTexts.h"
#include "base/Prompter.h"
#include "store/Session.h"

namespace kx::reports {

bool prepareRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner, RouteSheet &sheet,
                       QString *detail)
{
    const QString layoutFailed = texts::layoutFailed();
    const auto failed = [&](const QString &message, const QString &why) {
        if (detail)
            *detail = why;
        session.prompter().error(messageOwner, message);
        return false;
    };
    // The person who edits the layout learns what is wrong with it, and where.
    const auto layoutFailedBecause = [&](const QString &why) {
        return failed(why.isEmpty() ? layoutFailed : layoutFailed + QStringLiteral("\r\n") + why, why);
    };

    RouteSheet result;
    QString why;
    if (!loadLayout(session.programFolder() + QLatin1String(kLayoutFileName), result.layout, &why))
        return layoutFailedBecause(why);

    switch (gatherRouteSheetData(session, qp, result.input, &why)) {
    case RouteSheetData::Ok:
        break;
    case RouteSheetData::PointsFailed:
        return failed(texts::pointsQueryFailed(), why);
    case RouteSheetData::Failed:
        return layoutFailedBecause(why);
    }

    if (!prepareReport(result.layout, result.input, result.prepared, &why))
        return layoutFailedBecause(why);
    sheet = std::move(result);
    return true;
}

bool writeRouteSheetPdf(store::Session &session, store::Query &qp, QObject *messageOwner, const QString &path,
                        QString *detail)
{
    RouteSheet sheet;
    if (!prepareRouteSheet(session, qp, messageOwner, sheet, detail))
        return false;
    QString why;
    if (!writePdf(sheet.prepared, path, &why)) {
        if (detail)
            *detail = why;
        session.prompter().error(messageOwner, kx::texts::fileWriteFailed());
        return false;
    }
    return true;
}

} // namespace kx::reports
