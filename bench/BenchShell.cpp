// The program's start: compaction, connection and the route list shown, on a
// database of 5,000 routes and 250,000 waypoints; and the route list's
// incremental search, per keystroke. The start's floor: SQLite opening the
// file and reading every route in the list's order (its NOCASE standing in
// for the program's collation).
#include "Bench.h"
#include "Floor.h"
#include "Generate.h"
#include "Groups.h"
#include "SilentPrompter.h"

#include "shell/U_Main.h"
#include "store/Session.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>

namespace kx::bench {

void benchShell(Bench &bench)
{
    const bool startup = bench.wants(QStringLiteral("startup_ms"));
    const bool search = bench.wants(QStringLiteral("route_search_ms"));
    if (!startup && !search)
        return;
    const QString folder = bench.newFolder(QStringLiteral("shell"));
    QString why;
    GeneratedSize size;
    if (!generateDatabase(folder + QStringLiteral("kalyxdb.kdb"), size, &why)
        || !generateSimulator(folder + QStringLiteral("FS9/"), &why)) {
        bench.fail(QStringLiteral("startup_ms"), why);
        return;
    }
    QFile ini(folder + QStringLiteral("kalyx.ini"));
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write(QStringLiteral("[SETUP]\r\nFSPath=%1FS9/\r\n").arg(folder).toUtf8()) < 0) {
        bench.fail(QStringLiteral("startup_ms"), ini.errorString());
        return;
    }
    ini.close();
    SilentPrompter prompter;

    if (startup) {
        const double ms = bench.medianMs([&] {
            shell::TF_Main window(folder, prompter, nullptr);
            window.show();
            window.startUp();
            QApplication::processEvents();
            const bool ok = window.session().QRoutes.rowCount() == size.routes;
            if (!ok)
                bench.fail(QStringLiteral("startup_ms"), QStringLiteral("the route list did not open"));
            return ok;
        });
        if (ms >= 0)
            bench.report(QStringLiteral("startup_ms"), ms, QStringLiteral("ms"));
        const QString floor = floorOf(QStringLiteral("startup_ms"));
        const double floorMs = bench.medianMs([&] {
            RawDatabase db(folder + QStringLiteral("kalyxdb.kdb"));
            int rows = 0;
            if (db.run(QStringLiteral("SELECT Code, Name, S, Vilka, FL, Type, RouteType, AP_V, AP_P, Dep_ID, "
                                      "Dep_Name, Dep_Pos, Dest_ID, Dest_Name, DateTime FROM Routes "
                                      "ORDER BY Name COLLATE NOCASE, S"),
                       {}, &rows)
                && rows == size.routes)
                return true;
            bench.fail(floor, db.isOpen() ? QStringLiteral("the routes were not read") : db.lastError());
            return false;
        });
        if (floorMs >= 0)
            bench.report(floor, floorMs, QStringLiteral("ms"));
    }

    if (search) {
        shell::TF_Main window(folder, prompter, nullptr);
        window.show();
        window.startUp();
        QApplication::processEvents();
        store::Query &routes = window.session().QRoutes;
        // What a pilot types: the first letters of existing names, one keystroke at a time.
        QStringList typed;
        QRandomGenerator random(7);
        for (int i = 0; i < 30; ++i) {
            const QString name = routes.valueAt(random.bounded(routes.rowCount()), u"Name").toString();
            typed << name.left(1 + random.bounded(6));
        }
        int next = 0;
        const double ms = bench.medianMs([&] {
            routes.locate(u"Name", typed.at(next++ % typed.size()), store::Locate::PrefixNoCase);
            QApplication::processEvents(); // the grid follows the list's row
            return true;
        });
        bench.report(QStringLiteral("route_search_ms"), ms, QStringLiteral("ms"));
    }
}

} // namespace kx::bench
