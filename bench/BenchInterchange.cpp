// Flight plans and gauges on a catalogue of 250,000 waypoints: the import of a
// 99-waypoint and of a 10,000-waypoint plan (about two thirds of their
// waypoints already catalogued, the rest new to every run), and the three
// exports of a calculated 99-point route.
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "base/Cp1251.h"
#include "base/Error.h"
#include "calc/CalculateRoute.h"
#include "interchange/ExportI21.h"
#include "interchange/ExportNvu.h"
#include "interchange/ExportPln.h"
#include "interchange/ImportPln.h"
#include "interchange/PlnFormat.h"
#include "store/Session.h"
#include "store/Statement.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <functional>

namespace kx::bench {
namespace {

constexpr int kWaypoints = 99;
constexpr int kCatalogued = 66;
constexpr int kLongWaypoints = 10000;
constexpr int kLongCatalogued = 6667;
// A long import takes a second or more: fewer runs than the other figures.
constexpr int kLongRuns = 3;

struct PlanWaypoint
{
    QString region;
    QString id;
    QVariant type;
    QString lat;
    QString lon;
};

// Waypoints of the generated catalogue, picked at random.
QList<PlanWaypoint> cataloguedWaypoints(store::Database &db, int count, int catalogueSize)
{
    QList<PlanWaypoint> waypoints;
    QRandomGenerator random(99);
    store::Statement q(db, QStringLiteral("SELECT Region, ID, Type, LAT, LON FROM Punkts WHERE Code = ?"));
    while (waypoints.size() < count) {
        if (!q.execFirst({1 + random.bounded(catalogueSize)}))
            break;
        waypoints.append({q.value(0).toString(), q.value(1).toString(), q.value(2), q.value(3).toString(),
                          q.value(4).toString()});
    }
    return waypoints;
}

// Plan number n of `waypoints` waypoints: the catalogued waypoints interleaved
// with waypoints that are new to this plan.
QByteArray planBytes(const QList<PlanWaypoint> &catalogued, int n, int waypoints = kWaypoints)
{
    QString text = QStringLiteral("[flightplan]\r\nAppVersion=9.0.30612\r\ntitle=AAAA to BBBB\r\n"
                                  "description=AAAA, BBBB\r\ntype=IFR\r\nroutetype=1\r\ncruising_altitude=31000\r\n"
                                  "departure_id=AAAA\r\ndeparture_position=1\r\ndestination_id=BBBB\r\n"
                                  "departure_name=Aaaa\r\ndestination_name=Bbbb\r\n");
    int next = 0;
    for (int k = 0; k < waypoints; ++k) {
        PlanWaypoint w;
        if (k % 3 != 2 && next < catalogued.size()) {
            w = catalogued.at(next++);
        } else {
            w.region = QStringLiteral("ZZ");
            w.id = QStringLiteral("R%1W%2").arg(n).arg(k);
            w.lat = QStringLiteral("N%1*%2.00").arg(45 + k % 20).arg(k % 60, 2, 10, QChar(u'0'));
            w.lon = QStringLiteral("E%1*30.00").arg(30 + k % 150, 3, 10, QChar(u'0'));
        }
        text += QStringLiteral("waypoint.%1=").arg(k) + interchange::waypointLine(w.region, w.id, w.type, w.lat, w.lon, 0)
            + QStringLiteral("\r\n");
    }
    return toCp1251(text);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

void benchInterchange(Bench &bench)
{
    const QString import = QStringLiteral("import_99_in_250k_ms");
    const QString longImport = QStringLiteral("import_10000_ms");
    const QString nvu = QStringLiteral("export_nvu_ms");
    const QString i21 = QStringLiteral("export_i21_ms");
    const QString pln = QStringLiteral("export_pln_ms");
    const bool exports = bench.wants(nvu) || bench.wants(i21) || bench.wants(pln);
    if (!bench.wants(import) && !bench.wants(longImport) && !exports)
        return;

    const QString folder = bench.newFolder(QStringLiteral("interchange"));
    const QString fsPath = folder + QStringLiteral("FS9/");
    const GeneratedSize size;
    QString why;
    if (!generateDatabase(folder + QLatin1String(store::Session::kDatabaseName), size, &why)
        || !generateSimulator(fsPath, &why)) {
        bench.fail(import, why);
        return;
    }
    SilentPrompter prompter;
    store::Session session(folder, prompter);
    session.settings.fsPath = fsPath;
    if (!session.ADOC.open(session.databasePath()) || !session.openRoutes()) {
        bench.fail(import, session.ADOC.lastError());
        return;
    }

    // One plan per timed run, and one more for the route the exports write.
    const QList<PlanWaypoint> catalogued = cataloguedWaypoints(session.ADOC, kCatalogued, size.waypoints);
    QStringList plans;
    for (int n = 0; n <= bench.runs(); ++n) {
        plans.append(folder + QStringLiteral("plan%1.PLN").arg(n));
        if (!writeFile(plans.last(), planBytes(catalogued, n))) {
            bench.fail(import, QStringLiteral("cannot write %1").arg(plans.last()));
            return;
        }
    }

    const auto importPlan = [&](const QString &figure, const QString &path) -> qint64 {
        try {
            const qint64 route = interchange::ImportPLN(session, path, nullptr);
            if (route == 0)
                bench.fail(figure, prompter.lastError());
            return route;
        } catch (const std::exception &e) {
            bench.fail(figure, errorText(e));
            return 0;
        }
    };

    if (bench.wants(import)) {
        int next = 0;
        const double ms = bench.medianMs([&] { return importPlan(import, plans.at(next++)) != 0; });
        if (ms >= 0)
            bench.report(import, ms, QStringLiteral("ms"));
    }
    if (bench.wants(longImport)) {
        const QList<PlanWaypoint> many = cataloguedWaypoints(session.ADOC, kLongCatalogued, size.waypoints);
        std::vector<double> times;
        for (int run = 0; run < std::min(bench.runs(), kLongRuns); ++run) {
            const QString path = folder + QStringLiteral("long%1.PLN").arg(run);
            if (!writeFile(path, planBytes(many, 1000 + run, kLongWaypoints))) {
                bench.fail(longImport, QStringLiteral("cannot write %1").arg(path));
                break;
            }
            QElapsedTimer timer;
            timer.start();
            if (importPlan(longImport, path) == 0)
                break;
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        if (!times.empty())
            bench.report(longImport, Bench::median(times), QStringLiteral("ms"));
    }
    if (!exports)
        return;

    const qint64 route = importPlan(nvu, plans.last());
    try {
        if (route == 0 || !calc::CalculateRoute(session, route, nullptr, nullptr)) {
            bench.fail(nvu, prompter.lastError());
            return;
        }
    } catch (const std::exception &e) {
        bench.fail(nvu, errorText(e));
        return;
    }
    store::Query qp(session.ADOC, QStringLiteral("QP"));
    const QString planPath = folder + QStringLiteral("exported.PLN");
    const std::pair<QString, std::function<bool()>> figures[] = {
        {nvu, [&] { return interchange::ExportNVU(session, qp, 1, nullptr, nullptr); }},
        {i21, [&] { return interchange::ExportI21(session, qp, nullptr); }},
        {pln, [&] { return interchange::ExportPLN(session, planPath, nullptr); }},
    };
    for (const auto &[figure, run] : figures) {
        if (!bench.wants(figure))
            continue;
        const double ms = bench.medianMs([&] {
            if (run())
                return true;
            bench.fail(figure, prompter.lastError());
            return false;
        });
        if (ms >= 0)
            bench.report(figure, ms, QStringLiteral("ms"));
    }
}

} // namespace kx::bench
