// The waypoint catalogue on 250,000 waypoints: opening its window, the search
// by exact ident, and the peak memory of a program that has it open (measured
// in a child process of its own, so that the other figures' data do not count).
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_PPM.h"
#include "catalogues/U_Punkts.h"
#include "store/Session.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <vector>

namespace kx::bench {
namespace {

constexpr char kChildFolder[] = "KX_BENCH_CATALOGUE_FOLDER";
const QString kOpen = QStringLiteral("catalogue_open_250k_ms");
const QString kSearch = QStringLiteral("catalogue_search_ms");
const QString kPeak = QStringLiteral("catalogue_peak_rss_mb");

// The program's side of the catalogue: its session with the route list open,
// the shared lists and the two windows, as the main window holds them.
struct Program
{
    explicit Program(const QString &folder, SilentPrompter &prompter)
        : session(folder, prompter), lists(session.ADOC), editor(session, lists), window(session, lists, editor)
    {
    }
    bool open()
    {
        return session.ADOC.open(session.databasePath()) && session.openRoutes();
    }
    // Shows the catalogue and lets it paint; true when it holds every waypoint.
    bool show(int waypoints)
    {
        window.show();
        QApplication::processEvents();
        return lists.QPunkts.rowCount() == waypoints;
    }

    store::Session session;
    catalogues::CatalogueLists lists;
    catalogues::TF_PPM editor;
    catalogues::TF_Punkts window;
};

// The process's peak resident memory in MB (VmHWM), or -1 where the system
// does not tell.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("VmHWM:\\s*(\\d+)\\s*kB")).match(text);
    return m.hasMatch() ? m.captured(1).toDouble() / 1024.0 : -1;
}

// In the child process: open the catalogue once and report the peak.
void measurePeakHere(Bench &bench, const QString &folder, int waypoints)
{
    SilentPrompter prompter;
    Program program(folder, prompter);
    if (!program.open() || !program.show(waypoints)) {
        bench.fail(kPeak, QStringLiteral("the catalogue did not open"));
        return;
    }
    const double mb = peakResidentMb();
    if (mb < 0)
        bench.fail(kPeak, QStringLiteral("no /proc/self/status"));
    else
        bench.report(kPeak, mb, QStringLiteral("MB"));
}

void measurePeakInChild(Bench &bench, const QString &folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildFolder), folder);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--runs"), QStringLiteral("1"), kPeak});
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        bench.fail(kPeak, QStringLiteral("the measuring process failed: ") + QString::fromLocal8Bit(child.readAllStandardError()));
        return;
    }
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QRegularExpression::escape(kPeak) + QStringLiteral(":\\s*([0-9.]+)")).match(out);
    if (!m.hasMatch()) {
        bench.fail(kPeak, QStringLiteral("the measuring process printed no figure"));
        return;
    }
    bench.report(kPeak, m.captured(1).toDouble(), QStringLiteral("MB"));
}

} // namespace

void benchCatalogues(Bench &bench)
{
    const GeneratedSize size;
    const QString childFolder = qEnvironmentVariable(kChildFolder);
    if (!childFolder.isEmpty()) {
        if (bench.wants(kPeak))
            measurePeakHere(bench, childFolder, size.waypoints);
        return;
    }
    const bool open = bench.wants(kOpen);
    const bool search = bench.wants(kSearch);
    const bool peak = bench.wants(kPeak);
    if (!open && !search && !peak)
        return;

    const QString folder = bench.newFolder(QStringLiteral("catalogues"));
    QString why;
    if (!generateDatabase(folder + QStringLiteral("kalyxdb.kdb"), size, &why)) {
        bench.fail(kOpen, why);
        return;
    }
    SilentPrompter prompter;

    if (open) {
        Program program(folder, prompter);
        if (!program.open()) {
            bench.fail(kOpen, program.session.ADOC.lastError());
            return;
        }
        std::vector<double> times;
        for (int i = 0; i < bench.runs(); ++i) {
            QElapsedTimer timer;
            timer.start();
            const bool ok = program.show(size.waypoints);
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            program.window.done(0);
            if (!ok) {
                bench.fail(kOpen, QStringLiteral("the catalogue did not hold every waypoint"));
                return;
            }
        }
        bench.report(kOpen, Bench::median(times), QStringLiteral("ms"));
    }

    if (search) {
        Program program(folder, prompter);
        if (!program.open() || !program.show(size.waypoints)) {
            bench.fail(kSearch, QStringLiteral("the catalogue did not open"));
            return;
        }
        store::Query &list = program.lists.QPunkts;
        auto *edit = program.window.findChild<QLineEdit *>(QStringLiteral("PID"));
        // Idents from the whole list, many far down it; the search reads rows in order.
        QStringList idents;
        QRandomGenerator random(11);
        for (int i = 0; i < 30; ++i)
            idents << list.valueAt(random.bounded(list.rowCount()), u"ID").toString();
        int next = 0;
        const double ms = bench.medianMs([&] {
            edit->setText(idents.at(next++ % idents.size()));
            program.window.search();
            QApplication::processEvents(); // the grid follows the list's row
            return true;
        });
        bench.report(kSearch, ms, QStringLiteral("ms"));
        program.window.done(0);
    }

    if (peak)
        measurePeakInChild(bench, folder);
}

} // namespace kx::bench
