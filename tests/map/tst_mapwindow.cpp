// The route map window in the running program: opened from the route list's
// menu and from the route editor (its popup menu and Ctrl+M), following the
// list, an edit and a calculation, highlighting the editor's current point,
// selecting a clicked point in the editor; the mouse, the keys, printing,
// PNG export, the settings it keeps, and a missing map data file.
#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"

#include "editor/U_Points.h"
#include "map/core/MapData.h"
#include "map/core/MapTexts.h"
#include "map/MapCanvas.h"
#include "map/U_Map.h"
#include "shell/U_Main.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ReportPreviewDialog.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

#include <functional>

using namespace kx;
using Kind = test::RecordingPrompter::Kind;

namespace {

// Runs a command that shows a modal window; once it is up, runs body on it
// (inside the window's modal loop) and then closes it. Returns the window
// that was shown (which may be gone by then: only to compare).
QWidget *whileModal(const std::function<void()> &command, const std::function<void(QWidget *)> &body)
{
    QWidget *shown = nullptr;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || shown)
            return;
        poll.stop();
        shown = modal;
        // Not from this timeout itself: on Windows a running timer's timeout
        // comes from the system's timer message, and windows shown while it
        // is handled get no paint message (so are never exposed) until it
        // returns, which a body that waits on them never lets happen. A
        // zero-time single shot comes from Qt's posted events instead.
        QTimer::singleShot(0, modal, [body, modal] {
            body(modal);
            if (modal->isVisible())
                modal->close();
        });
    });
    poll.start();
    command();
    return shown;
}

void clickMenuBarItem(QMenuBar *bar, const char *name)
{
    QAction *action = bar->findChild<QAction *>(QLatin1String(name));
    QVERIFY(action);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(action).center());
}

// The pointer moved over a widget with no button held.
void hover(QWidget *widget, QPointF at)
{
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void wheel(QWidget *widget, QPointF at, int delta)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestMapWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openedFromTheRouteListFollowsIt();
    void openedFromTheEditorFollowsIt();
    void mouseAndKeys();
    void layersAndPlaceAreKept();
    void statusFollowsTheCurrentPointAtOnce();
    void layersMenuStaysOpen();
    void aPlaceOffTheScreenOpensOnIt_data();
    void aPlaceOffTheScreenOpensOnIt();
    void printAndPng();
    void missingMapData();

private:
    void start();
    map::TF_Map &openFromMenu();
    QPoint pixelOf(int index);

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    test::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<shell::TF_Main> m_main;
    qint64 m_sochi = 0;
    qint64 m_other = 0;
};

void TestMapWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // The map data must come from the program folder the tests make.
    QVERIFY(!QFile::exists(map::locateMapData(QString())));
}

void TestMapWindow::init()
{
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QVERIFY(QFile::copy(QStringLiteral(KX_SOURCE_DIR "/data/map/kalyxmap.dat"), m_folder->file(map::mapDataFileName())));
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
        test::Fixture fix(db.sql());
        const test::Fixture::Waypoint uuee{.id = "UUEE",
                                           .lat = "N55*58.27",
                                           .lon = "E037*24.88",
                                           .ms = 9.5,
                                           .type = "Airport",
                                           .region = "UU",
                                           .name = "Шереметьево"};
        const test::Fixture::Waypoint mid{
            .id = "RATIN", .lat = "N51*30.00", .lon = "E039*12.00", .ms = 8.0, .region = "UU", .name = "Ратин"};
        const test::Fixture::Waypoint urss{.id = "URSS",
                                           .lat = "N43*26.98",
                                           .lon = "E039*56.82",
                                           .ms = 7.0,
                                           .type = "Airport",
                                           .region = "UR",
                                           .name = "Сочи"};
        const qint64 a = fix.addPunkt(uuee), b = fix.addPunkt(mid), c = fix.addPunkt(urss);
        m_sochi = fix.addRoute(QStringLiteral("Москва - Сочи"));
        fix.addPoint(m_sochi, 1, a);
        fix.addPoint(m_sochi, 2, b);
        fix.addPoint(m_sochi, 3, c);
        m_other = fix.addRoute(QStringLiteral("Сочи - Москва"));
        fix.addPoint(m_other, 1, c);
        fix.addPoint(m_other, 2, a);
        fix.addRsbn(QStringLiteral("RB"), QStringLiteral("Россошь"), QStringLiteral("N50*12.00"), QStringLiteral("E039*35.00"));
    }
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_dialogs = test::ScriptedFileDialogs();
    m_main = std::make_unique<shell::TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
}

void TestMapWindow::cleanup()
{
    m_main.reset();
    m_folder.reset();
}

void TestMapWindow::start()
{
    QSignalSpy finished(m_main.get(), &shell::TF_Main::startupFinished);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(m_main->session().QRoutes.locate(u"Code", m_sochi));
}

map::TF_Map &TestMapWindow::openFromMenu()
{
    clickMenuBarItem(m_main->menuBar(), "NMap");
    map::TF_Map &map = m_main->routeMap();
    [&] {
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        map.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&map));
    }();
    return map;
}

QPoint TestMapWindow::pixelOf(int index)
{
    map::TF_Map &map = m_main->routeMap();
    for (const map::MapScene::Waypoint &w : map.scene().waypoints())
        if (w.index == index)
            return map.canvas().view().toPixel(w.km).toPoint();
    return QPoint(-1, -1);
}

void TestMapWindow::openedFromTheRouteListFollowsIt()
{
    start();
    map::TF_Map &map = openFromMenu();
    QVERIFY(map.isVisible());
    QCOMPARE(map.scene().route().code, m_sochi);
    QCOMPARE(map.scene().route().points.size(), 3);
    QVERIFY(map.scene().hasBase());
    QCOMPARE(map.windowTitle(), QStringLiteral("Карта маршрута - Москва - Сочи"));
    QCOMPARE(m_prompter->messages().size(), 0);
    // The whole route is in view.
    for (int i = 0; i < 3; ++i)
        QVERIFY(map.canvas().rect().contains(pixelOf(i)));

    // Another route of the list: the map follows.
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    m_main->activateWindow();
    grid->setFocus();
    QTest::keyClick(grid, m_main->session().QRoutes.rowNumber() == 1 ? Qt::Key_Down : Qt::Key_Up);
    QTRY_COMPARE(map.scene().route().code, m_other);
    QCOMPARE(map.scene().route().points.size(), 2);
    QCOMPARE(map.windowTitle(), QStringLiteral("Карта маршрута - Сочи - Москва"));

    // Esc closes it.
    QTest::keyClick(&map.canvas(), Qt::Key_Escape);
    QVERIFY(!map.isVisible());
}

void TestMapWindow::openedFromTheEditorFollowsIt()
{
    start();
    map::TF_Map &map = m_main->routeMap();
    editor::TF_Points &editor = m_main->routeEditor();
    store::Query &points = editor.pointList();
    bool ran = false;
    QWidget *shown = whileModal([&] { m_main->findChild<QPushButton *>(QStringLiteral("BEdit"))->click(); },
                                [&](QWidget *) {
        // The point popup menu offers it, and Ctrl+M opens it.
        auto *menu = editor.findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        QVERIFY(menu);
        QAction *entry = menu->findChild<QAction *>(QStringLiteral("NMap"));
        QVERIFY(entry && entry->text() == QStringLiteral("Карта маршрута"));
        auto *grid = editor.findChild<ui::GridView *>(QStringLiteral("GPPM"));
        QTest::keyClick(grid, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        QTRY_COMPARE(map.scene().route().points.size(), 3);

        // The editor's current point is highlighted, and moves with it.
        QCOMPARE(map.canvas().options().currentPoint, 0);
        QTest::keyClick(grid, Qt::Key_Down);
        QCOMPARE(points.rowNumber(), 2);
        QCOMPARE(map.canvas().options().currentPoint, 1);

        // A click on a point of the map makes it current in the editor; the
        // map works although the editor is modal.
        QTest::mouseClick(&map.canvas(), Qt::LeftButton, Qt::NoModifier, pixelOf(2));
        QCOMPARE(points.rowNumber(), 3);
        QCOMPARE(map.canvas().options().currentPoint, 2);
        QTest::mouseClick(&map.canvas(), Qt::LeftButton, Qt::NoModifier, pixelOf(1));
        QCOMPARE(points.rowNumber(), 2);

        // An edit: the second point deleted.
        m_prompter->answer(true);
        editor.findChild<QPushButton *>(QStringLiteral("BDelP"))->click();
        QCOMPARE(points.rowCount(), 2);
        QTRY_COMPARE(map.scene().route().points.size(), 2);
        QCOMPARE(map.scene().legs().size(), 1);

        // A calculation: the totals reach the map's title line.
        QVERIFY(!map.scene().route().calculated);
        editor.findChild<QPushButton *>(QStringLiteral("BCalc"))->click();
        QTRY_VERIFY(map.scene().route().calculated);
        QVERIFY(map.scene().route().distance.toDouble() > 1000);
        ran = true;
    });
    QCOMPARE(shown, static_cast<QWidget *>(&editor));
    QVERIFY(ran);
    // The editor closed; the map stays on the route.
    QVERIFY(map.isVisible());
    QTRY_COMPARE(map.scene().route().points.size(), 2);
}

void TestMapWindow::mouseAndKeys()
{
    start();
    map::TF_Map &map = openFromMenu();
    map::MapCanvas &canvas = map.canvas();
    const map::MapView fitted = canvas.view();

    // The wheel zooms at the cursor: the place under it stays there.
    const QPointF at(canvas.width() * 0.3, canvas.height() * 0.6);
    const QPointF placeBefore = canvas.view().toKm(at);
    wheel(&canvas, at, 120);
    QVERIFY(std::abs(canvas.view().scale / fitted.scale - 1.25) < 1e-9);
    const QPointF placeAfter = canvas.view().toKm(at);
    QVERIFY(std::hypot(placeAfter.x() - placeBefore.x(), placeAfter.y() - placeBefore.y()) < 1e-6);
    wheel(&canvas, at, -240);
    QVERIFY(std::abs(canvas.view().scale / fitted.scale - 1 / 1.25) < 1e-9);

    // Dragging pans: the place under the mouse goes with it.
    const QPoint from(200, 200), to(260, 150);
    const QPointF grabbed = canvas.view().toKm(from);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&canvas, QPoint(230, 180));
    QTest::mouseMove(&canvas, to);
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, to);
    const QPointF under = canvas.view().toKm(to);
    QVERIFY2(std::hypot(under.x() - grabbed.x(), under.y() - grabbed.y()) < 1e-6,
             qPrintable(QStringLiteral("%1 km away").arg(std::hypot(under.x() - grabbed.x(), under.y() - grabbed.y()))));

    // Home shows the whole route again.
    QTest::keyClick(&canvas, Qt::Key_Home);
    QCOMPARE(canvas.view().scale, fitted.scale);
    QCOMPARE(canvas.view().centre, fitted.centre);

    // The status line: the cursor's position, and from the current point
    // (here the one clicked) its distance and true course.
    QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, pixelOf(0));
    QCOMPARE(canvas.options().currentPoint, 0);
    hover(&canvas, pixelOf(2));
    const QString status = map.statusText();
    const QRegularExpression form(QStringLiteral("^N4[34]\\*\\d\\d\\.\\d\\d E0(39|40)\\*\\d\\d\\.\\d\\d    от ППМ 1 UUEE: "
                                                 "S = (\\d+),\\d км, ИПУ = (\\d+),\\d°$"));
    const QRegularExpressionMatch m = form.match(status);
    QVERIFY2(m.hasMatch(), qPrintable(status));
    // Sochi from Sheremetyevo: some 1,400 km a little east of south.
    QVERIFY2(std::abs(m.captured(2).toInt() - 1405) < 15, qPrintable(status));
    QVERIFY2(m.captured(3).toInt() >= 165 && m.captured(3).toInt() <= 175, qPrintable(status));

    // A larger window shows more, at the same scale.
    const double scale = canvas.view().scale;
    map.resize(map.width() + 200, map.height() + 100);
    QTRY_COMPARE(canvas.view().size, QSizeF(canvas.size()));
    QCOMPARE(canvas.view().scale, scale);
}

void TestMapWindow::layersAndPlaceAreKept()
{
    start();
    map::TF_Map &map = openFromMenu();
    // The graticule switched off through the layer menu.
    auto *button = map.findChild<QToolButton *>(QStringLiteral("BLayers"));
    auto *menu = map.findChild<QMenu *>(QStringLiteral("MapLayers"));
    QAction *graticule = menu->findChild<QAction *>(QStringLiteral("NLayerGraticule"));
    QVERIFY(graticule && graticule->isChecked());
    QTimer::singleShot(50, menu, [menu, graticule] {
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(graticule).center());
        QTest::keyClick(menu, Qt::Key_Escape); // the menu stays open until closed
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(!graticule->isChecked());
    QVERIFY(!(map.canvas().options().layers & map::Layer::Graticule));
    QTRY_VERIFY(!menu->isVisible());
    // A size the screen holds (Qt's offscreen screen is 800 pixels each way).
    map.resize(700, 500);
    QTRY_COMPARE(map.size(), QSize(700, 500));
    QTRY_COMPARE(map.canvas().view().size, QSizeF(map.canvas().size()));
    QTest::keyClick(&map.canvas(), Qt::Key_Home);
    wheel(&map.canvas(), QPointF(map.canvas().width() / 2.0, map.canvas().height() / 2.0), 240);
    QTest::keyClick(&map.canvas(), Qt::Key_Escape);

    const QString ini = m_folder->readIni();
    QVERIFY2(ini.contains(QStringLiteral("[MAP]\r\n")), qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("Graticule=0\r\n")));
    QVERIFY(ini.contains(QStringLiteral("Width=700\r\n")));
    QVERIFY2(ini.contains(QStringLiteral("Zoom=1.5625\r\n")), qPrintable(ini));
    QVERIFY(ini.startsWith(QStringLiteral("[SETUP]\r\n")));

    // A new run of the program opens the map as it was left.
    m_main.reset();
    m_main = std::make_unique<shell::TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
    start();
    map::TF_Map &again = openFromMenu();
    QCOMPARE(again.size(), QSize(700, 500));
    QVERIFY(!again.layerAction(map::Layer::Graticule)->isChecked());
    QVERIFY(!(again.canvas().options().layers & map::Layer::Graticule));
    QVERIFY(std::abs(again.canvas().view().scale / again.canvas().fittedView().scale - 1.5625) < 1e-6);
    // The program's own section is as it was.
    QVERIFY(m_folder->readIni().contains(QStringLiteral("L_RSBN=300\r\n")));
}

void TestMapWindow::statusFollowsTheCurrentPointAtOnce()
{
    start();
    map::TF_Map &map = m_main->routeMap();
    editor::TF_Points &editor = m_main->routeEditor();
    bool ran = false;
    whileModal([&] { m_main->findChild<QPushButton *>(QStringLiteral("BEdit"))->click(); }, [&](QWidget *) {
        auto *grid = editor.findChild<ui::GridView *>(QStringLiteral("GPPM"));
        QTest::keyClick(grid, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        QTRY_COMPARE(map.scene().route().points.size(), 3);
        hover(&map.canvas(), pixelOf(2));
        QVERIFY2(map.statusText().contains(QStringLiteral("от ППМ 1 UUEE: ")), qPrintable(map.statusText()));
        // The editor moves on; the mouse does not.
        QTest::keyClick(grid, Qt::Key_Down);
        QVERIFY2(map.statusText().contains(QStringLiteral("от ППМ 2 RATIN: ")), qPrintable(map.statusText()));
        // Another route in the editor's place would do the same; a point
        // deleted under the cursor's reckoning too.
        m_prompter->answer(true);
        editor.findChild<QPushButton *>(QStringLiteral("BDelP"))->click();
        QTRY_COMPARE(map.scene().route().points.size(), 2);
        QVERIFY2(map.statusText().contains(QStringLiteral("от ППМ 2 URSS: ")), qPrintable(map.statusText()));
        ran = true;
    });
    QVERIFY(ran);
}

void TestMapWindow::layersMenuStaysOpen()
{
    start();
    map::TF_Map &map = openFromMenu();
    auto *button = map.findChild<QToolButton *>(QStringLiteral("BLayers"));
    auto *menu = map.findChild<QMenu *>(QStringLiteral("MapLayers"));
    QAction *graticule = map.layerAction(map::Layer::Graticule);
    QAction *borders = map.layerAction(map::Layer::Borders);
    bool checked = false;
    QTimer::singleShot(50, menu, [&] {
        // Two layers switched off one after the other, the menu open all along.
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(graticule).center());
        QVERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(borders).center());
        QVERIFY(menu->isVisible());
        // The keyboard too: from the first layer down to the next, Space.
        menu->setActiveAction(map.layerAction(map::Layer::Land));
        QTest::keyClick(menu, Qt::Key_Down);
        QCOMPARE(menu->activeAction(), map.layerAction(map::Layer::Lakes));
        QTest::keyClick(menu, Qt::Key_Space);
        QVERIFY(!map.layerAction(map::Layer::Lakes)->isChecked());
        QVERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        checked = true;
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(checked);
    QTRY_VERIFY(!menu->isVisible());
    QVERIFY(!graticule->isChecked());
    QVERIFY(!borders->isChecked());
    QVERIFY(!(map.canvas().options().layers & (map::Layer::Graticule | map::Layer::Borders | map::Layer::Lakes)));
}

void TestMapWindow::aPlaceOffTheScreenOpensOnIt_data()
{
    // [MAP] as a larger screen, or a screen now gone, left it.
    QTest::addColumn<QRect>("saved");
    QTest::newRow("beyond the right and bottom edges") << QRect(1200, 700, 1000, 700);
    QTest::newRow("on a screen left of this one") << QRect(-2500, 100, 900, 600);
    QTest::newRow("larger than the screen") << QRect(-100, -100, 3000, 2000);
}

void TestMapWindow::aPlaceOffTheScreenOpensOnIt()
{
    QFETCH(QRect, saved);
    QVERIFY(m_folder->writeIni(m_folder->readIni()
                               + QStringLiteral("[MAP]\r\nLeft=%1\r\nTop=%2\r\nWidth=%3\r\nHeight=%4\r\n")
                                     .arg(saved.x()).arg(saved.y()).arg(saved.width()).arg(saved.height())));
    start();
    map::TF_Map &map = openFromMenu();
    const QRect screen = map.screen()->availableGeometry();
    QTRY_VERIFY(screen.contains(map.frameGeometry()));
    // Its close button, at the frame's top right, is on the screen.
    QVERIFY(screen.contains(map.frameGeometry().topRight()));
}

void TestMapWindow::printAndPng()
{
    start();
    map::TF_Map &map = openFromMenu();
    // Printing goes through the route sheet's preview: one landscape page.
    int pages = 0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QWidget *preview = whileModal([&] { QTest::keyClick(&map.canvas(), Qt::Key_P, Qt::ControlModifier); },
                                  [&](QWidget *w) {
        auto *dialog = qobject_cast<ui::ReportPreviewDialog *>(w);
        QVERIFY(dialog);
        pages = dialog->pageCount();
        orientation = dialog->printer().pageLayout().orientation();
    });
    QVERIFY(preview);
    QCOMPARE(pages, 1);
    QCOMPARE(orientation, QPageLayout::Landscape);

    // PNG: what the window shows, under the name the person gives.
    map.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&map));
    const QString png = m_folder->file(QStringLiteral("map.png"));
    m_dialogs.answers = {png};
    QTest::keyClick(&map.canvas(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_dialogs.calls.size(), 1);
    QCOMPARE(m_dialogs.calls.first().name, QStringLiteral("Москва - Сочи - карта.png"));
    QImage image(png);
    QCOMPARE(image.size(), map.canvas().size());
    // A folder that cannot take it: the message, and no file.
    m_dialogs.answers = {m_folder->file(QStringLiteral("no such folder/map.png"))};
    QTest::keyClick(&map.canvas(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Ошибка записи в файл!"));
}

void TestMapWindow::missingMapData()
{
    QVERIFY(QFile::remove(m_folder->file(map::mapDataFileName())));
    start();
    map::TF_Map &map = openFromMenu();
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().first().kind, Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QStringLiteral("TF_Map"));
    QVERIFY(m_prompter->lastText().startsWith(QStringLiteral("Файл картографической основы ")));
    QVERIFY(m_prompter->lastText().contains(QStringLiteral(" не найден!")));
    // The route is still drawn, and the map says what is missing.
    QVERIFY(!map.scene().hasBase());
    QCOMPARE(map.scene().waypoints().size(), 3);
    QCOMPARE(map.canvas().options().notes, QStringList{map::texts::noBaseNote()});
    // Told once, not at every opening.
    QTest::keyClick(&map.canvas(), Qt::Key_Escape);
    openFromMenu();
    QCOMPARE(m_prompter->messages().size(), 1);
}

QTEST_MAIN(TestMapWindow)
#include "tst_mapwindow.moc"
