#include "Fixture.h"
#include "ImmutableFolder.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Cp1251.h"
#include "interchange/ExportI21.h"
#include "interchange/ExportNvu.h"
#include "interchange/ExportPln.h"
#include "interchange/ImportPln.h"
#include "store/Session.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <QtTest>
#include <cmath>

using namespace kx;
using namespace kx::store;

namespace {

using Values = QMap<int, double>; // cell value index → value; every other index 0

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The route's points of the I-21 list as "key=value" lines ("" for an empty line).
QStringList gaugeLines(const QByteArray &bytes)
{
    QStringList lines = fromCp1251(bytes).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestExports : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void planEntriesAndWaypointLines();
    void planFailuresLeaveNoFile_data();
    void planFailuresLeaveNoFile();
    void planReplacesAnExistingFileWhole();
    void planRoundTrip_data();
    void planRoundTrip();

    void cellLayout_data();
    void cellLayout();
    void cellOfFortyPoints();
    void cellValueFailures_data();
    void cellValueFailures();
    void cellPointsQueryFails();
    void cellFolderMissing();
    void cellContents_data();
    void cellContents();
    void cellNamesTheRouteItHolds();

    void i21Numbering_data();
    void i21Numbering();
    void i21KeepsTheLeadingPartByteForByte();
    void i21BackupOnce();
    void i21Refusals_data();
    void i21Refusals();

    void unwritableFilesAreNamedWithTheReason_data();
    void unwritableFilesAreNamedWithTheReason();

private:
    // A calculated route of n points, point k at N5x / E03x with the leg
    // values given by legs(k) as column → value (k from 0).
    qint64 addRoute(int n, const std::function<QVariantMap(int)> &legs = {});
    void makeCurrent(qint64 route);
    Values cellValues(int cell) const;
    QString cellPath(int cell) const { return interchange::nvuCellPath(m_folder->fsPath(), cell); }
    QString gaugePath() const { return m_folder->fsPath() + "Gauges/i21_cfg/I21_PPM.CFG"; }

    std::unique_ptr<Query> m_qp;
    QObject m_routeList;
    QObject m_editor;
    QObject m_chooser;
};

void TestExports::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    m_qp = std::make_unique<Query>(m_session->ADOC, "QP");
    m_routeList.setObjectName("TF_Main");
    m_editor.setObjectName("TF_Points");
    m_chooser.setObjectName("TF_PSH");
}

void TestExports::cleanup()
{
    QVERIFY(!m_qp->isOpen());
    m_qp.reset();
    closeSession();
}

qint64 TestExports::addRoute(int n, const std::function<QVariantMap(int)> &legs)
{
    const qint64 route = m_fix->addRoute("Route", 1234.5, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    exec("UPDATE Routes SET Vilka = 12.3, AP_V = 'UUEE', AP_P = 'URSS' WHERE Code = ?", {route});
    for (int k = 0; k < n; ++k) {
        const QString lat = QStringLiteral("N5%1*%2.%3").arg(k % 10).arg(k % 60, 2, 10, QChar('0')).arg(k % 100, 2, 10, QChar('0'));
        const QString lon = QStringLiteral("E0%1*00.50").arg(30 + k);
        const qint64 point = m_fix->addPoint(route, k + 1, m_fix->addPunkt(QStringLiteral("P%1").arg(k), lat, lon));
        const QVariantMap values = legs ? legs(k) : QVariantMap{{"S", -10.0}, {"OZMPU_V", 90.0}};
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            exec(QStringLiteral("UPDATE Points SET \"%1\" = ? WHERE Code = ?").arg(it.key()), {it.value(), point});
    }
    makeCurrent(route);
    return route;
}

void TestExports::makeCurrent(qint64 route)
{
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
}

Values TestExports::cellValues(int cell) const
{
    const QByteArray bytes = test::readBytes(cellPath(cell));
    Values values;
    if (bytes.size() != interchange::kNvuCellSize) {
        values.insert(-1, bytes.size());
        return values;
    }
    for (int i = 0; i < interchange::kNvuCellSize / 8; ++i) {
        const double v = qFromLittleEndian<double>(bytes.constData() + 8 * i);
        if (v != 0 || std::signbit(v))
            values.insert(i, v);
    }
    return values;
}

// ---------------------------------------------------------------- *.PLN

void TestExports::planEntriesAndWaypointLines()
{
    const qint64 route = m_fix->addRoute("R", 1000.0, QDateTime::currentDateTime());
    exec("UPDATE Routes SET Type = 'IFR', RouteType = 1, FL = 9449, AP_V = 'UUEE', AP_P = 'URSS', "
         "Dep_ID = 'UUEE, N55* 58.36'', E37* 24.88'', +000622.00', Dep_Pos = NULL, Dest_ID = 'URSS', "
         "Dep_Name = 'Шереметьево', Dest_Name = 'Sochi' WHERE Code = ?",
         {route});
    const test::Fixture::Waypoint uuee{
        .id = "UUEE", .lat = "N55*58.36", .lon = "E037*24.88", .ms = 11.0, .type = "Airport", .region = "UU"};
    const test::Fixture::Waypoint mr{
        .id = "MR", .lat = "N55*57,70", .lon = "E037*20.90", .ms = 11.0, .type = "VOR", .region = "UU"};
    const test::Fixture::Waypoint gotik{.id = "GOTIK", .lat = "N05*12.00", .lon = "E005*12.00", .ms = 11.0};
    const test::Fixture::Waypoint urss{
        .id = "URSS", .lat = "N43*26.99", .lon = "E039*57.40", .ms = 6.0, .type = "Airport", .region = "UR"};
    const qint64 a = m_fix->addPunkt(uuee);
    const qint64 b = m_fix->addPunkt(mr);
    const qint64 c = m_fix->addPunkt(gotik);
    const qint64 d = m_fix->addPunkt(urss);
    exec("UPDATE Punkts SET H = 622 WHERE Code = ?", {a});
    exec("UPDATE Punkts SET H = 88.5 WHERE Code = ?", {d});
    // Inserted out of order: the plan follows the points' numbers.
    m_fix->addPoint(route, 3, c);
    m_fix->addPoint(route, 1, a);
    m_fix->addPoint(route, 4, d);
    m_fix->addPoint(route, 2, b);
    makeCurrent(route);

    const QString path = m_folder->file("plan.PLN");
    QVERIFY(interchange::ExportPLN(*m_session, path, &m_routeList));
    QVERIFY(m_prompter->messages().isEmpty());
    const QString expected = "[flightplan]\r\n"
                             "AppVersion=9.0.30612\r\n"
                             "title=UUEE to URSS\r\n"
                             "description=UUEE, URSS\r\n"
                             "type=IFR\r\n"
                             "routetype=1\r\n"
                             "cruising_altitude=31001\r\n"
                             "departure_id=UUEE, N55* 58.36', E37* 24.88', +000622.00\r\n"
                             "departure_position=\r\n"
                             "destination_id=URSS\r\n"
                             "departure_name=Шереметьево\r\n"
                             "destination_name=Sochi\r\n"
                             "waypoint.0=UU, UUEE, , UUEE, A, N55* 58.36', E37* 24.88', +000622.00, \r\n"
                             "waypoint.1=UU, MR, , MR, V, N55* 57.70', E37* 20.90', +000000.00, \r\n"
                             "waypoint.2=, GOTIK, , GOTIK, I, N05* 12.00', E05* 12.00', +000000.00, \r\n"
                             "waypoint.3=UR, URSS, , URSS, A, N43* 26.99', E39* 57.40', +000088.00, \r\n";
    QCOMPARE(test::readBytes(path), toCp1251(expected));
    QCOMPARE(QDir(m_folder->path()).entryList({"plan*"}, QDir::Files | QDir::Hidden), QStringList{"plan.PLN"});
}

void TestExports::planFailuresLeaveNoFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");

    const QString unusable = "Ошибка записи в файл!\r\n%1\r\nЭшелон, тип маршрута или превышение точки маршрута не число.";
    QTest::newRow("no flight level") << "UPDATE Routes SET FL = NULL" << "plan.PLN" << unusable;
    QTest::newRow("no route type") << "UPDATE Routes SET RouteType = NULL" << "plan.PLN" << unusable;
    QTest::newRow("no points") << "DELETE FROM Points" << "plan.PLN" << "Ошибка выполнения запроса [Routes]!";
    QTest::newRow("points whose waypoints are gone") << "DELETE FROM Punkts" << "plan.PLN"
                                                     << "Ошибка выполнения запроса [Routes]!";
    QTest::newRow("elevation that is no number") << "UPDATE Punkts SET H = 'high'" << "plan.PLN" << unusable;
    QTest::newRow("folder missing") << "" << "missing/plan.PLN" << "Ошибка записи в файл!\r\n%1\r\nПапка не найдена.";
}

void TestExports::planFailuresLeaveNoFile()
{
    QFETCH(QString, change);
    QFETCH(QString, target);
    const qint64 route = addRoute(3);
    if (!change.isEmpty())
        exec(change);
    makeCurrent(route);
    const QString path = m_folder->file(target);
    QVERIFY(!interchange::ExportPLN(*m_session, path, &m_routeList));
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    QFETCH(QString, message);
    if (message.contains("%1"))
        message = message.arg(QDir::toNativeSeparators(path));
    QCOMPARE(m_prompter->lastText(), message);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden).filter("plan"), QStringList());
}

void TestExports::planReplacesAnExistingFileWhole()
{
    const qint64 route = addRoute(2);
    const QString path = m_folder->file("plan.PLN");
    QVERIFY(writeBytes(path, "the user's old plan"));

    exec("UPDATE Routes SET FL = NULL");
    makeCurrent(route);
    QVERIFY(!interchange::ExportPLN(*m_session, path, &m_routeList));
    QCOMPARE(test::readBytes(path), QByteArray("the user's old plan"));

    exec("UPDATE Routes SET FL = 100");
    makeCurrent(route);
    QVERIFY(interchange::ExportPLN(*m_session, path, &m_routeList));
    QVERIFY(test::readBytes(path).startsWith("[flightplan]\r\nAppVersion=9.0.30612\r\n"));
}

void TestExports::planRoundTrip_data()
{
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("level");
    QTest::newRow("sample plan, 31000 ft") << QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN") << 9449;
    QTest::newRow("west longitudes") << QStringLiteral(KX_SHARED_DIR "/testdata/pln/fs9_atools_EGPB-EISG_appver91_crlf.PLN")
                                     << 6706;
}

void TestExports::planRoundTrip()
{
    QFETCH(QString, plan);
    if (!QFile::exists(plan))
        QSKIP(qPrintable(QStringLiteral("optional case skipped, no %1").arg(plan)));
    QSqlQuery q(m_session->ADOC.sql());
    const auto punkts = [&](qint64 route) {
        QList<qint64> codes;
        q.prepare("SELECT Punkt FROM Points WHERE Route = ? ORDER BY Number");
        q.addBindValue(route);
        q.exec();
        while (q.next())
            codes.append(q.value(0).toLongLong());
        return codes;
    };

    QVERIFY(m_session->openRoutes());
    const qint64 first = interchange::ImportPLN(*m_session, plan, &m_routeList);
    QVERIFY(first > 0);
    exec("UPDATE Routes SET DateTime = '2026-01-02T03:04:05' WHERE Code = ?", {first});
    makeCurrent(first);
    const QString exported = m_folder->file("exported.PLN");
    QVERIFY(interchange::ExportPLN(*m_session, exported, &m_routeList));

    const qint64 catalogue = m_fix->count("Punkts");
    const qint64 second = interchange::ImportPLN(*m_session, exported, &m_routeList);
    QVERIFY(second > 0);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_fix->count("Punkts"), catalogue);
    QCOMPARE(punkts(second), punkts(first));
    QTEST(m_fix->value("Routes", second, "FL").toInt(), "level");
    for (const char *column : {"Type", "RouteType", "AP_V", "AP_P", "Dep_ID", "Dep_Pos", "Dest_ID", "Dep_Name",
                               "Dest_Name"})
        QCOMPARE(m_fix->value("Routes", second, column), m_fix->value("Routes", first, column));

    // The same route written again gives the same file.
    exec("UPDATE Routes SET DateTime = '2026-01-02T03:04:05' WHERE Code = ?", {second});
    makeCurrent(second);
    const QString again = m_folder->file("again.PLN");
    QVERIFY(interchange::ExportPLN(*m_session, again, &m_routeList));
    QCOMPARE(test::readBytes(again), test::readBytes(exported));
}

// ---------------------------------------------------------------- NVU cell

void TestExports::cellLayout_data()
{
    QTest::addColumn<QList<QVariantMap>>("legs"); // per point; the last point's values must not be read
    QTest::addColumn<QVariant>("vilka");
    QTest::addColumn<Values>("expected");

    QTest::newRow("two points, negative S, halves to even")
        << QList<QVariantMap>{{{"S", -12.25}, {"OZMPU_V", 12.75}, {"LUR", 10}, {"Zm", 5.0}, {"Sm", 6.0}, {"UKm", 7.0}},
                              {{"S", -99.0}, {"OZMPU_V", 99.0}, {"LUR", 20}}}
        << QVariant(-3.25) << Values{{0, 2.0}, {1, -3.2}, {65, 12.2}, {97, 12.8}, {257, 10.0}};
    QTest::newRow("beacon flag and channel")
        << QList<QVariantMap>{{{"S", -100.04}, {"OZMPU_V", 359.96}, {"LUR", 15}, {"RSBN", "beacon"}, {"Zm", 12.34},
                               {"Sm", -45.66}, {"UKm", 3.25}},
                              {{"S", -50.0}, {"OZMPU_V", 45.0}},
                              {}}
        << QVariant(0.0)
        << Values{{0, 3.0},   {65, 100.0}, {66, 50.0},  {97, 360.0}, {98, 45.0},
                  {129, 12.3}, {161, -45.7}, {193, 3.2}, {225, 1.0}, {257, 15.0}, {321, 25.0}};
    QTest::newRow("empty course and anticipation, beacon code 0")
        << QList<QVariantMap>{{{"S", -1.0}, {"RSBN", 0}, {"Zm", 1.0}, {"Sm", 2.0}, {"UKm", 3.0}}, {}}
        << QVariant(1.0) << Values{{0, 2.0}, {1, 1.0}, {65, 1.0}};
    // Values that round to zero are written as a plain zero, never as -0.
    QTest::newRow("small negative values")
        << QList<QVariantMap>{{{"S", -0.04}, {"OZMPU_V", -0.04}, {"RSBN", "beacon"}, {"Zm", -0.04}, {"Sm", -0.01},
                               {"UKm", -0.049}},
                              {}}
        << QVariant(-0.04) << Values{{0, 2.0}, {225, 1.0}, {321, 25.0}};
}

void TestExports::cellLayout()
{
    QFETCH(QList<QVariantMap>, legs);
    QFETCH(QVariant, vilka);
    const qint64 beacon = m_fix->addRsbn("MS", "25 Москва", "N55*00.00", "E037*00.00");
    const qint64 route = addRoute(int(legs.size()), [&](int k) {
        QVariantMap values = legs.at(k);
        if (values.value("RSBN") == "beacon")
            values["RSBN"] = beacon;
        return values;
    });
    exec("UPDATE Routes SET Vilka = ? WHERE Code = ?", {vilka, route});
    makeCurrent(route);
    QVERIFY(interchange::ExportNVU(*m_session, *m_qp, 11, &m_editor, &m_chooser));
    QVERIFY(m_prompter->messages().isEmpty());
    QTEST(cellValues(11), "expected");
    QVERIFY(!QFile::exists(cellPath(1)));
}

void TestExports::cellOfFortyPoints()
{
    addRoute(40, [](int k) { return QVariantMap{{"S", -(k + 1.0)}, {"OZMPU_V", k + 0.5}, {"LUR", 5}}; });
    QVERIFY(interchange::ExportNVU(*m_session, *m_qp, 20, &m_editor, &m_chooser));
    Values expected{{0, 40.0}, {1, 12.3}};
    for (int i = 0; i < 31; ++i) {
        expected.insert(65 + i, i + 1.0);
        expected.insert(97 + i, i + 0.5);
        expected.insert(257 + i, 5.0);
    }
    QCOMPARE(cellValues(20), expected);
}

void TestExports::cellValueFailures_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("owner");

    QTest::newRow("no fork") << "UPDATE Routes SET Vilka = NULL" << "Ошибка присвоения!" << "TF_PSH";
    QTest::newRow("leg without length") << "UPDATE Points SET S = NULL WHERE Number = 1" << "Ошибка присвоения!"
                                        << "TF_PSH";
    QTest::newRow("beacon leg without Zm") << "UPDATE Points SET RSBN = (SELECT max(Code) FROM RSBN), Zm = NULL, "
                                              "Sm = 1, UKm = 1 WHERE Number = 1"
                                           << "Ошибка присвоения!" << "TF_PSH";
    QTest::newRow("beacon name without a number")
        << "UPDATE Points SET RSBN = (SELECT max(Code) FROM RSBN), Zm = 1, Sm = 1, UKm = 1 WHERE Number = 1; "
           "UPDATE RSBN SET Name = 'AB'"
        << "Ошибка присвоения!" << "TF_PSH";
    QTest::newRow("beacon gone") << "UPDATE Points SET RSBN = 9999, Zm = 1, Sm = 1, UKm = 1 WHERE Number = 1"
                                 << "Ошибка присвоения!" << "TF_PSH";
    QTest::newRow("course that is no number") << "UPDATE Points SET OZMPU_V = 'east' WHERE Number = 1"
                                              << "Ошибка присвоения!" << "TF_PSH";
    // The last point's row is never read.
    QTest::newRow("last point without length") << "UPDATE Points SET S = NULL WHERE Number = 3" << "" << "";
}

void TestExports::cellValueFailures()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    m_fix->addRsbn("MS", "25 Москва", "N55*00.00", "E037*00.00");
    const qint64 route = addRoute(3);
    for (const QString &statement : change.split("; "))
        exec(statement);
    makeCurrent(route);
    QVERIFY(writeBytes(cellPath(3), "old cell"));
    const bool ok = interchange::ExportNVU(*m_session, *m_qp, 3, &m_editor, &m_chooser);
    QCOMPARE(ok, message.isEmpty());
    if (ok)
        return;
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QTEST(m_prompter->messages().first().owner, "owner");
    QCOMPARE(test::readBytes(cellPath(3)), QByteArray("old cell"));
}

void TestExports::cellPointsQueryFails()
{
    addRoute(3);
    exec("ALTER TABLE RSBN RENAME TO RSBN_gone");
    QVERIFY(!interchange::ExportNVU(*m_session, *m_qp, 1, &m_editor, &m_chooser));
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка выполения запроса [QPrint]"});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QVERIFY(!QFile::exists(cellPath(1)));
}

void TestExports::cellFolderMissing()
{
    addRoute(3);
    QVERIFY(QDir(m_folder->fsPath() + "Gauges/Tu154_cfg").removeRecursively());
    QVERIFY(!interchange::ExportNVU(*m_session, *m_qp, 1, &m_editor, &m_chooser));
    QCOMPARE(m_prompter->texts(),
             QStringList{"Ошибка записи в файл!\r\n" + QDir::toNativeSeparators(cellPath(1)) + "\r\nПапка не найдена."});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_PSH"));
}

// ---------------------------------------------------------------- I-21

void TestExports::cellContents_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("folder"); // a folder where the file should be
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("points");
    using State = interchange::NvuCellContents::State;
    const auto cell = [](double count) {
        QByteArray bytes(4096, '\0');
        qToLittleEndian<double>(count, bytes.data());
        return bytes;
    };
    QTest::newRow("a route of 7 points") << cell(7) << false << int(State::Route) << 7;
    QTest::newRow("no route") << QByteArray(4096, '\0') << false << int(State::Empty) << 0;
    QTest::newRow("too short") << QByteArray(4095, '\0') << false << int(State::Unreadable) << 0;
    QTest::newRow("too long") << QByteArray(8192, '\0') << false << int(State::Unreadable) << 0;
    QTest::newRow("empty file") << QByteArray() << false << int(State::Unreadable) << 0;
    QTest::newRow("text") << QByteArray(4096, 'x') << false << int(State::Unreadable) << 0;
    QTest::newRow("half a point") << cell(2.5) << false << int(State::Unreadable) << 0;
    QTest::newRow("negative count") << cell(-3) << false << int(State::Unreadable) << 0;
    QTest::newRow("not a number") << cell(std::nan("")) << false << int(State::Unreadable) << 0;
    QTest::newRow("infinite") << cell(HUGE_VAL) << false << int(State::Unreadable) << 0;
    QTest::newRow("a folder") << QByteArray() << true << int(State::Unreadable) << 0;
}

void TestExports::cellContents()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, folder);
    QFETCH(int, state);
    QFETCH(int, points);
    addRoute(3);
    QVERIFY(folder ? QDir().mkpath(cellPath(4)) : writeBytes(cellPath(4), bytes));
    const QList<interchange::NvuCellContents> cells = interchange::readNvuCells(*m_session);
    QCOMPARE(cells.size(), 20);
    QCOMPARE(int(cells.at(3).state), state);
    QCOMPARE(cells.at(3).points, points);
    QVERIFY(cells.at(3).routeName.isEmpty());
    QVERIFY(cells.at(3).modified.isValid());
    QCOMPARE(cells.at(0).state, interchange::NvuCellContents::State::Missing);
    QVERIFY(!cells.at(0).modified.isValid());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestExports::cellNamesTheRouteItHolds()
{
    // Two routes of the same length and fork, one leg apart.
    const qint64 first = addRoute(3);
    exec("UPDATE Routes SET Name = 'Первый' WHERE Code = ?", {first});
    const qint64 second = addRoute(3, [](int k) {
        return QVariantMap{{"S", k == 1 ? -11.0 : -10.0}, {"OZMPU_V", 90.0}};
    });
    exec("UPDATE Routes SET Name = 'Второй' WHERE Code = ?", {second});
    makeCurrent(second);
    QVERIFY(interchange::ExportNVU(*m_session, *m_qp, 2, &m_editor, &m_chooser));
    makeCurrent(first);
    QVERIFY(interchange::ExportNVU(*m_session, *m_qp, 5, &m_editor, &m_chooser));
    QList<interchange::NvuCellContents> cells = interchange::readNvuCells(*m_session);
    QCOMPARE(cells.at(1).routeName, QString("Второй"));
    QCOMPARE(cells.at(4).routeName, QString("Первый"));
    QCOMPARE(cells.at(4).points, 3);

    // A route recalculated since, or no longer calculated, is no longer named.
    exec("UPDATE Points SET S = -10.5 WHERE Route = ? AND Number = 2", {second});
    exec("UPDATE Routes SET DateTime = NULL WHERE Code = ?", {first});
    cells = interchange::readNvuCells(*m_session);
    QVERIFY(cells.at(1).routeName.isEmpty());
    QVERIFY(cells.at(4).routeName.isEmpty());
    QCOMPARE(cells.at(1).state, interchange::NvuCellContents::State::Route);
}

void TestExports::i21Numbering_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<QStringList>("keys"); // the keys written after the "[ppm" line; "" an empty line

    QTest::newRow("9 points") << 9
                              << QStringList{"ppm_01", "ppm_02", "ppm_03", "ppm_04", "ppm_05",
                                             "ppm_06", "ppm_07", "ppm_08", "ppm_09", ""};
    QTest::newRow("12 points") << 12
                               << QStringList{"ppm_01", "ppm_02", "ppm_03", "ppm_04", "ppm_05", "ppm_06", "ppm_07",
                                              "ppm_08", "ppm_09", "",       "ppm_11", "ppm_12", "ppm_13"};
    QStringList ninety;
    for (int tens = 0; tens < 10; ++tens) {
        for (int unit = 1; unit <= 9; ++unit)
            ninety.append(QStringLiteral("ppm_%1%2").arg(tens).arg(unit));
        ninety.append("");
    }
    QTest::newRow("95 points, the last five left out") << 95 << ninety;
}

void TestExports::i21Numbering()
{
    QFETCH(int, points);
    QFETCH(QStringList, keys);
    addRoute(points);
    QVERIFY(interchange::ExportI21(*m_session, *m_qp, &m_editor));
    QVERIFY(m_prompter->messages().isEmpty());

    const QStringList lines = gaugeLines(test::readBytes(gaugePath()));
    QCOMPARE(lines.mid(0, 3), (QStringList{"[config]", "version=1", "[ppm]"}));
    QStringList written;
    for (const QString &line : lines.mid(3))
        written.append(line.section('=', 0, 0));
    QCOMPARE(written, keys);
    // Point k (from 0) is at N5<k%10>*<k%60>.<k%100>, E0<30+k>*00.50.
    QCOMPARE(lines.at(3), QString("ppm_01=50*00.00,030*00.50"));
    if (points > 9)
        QCOMPARE(lines.at(3 + 10), QString("ppm_11=59*09.09,039*00.50"));
    if (points == 95)
        QCOMPARE(lines.at(3 + 98), QString("ppm_99=59*29.89,0119*00.50"));
}

void TestExports::i21KeepsTheLeadingPartByteForByte()
{
    const qint64 route = m_fix->addRoute("R", 1.0, QDateTime::currentDateTime());
    const test::Fixture::Waypoint a{.id = "A", .lat = "N55*58,33", .lon = "E037*24.87"};
    const test::Fixture::Waypoint b{.id = "B", .lat = "S33*56.80", .lon = "W070*40.50"};
    m_fix->addPoint(route, 1, m_fix->addPunkt(a));
    m_fix->addPoint(route, 2, m_fix->addPunkt(b));
    makeCurrent(route);
    // LF line ends, windows-1251 text and a byte no code page maps, the
    // first "[ppm" on the fifth line, and the points of an earlier export.
    const QByteArray leading = "; \xC8-21 \x98\n[config]\nppm_count=2\n; [PPM] upper case does not count\n"
                               "  [ppm list]  ";
    QVERIFY(writeBytes(gaugePath(), leading + "\nppm_01=1*00.00,001*00.00\n[ppm]\nppm_01=2\n"));
    QVERIFY(interchange::ExportI21(*m_session, *m_qp, &m_editor));
    QCOMPARE(test::readBytes(gaugePath()), QByteArray(leading).replace('\n', "\r\n") + "\r\n"
                                               + "ppm_01=55*58.33,037*24.87\r\n" + "ppm_02=-33*56.80,-070*40.50\r\n");
}

void TestExports::i21BackupOnce()
{
    addRoute(3);
    const QByteArray original = test::readBytes(gaugePath());
    QVERIFY(original.contains("[ppm]"));
    const QString backup = interchange::i21Backup(m_folder->fsPath());
    QVERIFY(!QFile::exists(backup));

    QVERIFY(interchange::ExportI21(*m_session, *m_qp, &m_editor));
    QCOMPARE(test::readBytes(backup), original);
    const QByteArray first = test::readBytes(gaugePath());
    QVERIFY(first != original);

    addRoute(5);
    QVERIFY(interchange::ExportI21(*m_session, *m_qp, &m_editor));
    QCOMPARE(test::readBytes(backup), original);
    QCOMPARE(gaugeLines(test::readBytes(gaugePath())).size(), 3 + 5);
    // Nothing left beside the gauge file and its backup.
    QCOMPARE(QDir(m_folder->fsPath() + "Gauges/i21_cfg").entryList(QDir::Files | QDir::Hidden),
             (QStringList{"I21_PPM.CFG", "I21_PPM.CFG.org"}));
}

void TestExports::i21Refusals_data()
{
    QTest::addColumn<QString>("gauge"); // the gauge file's content; "-" no file, "--" no folder
    QTest::addColumn<QString>("message");

    QTest::newRow("folder missing") << "--" << "Не найдена папка [%1/Gauges/i21_cfg] !\r\nЭкспорт невозможен";
    QTest::newRow("gauge file missing") << "-" << "Не найден файл %1/Gauges/i21_cfg/I21_PPM.CFG!";
    const QString noPpm = "Ошибка записи в файл!\r\n%1/Gauges/i21_cfg/I21_PPM.CFG\r\nВ файле нет строки, содержащей \"[ppm\".";
    QTest::newRow("no [ppm line") << "[config]\r\nversion=1\r\n[PPM]\r\n" << noPpm;
    QTest::newRow("empty gauge file") << "" << noPpm;
}

void TestExports::i21Refusals()
{
    QFETCH(QString, gauge);
    QFETCH(QString, message);
    addRoute(3);
    const QString folder = m_folder->fsPath() + "Gauges/i21_cfg";
    if (gauge == "--")
        QVERIFY(QDir(folder).removeRecursively());
    else if (gauge == "-")
        QVERIFY(QFile::remove(gaugePath()));
    else
        QVERIFY(writeBytes(gaugePath(), gauge.toLatin1()));

    QVERIFY(!interchange::ExportI21(*m_session, *m_qp, &m_editor));
    // The simulator folder keeps its trailing separator, so the path shows
    // a doubled one; the gauge's part is written with the system's separators.
    // A write failure names the whole file with the system's separators.
    if (message.startsWith("Ошибка записи"))
        message = QDir::toNativeSeparators(message.arg(m_folder->fsPath()));
    else if (message.contains("%1"))
        message = QDir::toNativeSeparators(message).arg(m_folder->fsPath());
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    if (gauge.startsWith('-'))
        return;
    QCOMPARE(test::readBytes(gaugePath()), gauge.toLatin1());
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"I21_PPM.CFG"});
}

void TestExports::unwritableFilesAreNamedWithTheReason_data()
{
    QTest::addColumn<QString>("target"); // "nvu", "i21" or "pln"
    QTest::addColumn<QString>("place");  // what is done to the folder the file goes into
    QTest::addColumn<QString>("file");   // the file the message names, under the program folder
    QTest::addColumn<QString>("reason");

    const QString cell = "FS9/Gauges/Tu154_cfg/nvu_dat_3.dat";
    const QString advice = "\r\nWindows не разрешает программам без прав администратора записывать в папку Program "
                           "Files. Запустите Трасмер от имени администратора или установите FS9 вне папки Program Files.";
    QTest::newRow("NVU cell, read-only gauges folder") << "nvu" << "read-only" << cell << "Нет доступа к папке.";
    QTest::newRow("NVU cell, read-only gauges folder in Program Files")
        << "nvu" << "read-only, protected" << cell << "Нет доступа к папке." + advice;
    QTest::newRow("NVU cell, a folder in the cell's place") << "nvu" << "folder in place" << cell
                                                            << "Это папка, а не файл.";
    QTest::newRow("NVU cell, a folder missing in Program Files") << "nvu" << "missing, protected" << cell
                                                                 << "Папка не найдена.";
    // The backup is the first file the I-21 export writes.
    QTest::newRow("I-21, read-only gauge folder") << "i21" << "read-only"
                                                  << "FS9/Gauges/i21_cfg/I21_PPM.CFG.org" << "Нет доступа к папке.";
    QTest::newRow("I-21, read-only gauge folder with the backup made")
        << "i21" << "read-only, backup" << "FS9/Gauges/i21_cfg/I21_PPM.CFG" << "Нет доступа к папке.";
    QTest::newRow("I-21, read-only gauge folder in Program Files")
        << "i21" << "read-only, protected, backup" << "FS9/Gauges/i21_cfg/I21_PPM.CFG" << "Нет доступа к папке." + advice;
    QTest::newRow("flight plan, read-only folder") << "pln" << "read-only" << "plans/plan.PLN" << "Нет доступа к папке.";
}

void TestExports::unwritableFilesAreNamedWithTheReason()
{
#ifdef Q_OS_WIN
    QSKIP("a folder's read-only attribute does not stop writing on Windows");
#endif
    QFETCH(QString, target);
    QFETCH(QString, place);
    QFETCH(QString, file);
    QFETCH(QString, reason);
    addRoute(3);
    // The I-21 export names its files as the simulator folder's setting gives them.
    const QString i21 = "FS9/Gauges/i21_cfg/I21_PPM.CFG";
    const QString path = file.startsWith(i21) ? interchange::i21GaugeFile(m_folder->fsPath()) + file.mid(i21.size())
                                              : m_folder->file(file);
    const QString folder = QFileInfo(path).absolutePath();
    QVERIFY(QDir().mkpath(folder));
    if (place.contains("backup"))
        QVERIFY(QFile::copy(gaugePath(), gaugePath() + ".org"));
    if (place.contains("folder in place"))
        QVERIFY(QDir().mkpath(path));
    if (place.contains("missing"))
        QVERIFY(QDir(folder).removeRecursively());
    // Windows keeps Program Files from programs without elevated rights; here
    // the system's variable names the simulator's folder so.
    const QByteArray programFiles = qgetenv("ProgramFiles");
    if (place.contains("protected"))
        qputenv("ProgramFiles", QDir::toNativeSeparators(m_folder->path()).toLocal8Bit());
    const auto restore = qScopeGuard([&] {
        if (programFiles.isNull())
            qunsetenv("ProgramFiles");
        else
            qputenv("ProgramFiles", programFiles);
    });
    const QByteArray gauge = test::readBytes(gaugePath());
    const QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    std::unique_ptr<test::ImmutableFolder> readOnly;
    if (place.contains("read-only")) {
        readOnly = std::make_unique<test::ImmutableFolder>(folder);
        QVERIFY2(readOnly->isSet(), qPrintable(readOnly->error()));
    }

    bool ok = true;
    QObject *owner = &m_chooser;
    if (target == "nvu") {
        ok = interchange::ExportNVU(*m_session, *m_qp, 3, &m_editor, &m_chooser);
    } else if (target == "i21") {
        ok = interchange::ExportI21(*m_session, *m_qp, &m_editor);
        owner = &m_editor;
    } else {
        ok = interchange::ExportPLN(*m_session, path, &m_routeList);
        owner = &m_routeList;
    }
    QVERIFY(!ok);
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка записи в файл!\r\n" + QDir::toNativeSeparators(path) + "\r\n" + reason});
    QCOMPARE(m_prompter->messages().first().owner, owner->objectName());
    readOnly.reset();
    // Nothing half-written stays behind, and the gauge's own file is as it was.
    QCOMPARE(test::readBytes(gaugePath()), gauge);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), files);
}

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
