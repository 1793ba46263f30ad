#include "ImportOurAirports.h"

#include "ImportProgressDialog.h"

#include "catalogues/core/OurAirportsImport.h"
#include "catalogues/core/OurAirportsTexts.h"
#include "store/Query.h"
#include "store/Session.h"
#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <tuple>

namespace kx::catalogues {

void importOurAirportsFolder(store::Session &session, store::Query &punkts, ui::FileDialogs &dialogs,
                             QString *folder, QWidget *owner)
{
    QString start = *folder;
    if (start.isEmpty()) {
        start = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        if (!QFileInfo(start).isDir())
            start = QDir::homePath();
    }
    const QString chosen = dialogs.chooseFolder(owner, start, texts::importFolderCaption());
    if (chosen.isEmpty())
        return;
    *folder = chosen;

    const QVariant current = punkts.isOpen() && !punkts.isEmpty() ? punkts.value(u"Code") : QVariant();
    ImportProgressDialog progress(texts::importCaption(), owner);
    const ImportOutcome outcome = importOurAirports(session, chosen, OurAirportsFilter(), &progress, owner);
    if (outcome == ImportOutcome::Done && punkts.isOpen())
        // A list that cannot be read again is left closed, as any list that
        // fails to open.
        std::ignore = punkts.refreshAt(u"Code", current);
}

} // namespace kx::catalogues
