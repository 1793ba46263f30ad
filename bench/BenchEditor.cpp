// The route editor: a beacon range search over 2,000 beacons that all lie in
// range (so every one is written to the scratch table), and opening the editor
// window on a route of 99 points.
#include "Bench.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "editor/U_Points.h"
#include "editor/core/BeaconSearch.h"
#include "store/Session.h"
#include "store/Transaction.h"
#include "tools/mkdb/DbBuild.h"

#include <QApplication>

#include <cmath>

namespace kx::bench {
namespace {

constexpr int kBeacons = 2000;
constexpr int kPoints = 99;

// Beacons on a grid within 2 degrees of latitude and 2.5 of longitude around
// N55 E037: at most about 280 km from the centre, inside the default range.
bool insertBeacons(store::Database &db, QString *why)
{
    store::Transaction transaction(db);
    for (int i = 0; i < kBeacons; ++i) {
        const double lat = 53.0 + 4.0 * (i % 40) / 39.0;
        const double lon = 34.5 + 5.0 * (i / 40) / 49.0;
        qint64 beacon = 0;
        if (!insertBeacon(db, i, lat, lon, &beacon, why))
            return false;
    }
    return transaction.commit();
}

bool insertRoute(store::Database &db, qint64 *route, QString *why)
{
    store::Transaction transaction(db);
    if (!execBound(db, QStringLiteral("INSERT INTO Routes (Name, FL) VALUES (?, 9449)"), {QStringLiteral("Bench 99")},
                   why, route))
        return false;
    for (int i = 0; i < kPoints; ++i) {
        const double lat = 52 + 6 * std::sin(i * 0.7);
        const double lon = 30 + i * 1.1;
        qint64 punkt = 0;
        if (!insertWaypoint(db, i + 1, lat, lon, QVariant(), &punkt, why)
            || !insertRoutePoint(db, *route, i + 1, punkt, QVariant(), why))
            return false;
    }
    // Calculated-looking legs: the grid shows numbers, as it does for a real route.
    if (!execBound(db, QStringLiteral("UPDATE Points SET MPU = 90, S = -100 WHERE Route = ?"), {*route}, why))
        return false;
    return transaction.commit();
}

} // namespace

void benchEditor(Bench &bench)
{
    const QString search = QStringLiteral("beacon_search_2000_ms");
    const QString open = QStringLiteral("editor_open_99_ms");
    if (!bench.wants(search) && !bench.wants(open))
        return;
    const QString folder = bench.newFolder(QStringLiteral("editor"));
    QString why;
    SilentPrompter prompter;
    if (!dbbuild::createDatabase(folder + QLatin1String(store::Session::kDatabaseName), &why)) {
        bench.fail(search, why);
        return;
    }
    store::Session session(folder, prompter);
    qint64 route = 0;
    if (!session.ADOC.open(session.databasePath()) || !insertBeacons(session.ADOC, &why)
        || !insertRoute(session.ADOC, &route, &why) || !session.openRoutes()
        || !session.QRoutes.locate(u"Code", route)) {
        bench.fail(search, why.isEmpty() ? session.ADOC.lastError() : why);
        return;
    }

    if (bench.wants(search)) {
        const double ms = bench.medianMs([&] {
            const int found = editor::searchBeacons(session, nullptr, QStringLiteral("N55*00.00"),
                                                    QStringLiteral("E037*00.00"), 300);
            if (found == kBeacons)
                return true;
            bench.fail(search, QStringLiteral("%1 candidates instead of %2 %3").arg(found).arg(kBeacons)
                                   .arg(prompter.lastError()));
            return false;
        });
        if (ms >= 0)
            bench.report(search, ms, QStringLiteral("ms"));
    }

    if (bench.wants(open)) {
        // The window lives for the whole run, as in the program; each opening
        // shows it, reads the points and paints it.
        editor::TF_Points window(session);
        const double ms = bench.medianMs([&] {
            window.show();
            QApplication::processEvents();
            const bool ok = window.pointList().rowCount() == kPoints;
            if (!ok)
                bench.fail(open, QStringLiteral("the point list did not open"));
            window.hide();
            return ok;
        });
        if (ms >= 0)
            bench.report(open, ms, QStringLiteral("ms"));
    }
}

} // namespace kx::bench
