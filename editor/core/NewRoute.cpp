#include "NewRoute.h"

#include "CatalogueLookup.h"
#include "EditorTexts.h"

#include "base/Prompter.h"
#include "interchange/PlnFormat.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Transaction.h"

namespace kx::editor {
namespace {

constexpr int kMaxLevel = 99999;

// "UUEE, N55* 58.36', E37* 24.88', +000622.00": how a flight plan names its
// departure and destination airports.
QString planAirport(const CatalogueAirport &a)
{
    return a.id + QStringLiteral(", ") + interchange::planLatitude(a.lat) + QStringLiteral(", ")
        + interchange::planLongitude(a.lon) + QStringLiteral(", ") + interchange::planAltitude(a.h.toDouble());
}

// A plan's entry as the import reads it: empty text, never Null, when the
// plan has nothing there.
QString planText(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

QString newRouteProblem(store::Session &session, const NewRouteEntry &entry, int *field)
{
    const auto problem = [field](int which, const QString &text) {
        if (field)
            *field = which;
        return text;
    };
    if (entry.name.trimmed().isEmpty())
        return problem(0, texts::routeNameMissing());
    const QString ids[] = {entry.departure.trimmed(), entry.arrival.trimmed()};
    for (int i = 0; i < 2; ++i) {
        if (ids[i].isEmpty())
            return problem(i + 1, texts::airportMissing(i == 0));
        bool failed = false;
        if (!findAirport(session, ids[i], &failed))
            return problem(i + 1, failed ? texts::airportLookupFailed() : texts::airportNotFound(ids[i]));
    }
    if (entry.fl < 0 || entry.fl > kMaxLevel)
        return problem(3, texts::levelOutOfRange());
    return {};
}

qint64 createRoute(store::Session &session, QObject *owner, const NewRouteEntry &entry)
{
    Prompter &prompter = session.prompter();
    const QString problem = newRouteProblem(session, entry);
    if (!problem.isEmpty()) {
        prompter.error(owner, problem);
        return 0;
    }
    const CatalogueAirport departure = *findAirport(session, entry.departure.trimmed());
    const CatalogueAirport arrival = *findAirport(session, entry.arrival.trimmed());

    store::Transaction transaction(session.ADOC);
    store::Statement route(session.ADOC,
                           QStringLiteral("INSERT INTO Routes (Name, FL, Type, RouteType, AP_V, AP_P, Dep_ID, Dep_Name, "
                                          "Dep_Pos, Dest_ID, Dest_Name) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    if (!transaction.isActive()
        || !route.exec({entry.name.trimmed(), entry.fl, QStringLiteral("IFR"), 0, departure.id, arrival.id,
                        planAirport(departure), planText(departure.name), planText(QString()), planAirport(arrival),
                        planText(arrival.name)})) {
        qWarning("new route: %s", qPrintable(route.lastError()));
        transaction.rollback();
        prompter.error(owner, texts::routesWriteFailed());
        return 0;
    }
    const qint64 code = route.lastInsertId().toLongLong();
    store::Statement point(session.ADOC, QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?, ?, ?)"));
    if (!point.exec({code, 1, departure.code}) || !point.exec({code, 2, arrival.code}) || !transaction.commit()) {
        qWarning("new route: %s", qPrintable(point.lastError()));
        transaction.rollback();
        prompter.error(owner, texts::pointAppendFailed());
        return 0;
    }
    return code;
}

} // namespace kx::editor
