#include "CliPrompter.h"
#include "Command.h"

#include "interchange/InterchangeTexts.h"
#include "interchange/RsbnDat.h"
#include "interchange/SimExport.h"
#include "interchange/SimTexts.h"
#include "store/Session.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kx::cli {
namespace {

namespace texts = interchange::texts;
using interchange::SimFormat;

QString absolutePath(const QString &path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

// export-fms, export-fg, export-pa3: CODE FILE. The route must exist and be
// calculated; an existing file is replaced only with --yes.
int exportFor(CommandContext &context, SimFormat format)
{
    if (!selectRoute(context))
        return ExitFailed;
    const QString path = absolutePath(context.args.at(1));
    if (context.session.QRoutes.value(u"DateTime").isNull()) {
        context.prompter.error(nullptr, texts::notCalculated());
        return ExitFailed;
    }
    if (QFileInfo::exists(path) && !context.prompter.ask(nullptr, texts::replaceFileQuestion(path), true))
        return ExitFailed;
    return interchange::exportForSimulator(context.session, format, path, nullptr) ? ExitOk : ExitFailed;
}

int compareRsbn(CommandContext &context)
{
    QByteArray bytes;
    QString message;
    if (!interchange::readRsbnFile(absolutePath(context.args.at(0)), &bytes, &message)) {
        context.prompter.error(nullptr, message);
        return ExitFailed;
    }
    const interchange::RsbnDat file = interchange::readRsbnDat(bytes);
    if (file.stations.isEmpty()) {
        context.prompter.error(nullptr,
                               texts::wrongFileFormat(absolutePath(context.args.at(0))) + QStringLiteral("\r\n")
                                                + texts::rsbnNoStations());
        return ExitFailed;
    }
    QList<interchange::RsbnStation> catalogue;
    if (!interchange::readCatalogueBeacons(context.session.ADOC, &catalogue, &message)) {
        context.prompter.error(nullptr, texts::rsbnCatalogueFailed() + QStringLiteral("\r\n") + message);
        return ExitFailed;
    }
    QTextStream out(stdout);
    for (const QString &line : interchange::compareRsbn(file, catalogue).lines)
        out << line << '\n';
    return ExitOk;
}

} // namespace

void addSimCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("export-fms"), QStringLiteral("CODE FILE"),
                     QStringLiteral("write the calculated route as an X-Plane flight plan (.fms, version 1100)"), 2, 2,
                     [](CommandContext &c) { return exportFor(c, SimFormat::XPlaneFms); }});
    commands.append({QStringLiteral("export-fg"), QStringLiteral("CODE FILE"),
                     QStringLiteral("write the calculated route as a FlightGear route (XML, version 2)"), 2, 2,
                     [](CommandContext &c) { return exportFor(c, SimFormat::FlightGear); }});
    commands.append({QStringLiteral("export-pa3"), QStringLiteral("CODE FILE"),
                     QStringLiteral("write the calculated route as the Tu-154B2's PA-3 tablet plan (JSON)"), 2, 2,
                     [](CommandContext &c) { return exportFor(c, SimFormat::Pa3); }});
    commands.append({QStringLiteral("compare-rsbn"), QStringLiteral("FILE"),
                     QStringLiteral("compare an X-Plane Tu-154B2 rsbn.dat with the beacon catalogue, by channel"), 1, 1,
                     compareRsbn});
}

} // namespace kx::cli
