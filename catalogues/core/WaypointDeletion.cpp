#include "WaypointDeletion.h"

#include "CatalogueTexts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "store/Session.h"
#include "store/Transaction.h"

namespace kx::catalogues {
namespace {

constexpr int kMaxNames = 10;
constexpr qsizetype kMaxListLength = 255;
const QString kLineBreak = QStringLiteral("\r\n");
const QString kCut = QStringLiteral("\r\n...");

} // namespace

std::optional<QStringList> routesUsingWaypoint(store::Session &session, qint64 waypoint)
{
    store::Query uses(session.ADOC, QStringLiteral("Points"));
    if (!uses.open(QStringLiteral("SELECT Points.Punkt, Points.Route, Routes.Name "
                                  "FROM Routes INNER JOIN Points ON Routes.Code = Points.Route "
                                  "WHERE Points.Punkt = ? "
                                  "ORDER BY Points.Route"),
                   {waypoint}))
        return std::nullopt;
    QStringList names;
    names.reserve(uses.rowCount());
    for (int row = 0; row < uses.rowCount(); ++row)
        names.append(uses.valueAt(row, u"Name").toString());
    return names;
}

QString deletionRefusedText(const QStringList &routeNames)
{
    QString list;
    for (qsizetype i = 0; i < routeNames.size(); ++i) {
        const bool last = i + 1 == routeNames.size();
        if (i == kMaxNames) {
            list += kCut;
            break;
        }
        const QString line = kLineBreak + routeNames.at(i);
        // Room for the closing "..." unless this is the last name.
        const qsizetype room = kMaxListLength - (last ? 0 : kCut.size());
        if (list.size() + line.size() > room) {
            list += kCut;
            break;
        }
        list += line;
    }
    return texts::deletionRefusedHead() + list;
}

bool deleteWaypoint(store::Session &session, store::Query &punkts, QObject *owner)
{
    if (!punkts.isOpen() || punkts.isEmpty())
        return false;
    Prompter &prompter = session.prompter();
    BusyGuard busy(session.busy());
    // A row half-edited elsewhere is not what the user is deleting.
    punkts.cancel();
    const qint64 code = punkts.value(u"Code").toLongLong();

    const std::optional<QStringList> routes = routesUsingWaypoint(session, code);
    if (!routes) {
        prompter.error(owner, texts::usingRoutesFailed());
        return false;
    }
    if (!routes->isEmpty()) {
        prompter.error(owner, deletionRefusedText(*routes));
        return false;
    }

    if (!prompter.ask(owner, texts::deleteQuestion(punkts.value(u"ID").toString(), punkts.value(u"Name").toString()),
                      false))
        return false;
    BusyGuard deleting(session.busy());

    // An airport's runways go with it: nothing could reach them afterwards.
    store::Transaction transaction(session.ADOC);
    bool ok = transaction.isActive() && session.ADOC.exec(QStringLiteral("DELETE FROM Runways WHERE AP = ?"), {code});
    const int row = punkts.rowNumber();
    bool rowRemoved = false;
    if (ok) {
        ok = punkts.deleteRow();
        rowRemoved = ok;
    }
    if (ok)
        ok = transaction.commit();
    if (!ok) {
        transaction.rollback();
        // The list dropped a row the database kept: read it again.
        if (rowRemoved && punkts.refreshAt(u"Code", code) && punkts.value(u"Code").toLongLong() != code)
            punkts.setRowNumber(row);
        prompter.error(owner, texts::deleteFailed());
        return false;
    }
    return true;
}

} // namespace kx::catalogues
