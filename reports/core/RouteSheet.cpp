#include "RouteSheet.h"

#include "LayoutParser.h"
#include "PagePainter.h"

#include "base/BaseTexts.h"
#include "base/Prompter.h"
#include "interchange/ReportData.h"
#include "store/Session.h"

namespace kx::reports {

bool prepareRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner, RouteSheet &sheet,
                       QString *detail)
{
    const QString layoutFailed = QString::fromUtf16(kLayoutFailedMessage);
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

    interchange::ReportData data;
    switch (interchange::gatherReportData(session, qp, data, &why)) {
    case interchange::ReportDataResult::Ok:
        break;
    case interchange::ReportDataResult::PointsFailed:
        return failed(QStringLiteral("Ошибка выполнения запроса [QP]!"), why);
    case interchange::ReportDataResult::Failed:
        return layoutFailedBecause(why);
    }
    result.input.variables = std::move(data.variables);
    result.input.datasets = std::move(data.datasets);
    result.input.fields = std::move(data.fields);

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
