#include "ExportCommands.h"

#include "U_PSH.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "interchange/ExportI21.h"
#include "interchange/ExportPln.h"
#include "interchange/InterchangeTexts.h"
#include "interchange/PlnFormat.h"
#include "reports/core/RouteSheet.h"
#include "reports/core/RouteSheetDocument.h"
#include "store/Session.h"
#include "ui/FileDialogs.h"
#include "ui/ReportPreviewDialog.h"

#include <QFileInfo>

namespace kx::editor {

namespace texts = interchange::texts;

void runPlnExport(store::Session &session, ui::FileDialogs &dialogs, QWidget *editor, QObject *routeList)
{
    const store::Query &routes = session.QRoutes;
    QString folder = session.settings.plnPath;
    QString name = interchange::proposedPlanName(routes.value(u"Type").toString(),
                                                 routes.value(u"Dep_Name").toString(),
                                                 routes.value(u"Dest_Name").toString());
    for (;;) {
        const QString chosen = dialogs.saveFile(editor, folder, name, texts::planSaveFilter());
        if (chosen.isEmpty())
            return;
        const QString path = interchange::withPlanExtension(chosen);
        // An existing file is replaced only by a complete plan, so it is not
        // deleted beforehand.
        if (QFileInfo::exists(path) && !session.prompter().ask(editor, texts::replaceFileQuestion(path), true)) {
            const QFileInfo last(chosen);
            folder = last.absolutePath();
            name = last.fileName();
            continue;
        }
        if (interchange::ExportPLN(session, path, routeList))
            session.prompter().info(editor, texts::withWrittenFile(texts::exportDone(), path));
        return;
    }
}

void runI21Export(store::Session &session, QWidget *editor)
{
    store::Query qp(session.ADOC, QStringLiteral("QP"));
    if (interchange::ExportI21(session, qp, editor))
        session.prompter().info(editor, texts::withWrittenFile(texts::exportDone(),
                                                               interchange::i21GaugeFile(session.settings.fsPath)));
}

void runCellExport(TF_PSH &chooser, QWidget *editor) { chooser.exportFor(editor); }

bool showRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner, ui::FileDialogs &fileDialogs,
                    QWidget *parent)
{
    BusyGuard busy(session.busy());
    reports::RouteSheet sheet;
    QString why;
    if (!reports::prepareRouteSheet(session, qp, messageOwner, sheet, &why)) {
        qWarning("route sheet: %s", qPrintable(why));
        return false;
    }
    // The preview waits for the person: no busy cursor over it.
    busy.restoreNow();
    ui::ReportPreviewDialog dialog(
        std::make_unique<reports::RouteSheetDocument>(std::move(sheet.layout), std::move(sheet.input)),
        session.prompter(), fileDialogs, parent);
    dialog.exec();
    return true;
}

} // namespace kx::editor
