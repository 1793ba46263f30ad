#include "Fixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "catalogues/core/AirportStore.h"
#include "catalogues/core/CatalogueLists.h"
#include "catalogues/core/CatalogueTexts.h"
#include "catalogues/core/WaypointDeletion.h"
#include "catalogues/core/WaypointSave.h"
#include "catalogues/core/WaypointType.h"
#include "store/Session.h"

#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::catalogues;
using Kind = test::RecordingPrompter::Kind;

namespace {

// Variation entries that differ from node to node: raw = row * 20 + column.
// N55*58.33 E037*24.87 reads node (37, 146): 2957 raw, 16.2 degrees;
// N55*00.00 E037*00.00 reads node (37, 145): 2937 raw, 16.1 degrees.
qint16 varyingEntry(int column, int row)
{
    return static_cast<qint16>(row * 20 + column);
}

QString head()
{
    return QStringLiteral("Удаление невозможно, так как\r\nссылки на этот ППМ присутствуют в маршрутах:");
}

} // namespace

// The catalogues' work without windows: deleting a waypoint, the entry
// checks, storing a waypoint and what follows from it, storing an airport.
class TestCatalogueCore : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusalListsRouteNames_data();
    void refusalListsRouteNames();
    void deletionRefusedWhileRoutesUseTheWaypoint();
    void deletionAsksWithNoPreselected();
    void deletionTakesAnAirportsRunways();
    void deletionFailuresAreReported();

    void typeIndexes();
    void entryChecksInOrder_data();
    void entryChecksInOrder();
    void duplicateRules_data();
    void duplicateRules();
    void duplicateLookupFailure();

    void savingUnchangedTouchesNoRoute();
    void movingMarksEveryRouteThrough();
    void savingANewWaypoint();
    void typeOtherThanAirportDeletesRunways_data();
    void typeOtherThanAirportDeletesRunways();
    void failedWriteKeepsTheEntries();
    void failuresAfterTheWriteAreReported_data();
    void failuresAfterTheWriteAreReported();

    void airportStoredEditorEntriesStayPending();
    void airportStoreFailureLosesNothing();

private:
    bool locate(qint64 code) { return m_lists->QPunkts.locate(u"Code", code); }

    std::unique_ptr<CatalogueLists> m_lists;
    QObject m_owner;

    qint64 m_sheremetyevo = 0; // an airport with two runways
    qint64 m_ndb = 0;          // NDB UU ABCDE at N55*00.00 E037*00.00
    qint64 m_unused = 0;
    qint64 m_route1 = 0;
    qint64 m_route2 = 0;
    qint64 m_other = 0;        // a calculated route that does not pass the NDB
};

void TestCatalogueCore::init()
{
    m_owner.setObjectName(QStringLiteral("owner"));
    QVERIFY(openSession(test::SessionSetup::withSimulator(varyingEntry)));

    m_sheremetyevo = m_fix->addPunkt({.id = QStringLiteral("UUEE"),
                                      .lat = QStringLiteral("N55*58.33"),
                                      .lon = QStringLiteral("E037*24.87"),
                                      .type = QStringLiteral("Airport"),
                                      .name = QStringLiteral("Шереметьево")});
    m_ndb = m_fix->addPunkt({.id = QStringLiteral("ABCDE"),
                             .lat = QStringLiteral("N55*00.00"),
                             .lon = QStringLiteral("E037*00.00"),
                             .type = QStringLiteral("NDB"),
                             .region = QStringLiteral("UU"),
                             .name = QStringLiteral("Привод")});
    m_unused = m_fix->addPunkt(QStringLiteral("ZZZ"), QStringLiteral("N50*00.00"), QStringLiteral("E030*00.00"));
    const QDateTime calculated(QDate(2024, 5, 1), QTime(12, 0));
    m_route1 = m_fix->addRoute(QStringLiteral("Москва - Сочи"), 1498.8, calculated);
    m_route2 = m_fix->addRoute(QStringLiteral("Alpha"), 12.0, calculated);
    m_other = m_fix->addRoute(QStringLiteral("Другой"), 5.0, calculated);
    m_fix->addPoint(m_route1, 1, m_sheremetyevo);
    m_fix->addPoint(m_route1, 2, m_ndb);
    m_fix->addPoint(m_route1, 3, m_ndb);
    m_fix->addPoint(m_route2, 1, m_ndb);
    m_fix->addPoint(m_other, 1, m_sheremetyevo);
    exec(QStringLiteral("INSERT INTO Runways (AP, Runway) VALUES (%1, '06C'), (%1, '24C'), (%2, '07')")
             .arg(m_sheremetyevo)
             .arg(m_ndb));

    m_lists = std::make_unique<CatalogueLists>(m_session->ADOC);
    QVERIFY(m_lists->openPunkts());
}

void TestCatalogueCore::cleanup()
{
    m_lists.reset();
    closeSession();
}

void TestCatalogueCore::refusalListsRouteNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("list");

    QStringList ten;
    QStringList eleven;
    for (int i = 1; i <= 11; ++i) {
        if (i <= 10)
            ten << QStringLiteral("Маршрут %1").arg(i);
        eleven << QStringLiteral("Маршрут %1").arg(i);
    }
    QString tenLines;
    for (const QString &n : std::as_const(ten))
        tenLines += QStringLiteral("\r\n") + n;
    const QString long100(100, u'Ж');
    const QString long300(300, u'Ж');

    QTest::newRow("two routes") << QStringList{"Москва - Сочи", "Alpha"} << "\r\nМосква - Сочи\r\nAlpha";
    QTest::newRow("a route passed twice") << QStringList{"Alpha", "Alpha"} << "\r\nAlpha\r\nAlpha";
    QTest::newRow("ten in full") << ten << tenLines;
    QTest::newRow("eleven cut after ten") << eleven << tenLines + "\r\n...";
    // Long names: the list stops before passing 255 characters.
    QTest::newRow("long names") << QStringList{long100, long100, long100}
                                << "\r\n" + long100 + "\r\n" + long100 + "\r\n...";
    QTest::newRow("one name too long") << QStringList{long300} << "\r\n...";
}

void TestCatalogueCore::refusalListsRouteNames()
{
    QFETCH(QStringList, names);
    QFETCH(QString, list);
    const QString text = deletionRefusedText(names);
    QCOMPARE(text, head() + list);
    QVERIFY(text.size() - head().size() <= 255);
}

void TestCatalogueCore::deletionRefusedWhileRoutesUseTheWaypoint()
{
    // The NDB: route 1 passes it twice, route 2 once; named per point, by route key.
    QVERIFY(locate(m_ndb));
    QVERIFY(!deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Error);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("owner"));
    QCOMPARE(m_prompter->lastText(), head() + "\r\nМосква - Сочи\r\nМосква - Сочи\r\nAlpha");
    QCOMPARE(m_fix->count("Punkts"), 3);
    QCOMPARE(m_fix->count("Runways"), 3);

    // Eleven route points on one waypoint: ten names, then "...".
    for (int n = 2; n <= 9; ++n)
        m_fix->addPoint(m_route2, n, m_ndb);
    m_prompter->clear();
    QVERIFY(!deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QString expected = head() + "\r\nМосква - Сочи\r\nМосква - Сочи";
    for (int n = 1; n <= 8; ++n)
        expected += "\r\nAlpha";
    QCOMPARE(m_prompter->lastText(), expected + "\r\n...");
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
}

void TestCatalogueCore::deletionAsksWithNoPreselected()
{
    QVERIFY(locate(m_unused));
    m_prompter->answer(false);
    QVERIFY(!deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Question);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удалить ППМ [ZZZ ]?"));
    QVERIFY(!m_prompter->messages().at(0).defaultYes);
    QCOMPARE(m_fix->count("Punkts"), 3);

    m_prompter->answer(true);
    QVERIFY(deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_fix->count("Punkts"), 2);
    QCOMPARE(m_lists->QPunkts.rowCount(), 2);
    QVERIFY(!m_lists->QPunkts.locate(u"Code", m_unused));
    QCOMPARE(m_fix->count("Runways"), 3);
}

void TestCatalogueCore::deletionTakesAnAirportsRunways()
{
    exec(QStringLiteral("DELETE FROM Points WHERE Punkt = %1").arg(m_sheremetyevo));
    QVERIFY(locate(m_sheremetyevo));
    m_prompter->answer(true);
    QVERIFY(deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удалить ППМ [UUEE Шереметьево]?"));
    QVERIFY(!dbValue("Punkts", m_sheremetyevo, "ID").isValid());
    QCOMPARE(m_fix->count("Runways"), 1); // the NDB's row stays
}

void TestCatalogueCore::deletionFailuresAreReported()
{
    exec(QStringLiteral("DELETE FROM Points WHERE Punkt = %1").arg(m_sheremetyevo));
    exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON Punkts BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QVERIFY(locate(m_sheremetyevo));
    m_prompter->answer(true);
    QVERIFY(!deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_prompter->messages().last().kind, Kind::Error);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка удаления!\r\nНачните заново"));
    // Nothing of it is gone: the runways' deletion was rolled back with it.
    QCOMPARE(m_fix->count("Runways"), 3);
    QCOMPARE(m_lists->QPunkts.rowCount(), 3);
    QCOMPARE(m_lists->QPunkts.value(u"Code").toLongLong(), m_sheremetyevo);

    exec(QStringLiteral("DROP TABLE Routes"));
    m_prompter->clear();
    QVERIFY(!deleteWaypoint(*m_session, m_lists->QPunkts, &m_owner));
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка открытия запроса!\r\n[Points]")});
}

void TestCatalogueCore::typeIndexes()
{
    QCOMPARE(waypointTypeItems(), (QStringList{"Пересечение", "Airport", "NDB", "VOR"}));
    QCOMPARE(waypointTypeIndex(QVariant()), 0);
    QCOMPARE(waypointTypeIndex(QString()), 0);
    QCOMPARE(waypointTypeIndex(QStringLiteral("Airport")), 1);
    QCOMPARE(waypointTypeIndex(QStringLiteral("VOR")), 3);
    QCOMPARE(waypointTypeIndex(QStringLiteral("TACAN")), -1);
    QVERIFY(storedWaypointType(0).isNull());
    QCOMPARE(storedWaypointType(2), QVariant(QStringLiteral("NDB")));
}

void TestCatalogueCore::entryChecksInOrder_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<QString>("message");

    const QString lat = QStringLiteral("N56*00.00");
    const QString lon = QStringLiteral("E040*00.00");
    QTest::newRow("region before ident") << 2 << "" << "" << lat << lon << "Не заполнено поле [Регион]!";
    QTest::newRow("intersection needs a region") << 0 << "" << "AB" << lat << lon << "Не заполнено поле [Регион]!";
    QTest::newRow("airport needs none") << 1 << "" << "" << lat << lon << "Не заполнено поле [Пункт]!";
    QTest::newRow("unknown type: no region check") << -1 << "" << "AB" << lat << lon << "";
    QTest::newRow("ident before position") << 3 << "UU" << "" << "N00*00.00" << lon << "Не заполнено поле [Пункт]!";
    QTest::newRow("zero latitude") << 3 << "UU" << "AB" << "N00*00.00" << lon << "Неправильно заполнены координаты!";
    QTest::newRow("zero south latitude") << 3 << "UU" << "AB" << "S00*00.00" << lon
                                         << "Неправильно заполнены координаты!";
    QTest::newRow("zero west longitude") << 3 << "UU" << "AB" << lat << "W000*00.00"
                                         << "Неправильно заполнены координаты!";
    QTest::newRow("zero minutes only are a position") << 3 << "UU" << "AB" << "N00*00.01" << lon << "";
    QTest::newRow("duplicate last") << 2 << "UU" << "ABCDE" << "N55*00.00" << "E037*00.00"
                                    << "Такой пункт уже существует в базе данных!";
}

void TestCatalogueCore::entryChecksInOrder()
{
    QFETCH(int, type);
    QFETCH(QString, region);
    QFETCH(QString, id);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(QString, message);
    WaypointEntry entry{type, QStringLiteral("TACAN"), region, id, lat, lon};
    QCOMPARE(entryProblemText(checkEntry(*m_session, entry, 0)), message);
}

void TestCatalogueCore::duplicateRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("ownNdb"); // editing the NDB itself
    QTest::addColumn<bool>("duplicate");

    const QString lat = QStringLiteral("N55*00.00");
    const QString lon = QStringLiteral("E037*00.00");
    // An intersection is compared without its type, so an NDB's key takes it.
    QTest::newRow("intersection on an NDB's key") << 0 << "UU" << "ABCDE" << lat << lon << false << true;
    QTest::newRow("VOR beside the NDB") << 3 << "UU" << "ABCDE" << lat << lon << false << false;
    QTest::newRow("another NDB") << 2 << "UU" << "ABCDE" << lat << lon << false << true;
    QTest::newRow("letter case ignored") << 2 << "uu" << "abcde" << lat << lon << false << true;
    QTest::newRow("a hundredth of a minute away") << 2 << "UU" << "ABCDE" << "N55*00.01" << lon << false << false;
    QTest::newRow("other region") << 2 << "UA" << "ABCDE" << lat << lon << false << false;
    QTest::newRow("the waypoint itself") << 2 << "UU" << "ABCDE" << lat << lon << true << false;
    QTest::newRow("itself as an intersection") << 0 << "UU" << "ABCDE" << lat << lon << true << false;
    // The airport has a Null region; an airport entry's region is empty.
    QTest::newRow("airport, Null and empty region alike") << 1 << "" << "UUEE" << "N55*58.33" << "E037*24.87"
                                                           << false << true;
}

void TestCatalogueCore::duplicateRules()
{
    QFETCH(int, type);
    QFETCH(QString, region);
    QFETCH(QString, id);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(bool, ownNdb);
    QFETCH(bool, duplicate);
    exec(QStringLiteral("UPDATE Punkts SET Region = NULL WHERE Code = %1").arg(m_sheremetyevo));
    const WaypointEntry entry{type, {}, region, id, lat, lon};
    const EntryProblem found = findDuplicate(*m_session, entry, ownNdb ? m_ndb : 0);
    QCOMPARE(found, duplicate ? EntryProblem::Duplicate : EntryProblem::None);
}

void TestCatalogueCore::duplicateLookupFailure()
{
    // Two rows with the key: a duplicate even for one of them.
    const qint64 twin = m_fix->addPunkt({QStringLiteral("ABCDE"), QStringLiteral("N55*00.00"),
                                         QStringLiteral("E037*00.00"), 0.0, QStringLiteral("NDB"),
                                         QStringLiteral("UU"), QString()});
    const WaypointEntry entry{2, {}, QStringLiteral("UU"), QStringLiteral("ABCDE"), QStringLiteral("N55*00.00"),
                              QStringLiteral("E037*00.00")};
    QCOMPARE(findDuplicate(*m_session, entry, twin), EntryProblem::Duplicate);

    exec(QStringLiteral("ALTER TABLE Punkts RENAME TO Gone"));
    QCOMPARE(findDuplicate(*m_session, entry, m_ndb), EntryProblem::DuplicateCheckFailed);
    QVERIFY(!entryProblemText(EntryProblem::DuplicateCheckFailed).isEmpty());
}

void TestCatalogueCore::savingUnchangedTouchesNoRoute()
{
    QVERIFY(locate(m_ndb));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    const WaypointEntry entry{2, punkts.value(u"Type"), "UU", "ABCDE", "N55*00.00", "E037*00.00"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, false, &m_owner), StoreResult::Saved);
    QVERIFY(m_prompter->messages().isEmpty());
    // The variation comes from the table even though the position stayed.
    QCOMPARE(dbValue("Punkts", m_ndb, "MS").toDouble(), 16.1);
    for (const qint64 route : {m_route1, m_route2, m_other})
        QVERIFY(!dbValue("Routes", route, "DateTime").isNull());
    QCOMPARE(punkts.value(u"Code").toLongLong(), m_ndb);
    QCOMPARE(punkts.state(), store::Query::State::Browse);
}

void TestCatalogueCore::movingMarksEveryRouteThrough()
{
    QVERIFY(locate(m_ndb));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    const WaypointEntry entry{2, punkts.value(u"Type"), "UU", "ABCDE", "N55*00.01", "E037*00.00"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, true, &m_owner), StoreResult::Saved);
    QCOMPARE(dbValue("Punkts", m_ndb, "LAT").toString(), QStringLiteral("N55*00.01"));
    QVERIFY(dbValue("Routes", m_route1, "DateTime").isNull());
    QVERIFY(dbValue("Routes", m_route2, "DateTime").isNull());
    QVERIFY(!dbValue("Routes", m_other, "DateTime").isNull());
    QCOMPARE(m_fix->count("Runways"), 2); // the NDB's stray runway row is gone
}

void TestCatalogueCore::savingANewWaypoint()
{
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.append());
    punkts.setValue(u"ID", QStringLiteral("NEW"));
    punkts.setValue(u"Region", QStringLiteral("UU"));
    const WaypointEntry entry{3, {}, "UU", "NEW", "N55*58.33", "E037*24.87"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, false, &m_owner), StoreResult::Saved);
    const qint64 code = punkts.value(u"Code").toLongLong();
    QVERIFY(code > 0);
    QCOMPARE(punkts.value(u"ID").toString(), QStringLiteral("NEW"));
    QCOMPARE(punkts.rowCount(), 4);
    QCOMPARE(dbValue("Punkts", code, "Type").toString(), QStringLiteral("VOR"));
    QCOMPARE(dbValue("Punkts", code, "MS").toDouble(), 16.2);
    QCOMPARE(dbValue("Punkts", code, "LON").toString(), QStringLiteral("E037*24.87"));
}

void TestCatalogueCore::typeOtherThanAirportDeletesRunways_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<qint64>("runways");
    QTest::newRow("airport keeps them") << 1 << qint64(3);
    QTest::newRow("NDB loses them") << 2 << qint64(1);
    QTest::newRow("intersection loses them") << 0 << qint64(1);
}

void TestCatalogueCore::typeOtherThanAirportDeletesRunways()
{
    QFETCH(int, type);
    QFETCH(qint64, runways);
    QVERIFY(locate(m_sheremetyevo));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    const WaypointEntry entry{type, punkts.value(u"Type"), "UU", "UUEE", "N55*58.33", "E037*24.87"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, false, &m_owner), StoreResult::Saved);
    QCOMPARE(m_fix->count("Runways"), runways);
    const QVariant stored = dbValue("Punkts", m_sheremetyevo, "Type");
    QCOMPARE(stored.isNull(), type == 0);
    QCOMPARE(stored.toString(), storedWaypointType(type).toString());
}

void TestCatalogueCore::failedWriteKeepsTheEntries()
{
    exec(QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON Punkts BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QVERIFY(locate(m_ndb));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    punkts.setValue(u"Name", QStringLiteral("Новое имя"));
    const WaypointEntry entry{3, punkts.value(u"Type"), "UU", "ABCDE", "N55*00.01", "E037*00.00"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, true, &m_owner), StoreResult::NotSaved);
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка сохранения в таблице [Punkts]!")});
    QCOMPARE(punkts.state(), store::Query::State::Edit);
    QCOMPARE(punkts.value(u"Name").toString(), QStringLiteral("Новое имя"));
    QCOMPARE(dbValue("Punkts", m_ndb, "Name").toString(), QStringLiteral("Привод"));
    QVERIFY(!dbValue("Routes", m_route1, "DateTime").isNull());
    QVERIFY(!m_session->ADOC.inTransaction());

    // Saving again once the obstacle is gone stores it all.
    exec(QStringLiteral("DROP TRIGGER keep"));
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, true, &m_owner), StoreResult::Saved);
    QCOMPARE(dbValue("Punkts", m_ndb, "Name").toString(), QStringLiteral("Новое имя"));
    QCOMPARE(dbValue("Punkts", m_ndb, "Type").toString(), QStringLiteral("VOR"));
}

void TestCatalogueCore::failuresAfterTheWriteAreReported_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::newRow("routes not marked")
        << "CREATE TRIGGER keep BEFORE UPDATE ON Routes BEGIN SELECT RAISE(ABORT, 'kept'); END" << 2
        << "ППМ сохранен, но маршруты, проходящие через него, не удалось отметить как не расчитанные!\r\n"
           "Сохраните ППМ еще раз. [Routes]";
    QTest::newRow("runways not deleted")
        << "CREATE TRIGGER keep BEFORE DELETE ON Runways BEGIN SELECT RAISE(ABORT, 'kept'); END" << 2
        << "ППМ сохранен, но не удалось удалить его ВПП!\r\nСохраните ППМ еще раз. [Runways]";
}

void TestCatalogueCore::failuresAfterTheWriteAreReported()
{
    QFETCH(QString, trigger);
    QFETCH(int, type);
    QFETCH(QString, message);
    exec(trigger);
    QVERIFY(locate(m_sheremetyevo));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    const WaypointEntry entry{type, punkts.value(u"Type"), "UU", "UUEE", "N55*58.34", "E037*24.87"};
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, true, &m_owner), StoreResult::SavedIncomplete);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(dbValue("Punkts", m_sheremetyevo, "LAT").toString(), QStringLiteral("N55*58.34"));

    // Saving again finishes the work.
    exec(QStringLiteral("DROP TRIGGER keep"));
    QCOMPARE(storeWaypoint(*m_session, punkts, entry, true, &m_owner), StoreResult::Saved);
    QVERIFY(dbValue("Routes", m_route1, "DateTime").isNull());
    QCOMPARE(m_fix->count("Runways"), 1);
}

void TestCatalogueCore::airportStoredEditorEntriesStayPending()
{
    QVERIFY(locate(m_sheremetyevo));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    punkts.setValue(u"Name", QStringLiteral("Изменено в редакторе"));
    punkts.setValue(u"H", 622);
    punkts.setValue(u"ATIS", 122.07);
    QVERIFY(storeAirport(*m_session, punkts, 5, &m_owner));
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(dbValue("Punkts", m_sheremetyevo, "H").toDouble(), 622.0);
    QCOMPARE(dbValue("Punkts", m_sheremetyevo, "ATIS").toDouble(), 122.07);
    QCOMPARE(dbValue("Punkts", m_sheremetyevo, "RSBN").toLongLong(), 5);
    QCOMPARE(dbValue("Punkts", m_sheremetyevo, "Name").toString(), QStringLiteral("Шереметьево"));
    QCOMPARE(punkts.state(), store::Query::State::Edit);
    QCOMPARE(punkts.value(u"Name").toString(), QStringLiteral("Изменено в редакторе"));

    // The editor's "Отмена" drops its own entries; the airport's stay stored.
    punkts.cancel();
    QCOMPARE(punkts.value(u"Name").toString(), QStringLiteral("Шереметьево"));
    QCOMPARE(punkts.value(u"H").toDouble(), 622.0);

    // No beacon chosen: RSBN becomes Null.
    QVERIFY(punkts.edit());
    QVERIFY(storeAirport(*m_session, punkts, QVariant(), &m_owner));
    QVERIFY(dbValue("Punkts", m_sheremetyevo, "RSBN").isNull());
}

void TestCatalogueCore::airportStoreFailureLosesNothing()
{
    exec(QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON Punkts BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QVERIFY(locate(m_sheremetyevo));
    store::Query &punkts = m_lists->QPunkts;
    QVERIFY(punkts.edit());
    punkts.setValue(u"Name", QStringLiteral("Изменено в редакторе"));
    punkts.setValue(u"H", 622);
    QVERIFY(!storeAirport(*m_session, punkts, 5, &m_owner));
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Не удалось сохранить запись [QPunkts]")});
    QCOMPARE(punkts.state(), store::Query::State::Edit);
    QCOMPARE(punkts.value(u"Name").toString(), QStringLiteral("Изменено в редакторе"));
    QCOMPARE(punkts.value(u"H").toInt(), 622);
    QCOMPARE(punkts.value(u"RSBN").toInt(), 5);
    QVERIFY(dbValue("Punkts", m_sheremetyevo, "H").isNull());
    QVERIFY(!m_session->ADOC.inTransaction());
}

QTEST_GUILESS_MAIN(TestCatalogueCore)
#include "tst_cataloguecore.moc"
