// kalyx-bench: timings of the program's heavier operations on data it
// generates itself, one "name: value unit" line per figure, each the median of
// several runs.
#include "Bench.h"
#include "Groups.h"

#include <QApplication>
#include <QTextStream>

namespace {

constexpr int kDefaultRuns = 15;

void printHelp(QTextStream &out)
{
    out << "Usage: kalyx-bench [--runs N] [NAME-PREFIX...]\n\n"
           "Prints one line \"name: value unit\" per figure, the median of N runs (default "
        << kDefaultRuns
        << ").\nWith name prefixes, only the figures whose names begin with one of them.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    // Windows are timed too: without a display they use Qt's offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalyx-bench"));

    QStringList prefixes;
    int runs = kDefaultRuns;
    QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--help") {
            QTextStream out(stdout);
            printHelp(out);
            return 0;
        }
        if (arg == u"--runs") {
            bool ok = false;
            runs = args.isEmpty() ? 0 : args.takeFirst().toInt(&ok);
            if (!ok || runs < 1) {
                printHelp(err);
                return 2;
            }
        } else if (arg.startsWith(u'-')) {
            printHelp(err);
            return 2;
        } else {
            prefixes.append(arg);
        }
    }

    kx::bench::Bench bench(prefixes, runs);
    if (!bench.isValid()) {
        err << "kalyx-bench: cannot create a temporary folder\n";
        return 1;
    }

    const kx::bench::BenchGroup groups[] = {
        kx::bench::benchShell,
        kx::bench::benchCalc,
        kx::bench::benchInterchange,
        kx::bench::benchEditor,
        kx::bench::benchCatalogues,
        kx::bench::benchOurAirports,
        kx::bench::benchMap,
        kx::bench::benchMapCatalogue,
    };
    for (const auto group : groups)
        group(bench);

    return bench.failed() ? 1 : 0;
}
