#include "TestFolder.h"
#include "WidgetInput.h"

#include "ui/WindowMemory.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

using namespace kx;
using ui::GridWidths;
using ui::WindowMemory;

namespace {

// A window with a grid of a name column and two narrow ones, as the program's
// lists are: the name fills, the others keep their widths.
struct GridWindow
{
    GridWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        grid = new QTableView(&window);
        model.setColumnCount(3);
        model.setRowCount(2);
        model.setItem(0, 0, new QStandardItem(QStringLiteral("Шереметьево, международный аэропорт")));
        grid->setModel(&model);
        grid->horizontalHeader()->setStretchLastSection(false);
        grid->setColumnWidth(0, 120);
        grid->setColumnWidth(1, 60);
        grid->setColumnWidth(2, 60);
        layout->addWidget(grid);
        window.resize(400, 300);
    }
    int room() const { return grid->viewport()->width(); }

    QWidget window;
    QStandardItemModel model;
    QTableView *grid = nullptr;
};

} // namespace

class TestWindowMemory : public QObject
{
    Q_OBJECT
private slots:
    void nameColumnTakesTheRoom();
    void draggedColumnsKeepTheirWidth();
    void widthsFromTheFile_data();
    void widthsFromTheFile();
    void windowComesBackAsItWasLeft();
};

void TestWindowMemory::nameColumnTakesTheRoom()
{
    GridWindow w;
    GridWidths widths(w.grid, {0});
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QTRY_COMPARE(w.grid->columnWidth(0), w.room() - 120);
    // A grown window: the name column takes the room, the others keep theirs.
    w.window.resize(900, 300);
    QTRY_COMPARE(w.grid->columnWidth(0), w.room() - 120);
    QCOMPARE(w.grid->columnWidth(1), 60);
    QCOMPARE(w.grid->columnWidth(2), 60);
    // Too narrow for all: the name keeps its own width, the grid scrolls.
    w.window.resize(200, 300);
    QTRY_COMPARE(w.grid->columnWidth(0), 120);
    QCOMPARE(widths.text(), QStringLiteral("120,60,60"));
}

void TestWindowMemory::draggedColumnsKeepTheirWidth()
{
    GridWindow w;
    GridWidths widths(w.grid, {0});
    w.window.resize(600, 300);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QTRY_COMPARE(w.grid->columnWidth(0), w.room() - 120);
    // Another column dragged wider: the name gives up as much.
    test::dragColumnBorder(w.grid, 1, 40);
    QCOMPARE(w.grid->columnWidth(1), 100);
    QCOMPARE(w.grid->columnWidth(0), w.room() - 160);
    // The name dragged narrower: its own width goes down by as much, and it
    // still fills the room the others leave.
    test::dragColumnBorder(w.grid, 0, -30);
    QCOMPARE(widths.text(), QStringLiteral("90,100,60"));
    QCOMPARE(w.grid->columnWidth(0), w.room() - 160);
    w.window.resize(200, 300);
    QTRY_COMPARE(w.grid->columnWidth(0), 90);
}

void TestWindowMemory::widthsFromTheFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("after");
    QTest::newRow("three widths") << "150,70,45" << true << "150,70,45";
    QTest::newRow("blanks around") << " 150 , 70,45 " << true << "150,70,45";
    // %1: the narrowest column the header allows.
    QTest::newRow("a width too narrow to use") << "150,0,45" << true << "150,%1,45";
    QTest::newRow("empty") << "" << false << "120,60,60";
    QTest::newRow("too few") << "150,70" << false << "120,60,60";
    QTest::newRow("too many") << "150,70,45,45" << false << "120,60,60";
    QTest::newRow("not a number") << "150,wide,45" << false << "120,60,60";
    QTest::newRow("negative") << "150,-70,45" << false << "120,60,60";
    QTest::newRow("beyond any screen") << "150,70,99999999" << false << "120,60,60";
}

void TestWindowMemory::widthsFromTheFile()
{
    QFETCH(QString, text);
    QFETCH(bool, taken);
    QFETCH(QString, after);
    GridWindow w;
    GridWidths widths(w.grid, {0});
    QCOMPARE(widths.setText(text), taken);
    if (after.contains(u'%'))
        after = after.arg(w.grid->horizontalHeader()->minimumSectionSize());
    QCOMPARE(widths.text(), after);
}

void TestWindowMemory::windowComesBackAsItWasLeft()
{
    test::TestFolder folder;
    QVERIFY(folder.writeIni(QStringLiteral("[SETUP]\r\nFSPath=C:\\FS9\\\r\nL_RSBN=300\r\n")));
    const QString ini = folder.file(QStringLiteral("kalyx.ini"));
    {
        // Never saved: the window opens as it always did.
        GridWindow w;
        WindowMemory memory(&w.window, QStringLiteral("Test"));
        memory.addGrid(w.grid, {0});
        memory.restore(ini);
        QCOMPARE(w.window.size(), QSize(400, 300));
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.window.resize(700, 400);
        test::dragColumnBorder(w.grid, 2, 25);
        QVERIFY(memory.save(ini));
    }
    const QString text = folder.readIni();
    QVERIFY2(text.startsWith(QStringLiteral("[SETUP]\r\nFSPath=C:\\FS9\\\r\nL_RSBN=300\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("[WINDOWS]\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\r\nTestWidth=700\r\nTestHeight=400\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\r\nTestColumns=120,60,85\r\n")), qPrintable(text));

    GridWindow again;
    WindowMemory memory(&again.window, QStringLiteral("Test"));
    memory.addGrid(again.grid, {0});
    memory.restore(ini);
    again.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again.window));
    QCOMPARE(again.window.size(), QSize(700, 400));
    QCOMPARE(again.grid->columnWidth(2), 85);
    QTRY_COMPARE(again.grid->columnWidth(0), again.room() - 145);
}

QTEST_MAIN(TestWindowMemory)
#include "tst_windowmemory.moc"
