#include "ImportPln.h"

#include "InterchangeTexts.h"
#include "PlnFormat.h"
#include "PlnText.h"

#include "base/Busy.h"
#include "base/Error.h"
#include "base/IniFile.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/MagVar.h"
#include "store/Collation.h"
#include "store/RowWrite.h"
#include "store/Session.h"
#include "store/Table.h"

#include <tuple>

namespace kx::interchange {
namespace {

QString insertPointSql()
{
    return QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?, ?, ?)");
}

QString nonNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

// The Code of the catalogue row that serves the waypoint; 0 when there is none.
qint64 findWaypoint(store::Session &session, const PlanWaypoint &w)
{
    store::Query q(session.ADOC, QStringLiteral("Punkts"));
    QVariantList values;
    const QString sql = catalogueLookupSql(w, &values);
    if (!q.open(sql, values))
        throw Error(QStringLiteral("Ошибка выполнения запроса [Punkts]!\r\n") + q.lastError());
    return q.isEmpty() ? 0 : q.value(u"Code").toLongLong();
}

// Appends the waypoint to the catalogue in a transaction of its own; its new
// Code, or 0 when the row could not be written (rolled back and cancelled).
qint64 appendWaypoint(store::Session &session, const PlanWaypoint &w)
{
    store::Table work(session.ADOC, QStringLiteral("Punkts"));
    if (!work.open(QStringLiteral("Punkts")) || !work.append())
        return 0;
    const store::RowWrite written = store::writeRow(session.ADOC, work, [&] {
        work.setValue(u"Region", w.region);
        work.setValue(u"ID", w.id);
        work.setValue(u"Type", typeOfLetter(w.typeLetter));
        work.setValue(u"LAT", w.lat);
        work.setValue(u"LON", w.lon);
        work.setValue(u"MS", geo::MagVar(session.settings.fsPath, w.lat, w.lon));
        work.setValue(u"H", w.h);
    });
    if (written == store::RowWrite::Committed)
        return work.value(u"Code").toLongLong();
    work.cancel();
    return 0;
}

} // namespace

QString catalogueLookupSql(const PlanWaypoint &w, QVariantList *values)
{
    // The ident index (with SQLite's NOCASE) narrows the rows; the program's
    // collation decides. The "*" of a coordinate text is an ordinary character
    // in a whole-text comparison.
    const QString select = QStringLiteral("SELECT Punkts.Code, Punkts.Region, Punkts.ID, Punkts.Type, Punkts.LAT, "
                                          "Punkts.LON FROM Punkts WHERE ");
    const QString noCase = QStringLiteral(" COLLATE ") + QLatin1String(store::kCollation);
    values->clear();
    const QString identIndex = store::noCaseIndexCondition(QStringLiteral("Punkts.ID"), w.id, values);
    if (w.typeLetter == u'A') {
        *values << w.id << QStringLiteral("Airport");
        return select + identIndex + QStringLiteral(" AND Punkts.ID = ?") + noCase + QStringLiteral(" AND Punkts.Type = ?")
            + noCase + QStringLiteral(" LIMIT 1");
    }
    const QVariant type = typeOfLetter(w.typeLetter);
    QString typeCondition = QStringLiteral("Punkts.Type IS NULL");
    *values << w.region << w.id;
    if (!type.isNull()) {
        typeCondition = QStringLiteral("Punkts.Type = ?") + noCase;
        values->append(type);
    }
    values->append(w.lat);
    values->append(w.lon);
    return select + identIndex + QStringLiteral(" AND Punkts.Region = ?") + noCase + QStringLiteral(" AND Punkts.ID = ?")
        + noCase + QStringLiteral(" AND ") + typeCondition + QStringLiteral(" AND Punkts.LAT = ?") + noCase
        + QStringLiteral(" AND Punkts.LON = ?") + noCase + QStringLiteral(" LIMIT 1");
}

qint64 ImportPLN(store::Session &session, const QString &fileName, QObject *owner)
{
    BusyGuard busy(session.busy());
    Prompter &prompter = session.prompter();
    const QString shownName = planFileName(fileName);

    // A file that cannot be read gives empty header values, as a missing
    // entry does; the failure itself shows once the route's row is written.
    QString text;
    QString readError;
    const bool readable = readPlanText(fileName, &text, &readError);
    const IniFile plan(readable ? text : QString());
    const QString section = QString::fromUtf16(kPlanSection);
    const auto entry = [&](const char *key) { return nonNull(plan.readString(section, QLatin1String(key))); };

    const int altitude = plan.readInteger(section, QStringLiteral("cruising_altitude"), 0);
    const QString departureId = entry("departure_id");
    const QString destinationId = entry("destination_id");
    // A header text that would store a control character stops the import
    // before anything is written.
    for (const char *key : {"type", "departure_id", "departure_name", "departure_position", "destination_id",
                            "destination_name"}) {
        const int code = firstControlCharacter(entry(key));
        if (code >= 0)
            throw Error(QStringLiteral("%1 в строке %2 файла %3")
                            .arg(controlCharacterProblem(code), QLatin1String(key), shownName));
    }

    store::Query &routes = session.QRoutes;
    bool written = routes.append();
    if (written) {
        written = store::writeRow(session.ADOC, routes, [&] {
            routes.setValue(u"Name", nonNull(routeNameOf(fileName)));
            routes.setValue(u"FL", cruisingLevelMetres(altitude));
            routes.setValue(u"Type", entry("type"));
            routes.setValue(u"RouteType", plan.readInteger(section, QStringLiteral("routetype"), 0));
            routes.setValue(u"AP_V", FieldBeforeComma(departureId));
            routes.setValue(u"AP_P", FieldBeforeComma(destinationId));
            routes.setValue(u"Dep_ID", departureId);
            routes.setValue(u"Dep_Name", entry("departure_name"));
            routes.setValue(u"Dep_Pos", entry("departure_position"));
            routes.setValue(u"Dest_ID", destinationId);
            routes.setValue(u"Dest_Name", entry("destination_name"));
        }) == store::RowWrite::Committed;
        if (!written)
            routes.cancel();
    }
    if (!written) {
        prompter.error(owner, texts::routesWriteFailed());
        return 0;
    }
    const qint64 route = routes.value(u"Code").toLongLong();

    if (!readable)
        throw Error(readError);
    const int last = lastWaypointIndexOfLines(splitTextLines(text));
    if (last <= 0) {
        prompter.error(owner, last < 0 ? texts::fileReadFailed(shownName) : texts::wrongFileFormat(shownName));
        return 0;
    }

    for (qint64 k = 0; k <= last; ++k) {
        const QString key = QStringLiteral("waypoint.") + QString::number(k);
        const PlanWaypoint w = parseWaypointLine(plan.readString(section, key));
        if (!w.problem.isEmpty())
            throw Error(QStringLiteral("%1 в строке %2 файла %3").arg(w.problem, key, shownName));
        qint64 punkt = findWaypoint(session, w);
        if (punkt == 0) {
            punkt = appendWaypoint(session, w);
            if (punkt == 0) {
                prompter.error(owner, texts::punktsWriteFailed());
                return 0;
            }
        }
        if (!session.ADOC.exec(insertPointSql(), {route, k + 1, punkt}))
            throw Error(QStringLiteral("Ошибка выполнения запроса [Points]!\r\n") + session.ADOC.lastError());
    }

    // The route is stored whether or not the list can show it at once.
    std::ignore = session.reopenRoutesAt(route);
    return route;
}

} // namespace kx::interchange
