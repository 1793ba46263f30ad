#include "PointEditing.h"

#include "EditorTexts.h"

#include "base/Prompter.h"
#include "geo/MagVar.h"
#include "store/Collation.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Transaction.h"

namespace kx::editor {
namespace {

// A step of one transaction: the first failure shows its message and rolls
// everything back when the step goes out of scope.
class Step
{
public:
    Step(store::Session &session, QObject *owner) : m_session(session), m_owner(owner), m_transaction(session.ADOC) {}

    store::Database &db() { return m_session.ADOC; }
    store::Session &session() { return m_session; }

    // Runs a statement; false, with the message shown, when it fails or the
    // transaction never began.
    bool run(const QString &sql, const QVariantList &values, const QString &failure, int *rows = nullptr)
    {
        if (!m_transaction.isActive())
            return fail(failure);
        store::Statement statement(db(), sql);
        if (!statement.exec(values)) {
            qWarning("point editing: %s", qPrintable(statement.lastError()));
            return fail(failure);
        }
        if (rows)
            *rows = statement.rowsAffected();
        return true;
    }
    bool commit(const QString &failure) { return m_transaction.commit() || fail(failure); }
    bool fail(const QString &failure)
    {
        m_transaction.rollback();
        m_session.prompter().error(m_owner, failure);
        return false;
    }

private:
    store::Session &m_session;
    QObject *m_owner;
    store::Transaction m_transaction;
};

QString columnList()
{
    return pointColumns().join(QStringLiteral(", "));
}

QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

bool moveUpFrom(Step &step, qint64 route, int firstNumber)
{
    return step.run(QStringLiteral("UPDATE Points SET Number = Number + 1 WHERE Route = ? AND Number >= ?"),
                    {route, firstNumber}, texts::pointsStatementFailed());
}

// Appends the new point of an insertion, with its old Code when it has one.
qint64 appendPoint(Step &step, qint64 route, int number, qint64 punkt, qint64 code)
{
    store::Statement insert(step.db(), code != 0
                                           ? QStringLiteral("INSERT INTO Points (Code, Route, Number, Punkt) VALUES (?, ?, ?, ?)")
                                           : QStringLiteral("INSERT INTO Points (Route, Number, Punkt) VALUES (?, ?, ?)"));
    QVariantList values{route, number, punkt};
    if (code != 0)
        values.prepend(code);
    if (!insert.exec(values)) {
        qWarning("point editing: %s", qPrintable(insert.lastError()));
        step.fail(texts::pointAppendFailed());
        return 0;
    }
    return code != 0 ? code : insert.lastInsertId().toLongLong();
}

// Writes the person's own intersection (under its old Code when it has one).
qint64 writeOwnWaypoint(Step &step, const OwnWaypoint &w, qint64 code)
{
    store::Statement insert(step.db(), QStringLiteral("INSERT INTO Punkts (Code, ID, Region, Type, LAT, LON, MS) "
                                                      "VALUES (?, ?, ?, Null, ?, ?, ?)"));
    const double variation = geo::MagVar(step.session().settings.fsPath, w.lat, w.lon);
    if (!insert.exec({code != 0 ? QVariant(code) : QVariant(), w.id, w.region, w.lat, w.lon, variation})) {
        qWarning("point editing: %s", qPrintable(insert.lastError()));
        step.fail(store::texts::tableWriteFailed(QStringLiteral("Punkts")));
        return 0;
    }
    return code != 0 ? code : insert.lastInsertId().toLongLong();
}

} // namespace

const QStringList &pointColumns()
{
    static const QStringList columns{"Code", "Route", "Number", "Punkt", "RSBN", "IPU", "MPU", "S", "Sp", "P_V",
                                     "P_P", "OZMPU_V", "OZMPU_P", "UKm", "Sm", "Zm", "Am", "Dm", "LUR"};
    return columns;
}

QVariant PointRow::value(const QString &column) const
{
    return values.value(pointColumns().indexOf(column));
}

qint64 PointRow::route() const
{
    return value(QStringLiteral("Route")).toLongLong();
}

int PointRow::number() const
{
    return value(QStringLiteral("Number")).toInt();
}

qint64 PointRow::punkt() const
{
    return value(QStringLiteral("Punkt")).toLongLong();
}

PointRow readPointRow(store::Session &session, qint64 point)
{
    store::Statement read(session.ADOC, QStringLiteral("SELECT ") + columnList() + QStringLiteral(" FROM Points WHERE Code = ?"));
    PointRow row;
    if (!read.execFirst({point}))
        return row;
    for (int i = 0; i < pointColumns().size(); ++i)
        row.values.append(read.value(i));
    row.code = point;
    return row;
}

qint64 insertPointAfter(store::Session &session, QObject *owner, qint64 route, int after, qint64 punkt, qint64 code)
{
    Step step(session, owner);
    if (!moveUpFrom(step, route, after + 1))
        return 0;
    const qint64 point = appendPoint(step, route, after + 1, punkt, code);
    if (point == 0 || !step.commit(texts::pointAppendFailed()))
        return 0;
    return point;
}

bool replacePointWaypoint(store::Session &session, QObject *owner, qint64 point, qint64 punkt, PointRow *before)
{
    if (before)
        *before = readPointRow(session, point);
    Step step(session, owner);
    int rows = 0;
    if (!step.run(QStringLiteral("UPDATE Points SET Punkt = ?, MPU = Null, S = Null, RSBN = Null, Dm = Null "
                                 "WHERE Code = ?"),
                  {punkt, point}, texts::pointUpdateFailed(), &rows))
        return false;
    // A point another copy of the program has deleted meanwhile is not replaced.
    if (rows == 0)
        return step.fail(texts::pointUpdateFailed());
    return step.commit(texts::pointUpdateFailed());
}

bool deletePoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number, PointRow *deleted)
{
    if (deleted)
        *deleted = readPointRow(session, point);
    Step step(session, owner);
    int rows = 0;
    if (!step.run(QStringLiteral("DELETE FROM Points WHERE Code = ?"), {point}, texts::pointsStatementFailed(), &rows))
        return false;
    if (rows == 0)
        return true; // no longer there, so its number is not ours to close
    return step.run(QStringLiteral("UPDATE Points SET Number = Number - 1 WHERE Route = ? AND Number > ?"),
                    {route, number}, texts::pointsStatementFailed())
        && step.commit(texts::pointsStatementFailed());
}

bool restorePoint(store::Session &session, QObject *owner, const PointRow &row)
{
    Step step(session, owner);
    if (!moveUpFrom(step, row.route(), row.number()))
        return false;
    return step.run(QStringLiteral("INSERT INTO Points (") + columnList() + QStringLiteral(") VALUES (")
                        + placeholders(row.values.size()) + u')',
                    row.values, texts::pointAppendFailed())
        && step.commit(texts::pointAppendFailed());
}

bool restorePointWaypoint(store::Session &session, QObject *owner, const PointRow &row, qint64 replacedBy)
{
    Step step(session, owner);
    int rows = 0;
    if (!step.run(QStringLiteral("UPDATE Points SET Punkt = ?, MPU = ?, S = ?, RSBN = ?, Dm = ? "
                                 "WHERE Code = ? AND Punkt = ?"),
                  {row.punkt(), row.value(QStringLiteral("MPU")), row.value(QStringLiteral("S")),
                   row.value(QStringLiteral("RSBN")), row.value(QStringLiteral("Dm")), row.code, replacedBy},
                  texts::pointUpdateFailed(), &rows))
        return false;
    // The point has changed since: there is nothing of ours left to give back.
    if (rows == 0)
        return step.fail(texts::pointUpdateFailed());
    return step.commit(texts::pointUpdateFailed());
}

OwnPoint insertOwnPoint(store::Session &session, QObject *owner, qint64 route, int after, const OwnWaypoint &w,
                        const OwnPoint &codes)
{
    OwnPoint own;
    Step step(session, owner);
    const QString punktsFailed = store::texts::tableWriteFailed(QStringLiteral("Punkts"));
    if (codes.punkt != 0) {
        // A redo: the waypoint it stood on, or made again under its old Code.
        own.punkt = codes.punkt;
        own.created = codes.created;
        store::Statement there(session.ADOC, QStringLiteral("SELECT Code FROM Punkts WHERE Code = ?"));
        const bool found = there.execFirst({codes.punkt});
        if (!found && !there.lastError().isEmpty()) {
            step.fail(punktsFailed);
            return {};
        }
        if (!found && !writeOwnWaypoint(step, w, codes.punkt))
            return {};
    } else {
        // An intersection the catalogue already has at that place is the one meant.
        const QString noCase = QStringLiteral(" COLLATE ") + QLatin1String(store::kCollation);
        store::Statement same(session.ADOC,
                              QStringLiteral("SELECT Code FROM Punkts WHERE Type IS NULL AND ID = ?") + noCase
                                  + QStringLiteral(" AND ifnull(Region, '') = ?") + noCase
                                  + QStringLiteral(" AND LAT = ? AND LON = ? ORDER BY Code"));
        if (same.execFirst({w.id, w.region, w.lat, w.lon})) {
            own.punkt = same.value(0).toLongLong();
        } else if (!same.lastError().isEmpty()) {
            step.fail(punktsFailed);
            return {};
        } else {
            own.punkt = writeOwnWaypoint(step, w, 0);
            if (own.punkt == 0)
                return {};
            own.created = true;
        }
    }
    if (!moveUpFrom(step, route, after + 1))
        return {};
    own.point = appendPoint(step, route, after + 1, own.punkt, codes.point);
    if (own.point == 0 || !step.commit(texts::pointAppendFailed()))
        return {};
    return own;
}

bool withdrawPoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number, qint64 createdPunkt)
{
    Step step(session, owner);
    int rows = 0;
    if (!step.run(QStringLiteral("DELETE FROM Points WHERE Code = ? AND Route = ? AND Number = ?"),
                  {point, route, number}, texts::pointsStatementFailed(), &rows))
        return false;
    if (rows == 0)
        return step.fail(texts::pointsStatementFailed());
    if (!step.run(QStringLiteral("UPDATE Points SET Number = Number - 1 WHERE Route = ? AND Number > ?"),
                  {route, number}, texts::pointsStatementFailed()))
        return false;
    if (createdPunkt != 0
        && !step.run(QStringLiteral("DELETE FROM Punkts WHERE Code = ? AND NOT EXISTS "
                                    "(SELECT 1 FROM Points WHERE Points.Punkt = Punkts.Code)"),
                     {createdPunkt}, store::texts::tableWriteFailed(QStringLiteral("Punkts"))))
        return false;
    return step.commit(texts::pointsStatementFailed());
}

} // namespace kx::editor
