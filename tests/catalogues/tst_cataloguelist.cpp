#include "BuildMachineTools.h"
#include "Fixture.h"
#include "SessionTest.h"
#include "SqlColumn.h"
#include "TestFolder.h"

#include "catalogues/core/CatalogueLists.h"
#include "store/Schema.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"

#include <QAbstractItemModelTester>
#include <QProcess>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

using namespace kx;
using kx::test::column;
using namespace kx::catalogues;

namespace {

// Rows small enough that a few dozen waypoints make many pages.
constexpr int kPage = 6;

const QString kLat = QStringLiteral("N55*00.00");
const QString kLon = QStringLiteral("E037*00.00");

// Idents and regions in every letter case, Latin and Cyrillic, Ё included,
// and names to be found by any of their words.
const test::Fixture::Waypoint kWaypoints[] = {
    {.id = "EGLL", .lat = kLat, .lon = kLon, .type = "Airport", .name = "London Heathrow"},
    {.id = "EGKK", .lat = kLat, .lon = kLon, .type = "Airport", .name = "London Gatwick"},
    {.id = "UUEE", .lat = kLat, .lon = kLon, .type = "Airport", .name = "Шереметьево (Москва)"},
    {.id = "uuww", .lat = kLat, .lon = kLon, .type = "Airport", .name = "Внуково-Москва"},
    {.id = "ULLI", .lat = kLat, .lon = kLon, .type = "Airport", .name = "Saint-Petersburg Pulkovo"},
    {.id = "ЖУК", .lat = kLat, .lon = kLon, .region = "UU", .name = "Жуковский"},
    {.id = "жук", .lat = kLat, .lon = kLon, .region = "uu", .name = "жуковка"},
    {.id = "Жук", .lat = kLat, .lon = kLon, .region = "UL", .name = "ЖУКОВО"},
    {.id = "ЁЖ", .lat = kLat, .lon = kLon, .region = "UU", .name = "Ёжики"},
    {.id = "ЯК", .lat = kLat, .lon = kLon, .region = "UU", .name = "Ярославль"},
    {.id = "ёлка", .lat = kLat, .lon = kLon, .region = "UU", .name = "Елка"},
    {.id = "SB", .lat = kLat, .lon = kLon, .type = "NDB", .region = "UU", .name = "Sheremetyevo"},
    {.id = "SB", .lat = kLat, .lon = kLon, .type = "NDB", .region = "EG", .name = "Sandy Bay"},
    {.id = "sb", .lat = kLat, .lon = kLon, .type = "NDB", .region = "LF", .name = "Saint-Brieuc"},
    {.id = "MR", .lat = kLat, .lon = kLon, .type = "VOR", .region = "UU", .name = "Мэр"},
    {.id = "_X1", .lat = kLat, .lon = kLon, .region = "ZZ", .name = "Underscore"},
    {.id = "A1", .lat = kLat, .lon = kLon, .region = "ZZ"},
    {.id = "a2", .lat = kLat, .lon = kLon, .region = "zz", .name = "Alpha/Bravo"},
};

// The list's rows from the first to the last, read page by page as a grid
// scrolls: each as "ID Region".
QStringList scrolledThrough(store::Query &list)
{
    QStringList rows;
    if (!list.first())
        return rows;
    do
        rows << list.value(u"ID").toString() + u' ' + list.value(u"Region").toString();
    while (list.next());
    return rows;
}

} // namespace

// The waypoint catalogue's list read in pages: its order (the program's
// letter-case-blind order, Cyrillic included, for rows any SQLite client
// writes), its searches, and its current row while pages come and go.
class TestCatalogueList : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void orderIsTheProgramsOrder_data();
    void orderIsTheProgramsOrder();
    void pagesAreReadThroughTheIndex_data();
    void pagesAreReadThroughTheIndex();
    void searchByIdent_data();
    void searchByIdent();
    void searchByName_data();
    void searchByName();
    void currentRowStaysWhilePagesCome();
    void firstAndLastReachTheListsEnds();
    void deletionWhileScrolled_data();
    void deletionWhileScrolled();
    void insertionWhileScrolled();
    void gridModelPassesTheTesterWhileScrolling();

private:
    // The rows in the order of the program's own collation: what the list
    // must show, computed without the list's keys.
    QStringList collationOrder();
    void fill();

    std::unique_ptr<CatalogueLists> m_lists;
};

void TestCatalogueList::init()
{
    QVERIFY(openSession());
    fill();
    m_lists = std::make_unique<CatalogueLists>(m_session->ADOC);
    m_lists->QPunkts.setPageSize(kPage);
    QVERIFY(m_lists->openPunkts());
}

void TestCatalogueList::cleanup()
{
    m_lists.reset();
    closeSession();
}

void TestCatalogueList::fill()
{
    QVERIFY(m_session->ADOC.begin());
    for (const test::Fixture::Waypoint &w : kWaypoints)
        QVERIFY(m_fix->addPunkt(w) > 0);
    QVERIFY(m_session->ADOC.commit());
}

QStringList TestCatalogueList::collationOrder()
{
    return column(m_session->ADOC.sql(),
                  QStringLiteral("SELECT ID || ' ' || ifnull(Region, '') FROM Punkts "
                                 "ORDER BY ID COLLATE KALYX_NOCASE, Region COLLATE KALYX_NOCASE, Code"));
}

void TestCatalogueList::orderIsTheProgramsOrder_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::newRow("many pages") << kPage;
    QTest::newRow("pages of two rows") << 2;
    QTest::newRow("one page") << 1000;
}

void TestCatalogueList::orderIsTheProgramsOrder()
{
    QFETCH(int, pageSize);
    store::Query &list = m_lists->QPunkts;
    list.setPageSize(pageSize);
    QVERIFY(list.refresh());
    const QStringList expected = collationOrder();
    QCOMPARE(expected.size(), int(std::size(kWaypoints)));
    QCOMPARE(scrolledThrough(list), expected);
    // Ё after Я, as the small letters go; an ident in small letters among its
    // capital spellings, by key.
    QVERIFY(expected.indexOf(QStringLiteral("ЯК UU")) < expected.indexOf(QStringLiteral("ЁЖ UU")));

    // Rows an SQLite client without the program writes take their places too.
    KX_NEEDS_BUILD_MACHINE_TOOL("the sqlite3 shell");
    m_lists->QPunkts.close();
    m_session->ADOC.close();
    QProcess shell;
    shell.start(QStandardPaths::findExecutable(QStringLiteral("sqlite3")),
                {QStringLiteral("-batch"), QStringLiteral("-bail"), m_session->databasePath()});
    shell.write("INSERT INTO Punkts (ID, Region, Name, LAT, LON) VALUES ('жуа', 'uu', 'Новая точка', 'N1', 'E1');\n"
                "INSERT INTO Punkts (ID, Region, Name, LAT, LON) VALUES ('egaa', NULL, 'Belfast', 'N1', 'E1');\n"
                "INSERT INTO Punkts (ID, Region, Name, LAT, LON) VALUES ('Ёа', 'ЯЯ', 'Ёлочка', 'N1', 'E1');\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(60000));
    QVERIFY2(shell.exitCode() == 0, shell.readAllStandardError().constData());
    QVERIFY(m_session->ADOC.open(m_session->databasePath()));
    QVERIFY(list.open());
    QCOMPARE(scrolledThrough(list), collationOrder());
    // ... and the client's name words are found too.
    QVERIFY(findWaypointByName(list, QStringLiteral("ЁЛОЧ")));
    QCOMPARE(list.value(u"ID").toString(), QStringLiteral("Ёа"));
}

void TestCatalogueList::pagesAreReadThroughTheIndex_data()
{
    QTest::addColumn<int>("madeBy"); // the schema version that made it, then upgraded
    QTest::newRow("new database") << store::kSchemaVersion;
    QTest::newRow("database of schema 1, upgraded") << 1;
    // The first schema's indexes named the program's collation and go; the
    // order's index must still be made, and serve.
    QTest::newRow("database of schema 0, upgraded") << 0;
}

void TestCatalogueList::pagesAreReadThroughTheIndex()
{
    QFETCH(int, madeBy);
    test::TestFolder folder;
    QVERIFY(madeBy == 0   ? folder.createFirstSchemaDatabase()
            : madeBy == 1 ? folder.createSecondSchemaDatabase()
                          : folder.createDatabase());
    store::Database db(QStringLiteral("plan"));
    QVERIFY(db.open(folder.file(QStringLiteral("kalyxdb.kdb"))));
    if (madeBy < store::kSchemaVersion) {
        QString why;
        QVERIFY2(store::upgradeSchema(db, &why), qPrintable(why));
    }
    // Every statement of a page, as the list runs it, named by SQLite's plan:
    // a search of the order's index, never a sort of the whole table.
    const QStringList keys = store::waypointOrderKeys();
    const QString inner = QStringLiteral("(SELECT Punkts.Code, Punkts.ID, %1 AS kx_key0, %2 AS kx_key1, "
                                         "Punkts.Code AS kx_key2 FROM Punkts)")
                              .arg(keys.at(0), keys.at(1));
    const QString after = QStringLiteral("kx_key0 >= ? AND (kx_key0 > ? OR (kx_key1 > ? OR (kx_key1 = ? AND kx_key2 > ?)))");
    const QString before = QString(after).replace(u'>', u'<');
    const QStringList statements = {
        QStringLiteral("SELECT * FROM %1 ORDER BY kx_key0, kx_key1, kx_key2 LIMIT 6").arg(inner),
        QStringLiteral("SELECT * FROM %1 WHERE %2 ORDER BY kx_key0, kx_key1, kx_key2 LIMIT 6").arg(inner, after),
        QStringLiteral("SELECT * FROM %1 WHERE %2 ORDER BY kx_key0 DESC, kx_key1 DESC, kx_key2 DESC LIMIT 6")
            .arg(inner, before),
        QStringLiteral("SELECT kx_key0 FROM %1 WHERE kx_key0 >= ? AND kx_key0 < ? ORDER BY kx_key0, kx_key1, kx_key2 "
                       "LIMIT 1")
            .arg(inner),
    };
    for (const QString &sql : statements) {
        QSqlQuery plan(db.sql());
        QVERIFY2(plan.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + QString(sql).replace(u'?', QStringLiteral("'a'"))),
                 qPrintable(plan.lastError().text()));
        QString text;
        while (plan.next())
            text += plan.value(3).toString() + u'\n';
        QVERIFY2(text.contains(QStringLiteral("USING INDEX Punkts_Order")) && !text.contains(QStringLiteral("TEMP B-TREE")),
                 qPrintable(sql.left(60) + u'\n' + text));
    }
}

void TestCatalogueList::searchByIdent_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // "ID Region", empty: none
    QTest::newRow("whole ident") << "UUEE" << "UUEE ";
    QTest::newRow("start, small letters") << "uu" << "UUEE ";
    QTest::newRow("stored in small letters") << "UUW" << "uuww ";
    QTest::newRow("Cyrillic, first of three spellings") << "жу" << "Жук UL";
    QTest::newRow("Ё") << "ё" << "ЁЖ UU";
    QTest::newRow("same ident, first region") << "SB" << "SB EG";
    QTest::newRow("none") << "QQ" << "";
    QTest::newRow("longer than any ident") << "UUEEX" << "";
}

void TestCatalogueList::searchByIdent()
{
    QFETCH(QString, typed);
    QFETCH(QString, found);
    store::Query &list = m_lists->QPunkts;
    QVERIFY(list.locate(u"ID", QStringLiteral("MR")));
    const QString before = list.value(u"ID").toString();
    QCOMPARE(findWaypointByIdent(list, typed), !found.isEmpty());
    const QString current = list.value(u"ID").toString() + u' ' + list.value(u"Region").toString();
    QCOMPARE(current, found.isEmpty() ? before + QStringLiteral(" UU") : found);
}

void TestCatalogueList::searchByName_data()
{
    QTest::addColumn<int>("sortAtMost"); // candidates sorted up to this many, else the list walked
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // ID, empty: none
    // Both ways find the same first waypoint, in the list's order.
    for (const int sortAtMost : {1000, 0}) {
        const QByteArray way = sortAtMost ? ", candidates sorted" : ", list walked";
        QTest::newRow("first word" + way) << sortAtMost << "london" << "EGKK";
        QTest::newRow("second word" + way) << sortAtMost << "heath" << "EGLL";
        QTest::newRow("words across a blank" + way) << sortAtMost << "LONDON HEA" << "EGLL";
        QTest::newRow("after a hyphen" + way) << sortAtMost << "petersb" << "ULLI";
        QTest::newRow("in parentheses, other case" + way) << sortAtMost << "МОСКВА" << "UUEE";
        QTest::newRow("after a slash" + way) << sortAtMost << "bravo" << "a2";
        QTest::newRow("Cyrillic in three spellings" + way) << sortAtMost << "жуков" << "Жук";
        QTest::newRow("not the middle of a word" + way) << sortAtMost << "row" << "";
        QTest::newRow("nothing" + way) << sortAtMost << "Zzz" << "";
    }
}

void TestCatalogueList::searchByName()
{
    QFETCH(int, sortAtMost);
    QFETCH(QString, typed);
    QFETCH(QString, found);
    store::Query &list = m_lists->QPunkts;
    QVERIFY(list.locate(u"ID", QStringLiteral("MR")));
    QCOMPARE(findWaypointByName(list, typed, sortAtMost), !found.isEmpty());
    QCOMPARE(list.value(u"ID").toString(), found.isEmpty() ? QStringLiteral("MR") : found);
}

void TestCatalogueList::currentRowStaysWhilePagesCome()
{
    // A row beyond the first page: the rows around it are read.
    store::Query &list = m_lists->QPunkts;
    QVERIFY(list.locate(u"ID", QStringLiteral("ЯК")));
    const qint64 current = list.value(u"Code").toLongLong();
    QSignalSpy moved(&list, &store::Query::currentRowChanged);
    int pagesAbove = 0;
    while (list.canFetchMore(store::Query::Edge::Top)) {
        QVERIFY(list.fetchMore(store::Query::Edge::Top));
        ++pagesAbove;
    }
    QVERIFY(list.fetchAll());
    QVERIFY(pagesAbove > 0);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(list.value(u"Code").toLongLong(), current);
    QCOMPARE(list.rowCount(), int(std::size(kWaypoints)));
    QCOMPARE(list.rowNumber(), collationOrder().indexOf(QStringLiteral("ЯК UU")) + 1);
}

void TestCatalogueList::firstAndLastReachTheListsEnds()
{
    store::Query &list = m_lists->QPunkts;
    const QStringList order = collationOrder();
    const auto here = [&] { return list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(); };
    QVERIFY(list.last());
    QCOMPARE(here(), order.last());
    QVERIFY(!list.hasNext());
    QVERIFY(!list.next());
    QVERIFY(list.eof());
    QVERIFY(list.first());
    QCOMPARE(here(), order.first());
    QVERIFY(!list.hasPrior());
    // From the end backwards, row by row, through the pages above.
    QVERIFY(list.last());
    QStringList backwards{here()};
    while (list.prior())
        backwards.prepend(here());
    QCOMPARE(backwards, order);
    QVERIFY(list.bof());
}

void TestCatalogueList::deletionWhileScrolled_data()
{
    QTest::addColumn<int>("at");        // the deleted row's place in the list; -1: the last
    QTest::addColumn<bool>("lastHeld"); // the stretch held then ends at it
    QTest::newRow("within the rows held") << 3 << false;
    QTest::newRow("the last row held") << kPage - 1 << true;
    QTest::newRow("the list's last row") << -1 << true;
}

void TestCatalogueList::deletionWhileScrolled()
{
    QFETCH(int, at);
    QFETCH(bool, lastHeld);
    store::Query &list = m_lists->QPunkts;
    const QStringList order = collationOrder();
    if (at < 0)
        at = static_cast<int>(order.size()) - 1;
    // Scrolled down to the row, row by row from the first.
    QVERIFY(list.first());
    for (int i = 0; i < at; ++i)
        QVERIFY(list.next());
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), order.at(at));
    QCOMPARE(list.currentIndex() == list.rowCount() - 1, lastHeld);
    QVERIFY(list.deleteRow());
    // The next row is current, or the one before at the end of the list.
    const QString next = at + 1 < order.size() ? order.at(at + 1) : order.at(at - 1);
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), next);
    QStringList remaining = order;
    remaining.removeAt(at);
    QCOMPARE(scrolledThrough(list), remaining);
}

void TestCatalogueList::insertionWhileScrolled()
{
    store::Query &list = m_lists->QPunkts;
    QVERIFY(list.locate(u"ID", QStringLiteral("UUEE")));
    QVERIFY(list.append());
    list.setValue(u"ID", QStringLiteral("ЖУКА"));
    list.setValue(u"Region", QStringLiteral("UU"));
    list.setValue(u"Name", QStringLiteral("Жуковка-2"));
    list.setValue(u"LAT", kLat);
    list.setValue(u"LON", kLon);
    QVERIFY(list.post());
    // Until read again, nothing is read past the appended row.
    QVERIFY(!list.canFetchMore(store::Query::Edge::Bottom));
    const qint64 code = list.value(u"Code").toLongLong();
    QVERIFY(code > 0);
    QVERIFY(list.refreshAt(u"Code", code));
    QCOMPARE(list.value(u"ID").toString(), QStringLiteral("ЖУКА"));
    // It stands in its place, between its neighbours in the program's order,
    // and the pages on either side of it follow on.
    const QStringList order = collationOrder();
    const int at = order.indexOf(QStringLiteral("ЖУКА UU"));
    QVERIFY(list.prior());
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), order.at(at - 1));
    QVERIFY(list.next() && list.next());
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), order.at(at + 1));
    QCOMPARE(scrolledThrough(list), order);
    QVERIFY(findWaypointByName(list, QStringLiteral("жуковка-2")));
    QCOMPARE(list.value(u"Code").toLongLong(), code);
}

void TestCatalogueList::gridModelPassesTheTesterWhileScrolling()
{
    store::Query &list = m_lists->QPunkts;
    ui::GridView grid;
    grid.setList(list, {ui::GridColumn::centred(QStringLiteral("ID"), QStringLiteral("Пункт")),
                        ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование"))});
    grid.resize(300, 120); // a few rows in sight
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QStringList order = collationOrder();
    const auto shown = [&] {
        QStringList rows;
        for (int row = 0; row < grid.model()->rowCount(); ++row)
            rows << list.valueAt(row, u"ID").toString() + u' ' + list.valueAt(row, u"Region").toString();
        return rows;
    };
    // Down to the end: each page comes as the grid reaches the last row held.
    QVERIFY(grid.model()->rowCount() < order.size());
    QScrollBar *bar = grid.verticalScrollBar();
    for (int i = 0; i < 20 && grid.model()->rowCount() < order.size(); ++i) {
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
    }
    QCOMPARE(shown(), order);

    // Found far down: the grid holds the rows around it, then scrolls up into
    // the rows above as the wheel turns at its top, keeping the current row.
    QVERIFY(list.refresh());
    QVERIFY(list.locate(u"ID", QStringLiteral("ЯК")));
    QVERIFY(shown().size() < order.size());
    QVERIFY(list.canFetchMore(store::Query::Edge::Top));
    // From here the model's signals as the model tester checks them (it reads
    // every page below by itself).
    QAbstractItemModelTester tester(grid.listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QString current = order.at(order.indexOf(QStringLiteral("ЯК UU")));
    for (int i = 0; i < 40 && list.canFetchMore(store::Query::Edge::Top); ++i) {
        bar->setValue(bar->minimum());
        QWheelEvent wheel(QPointF(10, 10), grid.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid.viewport(), &wheel);
        QCoreApplication::processEvents();
    }
    QVERIFY(!list.canFetchMore(store::Query::Edge::Top));
    QCOMPARE(shown(), order.mid(0, shown().size()));
    QCOMPARE(grid.currentIndex().row(), list.currentIndex());
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), current);
    // Ctrl+Home and Ctrl+End reach the list's own ends.
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), order.last());
    QCOMPARE(grid.currentIndex().row(), list.currentIndex());
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(list.value(u"ID").toString() + u' ' + list.value(u"Region").toString(), order.first());
    QCOMPARE(grid.currentIndex().row(), 0);
}

QTEST_MAIN(TestCatalogueList)
#include "tst_cataloguelist.moc"
