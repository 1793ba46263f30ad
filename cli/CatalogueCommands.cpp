#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "catalogues/core/OurAirportsImport.h"

#include <QDir>
#include <QFileInfo>

namespace kx::cli {
namespace {

// import-ourairports FOLDER [--countries LIST] [--types LIST]
int importOurAirports(CommandContext &context)
{
    ConsoleStream err(stderr);
    const auto usage = [&](const QString &problem) {
        err << "kalyx-cli import-ourairports: " << problem << '\n';
        return ExitUsage;
    };
    QString folder;
    catalogues::OurAirportsFilter filter;
    QStringList args = context.args;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        QString why;
        if (arg == u"--countries" || arg == u"--types") {
            if (args.isEmpty())
                return usage(arg + QStringLiteral(" needs a comma-separated list"));
            const QString list = args.takeFirst();
            const bool ok = arg == u"--countries" ? catalogues::parseCountryList(list, &filter.countries, &why)
                                                   : catalogues::parseTypeList(list, &filter.types, &why);
            if (!ok)
                return usage(why);
        } else if (arg.startsWith(QStringLiteral("--")) || !folder.isEmpty()) {
            return usage(QStringLiteral("unexpected argument ") + arg);
        } else {
            folder = arg;
        }
    }
    if (folder.isEmpty())
        return usage(QStringLiteral("the folder of the OurAirports files is missing"));
    const QString path = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    const catalogues::ImportOutcome outcome =
        catalogues::importOurAirports(context.session, path, filter, nullptr, nullptr);
    return outcome == catalogues::ImportOutcome::Done ? ExitOk : ExitFailed;
}

} // namespace

void addCatalogueCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("import-ourairports"),
                     QStringLiteral("FOLDER [--countries LIST] [--types LIST]"),
                     QStringLiteral("import airports.csv, runways.csv, navaids.csv and airport-frequencies.csv of "
                                    "OurAirports into the waypoint catalogue (types by default: large_airport, "
                                    "medium_airport, small_airport)"),
                     1, 5, importOurAirports});
}

} // namespace kx::cli
