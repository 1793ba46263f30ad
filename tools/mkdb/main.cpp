// kalyx-mkdb: builds the route database that ships with Kalyx.
//
//   kalyx-mkdb OUT.kdb --catalogue DIR --fs FS_FOLDER [--plans PATH...] [--no-gpl]
//
// OUT.kdb must not exist. DIR holds the catalogue files (data/catalogue),
// FS_FOLDER a simulator folder with Scenery/BASE/Scenery/magdec.bgl (data/fs9),
// each PATH a *.PLN file or a folder of them (data/plans) that become the
// demonstration routes. --no-gpl leaves out the GPL-derived runway radio data
// (DIR/gpl/runway_ils.csv).

#include "tools/mkdb/ShippedDatabase.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr char kUsage[] =
    "usage: kalyx-mkdb OUT.kdb --catalogue DIR --fs FS_FOLDER [--plans PATH...] [--no-gpl]\n"
    "  OUT.kdb      the database to create; an existing file is never replaced\n"
    "  --catalogue  folder with airports.csv, navaids.csv, runways.csv, rsbn.csv, rsbn_ussr.csv (and gpl/)\n"
    "  --fs         simulator folder whose Scenery/BASE/Scenery/magdec.bgl gives the variations\n"
    "  --plans      *.PLN files or folders of them, made into demonstration routes\n"
    "  --no-gpl     leave out gpl/runway_ils.csv (ILS and locator data under GPL-3.0)\n";

int usage(const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "kalyx-mkdb: %s\n", qPrintable(problem));
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);

    kx::dbbuild::ShippedDatabaseOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        auto value = [&](QString *target) {
            if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--")))
                return false;
            *target = args.at(++i);
            return true;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == QLatin1String("--catalogue")) {
            if (!value(&options.catalogueFolder))
                return usage(QStringLiteral("--catalogue needs a folder"));
        } else if (arg == QLatin1String("--fs")) {
            if (!value(&options.fsPath))
                return usage(QStringLiteral("--fs needs a folder"));
        } else if (arg == QLatin1String("--plans")) {
            const qsizetype before = options.plans.size();
            while (i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--")))
                options.plans.append(args.at(++i));
            if (options.plans.size() == before)
                return usage(QStringLiteral("--plans needs a file or folder"));
        } else if (arg == QLatin1String("--no-gpl")) {
            options.withGpl = false;
        } else if (arg.startsWith(QLatin1String("--")) || !options.output.isEmpty()) {
            return usage(QStringLiteral("unexpected argument %1").arg(arg));
        } else {
            options.output = arg;
        }
    }
    if (options.output.isEmpty() || options.catalogueFolder.isEmpty() || options.fsPath.isEmpty())
        return usage(QStringLiteral("OUT.kdb, --catalogue and --fs are required"));

    kx::dbbuild::ShippedDatabaseSummary summary;
    QString error;
    if (!kx::dbbuild::buildShippedDatabase(options, &summary, &error)) {
        std::fprintf(stderr, "kalyx-mkdb: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("kalyx-mkdb: wrote %s: %d airports, %d navaids, %d runways, %d RSBN beacons, %d routes (%d points)\n",
                qPrintable(options.output), summary.catalogue.airports, summary.catalogue.navaids,
                summary.catalogue.runways, summary.catalogue.rsbn, summary.routes, summary.points);
    return 0;
}
