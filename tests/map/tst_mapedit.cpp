// Editing the route open in the editor on its map, with the mouse and the
// keys as a person does it: a catalogue waypoint inserted by the right
// button's menu, a leg and a point dragged onto catalogue waypoints (with the
// rubber band and the highlighted target, Esc cancelling), a point of one's
// own, a point deleted, undo and redo; the database after each.
#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"

#include "editor/U_Points.h"
#include "geo/MagVar.h"
#include "map/core/MapData.h"
#include "map/MapCanvas.h"
#include "map/U_Map.h"
#include "shell/U_Main.h"
#include "store/Session.h"
#include "ui/GridView.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <functional>

using namespace kx;
using Kind = test::RecordingPrompter::Kind;

namespace {

// Runs a command that shows a modal window; once it is up, runs body.
void whileModal(const std::function<void()> &command, const std::function<void()> &body)
{
    bool done = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        body();
        done = true;
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    command();
    QVERIFY(done);
}

// The right button pressed and released where a person does it: through the
// window, so that the context menu event comes as it does from the system.
void rightClick(QWidget *widget, QPoint at)
{
    QWidget *top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::RightButton, Qt::NoModifier, widget->mapTo(top, at));
}

// Chooses an entry of the popup menu that the next call opens; returns its text.
QString chooseInPopup(const char *name, const std::function<void()> &open)
{
    QString text;
    bool enabled = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction *action = menu->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action, name);
        text = action->text();
        enabled = action->isEnabled();
        if (enabled)
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
        else
            menu->close();
    });
    open();
    return enabled ? text : QStringLiteral("(disabled) ") + text;
}

// Answers the input dialog that a later call opens with text and Enter,
// typed key by key, from within the dialog's own event loop.
void answerInputDialog(const QString &text, QString *title)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, text, title] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        *title = dialog->windowTitle();
        auto *edit = dialog->findChild<QLineEdit *>();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    poll->start();
}

} // namespace

class TestMapEdit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editsOnTheMapAreTheEditorsSteps();
    void mapWithoutTheEditorOnlyShows();

private:
    void start();
    QPoint catalogue(const QString &id);
    QPoint point(int index);
    QStringList sequence() const { return test::Fixture(m_main->session().ADOC.sql()).sequence(m_route); }
    map::TF_Map &map() { return m_main->routeMap(); }
    map::MapCanvas &canvas() { return m_main->routeMap().canvas(); }
    void drag(QPoint from, QPoint to, bool cancel = false);

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    test::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<shell::TF_Main> m_main;
    qint64 m_route = 0;
};

void TestMapEdit::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestMapEdit::init()
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
        // The sample plan's waypoints, in the catalogue.
        const qint64 uuee = fix.addPunkt({"UUEE", "N55*58.36", "E037*24.88", 9.5, "Airport", "", "Шереметьево"});
        const qint64 urss = fix.addPunkt({"URSS", "N43*26.99", "E039*57.40", 7.0, "Airport", "", "Сочи"});
        fix.addPunkt({"DE", "N55*22.00", "E037*58.70", 9.4, "NDB", "UU", ""});
        fix.addPunkt({"SB", "N47*45.00", "E039*48.00", 7.0, "NDB", "UR", ""});
        fix.addPunkt({"RW", "N47*17.50", "E039*52.00", 7.0, "NDB", "UR", ""});
        fix.addPunkt({"KW", "N51*45.00", "E036*15.00", 8.0, "VOR", "UU", ""});
        m_route = fix.addRoute(QStringLiteral("UUEE-URSS"));
        fix.addPoint(m_route, 1, uuee);
        fix.addPoint(m_route, 2, urss);
    }
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_main = std::make_unique<shell::TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
}

void TestMapEdit::cleanup()
{
    m_main.reset();
    m_folder.reset();
}

void TestMapEdit::start()
{
    QSignalSpy finished(m_main.get(), &shell::TF_Main::startupFinished);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(m_main->session().QRoutes.locate(u"Code", m_route));
}

QPoint TestMapEdit::catalogue(const QString &id)
{
    const QList<map::MapScene::CatalogueMark> &marks = map().scene().catalogueMarks();
    for (int i = 0; i < marks.size(); ++i) {
        if (marks.at(i).id != id)
            continue;
        // It is one the map shows, not only one it knows.
        for (const map::renderer::ShownCatalogue &shown : canvas().shownCatalogue())
            if (shown.index == i)
                return shown.px.toPoint();
    }
    return QPoint(-1, -1);
}

QPoint TestMapEdit::point(int index)
{
    for (const map::MapScene::Waypoint &w : map().scene().waypoints())
        if (w.index == index)
            return canvas().view().toPixel(w.km).toPoint();
    return QPoint(-1, -1);
}

void TestMapEdit::drag(QPoint from, QPoint to, bool cancel)
{
    QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 4; ++i)
        QTest::mouseMove(&canvas(), from + (to - from) * i / 4);
    if (cancel)
        QTest::keyClick(&canvas(), Qt::Key_Escape);
    QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, to);
}

void TestMapEdit::editsOnTheMapAreTheEditorsSteps()
{
    start();
    editor::TF_Points &editor = m_main->routeEditor();
    store::Query &points = editor.pointList();
    bool ran = false;
    whileModal([&] { m_main->findChild<QPushButton *>(QStringLiteral("BEdit"))->click(); }, [&] {
        auto *grid = editor.findChild<ui::GridView *>(QStringLiteral("GPPM"));
        editor.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&editor));
        QTest::keyClick(grid, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(QTest::qWaitForWindowExposed(&map()));
        QTRY_VERIFY(map().isEditing());
        QCOMPARE(points.rowNumber(), 1);
        // The whole route in view shows the airports, VORs and NDBs around it.
        for (const char *id : {"DE", "SB", "RW", "KW"})
            QVERIFY2(catalogue(QLatin1String(id)).x() >= 0, id);

        // A catalogue waypoint inserted after the current point by the right
        // button's menu; it becomes the current point.
        QCOMPARE(chooseInPopup("NInsertAfter", [&] { rightClick(&canvas(), catalogue("SB")); }),
                 QStringLiteral("Вставить после ППМ 1"));
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 SB", "3 URSS"}));
        QCOMPARE(points.rowNumber(), 2);
        QTRY_COMPARE(map().scene().route().points.size(), 3);
        QVERIFY(m_main->session().QRoutes.value(u"DateTime").isNull());

        // A leg dragged onto a waypoint takes it in between its ends. While
        // dragging, the waypoint under the cursor is highlighted.
        const QPoint sb = point(1), urss = point(2);
        const QPoint leg = (sb + urss) / 2;
        const QPoint rw = catalogue("RW");
        QTest::mousePress(&canvas(), Qt::LeftButton, Qt::NoModifier, leg);
        QTest::mouseMove(&canvas(), (leg + rw) / 2);
        QTest::mouseMove(&canvas(), rw);
        QVERIFY(canvas().isDragging());
        const QImage during = canvas().grab().toImage();
        QTest::mouseRelease(&canvas(), Qt::LeftButton, Qt::NoModifier, rw);
        const QImage after = canvas().grab().toImage();
        const QPoint ring = rw + QPoint(11, 0);
        QVERIFY2(during.pixelColor(ring).red() > 180 && during.pixelColor(ring).blue() < 80,
                 qPrintable(during.pixelColor(ring).name()));
        QVERIFY(after.pixelColor(ring) != during.pixelColor(ring));
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 SB", "3 RW", "4 URSS"}));
        QTRY_COMPARE(map().scene().route().points.size(), 4);

        // Esc drops a drag: nothing changes.
        drag(point(0), catalogue("KW"), true); // the first point is not dragged: this pans
        drag((point(0) + point(1)) / 2, catalogue("KW"), true);
        QVERIFY(!canvas().isDragging());
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 SB", "3 RW", "4 URSS"}));

        // A point dragged onto another waypoint stands on it instead.
        QTest::keyClick(&canvas(), Qt::Key_Home);
        drag(point(1), catalogue("KW"));
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 RW", "4 URSS"}));
        QTRY_COMPARE(map().scene().route().points.at(1).id, QStringLiteral("KW"));

        // A point of one's own, where the right button was pressed, after the
        // current point: a catalogue intersection with the simulator's variation.
        QTest::mouseClick(&canvas(), Qt::LeftButton, Qt::NoModifier, point(1));
        QCOMPARE(points.rowNumber(), 2);
        const QPoint empty = (point(1) + point(2)) / 2 + QPoint(60, 0);
        QVERIFY(canvas().catalogueAt(empty) < 0);
        const geo::GeoPoint where = map().scene().projection().reverse(canvas().view().toKm(empty));
        QString asked;
        answerInputDialog(QStringLiteral("mypt"), &asked);
        QCOMPARE(chooseInPopup("NNewPointHere", [&] { rightClick(&canvas(), empty); }),
                 QStringLiteral("Новый пункт здесь"));
        QCOMPARE(asked, QStringLiteral("Новый пункт"));
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 MYPT", "4 RW", "5 URSS"}));
        test::Fixture fix(m_main->session().ADOC.sql());
        const qint64 own = points.value(u"Points.Punkt").toLongLong();
        QCOMPARE(points.value(u"Punkts.ID").toString(), QStringLiteral("MYPT"));
        QVERIFY(fix.value("Punkts", own, "Type").isNull());
        // The region of the nearest airport with an ICAO ident.
        QCOMPARE(fix.value("Punkts", own, "Region").toString(), QStringLiteral("UR")); // URSS is nearer than UUEE
        const QString lat = fix.value("Punkts", own, "LAT").toString(), lon = fix.value("Punkts", own, "LON").toString();
        QVERIFY2(std::abs(lat.mid(1, 2).toInt() + lat.mid(4).toDouble() / 60 - where.lat) < 0.01, qPrintable(lat));
        QVERIFY2(std::abs(lon.mid(1, 3).toInt() + lon.mid(5).toDouble() / 60 - where.lon) < 0.01, qPrintable(lon));
        QCOMPARE(fix.value("Punkts", own, "MS").toDouble(), geo::MagVar(m_folder->fsPath(), lat, lon));
        QVERIFY(fix.value("Punkts", own, "MS").toDouble() != 0);

        // A point deleted by its menu, asked as the editor asks.
        m_prompter->answer(true);
        QTRY_COMPARE(map().scene().route().points.size(), 5);
        QCOMPARE(chooseInPopup("NDeletePoint", [&] { rightClick(&canvas(), point(3)); }),
                 QStringLiteral("Удалить ППМ"));
        QCOMPARE(m_prompter->messages().last().text, QStringLiteral("Удалить пункт 4 - RW из маршрута?"));
        QCOMPARE(m_prompter->messages().last().owner, QStringLiteral("TF_Map"));
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 MYPT", "4 URSS"}));
        // The first and the last are not deleted.
        QTRY_COMPARE(map().scene().route().points.size(), 4);
        QVERIFY(chooseInPopup("NDeletePoint", [&] { rightClick(&canvas(), point(3)); }).startsWith("(disabled)"));

        // Undo and redo, on the map and in the editor, step by step.
        map().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&map()));
        QTest::keyClick(&canvas(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 MYPT", "4 RW", "5 URSS"}));
        QTest::keyClick(&canvas(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 RW", "4 URSS"}));
        QVERIFY(!fix.value("Punkts", own, "Code").isValid());
        editor.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&editor));
        QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 MYPT", "4 RW", "5 URSS"}));
        QCOMPARE(fix.value("Punkts", own, "ID").toString(), QStringLiteral("MYPT"));
        auto *undo = editor.findChild<QAction *>(QStringLiteral("NUndo"));
        QCOMPARE(undo->text(), QStringLiteral("Отменить: новый пункт ППМ 3 MYPT"));
        map().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&map()));
        QTest::keyClick(&canvas(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 KW", "3 MYPT", "4 URSS"}));
        QTRY_COMPARE(map().scene().route().points.size(), 4);

        // Every message so far was a question.
        for (const test::RecordingPrompter::Message &m : m_prompter->messages())
            QCOMPARE(m.kind, Kind::Question);
        ran = true;
    });
    QVERIFY(ran);
    // The editor closed: the map no longer edits, and nothing is left to undo.
    QVERIFY(!map().isEditing());
    QVERIFY(!m_main->routeEditor().editing().undoStack().canUndo());
}

void TestMapEdit::mapWithoutTheEditorOnlyShows()
{
    start();
    m_main->showMap();
    QVERIFY(QTest::qWaitForWindowExposed(&map()));
    QTRY_COMPARE(map().scene().route().points.size(), 2);
    QVERIFY(!map().isEditing());
    const QPoint sb = catalogue("SB");
    QVERIFY(sb.x() >= 0);
    // No menu, no drag: the press on the leg pans.
    rightClick(&canvas(), sb);
    QVERIFY(!QApplication::activePopupWidget());
    drag((point(0) + point(1)) / 2, sb);
    QVERIFY(!canvas().isDragging());
    QCOMPARE(sequence(), (QStringList{"1 UUEE", "2 URSS"}));
}

QTEST_MAIN(TestMapEdit)
#include "tst_mapedit.moc"
