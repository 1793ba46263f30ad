#include "base/IniFile.h"
#include "ui/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace kx;
using namespace kx::ui;

// Windows that come back where they were, and always on a screen.
class TestWindowGeometry : public QObject
{
    Q_OBJECT
private slots:
    void keptOnScreen_data();
    void keptOnScreen();
    void restoredOnTheScreenAndSavedKeyByKey();
    void nothingSavedCentresTheWindow();
};

void TestWindowGeometry::keptOnScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QList<QRect>>("screens"); // available areas
    QTest::addColumn<QRect>("kept");
    const QRect wide(0, 0, 1600, 960);      // 1600x1000 less a task bar
    const QRect laptop(0, 0, 1280, 760);    // 1280x800
    const QRect netbook(0, 0, 1024, 560);   // 1024x600
    const QSize none(0, 0);
    QTest::newRow("inside: as it was") << QRect(100, 80, 1000, 700) << none << QList<QRect>{wide}
                                       << QRect(100, 80, 1000, 700);
    QTest::newRow("saved on 1600x1000, back on 1280x800: moved in")
        << QRect(560, 250, 1000, 700) << none << QList<QRect>{laptop} << QRect(280, 60, 1000, 700);
    QTest::newRow("on 1024x600: shrunk to the screen")
        << QRect(560, 250, 1000, 700) << none << QList<QRect>{netbook} << QRect(24, 0, 1000, 560);
    QTest::newRow("larger than the screen: all of it")
        << QRect(-50, -40, 1700, 1100) << none << QList<QRect>{laptop} << laptop;
    QTest::newRow("no smaller than the window can be, title bar in reach")
        << QRect(500, 300, 1000, 700) << QSize(1100, 650) << QList<QRect>{netbook} << QRect(0, 0, 1100, 650);
    QTest::newRow("left of the screen") << QRect(-900, 100, 800, 600) << none << QList<QRect>{wide}
                                        << QRect(0, 100, 800, 600);
    // Two screens side by side: the window stays on the one it was on.
    const QRect left(0, 0, 1920, 1040);
    const QRect right(1920, 200, 1280, 760);
    QTest::newRow("on the second screen, partly beyond it")
        << QRect(2800, 300, 800, 600) << none << QList<QRect>{left, right} << QRect(2400, 300, 800, 600);
    QTest::newRow("across both: the one with more of it")
        << QRect(1500, 100, 600, 400) << none << QList<QRect>{left, right} << QRect(1320, 100, 600, 400);
    QTest::newRow("the second screen gone: onto the nearest")
        << QRect(2400, 300, 800, 600) << none << QList<QRect>{left} << QRect(1120, 300, 800, 600);
    QTest::newRow("a screen left of the primary one")
        << QRect(-1500, 900, 800, 600) << none << QList<QRect>{QRect(-1280, 0, 1280, 984), wide}
        << QRect(-1280, 384, 800, 600);
}

void TestWindowGeometry::keptOnScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QSize, minimum);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, kept);
    QCOMPARE(keepOnScreen(frame, minimum, screens), kept);
}

void TestWindowGeometry::restoredOnTheScreenAndSavedKeyByKey()
{
    // A place saved on a much larger screen, partly beyond this one.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("kalyx.ini"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        IniFile file;
        file.writeString(QStringLiteral("SETUP"), QStringLiteral("FSPath"), QStringLiteral("C:\\FS9\\"));
        file.writeInteger(QStringLiteral("W"), QStringLiteral("MapLeft"), screen.right() - 100);
        file.writeInteger(QStringLiteral("W"), QStringLiteral("MapTop"), screen.bottom() - 50);
        file.writeInteger(QStringLiteral("W"), QStringLiteral("MapWidth"), screen.width() + 400);
        file.writeInteger(QStringLiteral("W"), QStringLiteral("MapHeight"), 300);
        file.writeString(QStringLiteral("W"), QStringLiteral("Other"), QStringLiteral("kept"));
        QVERIFY(file.save(ini));
    }
    const WindowGeometry geometry(ini, QStringLiteral("W"), QStringLiteral("Map"));
    QWidget window;
    window.resize(200, 100);
    QVERIFY(geometry.restore(&window));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY2(screen.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(window.frameGeometry().x()).arg(window.frameGeometry().y())
                                .arg(window.frameGeometry().width()).arg(window.frameGeometry().height())));
    QCOMPARE(window.height(), 300);

    // Moved by the person and saved: only the window's keys change.
    window.move(screen.topLeft() + QPoint(10, 20));
    QTRY_COMPARE(window.pos(), screen.topLeft() + QPoint(10, 20));
    window.resize(320, 240);
    QTRY_COMPARE(window.size(), QSize(320, 240));
    QVERIFY(geometry.save(&window));
    IniFile file;
    QVERIFY(file.load(ini));
    QCOMPARE(file.readInteger(QStringLiteral("W"), QStringLiteral("MapLeft"), -1), screen.left() + 10);
    QCOMPARE(file.readInteger(QStringLiteral("W"), QStringLiteral("MapTop"), -1), screen.top() + 20);
    QCOMPARE(file.readInteger(QStringLiteral("W"), QStringLiteral("MapWidth"), -1), 320);
    QCOMPARE(file.readInteger(QStringLiteral("W"), QStringLiteral("MapHeight"), -1), 240);
    QCOMPARE(file.readString(QStringLiteral("W"), QStringLiteral("Other")), QStringLiteral("kept"));
    QCOMPARE(file.readString(QStringLiteral("SETUP"), QStringLiteral("FSPath")), QStringLiteral("C:\\FS9\\"));

    // The next run opens it there.
    QWidget again;
    QVERIFY(geometry.restore(&again));
    QCOMPARE(again.size(), QSize(320, 240));
    QCOMPARE(again.pos(), screen.topLeft() + QPoint(10, 20));
}

void TestWindowGeometry::nothingSavedCentresTheWindow()
{
    QTemporaryDir dir;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    // Larger than the screen, as the map's default is on a small one.
    window.resize(screen.width() + 200, 300);
    QVERIFY(!WindowGeometry(dir.filePath(QStringLiteral("kalyx.ini")), QStringLiteral("W")).restore(&window));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(screen.contains(window.frameGeometry()));
    // In the middle, to within the frame, which the window system adds once it is shown.
    const QRect frame = window.frameGeometry();
    QVERIFY(std::abs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom()))
            <= frame.height() - window.height() + 1);
}

QTEST_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
