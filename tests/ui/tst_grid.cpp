#include "Fixture.h"
#include "RecordingPrompter.h"
#include "TestFolder.h"

#include "base/Error.h"
#include "base/Guard.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"
#include "ui/Navigator.h"
#include "ui/SearchEdit.h"

#include <QAbstractItemModelTester>
#include <QHelpEvent>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

using namespace kx;

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void modelFollowsEveryListChange();
    void selectionAndCurrentRowAreOne();
    void navigatorEnablesByPosition();
    void searchEditWaitsAndCapitalises();
    void guardShowsUnhandledErrors();
    void cutTextsShowWholeInATooltip();

private:
    std::unique_ptr<test::TestFolder> m_folder;
    test::RecordingPrompter m_prompter;
    std::unique_ptr<store::Session> m_session;
};

void TestGrid::init()
{
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    m_session = std::make_unique<store::Session>(m_folder->path(), m_prompter);
    QVERIFY(m_session->ADOC.open(m_session->databasePath()));
    test::Fixture fix(m_session->ADOC.sql());
    for (const char *name : {"A", "B", "C"})
        fix.addRoute(QString::fromLatin1(name), 1234.5);
    QVERIFY(m_session->openRoutes());
}

void TestGrid::cleanup()
{
    m_session.reset();
    m_folder.reset();
}

void TestGrid::modelFollowsEveryListChange()
{
    store::Query &list = m_session->QRoutes;
    ui::ListModel model(list, {ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Name")),
                               ui::GridColumn::centred(QStringLiteral("S"), QStringLiteral("S"), QStringLiteral("0.0"))});
    model.setDecimalPoint(u',');
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("1234,5"));

    QVERIFY(list.append());
    QCOMPARE(model.rowCount(), 4);
    list.setValue(u"Name", QStringLiteral("D"));
    QCOMPARE(model.data(model.index(3, 0)).toString(), QStringLiteral("D"));
    list.cancel();
    QCOMPARE(model.rowCount(), 3);

    QVERIFY(list.setRowNumber(2));
    QVERIFY(list.edit());
    list.setValue(u"S", 5.0);
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("5,0"));
    QVERIFY(list.post());
    QVERIFY(list.deleteRow());
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(list.refresh());
    QCOMPARE(model.rowCount(), 2);
    list.close();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(m_session->openRoutes());
    QCOMPARE(model.rowCount(), 2);
}

void TestGrid::selectionAndCurrentRowAreOne()
{
    store::Query &list = m_session->QRoutes;
    ui::GridView grid;
    grid.setList(list, {ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Name"))});
    grid.show();
    QCOMPARE(grid.currentIndex().row(), 0);
    list.last();
    QCOMPARE(grid.currentIndex().row(), 2);
    grid.setCurrentIndex(grid.model()->index(1, 0));
    QCOMPARE(list.rowNumber(), 2);
    // After re-reading, the list's first row is current and shown so.
    QVERIFY(list.refresh());
    QCOMPARE(grid.currentIndex().row(), 0);
    QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
}

void TestGrid::navigatorEnablesByPosition()
{
    store::Query &list = m_session->QRoutes;
    ui::Navigator nav;
    nav.setList(list);
    auto button = [&](const char *name) { return nav.findChild<QToolButton *>(QString::fromLatin1(name)); };
    QVERIFY(!button("First")->isEnabled());
    QVERIFY(!button("Prior")->isEnabled());
    QVERIFY(button("Next")->isEnabled());
    button("Last")->click();
    QCOMPARE(list.rowNumber(), 3);
    QVERIFY(!button("Next")->isEnabled());
    QVERIFY(!button("Last")->isEnabled());
    button("Prior")->click();
    QCOMPARE(list.rowNumber(), 2);
    QVERIFY(button("First")->isEnabled() && button("Last")->isEnabled());
    list.close();
    for (const char *name : {"First", "Prior", "Next", "Last"})
        QVERIFY(!button(name)->isEnabled());
}

void TestGrid::searchEditWaitsAndCapitalises()
{
    ui::SearchEdit edit;
    edit.setDelay(100);
    edit.setUpperCase(true);
    QSignalSpy settled(&edit, &ui::SearchEdit::settled);
    QSignalSpy enter(&edit, &ui::SearchEdit::enterPressed);
    edit.show();
    QTest::keyClicks(&edit, QStringLiteral("uu"));
    QCOMPARE(edit.text(), QStringLiteral("UU"));
    QCOMPARE(settled.count(), 0);
    QTRY_COMPARE(settled.count(), 1);
    QCOMPARE(settled.at(0).at(0).toString(), QStringLiteral("UU"));
    // An empty text searches nothing: its wait runs out without a search.
    edit.clear();
    QVERIFY(edit.isWaiting());
    QTRY_VERIFY(!edit.isWaiting());
    QCOMPARE(settled.count(), 1);
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(enter.count(), 1);
}

void TestGrid::guardShowsUnhandledErrors()
{
    QObject owner;
    owner.setObjectName(QStringLiteral("TF_Points"));
    QVERIFY(!runGuarded(m_prompter, &owner, [] { throw Error(QStringLiteral("Неверная координата: \"\"")); }));
    QVERIFY(runGuarded(m_prompter, &owner, [] {}));
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(m_prompter.messages().at(0).owner, QStringLiteral("TF_Points"));
    QCOMPARE(m_prompter.lastText(), QStringLiteral("Неверная координата: \"\""));
}

void TestGrid::cutTextsShowWholeInATooltip()
{
    const QString longName = QStringLiteral("Sheremetyevo International Airport");
    test::Fixture fix(m_session->ADOC.sql());
    fix.addRoute(longName, 1.0);
    QVERIFY(m_session->openRoutes());
    ui::GridView grid;
    grid.setList(m_session->QRoutes, {ui::GridColumn::left(QStringLiteral("Name"), QStringLiteral("Наименование")),
                                      ui::GridColumn::centred(QStringLiteral("S"), QStringLiteral("S"))});
    grid.setColumnWidth(0, 120);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const auto tooltipAt = [&grid](int row, int column) {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("<tooltip stays>");
        const QPoint at = grid.visualRect(grid.model()->index(row, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid.viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    const int longRow = m_session->QRoutes.rowCount() - 1; // "Sheremetyevo..." sorts after A, B, C
    QCOMPARE(grid.listModel()->cellText(longRow, 0), longName);
    QCOMPARE(tooltipAt(longRow, 0), longName);
    QCOMPARE(tooltipAt(0, 0), QString()); // "A" fits
    QCOMPARE(tooltipAt(longRow, 1), QString());
    grid.setColumnWidth(0, 360); // wide enough now
    QCOMPARE(tooltipAt(longRow, 0), QString());
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
