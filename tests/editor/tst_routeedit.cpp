#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "editor/core/BeaconSearch.h"
#include "editor/core/CalcMarker.h"
#include "editor/core/PointEditing.h"
#include "editor/core/PointList.h"
#include "editor/core/RouteEditing.h"
#include "editor/core/RouteHeader.h"
#include "editor/core/RouteStatus.h"
#include "geo/CoordText.h"
#include "geo/Sphere.h"
#include "store/Session.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace kx;
using namespace kx::editor;
using Kind = test::RecordingPrompter::Kind;

class TestRouteEdit : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void insertGoesRightAfterTheGivenNumber_data();
    void insertGoesRightAfterTheGivenNumber();
    void deleteClosesTheGap_data();
    void deleteClosesTheGap();
    void replaceClearsCalculatedValuesAndBeacon();
    void failedStepsLeaveTheRouteAsItWas_data();
    void failedStepsLeaveTheRouteAsItWas();
    void eachStepIsUndoneAndRedone_data();
    void eachStepIsUndoneAndRedone();
    void undoThatNoLongerFitsDropsTheSteps();
    void ownPointIsACatalogueIntersection();
    void pointListFollowsRowsAfterChanges();

    void beaconSearchRange_data();
    void beaconSearchRange();
    void beaconSearchReplacesLastCandidatesAndSkipsUnreadable();
    void beaconSearchTellsAnUnreadablePoint_data();
    void beaconSearchTellsAnUnreadablePoint();
    void beaconSearchFailures_data();
    void beaconSearchFailures();
    void settingAndRemovingABeacon();

    void markerWritesOncePerSpell();
    void markerFailureIsReportedAndRetried();
    void statusText_data();
    void statusText();
    void deletingAnEmptyRoute_data();
    void deletingAnEmptyRoute();

private:
    // The route's points in Number order as "Number ID".
    QStringList sequence(qint64 route) const;
    // Every column of every point of the route (Code first), and of every waypoint.
    QStringList rows(const QString &sql, const QVariantList &values = {}) const;
    QStringList allPoints(qint64 route) const
    {
        return rows(QStringLiteral("SELECT * FROM Points WHERE Route = ? ORDER BY Number"), {route});
    }
    QStringList allPunkts() const { return rows(QStringLiteral("SELECT * FROM Punkts ORDER BY Code")); }
    void sql(const QString &statement);
    qint64 makeRoute(const QStringList &ids);

    QHash<QString, qint64> m_punkt; // waypoint Code by ID
};

void TestRouteEdit::init()
{
    QVERIFY(openSession());
    m_punkt.clear();
    int minute = 0;
    for (const char *id : {"A", "B", "C", "D", "X"}) {
        const QString lat = QStringLiteral("N55*%1.00").arg(minute, 2, 10, QChar(u'0'));
        m_punkt.insert(QString::fromLatin1(id), m_fix->addPunkt(QString::fromLatin1(id), lat, QStringLiteral("E037*00.00")));
        minute += 10;
    }
}

void TestRouteEdit::cleanup()
{
    closeSession();
}

QStringList TestRouteEdit::sequence(qint64 route) const
{
    return test::Fixture(m_session->ADOC.sql()).sequence(route);
}

QStringList TestRouteEdit::rows(const QString &statement, const QVariantList &values) const
{
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare(statement);
    for (const QVariant &v : values)
        q.addBindValue(v);
    QStringList out;
    if (!q.exec())
        return {QStringLiteral("error")};
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
        out << columns.join(u'|');
    }
    return out;
}

void TestRouteEdit::sql(const QString &statement)
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY2(q.exec(statement), qPrintable(statement));
}

qint64 TestRouteEdit::makeRoute(const QStringList &ids)
{
    const qint64 route = m_fix->addRoute(QStringLiteral("R"), 100.0, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    int number = 0;
    for (const QString &id : ids)
        m_fix->addPoint(route, ++number, m_punkt.value(id));
    return route;
}

void TestRouteEdit::insertGoesRightAfterTheGivenNumber_data()
{
    QTest::addColumn<int>("after");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("after B") << 2 << QStringList{"1 A", "2 B", "3 X", "4 C"};
    QTest::newRow("after A") << 1 << QStringList{"1 A", "2 X", "3 B", "4 C"};
    QTest::newRow("at the head") << 0 << QStringList{"1 X", "2 A", "3 B", "4 C"};
}

void TestRouteEdit::insertGoesRightAfterTheGivenNumber()
{
    QFETCH(int, after);
    QFETCH(QStringList, expected);
    const qint64 route = makeRoute({"A", "B", "C"});
    const qint64 other = makeRoute({"A", "B", "C"});
    const qint64 code = insertPointAfter(*m_session, nullptr, route, after, m_punkt.value("X"));
    QVERIFY(code > 0);
    QCOMPARE(sequence(route), expected);
    QCOMPARE(sequence(other), (QStringList{"1 A", "2 B", "3 C"}));
    // Only Route, Punkt and Number are set on the new row.
    QCOMPARE(m_fix->value("Points", code, "Number").toInt(), after + 1);
    QVERIFY(m_fix->value("Points", code, "RSBN").isNull());
    QVERIFY(m_fix->value("Points", code, "MPU").isNull());
    QVERIFY(!m_session->ADOC.inTransaction());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestRouteEdit::deleteClosesTheGap_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("B") << "B" << 2 << QStringList{"1 A", "2 C", "3 D"};
    QTest::newRow("C") << "C" << 3 << QStringList{"1 A", "2 B", "3 D"};
}

void TestRouteEdit::deleteClosesTheGap()
{
    QFETCH(QString, id);
    QFETCH(int, number);
    QFETCH(QStringList, expected);
    const qint64 route = makeRoute({"A", "B", "C", "D"});
    const qint64 other = makeRoute({"A", "B", "C", "D"});
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare(QStringLiteral("SELECT Code FROM Points WHERE Route = ? AND Number = ?"));
    q.addBindValue(route);
    q.addBindValue(number);
    QVERIFY(q.exec() && q.next());
    QVERIFY(deletePoint(*m_session, nullptr, route, q.value(0).toLongLong(), number));
    QCOMPARE(sequence(route), expected);
    QCOMPARE(sequence(other).size(), 4);
}

void TestRouteEdit::replaceClearsCalculatedValuesAndBeacon()
{
    const qint64 route = makeRoute({"A", "B", "C"});
    const qint64 beacon = m_fix->addRsbn("KN", "Beacon", "N55*00.00", "E037*00.00");
    sql(QStringLiteral("UPDATE Points SET RSBN = %1, MPU = 68.1, S = -728.0, Dm = 137.4, IPU = 77.6, Sp = 10.0")
            .arg(beacon));
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT Code FROM Points WHERE Number = 2 AND Route = %1").arg(route)) && q.next());
    const qint64 b = q.value(0).toLongLong();
    // Replacing with the same waypoint still clears.
    for (const char *id : {"X", "X"}) {
        QVERIFY(replacePointWaypoint(*m_session, nullptr, b, m_punkt.value(id)));
        QCOMPARE(m_fix->value("Points", b, "Punkt").toLongLong(), m_punkt.value(id));
        for (const char *column : {"MPU", "S", "RSBN", "Dm"})
            QVERIFY2(m_fix->value("Points", b, column).isNull(), column);
        QCOMPARE(m_fix->value("Points", b, "IPU").toDouble(), 77.6);
        QCOMPARE(m_fix->value("Points", b, "Number").toInt(), 2);
        sql(QStringLiteral("UPDATE Points SET MPU = 1 WHERE Code = %1").arg(b));
    }
    // The neighbours keep their values and beacons.
    QCOMPARE(sequence(route), (QStringList{"1 A", "2 X", "3 C"}));
    QSqlQuery n(m_session->ADOC.sql());
    QVERIFY(n.exec(QStringLiteral("SELECT count(*) FROM Points WHERE RSBN IS NOT NULL AND MPU = 68.1")) && n.next());
    QCOMPARE(n.value(0).toInt(), 2);
}

// Each change is one transaction: whichever of its statements fails, the
// route is as it was, with no number given twice or skipped.
void TestRouteEdit::failedStepsLeaveTheRouteAsItWas_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message");
    const QString failUpdate = QStringLiteral("BEFORE UPDATE OF Number ON Points");
    QTest::newRow("insert: renumbering fails") << "insert" << failUpdate << "Ошибка выполнения запроса [Points]!";
    QTest::newRow("insert: the new row fails")
        << "insert" << "BEFORE INSERT ON Points" << "Ошибка добавления записи [Points]!";
    QTest::newRow("delete: the deletion fails")
        << "delete" << "BEFORE DELETE ON Points" << "Ошибка выполнения запроса [Points]!";
    QTest::newRow("delete: renumbering fails") << "delete" << failUpdate << "Ошибка выполнения запроса [Points]!";
    QTest::newRow("replace fails")
        << "replace" << "BEFORE UPDATE OF Punkt ON Points" << "Ошибка выполнения запроса обновления [Points]!";
}

void TestRouteEdit::failedStepsLeaveTheRouteAsItWas()
{
    QFETCH(QString, command);
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    const qint64 route = makeRoute({"A", "B", "C", "D"});
    const QStringList before = allPoints(route);
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT Code FROM Points WHERE Number = 2 AND Route = %1").arg(route)) && q.next());
    const qint64 b = q.value(0).toLongLong();
    sql(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
    QObject owner;
    owner.setObjectName(QStringLiteral("TF_Points"));
    if (command == u"insert")
        QCOMPARE(insertPointAfter(*m_session, &owner, route, 2, m_punkt.value("X")), 0);
    else if (command == u"delete")
        QVERIFY(!deletePoint(*m_session, &owner, route, b, 2));
    else
        QVERIFY(!replacePointWaypoint(*m_session, &owner, b, m_punkt.value("X")));
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    QCOMPARE(m_prompter->lastText(), message);
    QCOMPARE(allPoints(route), before);
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestRouteEdit::eachStepIsUndoneAndRedone_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("insert after B") << "insert" << QStringList{"1 A", "2 B", "3 X", "4 C", "5 D"};
    QTest::newRow("replace C") << "replace" << QStringList{"1 A", "2 B", "3 X", "4 D"};
    QTest::newRow("delete C") << "delete" << QStringList{"1 A", "2 B", "3 D"};
    QTest::newRow("own point after B") << "own" << QStringList{"1 A", "2 B", "3 MYPT", "4 C", "5 D"};
}

// Undo gives back every value the step took (the calculated ones, the beacon,
// the Codes) and the catalogue as it was; redo does the step again with the
// same Codes, so that the steps after it still find their rows.
void TestRouteEdit::eachStepIsUndoneAndRedone()
{
    QFETCH(QString, step);
    QFETCH(QStringList, expected);
    const qint64 route = makeRoute({"A", "B", "C", "D"});
    const qint64 beacon = m_fix->addRsbn("KN", "Beacon", "N55*00.00", "E037*00.00");
    sql(QStringLiteral("UPDATE Points SET MPU = 68.1, S = -728.0, Dm = 137.4, IPU = 77.6, Sp = 10.0, LUR = 5, RSBN = %1")
            .arg(beacon));
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    RouteEditing editing(*m_session);
    QVERIFY(editing.points().open(route));
    const qint64 c = editing.points().query().valueAt(2, u"Points.Code").toLongLong();
    const QStringList points = allPoints(route), punkts = allPunkts();

    QObject owner;
    owner.setObjectName(QStringLiteral("TF_Map"));
    if (step == u"insert")
        QVERIFY(editing.insertAfter(&owner, 2, m_punkt.value("X")) > 0);
    else if (step == u"replace")
        QVERIFY(editing.replace(&owner, c, m_punkt.value("X")));
    else if (step == u"delete")
        QVERIFY(editing.remove(&owner, c));
    else
        QVERIFY(editing.insertOwn(&owner, 2, {"MYPT", "UU", "N55*05.00", "E037*30.00"}) > 0);
    QCOMPARE(sequence(route), expected);
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
    const QStringList donePoints = allPoints(route), donePunkts = allPunkts();
    QCOMPARE(editing.undoStack().count(), 1);

    // The route is calculated again meanwhile; undoing is a change like any other.
    sql(QStringLiteral("UPDATE Routes SET DateTime = '2024-01-01T10:00:00' WHERE Code = %1").arg(route));
    editing.marker().clear();
    editing.undo(&owner);
    QCOMPARE(allPoints(route), points);
    QCOMPARE(allPunkts(), punkts);
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
    editing.redo(&owner);
    QCOMPARE(allPoints(route), donePoints);
    QCOMPARE(allPunkts(), donePunkts);
    editing.undo(&owner);
    QCOMPARE(allPoints(route), points);

    QCOMPARE(editing.undoStack().count(), 1);
    QVERIFY(m_prompter->messages().isEmpty());
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestRouteEdit::undoThatNoLongerFitsDropsTheSteps()
{
    const qint64 route = makeRoute({"A", "B", "C"});
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    RouteEditing editing(*m_session);
    QVERIFY(editing.points().open(route));
    QObject owner;
    owner.setObjectName(QStringLiteral("TF_Points"));
    const qint64 x = editing.insertAfter(&owner, 1, m_punkt.value("X"));
    QVERIFY(x > 0);
    QVERIFY(editing.insertAfter(&owner, 2, m_punkt.value("D")) > 0);
    QCOMPARE(sequence(route), (QStringList{"1 A", "2 X", "3 D", "4 B", "5 C"}));
    // Another copy of the program moves the points meanwhile.
    sql(QStringLiteral("UPDATE Points SET Number = Number + 10 WHERE Route = %1").arg(route));
    const QStringList moved = allPoints(route);
    editing.undo(&owner);
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка выполнения запроса [Points]!"});
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    QCOMPARE(allPoints(route), moved);
    QVERIFY(!editing.undoStack().canUndo());
    QVERIFY(!editing.undoStack().canRedo());
    QVERIFY(!m_session->ADOC.inTransaction());

    // A step that fails is not kept either.
    sql(QStringLiteral("UPDATE Points SET Number = Number - 10 WHERE Route = %1").arg(route));
    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Points BEGIN SELECT RAISE(ABORT, 'x'); END"));
    QCOMPARE(editing.insertAfter(&owner, 1, m_punkt.value("C")), 0);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка добавления записи [Points]!"));
    QCOMPARE(editing.undoStack().count(), 0);
    QCOMPARE(sequence(route), (QStringList{"1 A", "2 X", "3 D", "4 B", "5 C"}));
}

void TestRouteEdit::ownPointIsACatalogueIntersection()
{
    const qint64 route = makeRoute({"A", "B"});
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    RouteEditing editing(*m_session);
    QVERIFY(editing.points().open(route));
    const qint64 first = editing.insertOwn(nullptr, 1, {"MYPT", "UU", "N55*05.00", "E037*30.00"});
    QVERIFY(first > 0);
    const qint64 punkt = m_fix->value("Points", first, "Punkt").toLongLong();
    QVERIFY(m_fix->value("Punkts", punkt, "Type").isNull());
    QCOMPARE(m_fix->value("Punkts", punkt, "Region").toString(), QStringLiteral("UU"));
    QCOMPARE(m_fix->value("Punkts", punkt, "LAT").toString(), QStringLiteral("N55*05.00"));
    QCOMPARE(m_fix->value("Punkts", punkt, "LON").toString(), QStringLiteral("E037*30.00"));
    // The same intersection again is the catalogue's one, not a copy of it.
    const qint64 second = editing.insertOwn(nullptr, 2, {"mypt", "uu", "N55*05.00", "E037*30.00"});
    QCOMPARE(m_fix->value("Points", second, "Punkt").toLongLong(), punkt);
    QCOMPARE(sequence(route), (QStringList{"1 A", "2 MYPT", "3 MYPT", "4 B"}));
    // Undoing the second keeps the waypoint the first still stands on; undoing
    // the first takes it out of the catalogue.
    editing.undo(nullptr);
    QVERIFY(m_fix->value("Punkts", punkt, "Code").isValid());
    editing.undo(nullptr);
    QVERIFY(!m_fix->value("Punkts", punkt, "Code").isValid());
    editing.redo(nullptr);
    QCOMPARE(m_fix->value("Points", first, "Punkt").toLongLong(), punkt);
    QCOMPARE(m_fix->value("Punkts", punkt, "ID").toString(), QStringLiteral("MYPT"));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestRouteEdit::pointListFollowsRowsAfterChanges()
{
    const qint64 route = makeRoute({"A", "B", "C", "D"});
    // A point whose waypoint is gone drops out of the list.
    const qint64 ghost = m_fix->addPunkt(QStringLiteral("G"), QStringLiteral("N50*00.00"), QStringLiteral("E030*00.00"));
    m_fix->addPoint(route, 5, ghost);
    sql(QStringLiteral("DELETE FROM Punkts WHERE Code = %1").arg(ghost));
    PointList list(m_session->ADOC);
    QVERIFY(list.open(route));
    QCOMPARE(list.rowCount(), 4);
    QCOMPARE(list.rowNumber(), 1);
    QCOMPARE(list.currentId(), QStringLiteral("A"));
    QCOMPARE(list.currentNumber(), 1);
    QCOMPARE(list.currentPunkt(), m_punkt.value("A"));
    QCOMPARE(list.currentLat(), QStringLiteral("N55*00.00"));
    QVERIFY(list.currentBeacon().isNull());

    QVERIFY(list.reopenAtRow(3));
    QCOMPARE(list.currentId(), QStringLiteral("C"));
    QVERIFY(list.reopenAtRow(9)); // gone: the first row stays
    QCOMPARE(list.rowNumber(), 1);
    list.query().setRowNumber(3);
    const qint64 c = list.currentCode();
    list.query().first();
    QVERIFY(list.reopenAtCode(c));
    QCOMPARE(list.rowNumber(), 3);

    // After a deletion: the follower, or the last row.
    QVERIFY(list.reopenAfterDeletion(2));
    QCOMPARE(list.rowNumber(), 2);
    QVERIFY(list.reopenAfterDeletion(4));
    QCOMPARE(list.rowNumber(), 4);
    QVERIFY(list.reopenAfterDeletion(3));
    QCOMPARE(list.rowNumber(), 3);
}

void TestRouteEdit::beaconSearchRange_data()
{
    // The route point is at N50*00.00 E030*00.00; beacons on its meridian lie
    // 1.852 km per minute of latitude away. 1500 minutes compute to exactly
    // 2778 km.
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("beaconLat");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("storedL");
    QTest::newRow("exactly at the range") << 2778 << "N75*00.00" << true << 2778.0;
    QTest::newRow("range + 0.04 km") << 2778 << "N75*00.02" << false << 0.0;
    QTest::newRow("at the point, range 0") << 0 << "N50*00.00" << true << 0.0;
    QTest::newRow("0.01 minute away, range 0") << 0 << "N50*00.01" << false << 0.0;
    QTest::newRow("rounded to a tenth") << 300 << "N51*06.63" << true << 123.4;
}

void TestRouteEdit::beaconSearchRange()
{
    QFETCH(int, range);
    QFETCH(QString, beaconLat);
    QFETCH(bool, found);
    QFETCH(double, storedL);
    const long double lon = geo::CoordToRad(QStringLiteral("E030*00,00"));
    QCOMPARE(geo::OrthoDistance(geo::CoordToRad(QStringLiteral("N50*00,00")), lon,
                                geo::CoordToRad(QStringLiteral("N75*00,00")), lon),
             2778.0L);
    const qint64 beacon = m_fix->addRsbn("KN", "Beacon", beaconLat, "E030*00.00");
    QObject owner;
    owner.setObjectName(QStringLiteral("TF_Points"));
    const int candidates = searchBeacons(*m_session, &owner, "N50*00.00", "E030*00.00", range);
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT RSBN, L FROM RSBNSelect")));
    if (found) {
        QCOMPARE(candidates, 1);
        QVERIFY(m_prompter->messages().isEmpty());
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), beacon);
        QCOMPARE(q.value(1).toDouble(), storedL);
    } else {
        QCOMPARE(candidates, 0);
        QCOMPARE(m_prompter->texts(),
                 QStringList{QStringLiteral("Маяков в пределах дальности %1 км не найдено!").arg(range)});
        QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
        QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Points"));
    }
    QVERIFY(!q.next());
}

void TestRouteEdit::beaconSearchReplacesLastCandidatesAndSkipsUnreadable()
{
    sql(QStringLiteral("INSERT INTO RSBNSelect (RSBN, L) VALUES (999, 1.0)"));
    const qint64 far = m_fix->addRsbn("FA", "Far", "N52*00.00", "E030*00.00");
    m_fix->addRsbn("EM", "Empty", "", "E030*00.00");
    m_fix->addRsbn("GA", "Garbage", "N50*xx.00", "E030*00.00");
    m_fix->addRsbn("NS", "No star", "N5000.00", "E030*00.00");
    sql(QStringLiteral("INSERT INTO RSBN (ID, LAT, LON) VALUES ('NU', NULL, 'E030*00.00')"));
    const qint64 near = m_fix->addRsbn("NE", "Near", "N50*30.00", "E030*00.00");
    m_fix->addRsbn("OUT", "Out", "N58*00.00", "E030*00.00");
    QCOMPARE(searchBeacons(*m_session, nullptr, "N50*00.00", "E030*00.00", 300), 2);
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT RSBN, L FROM RSBNSelect ORDER BY L")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(), near);
    QCOMPARE(q.value(1).toDouble(), 55.6);
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toLongLong(), far);
    QCOMPARE(q.value(1).toDouble(), 222.2);
    QVERIFY(!q.next());
    QVERIFY(m_prompter->messages().isEmpty());
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestRouteEdit::beaconSearchTellsAnUnreadablePoint_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<QString>("message");
    QTest::newRow("no latitude") << ""
                                 << "E030*00.00"
                                 << "Неверная координата: \"\"";
    QTest::newRow("latitude unreadable") << "N5x*00.00"
                                         << "E030*00.00"
                                         << "Неверная координата: \"N5x*00.00\"";
    QTest::newRow("longitude unreadable") << "N50*00.00"
                                          << "E030"
                                          << "Неверная координата: \"E030\"";
}

void TestRouteEdit::beaconSearchTellsAnUnreadablePoint()
{
    // Not "no beacons in range": the point's own position is what is wrong,
    // and the beacon in range is not looked at.
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(QString, message);
    m_fix->addRsbn("NE", "Near", "N50*30.00", "E030*00.00");
    QCOMPARE(searchBeacons(*m_session, nullptr, lat, lon, 300), 0);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_fix->count("RSBNSelect"), 0);
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestRouteEdit::beaconSearchFailures_data()
{
    QTest::addColumn<QString>("breakIt");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("candidatesLeft");
    QTest::newRow("emptying") << "CREATE TRIGGER refuse BEFORE DELETE ON RSBNSelect BEGIN SELECT RAISE(ABORT, 'x'); END"
                              << "Ошибка очистки таблицы [RSBNSelect]!" << 1;
    QTest::newRow("reading") << "ALTER TABLE RSBN RENAME TO RSBN_gone" << "Ошибка выполнения запроса [RSBN]!" << 0;
    QTest::newRow("second insert")
        << "CREATE TRIGGER refuse BEFORE INSERT ON RSBNSelect WHEN (SELECT count(*) FROM RSBNSelect) >= 1 "
           "BEGIN SELECT RAISE(ABORT, 'x'); END"
        << "Ошибка выполнения запроса [RSBNSelect]!" << 1;
}

void TestRouteEdit::beaconSearchFailures()
{
    QFETCH(QString, breakIt);
    QFETCH(QString, message);
    QFETCH(int, candidatesLeft);
    m_fix->addRsbn("NE", "Near", "N50*30.00", "E030*00.00");
    m_fix->addRsbn("FA", "Far", "N52*00.00", "E030*00.00");
    sql(QStringLiteral("INSERT INTO RSBNSelect (RSBN, L) VALUES (999, 1.0)"));
    sql(breakIt);
    QCOMPARE(searchBeacons(*m_session, nullptr, "N50*00.00", "E030*00.00", 300), 0);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
    QCOMPARE(m_fix->count("RSBNSelect"), candidatesLeft);
    QVERIFY(!m_session->ADOC.inTransaction());
}

void TestRouteEdit::settingAndRemovingABeacon()
{
    const qint64 route = makeRoute({"A", "B"});
    const qint64 beacon = m_fix->addRsbn("KN", "Beacon", "N55*00.00", "E037*00.00");
    PointList list(m_session->ADOC);
    QVERIFY(list.open(route));
    const qint64 a = list.currentCode();
    QVERIFY(setPointBeacon(*m_session, nullptr, a, beacon));
    QCOMPARE(m_fix->value("Points", a, "RSBN").toLongLong(), beacon);
    QVERIFY(list.reopenAtRow(1));
    QCOMPARE(list.currentBeacon().toLongLong(), beacon);
    QCOMPARE(list.query().value(u"RSBN.ID").toString(), QStringLiteral("KN"));
    QCOMPARE(list.query().value(u"Punkts.ID").toString(), QStringLiteral("A"));
    QVERIFY(setPointBeacon(*m_session, nullptr, a, QVariant()));
    QVERIFY(m_fix->value("Points", a, "RSBN").isNull());

    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Points BEGIN SELECT RAISE(ABORT, 'x'); END"));
    QVERIFY(!setPointBeacon(*m_session, nullptr, a, beacon));
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка выполнения запроса [Points]!"});
}

void TestRouteEdit::markerWritesOncePerSpell()
{
    const qint64 route = makeRoute({"A", "B"});
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    // A header value typed before the first change is saved with it.
    QVERIFY(m_session->QRoutes.edit());
    m_session->QRoutes.setValue(u"Name", QStringLiteral("Renamed"));

    CalcMarker marker;
    QCOMPARE(marker.mark(*m_session, nullptr), CalcMarker::Result::Written);
    QVERIFY(marker.isSet());
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
    QCOMPARE(m_fix->value("Routes", route, "Name").toString(), QStringLiteral("Renamed"));
    QVERIFY(m_session->QRoutes.value(u"DateTime").isNull());

    // Until cleared, further changes write nothing: a value put behind its back stays.
    sql(QStringLiteral("UPDATE Routes SET DateTime = '2024-01-01T10:00:00' WHERE Code = %1").arg(route));
    QCOMPARE(marker.mark(*m_session, nullptr), CalcMarker::Result::AlreadyMarked);
    QCOMPARE(m_fix->value("Routes", route, "DateTime").toString(), QStringLiteral("2024-01-01T10:00:00"));

    marker.clear();
    QCOMPARE(marker.mark(*m_session, nullptr), CalcMarker::Result::Written);
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestRouteEdit::markerFailureIsReportedAndRetried()
{
    const qint64 route = makeRoute({"A", "B"});
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Routes BEGIN SELECT RAISE(ABORT, 'x'); END"));
    CalcMarker marker;
    QCOMPARE(marker.mark(*m_session, nullptr), CalcMarker::Result::Failed);
    QVERIFY(!marker.isSet());
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка записи в таблицу [Routes]!"});
    QVERIFY(!m_fix->value("Routes", route, "DateTime").isNull());
    sql(QStringLiteral("DROP TRIGGER refuse"));
    QCOMPARE(marker.mark(*m_session, nullptr), CalcMarker::Result::Written);
    QVERIFY(m_fix->value("Routes", route, "DateTime").isNull());
}

void TestRouteEdit::statusText_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("not calculated") << QVariant() << "Маршрут не расчитан!";
    QTest::newRow("calculated") << QVariant(QStringLiteral("2024-03-05T14:07:09"))
                                << "Маршрут расчитан 05.03.2024 14:07:09";
    QTest::newRow("at midnight") << QVariant(QStringLiteral("2024-03-05T00:00:00")) << "Маршрут расчитан 05.03.2024";
    QTest::newRow("one second past") << QVariant(QStringLiteral("2024-03-05T00:00:01"))
                                     << "Маршрут расчитан 05.03.2024 00:00:01";
}

void TestRouteEdit::statusText()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, text);
    QCOMPARE(routeStatusText(stored, QLocale(QLocale::Russian, QLocale::Russia)), text);
}

void TestRouteEdit::deletingAnEmptyRoute_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("routeGone");
    QTest::newRow("both deleted") << QString() << QStringList() << true;
    QTest::newRow("points fail, nothing deleted")
        << "BEFORE DELETE ON Points" << QStringList{"Не удалось удалить ППМ маршрута!"} << false;
    QTest::newRow("route fails") << "BEFORE DELETE ON Routes" << QStringList{"Не удалось удалить маршрут!"} << false;
}

void TestRouteEdit::deletingAnEmptyRoute()
{
    QFETCH(QString, trigger);
    QFETCH(QStringList, messages);
    QFETCH(bool, routeGone);
    const qint64 route = makeRoute({"A"});
    const qint64 other = makeRoute({"A"});
    if (!trigger.isEmpty())
        sql(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'x'); END").arg(trigger));
    QCOMPARE(deleteRouteWithPoints(*m_session, nullptr, route), routeGone);
    QCOMPARE(m_prompter->texts(), messages);
    for (const test::RecordingPrompter::Message &m : m_prompter->messages())
        QCOMPARE(m.kind, Kind::Info);
    QCOMPARE(m_fix->value("Routes", route, "Code").isValid(), !routeGone);
    QCOMPARE(sequence(route).size(), routeGone ? 0 : 1); // the points go with the route, or stay with it
    QCOMPARE(sequence(other).size(), 1);
}

QTEST_GUILESS_MAIN(TestRouteEdit)
#include "tst_routeedit.moc"
