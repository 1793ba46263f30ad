#include "PointEditing.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "store/RowWrite.h"
#include "store/Session.h"
#include "store/Table.h"

namespace kx::editor {

qint64 insertPointAfter(store::Session &session, QObject *owner, qint64 route, int after, qint64 punkt)
{
    Prompter &prompter = session.prompter();
    if (!session.ADOC.exec(QStringLiteral("UPDATE Points SET Number = Number + 1 WHERE Route = ? AND Number > ?"),
                           {route, after})) {
        prompter.error(owner, texts::pointsStatementFailed());
        return 0;
    }

    store::Table work(session.ADOC, QStringLiteral("Points"));
    if (!work.open(QStringLiteral("Points"))) {
        prompter.error(owner, texts::pointAppendFailed());
        return 0;
    }
    if (!work.append()) {
        prompter.error(owner, texts::pointAppendFailed());
        return 0;
    }
    const bool written = store::writeRowOrTell(session, work, texts::pointAppendFailed(), owner, [&] {
        work.setValue(u"Route", route);
        work.setValue(u"Punkt", punkt);
        work.setValue(u"Number", after + 1);
    });
    return written ? work.value(u"Code").toLongLong() : 0;
}

bool replacePointWaypoint(store::Session &session, QObject *owner, qint64 point, qint64 punkt)
{
    if (!session.ADOC.exec(QStringLiteral("UPDATE Points SET Punkt = ?, MPU = Null, S = Null, RSBN = Null, Dm = Null "
                                          "WHERE Code = ?"),
                           {punkt, point})) {
        session.prompter().error(owner, texts::pointUpdateFailed());
        return false;
    }
    return true;
}

bool deletePoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number)
{
    store::Database &db = session.ADOC;
    int deleted = 0;
    if (!db.exec(QStringLiteral("DELETE FROM Points WHERE Code = ?"), {point}, &deleted)) {
        // The point is still there: closing its gap would give its number twice.
        session.prompter().error(owner, texts::pointsStatementFailed());
        return false;
    }
    if (deleted == 0)
        return true; // no longer there, so its number is not ours to close
    if (!db.exec(QStringLiteral("UPDATE Points SET Number = Number - 1 WHERE Route = ? AND Number > ?"),
                 {route, number})) {
        session.prompter().error(owner, texts::pointsStatementFailed());
        return false;
    }
    return true;
}

} // namespace kx::editor
