#include "Fixture.h"
#include "Painted.h"
#include "RecordingPrompter.h"
#include "ScriptedChooser.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "editor/U_Points.h"
#include "shell/U_Main.h"
#include "store/Session.h"
#include "ui/GridView.h"
#include "ui/ListModel.h"
#include "ui/QtTranslation.h"
#include "ui/SearchEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QToolTip>
#include <QtTest>

using namespace kx;
using namespace kx::shell;
using Kind = test::RecordingPrompter::Kind;

class TestMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionColumnsAndFormats();
    void rowColoursFollowTheCalculationState();
    void notCalculatedRouteSaysSo();
    void incrementalSearch();
    void arrowsAndEnterInSearch();
    void deleteAsksAndMovesOn();
    void deleteFailuresAreReported();
    void emptyListCommandsDoNothing();
    void aboutBox();
    void editorOpensOnTheCurrentRoute();
    void importOpensTheEditorOnTheNewRoute();
    void menusOpenTheCatalogues();
    void closingWritesSettings();
    void windowGrowsAndComesBackSo();
    void tabFollowsTheLayout();
    void ctrlCCopiesTheRows();
    void simulatorFolderFromTheMenu();
    void firstStartCancelledLeavesNoSettings();
    void secondWindowCopyOnTheFolder_data();
    void secondWindowCopyOnTheFolder();

private:
    void start();
    QString cell(int row, int column) const;

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    test::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<TF_Main> m_main;
    std::unique_ptr<test::Fixture> m_fix;
    qint64 m_moscow = 0;
    qint64 m_abakan = 0;
    qint64 m_alpha = 0;
};

void TestMain::initTestCase()
{
    // The program's numbers and dates, whatever the locale the tests run under.
    ui::useRussianLocale();
}

void TestMain::init()
{
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
        test::Fixture fix(db.sql());
        m_moscow = fix.addRoute(QStringLiteral("Москва - Сочи"), 1498.8, QDateTime::currentDateTime());
        m_abakan = fix.addRoute(QStringLiteral("абакан - Омск"));
        m_alpha = fix.addRoute(QStringLiteral("Alpha"), 12.0);
        QSqlQuery q(db.sql());
        QVERIFY(q.exec(QStringLiteral("UPDATE Routes SET Vilka = 16.7, FL = 10668, AP_V = 'UUEE', AP_P = 'URSS' "
                                      "WHERE Name = 'Москва - Сочи'")));
        const qint64 p = fix.addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.33"), QStringLiteral("E037*24.87"));
        fix.addPoint(m_moscow, 1, p);
        fix.addPoint(m_moscow, 2, p);
        fix.addPoint(m_abakan, 1, p);
    }
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_dialogs = test::ScriptedFileDialogs();
    m_main = std::make_unique<TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
}

void TestMain::cleanup()
{
    m_fix.reset();
    m_main.reset();
    m_folder.reset();
}

void TestMain::start()
{
    QSignalSpy finished(m_main.get(), &TF_Main::startupFinished);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<StartupResult>(), StartupResult::Running);
    m_fix = std::make_unique<test::Fixture>(m_main->session().ADOC.sql());
}

QString TestMain::cell(int row, int column) const
{
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    return grid->listModel()->data(grid->listModel()->index(row, column)).toString();
}

void TestMain::captionColumnsAndFormats()
{
    start();
    QCOMPARE(m_main->windowTitle(), QStringLiteral("Kalyx - Трасмер (V. 2.3 beta)"));
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    QVERIFY(grid);
    QAbstractItemModel *model = grid->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Наименование", "АП вылета", "АП посадки", "Расстояние", "Вилка", "Эшелон"}));
    QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0x80));
    // Rows by name, letter case ignored: Alpha, абакан - Омск, Москва - Сочи.
    QCOMPARE(cell(0, 0), QStringLiteral("Alpha"));
    QCOMPARE(cell(1, 0), QStringLiteral("абакан - Омск"));
    QCOMPARE(cell(2, 0), QStringLiteral("Москва - Сочи"));
    QCOMPARE(cell(2, 1), QStringLiteral("UUEE"));
    QCOMPARE(cell(2, 3), QStringLiteral("1 498,8"));
    QCOMPARE(cell(2, 4), QStringLiteral("16,7"));
    QCOMPARE(cell(2, 5), QStringLiteral("10 668"));
    QCOMPARE(cell(1, 3), QString()); // Null distance: empty cell
    QCOMPARE(cell(0, 3), QStringLiteral("12"));
    QCOMPARE(model->data(model->index(2, 3), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    QVERIFY(grid->hasFocus());
    QCOMPARE(m_main->session().QRoutes.rowNumber(), 1);
}

void TestMain::rowColoursFollowTheCalculationState()
{
    start();
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    const ui::CellStyler &style = grid->cellStyler();
    // Row 2 is calculated, row 1 is not.
    QCOMPARE(style(2, 0, true, true).background, QColor(0, 64, 0));
    QCOMPARE(style(2, 0, true, true).text, QColor(Qt::white));
    QCOMPARE(style(2, 3, false, true).text, QColor(0, 64, 0));
    QVERIFY(!style(2, 3, false, true).background.isValid());
    QCOMPARE(style(1, 0, true, false).background, QColor(176, 0, 0));
    QCOMPARE(style(1, 0, true, false).text, QColor(Qt::white));
    QCOMPARE(style(1, 5, false, false).text, QColor(255, 0, 0));
    // And painted so: the current row (Alpha, not calculated) on its dark red,
    // the other rows' names in their state's colour on the grid's own ground.
    QCOMPARE(m_main->session().QRoutes.rowNumber(), 1);
    const QImage image = grid->viewport()->grab().toImage();
    const QRect alpha = test::paintedCell(grid, 0, 0);
    QCOMPARE(image.pixelColor(alpha.topLeft()), QColor(176, 0, 0));
    const QRect abakan = test::paintedCell(grid, 1, 0);
    const QRect moscow = test::paintedCell(grid, 2, 0);
    QVERIFY(test::pixelsOf(image, abakan, QColor(255, 0, 0)) > 0);
    QCOMPARE(test::pixelsOf(image, abakan, QColor(0, 64, 0)), 0);
    QVERIFY(test::pixelsOf(image, moscow, QColor(0, 64, 0)) > 0);
    QCOMPARE(test::pixelsOf(image, moscow, QColor(255, 0, 0)), 0);
    QCOMPARE(image.pixelColor(moscow.topLeft()), grid->palette().color(QPalette::Base));
}

void TestMain::notCalculatedRouteSaysSo()
{
    start();
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    auto *status = m_main->findChild<QLabel *>(QStringLiteral("RouteStatus"));
    QVERIFY(status && status->isVisible());
    // The status line follows the current route, moved by the keyboard.
    QCOMPARE(status->text(), QStringLiteral("Маршрут не расчитан!")); // Alpha
    QCOMPARE(status->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(m_main->session().QRoutes.value(u"Name").toString(), QStringLiteral("Москва - Сочи"));
    const QRegularExpression calculated(
        QStringLiteral("^Маршрут расчитан \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    QVERIFY2(calculated.match(status->text()).hasMatch(), qPrintable(status->text()));
    QCOMPARE(status->palette().color(QPalette::WindowText), QColor(0, 64, 0));

    // A red row says why in its tooltip; a green one has none of that.
    const auto tooltipOver = [&](int row) {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("(the last tooltip stays)");
        const QPoint at = grid->visualRect(grid->model()->index(row, 4)).center();
        QHelpEvent help(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tooltipOver(1), QStringLiteral("абакан - Омск\nМаршрут не расчитан!"));
    QCOMPARE(tooltipOver(2), QString());
    QToolTip::hideText();
}

void TestMain::incrementalSearch()
{
    start();
    store::Query &routes = m_main->session().QRoutes;
    auto *search = m_main->findChild<ui::SearchEdit *>(QStringLiteral("PName"));
    QVERIFY(search);
    QCOMPARE(search->maxLength(), 100);
    search->setFocus();
    test::typeText(search, QStringLiteral("мо"));
    QCOMPARE(routes.rowNumber(), 1); // nothing before the 100 ms have passed
    QTRY_COMPARE(routes.value(u"Name").toString(), QStringLiteral("Москва - Сочи"));
    // Every change restarts the wait; a text that begins no name moves nothing.
    test::typeText(search, QStringLiteral("х"));
    QVERIFY(search->isWaiting());
    QTRY_VERIFY(!search->isWaiting());
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("Москва - Сочи"));
    // One letter finds the first name beginning with it in either case.
    search->clear();
    test::typeText(search, QStringLiteral("a"));
    QTRY_COMPARE(routes.value(u"Name").toString(), QStringLiteral("Alpha"));
    search->clear();
    test::typeText(search, QStringLiteral("аБ"));
    QTRY_COMPARE(routes.value(u"Name").toString(), QStringLiteral("абакан - Омск"));
    // Emptying the text moves nothing.
    search->clear();
    QVERIFY(search->isWaiting());
    QTRY_VERIFY(!search->isWaiting());
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("абакан - Омск"));
}

void TestMain::arrowsAndEnterInSearch()
{
    start();
    store::Query &routes = m_main->session().QRoutes;
    auto *search = m_main->findChild<QLineEdit *>(QStringLiteral("PName"));
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    search->setFocus();
    QTRY_VERIFY(search->hasFocus());
    QTest::keyClick(search, Qt::Key_Up);
    QCOMPARE(routes.rowNumber(), 1);
    QTest::keyClick(search, Qt::Key_Down);
    QTest::keyClick(search, Qt::Key_Down);
    QCOMPARE(routes.rowNumber(), 3);
    QTest::keyClick(search, Qt::Key_Down);
    QCOMPARE(routes.rowNumber(), 3);
    QCOMPARE(grid->currentIndex().row(), 2); // the grid shows the list's row
    QTest::keyClicks(search, QStringLiteral("xyz"));
    QTest::keyClick(search, Qt::Key_Return);
    QTRY_VERIFY(grid->hasFocus());
    QCOMPARE(search->text(), QString()); // leaving the edit empties it
    // Moving in the grid moves the list.
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(routes.rowNumber(), 2);
}

void TestMain::deleteAsksAndMovesOn()
{
    start();
    store::Query &routes = m_main->session().QRoutes;
    auto *del = m_main->findChild<QPushButton *>(QStringLiteral("BDel"));
    QVERIFY(routes.setRowNumber(2));
    m_prompter->answer(false);
    del->click();
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, Kind::Question);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Удалить маршрут абакан - Омск ?"));
    QVERIFY(!m_prompter->messages().at(0).defaultYes);
    QCOMPARE(routes.rowCount(), 3);

    m_prompter->answer(true);
    del->click();
    QCOMPARE(routes.rowCount(), 2);
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("Москва - Сочи")); // the row after
    QCOMPARE(m_fix->count("Routes"), 2);
    QSqlQuery q(m_main->session().ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Points WHERE Route = %1").arg(m_abakan)) && q.next());
    QCOMPARE(q.value(0).toInt(), 0);
    QCOMPARE(m_fix->count("Points"), 2); // the other route's points stay

    m_prompter->answer(true);
    del->click(); // the last row: the one before becomes current
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("Alpha"));
    QCOMPARE(m_fix->count("Points"), 0);
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
}

void TestMain::deleteFailuresAreReported()
{
    start();
    store::Query &routes = m_main->session().QRoutes;
    QSqlQuery q(m_main->session().ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER keep_points BEFORE DELETE ON Points BEGIN SELECT RAISE(ABORT, 'kept'); END")));
    QVERIFY(routes.setRowNumber(3));
    m_prompter->answer(true);
    m_main->findChild<QPushButton *>(QStringLiteral("BDel"))->click();
    QCOMPARE(m_prompter->messages().last().kind, Kind::Info);
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Не удалось удалить ППМ маршрута!"));
    QCOMPARE(m_fix->count("Routes"), 3);
    QCOMPARE(m_fix->count("Points"), 3);

    QVERIFY(q.exec(QStringLiteral("DROP TRIGGER keep_points")));
    QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER keep_routes BEFORE DELETE ON Routes BEGIN SELECT RAISE(ABORT, 'kept'); END")));
    m_prompter->answer(true);
    m_main->findChild<QPushButton *>(QStringLiteral("BDel"))->click();
    QCOMPARE(m_prompter->lastText(), QStringLiteral("Не удалось удалить маршрут!"));
    QCOMPARE(m_prompter->messages().last().kind, Kind::Info);
    QCOMPARE(m_fix->count("Routes"), 3);
    QCOMPARE(m_fix->count("Points"), 3); // nothing is deleted: the route keeps its points
    QCOMPARE(routes.rowCount(), 3);
}

void TestMain::emptyListCommandsDoNothing()
{
    start();
    QSqlQuery q(m_main->session().ADOC.sql());
    QVERIFY(q.exec(QStringLiteral("DELETE FROM Routes")));
    QVERIFY(m_main->session().openRoutes());
    m_main->findChild<QPushButton *>(QStringLiteral("BDel"))->click();
    m_main->findChild<QPushButton *>(QStringLiteral("BEdit"))->click();
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    test::doubleClick(grid->viewport(), QPoint(10, 10));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestMain::aboutBox()
{
    start();
    auto *about = m_main->findChild<QDialog *>(QStringLiteral("TF_About"));
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("О программе"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("ProductName"))->text(), QStringLiteral("Kalyx - Трасмер"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Version"))->text(), QStringLiteral("V. 2.3 beta"));
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    bool shown = false;
    QTimer::singleShot(0, about, [&] {
        shown = about->isVisible();
        about->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    });
    m_main->findChild<QAction *>(QStringLiteral("N3"))->trigger();
    QVERIFY(shown);
    QVERIFY(!about->isVisible());
    QStringList menu;
    for (const char *name : {"N1", "N2", "N3", "N4"})
        menu << m_main->findChild<QAction *>(QString::fromLatin1(name))->text();
    QCOMPARE(menu, (QStringList{"Пункты", "Маяки РСБН", "О программе", "Выход"}));
}

namespace {
// Runs a command that shows a modal window; once the window is up, looks at it
// (inspect) and closes it. Returns the window that was shown (null when none was).
QWidget *closeNextModal(const std::function<void()> &command, const std::function<void(QWidget *)> &inspect = {})
{
    QPointer<QWidget> shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll.stop();
        shown = modal;
        if (inspect)
            inspect(modal);
        modal->close();
    });
    poll.start();
    command();
    return shown;
}
} // namespace

void TestMain::editorOpensOnTheCurrentRoute()
{
    start();
    store::Query &routes = m_main->session().QRoutes;
    QVERIFY(routes.locate(u"Code", m_moscow));
    int points = -1;
    QWidget *shown = closeNextModal([&] { m_main->findChild<QPushButton *>(QStringLiteral("BEdit"))->click(); },
                                    [&](QWidget *) { points = m_main->routeEditor().pointList().rowCount(); });
    QCOMPARE(shown, static_cast<QWidget *>(&m_main->routeEditor()));
    QCOMPARE(m_main->routeEditor().routeCode(), m_moscow);
    QCOMPARE(points, 2);
    // Closing the editor puts the list back on the same route.
    QCOMPARE(routes.value(u"Code").toLongLong(), m_moscow);

    // A double click opens it too.
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    QVERIFY(routes.first());
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    shown = closeNextModal([&] {
        test::doubleClick(grid->viewport(), cell.center());
    });
    QCOMPARE(shown, static_cast<QWidget *>(&m_main->routeEditor()));
    QCOMPARE(m_main->routeEditor().routeCode(), m_alpha);

    // So does a double click on the empty part of the list, on the current
    // route, which stays selected; and Enter in the list.
    QVERIFY(routes.locate(u"Code", m_moscow));
    const QPoint below(20, grid->viewport()->height() - 5);
    QVERIFY(!grid->indexAt(below).isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(grid->selectionModel()->selectedRows().at(0).row(), routes.rowNumber() - 1);
    shown = closeNextModal([&] { QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, below); });
    QCOMPARE(shown, static_cast<QWidget *>(&m_main->routeEditor()));
    QCOMPARE(m_main->routeEditor().routeCode(), m_moscow);
    QVERIFY(routes.locate(u"Code", m_abakan));
    shown = closeNextModal([&] { QTest::keyClick(grid, Qt::Key_Return); });
    QCOMPARE(shown, static_cast<QWidget *>(&m_main->routeEditor()));
    QCOMPARE(m_main->routeEditor().routeCode(), m_abakan);
}

void TestMain::importOpensTheEditorOnTheNewRoute()
{
    start();
    const QString plans = m_folder->path() + QStringLiteral("Планы/");
    QVERIFY(QDir().mkpath(plans));
    QVERIFY(QFile::copy(QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"), plans + QStringLiteral("UUEE-URSS.PLN")));
    auto *import = m_main->findChild<QPushButton *>(QStringLiteral("BNew"));

    // Cancelled: nothing happens, nothing is remembered.
    import->click();
    QCOMPARE(m_dialogs.calls.size(), 1);
    QCOMPARE(m_dialogs.calls.at(0).folder, QDir::toNativeSeparators(m_folder->path())); // no plan folder yet: the program's
    QCOMPARE(m_dialogs.calls.at(0).filters,
             QStringLiteral("Планы полетов MSFS2004 (*.pln);;Планы X-Plane (*.fms);;Маршруты FlightGear (*.xml);;"
                            "Все файлы (*.*)"));
    QCOMPARE(m_fix->count("Routes"), 3);
    QVERIFY(m_folder->readIni().contains(QStringLiteral("\r\nPLNPath=\r\n")));

    m_dialogs.answers = {plans + QStringLiteral("UUEE-URSS.PLN")};
    int points = -1;
    QWidget *shown = closeNextModal([&] { import->click(); },
                                    [&](QWidget *) { points = m_main->routeEditor().pointList().rowCount(); });
    QCOMPARE(shown, static_cast<QWidget *>(&m_main->routeEditor()));
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_fix->count("Routes"), 4);
    store::Query &routes = m_main->session().QRoutes;
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("UUEE-URSS"));
    QCOMPARE(m_main->routeEditor().routeCode(), routes.value(u"Code").toLongLong());
    QCOMPARE(points, 6);
    // The plan's folder is remembered at once, and starts the next import.
    QVERIFY(m_folder->readIni().contains(QStringLiteral("\r\nPLNPath=%1\r\n").arg(QDir::toNativeSeparators(plans))));
    import->click();
    QCOMPARE(m_dialogs.calls.last().folder, QDir::toNativeSeparators(plans));
}

void TestMain::menusOpenTheCatalogues()
{
    start();
    QWidget *shown = closeNextModal([&] { m_main->findChild<QAction *>(QStringLiteral("N1"))->trigger(); });
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), QStringLiteral("TF_Punkts"));
    shown = closeNextModal([&] { m_main->findChild<QAction *>(QStringLiteral("N2"))->trigger(); });
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), QStringLiteral("TF_RSBN"));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestMain::closingWritesSettings()
{
    start();
    store::Session &session = m_main->session();
    session.settings.plnPath = QStringLiteral("/plans/Москва/");
    m_main->findChild<QPushButton *>(QStringLiteral("BQuit"))->click();
    QVERIFY(!m_main->isVisible());
    QVERIFY(!session.ADOC.isOpen());
    QVERIFY(!session.QRoutes.isOpen());
    QVERIFY(m_folder->readIni().contains(QStringLiteral("PLNPath=/plans/Москва/\r\n")));
}

namespace {
// How far a control lies from the window's right and bottom edges.
QPoint fromBottomRight(const QWidget *window, const QWidget *control)
{
    const QPoint corner = control->mapTo(window, QPoint(control->width(), control->height()));
    return QPoint(window->width() - corner.x(), window->height() - corner.y());
}
} // namespace

void TestMain::windowGrowsAndComesBackSo()
{
    start();
    QCOMPARE(m_main->width(), 772);
    QVERIFY(m_main->windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(m_main->maximumWidth() > 2000);
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    auto *quit = m_main->findChild<QPushButton *>(QStringLiteral("BQuit"));
    auto *edit = m_main->findChild<QPushButton *>(QStringLiteral("BEdit"));
    auto *search = m_main->findChild<QLineEdit *>(QStringLiteral("PName"));
    const QPoint quitPlace = fromBottomRight(m_main.get(), quit);
    const QPoint searchPlace(search->mapTo(m_main.get(), QPoint()).x(), fromBottomRight(m_main.get(), search).y());
    const int editRight = fromBottomRight(m_main.get(), edit).x();
    const QSize windowSize = m_main->size();
    const QSize gridSize = grid->size();
    const int nameWidth = grid->columnWidth(0);
    const int levelWidth = grid->columnWidth(5);

    // The person makes the window larger: the list takes the room, the route
    // names the width; the buttons stay at the right, "Выход" and the search
    // at the bottom.
    // (As large as the screen lets a window come back: the test's screen may be small.)
    const QSize larger = QSize(1100, 700).boundedTo(m_main->screen()->availableGeometry().size() - QSize(8, 40));
    QVERIFY(larger.width() > windowSize.width() && larger.height() > windowSize.height());
    m_main->resize(larger);
    const QSize grown = larger - windowSize;
    QTRY_COMPARE(grid->size(), gridSize + grown);
    QTRY_COMPARE(grid->columnWidth(0), nameWidth + grown.width());
    QCOMPARE(grid->columnWidth(5), levelWidth);
    QCOMPARE(fromBottomRight(m_main.get(), quit), quitPlace);
    QCOMPARE(fromBottomRight(m_main.get(), edit).x(), editRight);
    QCOMPARE(QPoint(search->mapTo(m_main.get(), QPoint()).x(), fromBottomRight(m_main.get(), search).y()), searchPlace);

    // A column widened with the mouse, the program closed and started again:
    // the window and the column come back as they were left.
    test::dragColumnBorder(grid, 5, 30);
    QCOMPARE(grid->columnWidth(5), levelWidth + 30);
    quit->click();
    QVERIFY(m_folder->readIni().contains(QStringLiteral("\r\nMainWidth=%1\r\n").arg(larger.width())));
    m_fix.reset();
    m_main = std::make_unique<TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
    start();
    grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    QCOMPARE(m_main->size(), larger);
    QCOMPARE(grid->columnWidth(5), levelWidth + 30);
    QTRY_COMPARE(grid->columnWidth(0), nameWidth + grown.width() - 30);
}

void TestMain::ctrlCCopiesTheRows()
{
    start();
    auto *grid = m_main->findChild<ui::GridView *>(QStringLiteral("G1"));
    QVERIFY(grid->model()->rowCount() > 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    grid->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    // The titles, then the current row, each field apart by a tab.
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("Наименование\tАП вылета\tАП посадки\tРасстояние\tВилка\tЭшелон"));
    QCOMPARE(lines.at(1).section(u'\t', 0, 0), m_main->session().QRoutes.value(u"Name").toString());
}

void TestMain::tabFollowsTheLayout()
{
    start();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("G1"));
    QCOMPARE(test::tabWalk(7), (QStringList{"PName", "BEdit", "BNew", "BDel", "BNewRoute", "BQuit", "G1"}));
}

void TestMain::simulatorFolderFromTheMenu()
{
    test::ScriptedChooser chooser;
    m_main = std::make_unique<TF_Main>(m_folder->path(), *m_prompter, nullptr, &chooser, &m_dialogs);
    start();
    // The menu's items keep their places; the folder's item comes after "Карта".
    QStringList names;
    for (const QAction *action : m_main->menuBar()->actions())
        names << action->objectName();
    QCOMPARE(names, (QStringList{"N1", "N2", "N3", "N4", "NMap", "NFS9"}));
    QAction *item = m_main->findChild<QAction *>(QStringLiteral("NFS9"));
    QCOMPARE(item->text(), QStringLiteral("Папка FS9…"));
    const auto click = [&] {
        QTest::mouseClick(m_main->menuBar(), Qt::LeftButton, Qt::NoModifier,
                          m_main->menuBar()->actionGeometry(item).center());
    };

    // A folder without the table, told with the folder and the missing file,
    // then "Отмена": the folder stays, and the file is not touched.
    const QString ini = m_folder->readIni();
    const QString empty = m_folder->path() + QStringLiteral("Пустая/");
    QVERIFY(QDir().mkpath(empty));
    chooser.answers = {empty, QString()};
    click();
    QCOMPARE(chooser.shownAt, (QStringList{m_folder->fsPath(), empty}));
    QCOMPARE(m_prompter->texts(),
             QStringList{QStringLiteral("Файл - справочник магнитных склонений\r\n%1 не найден!")
                             .arg(empty + QDir::toNativeSeparators(QStringLiteral("Scenery/BASE/Scenery/magdec.bgl")))});
    QCOMPARE(m_main->session().settings.fsPath, m_folder->fsPath());
    QCOMPARE(m_folder->readIni(), ini);

    // Another simulator folder: taken, and written at once.
    const QString other = m_folder->path() + QStringLiteral("FS9 копия/");
    QVERIFY(test::writeMagdec(other + QStringLiteral("Scenery/BASE/Scenery/magdec.bgl"),
                              [](int, int) -> qint16 { return 1000; }));
    m_prompter->clear();
    chooser.answers = {other};
    click();
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_main->session().settings.fsPath, other);
    QCOMPARE(m_folder->readIni(), QString(ini).replace(m_folder->fsPath(), other));
}

void TestMain::firstStartCancelledLeavesNoSettings()
{
    // No kalyx.ini yet, and "Отмена" in the chooser: the program ends, and
    // the windows Qt closes on its way out write nothing either.
    QVERIFY(QFile::remove(m_folder->file(QStringLiteral("kalyx.ini"))));
    test::ScriptedChooser chooser;
    chooser.answers = {QString()};
    m_main = std::make_unique<TF_Main>(m_folder->path(), *m_prompter, nullptr, &chooser, &m_dialogs);
    QSignalSpy ended(m_main.get(), &TF_Main::endRequested);
    m_main->show();
    QTRY_COMPARE(ended.count(), 1);
    QCOMPARE(chooser.shownAt.size(), 1);
    QVERIFY(m_main->close());
    QVERIFY(!QFileInfo::exists(m_folder->file(QStringLiteral("kalyx.ini"))));
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestMain::secondWindowCopyOnTheFolder_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("runs");
    QTest::newRow("asked, goes on") << true << true << true;
    QTest::newRow("asked, quits") << true << false << false;
    QTest::newRow("told not to ask") << false << false << true;
}

void TestMain::secondWindowCopyOnTheFolder()
{
    QFETCH(bool, ask);
    QFETCH(bool, answer);
    QFETCH(bool, runs);
    start();
    test::RecordingPrompter prompter;
    prompter.answer(answer);
    TF_Main second(m_folder->path(), prompter, nullptr, nullptr, &m_dialogs);
    second.setAskAboutAnotherCopy(ask);
    QSignalSpy finished(&second, &TF_Main::startupFinished);
    QSignalSpy ended(&second, &TF_Main::endRequested);
    second.show();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<StartupResult>(), runs ? StartupResult::Running : StartupResult::EndRequested);
    QCOMPARE(ended.count(), runs ? 0 : 1);
    if (ask) {
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.messages().first().kind, Kind::Question);
        QVERIFY(prompter.texts().first().startsWith(
            QStringLiteral("Kalyx уже запущен с этой папкой:\r\n%1\r\n").arg(QDir::toNativeSeparators(m_folder->path()))));
    } else {
        QVERIFY(prompter.messages().isEmpty());
    }
    // A copy that quit, asked, touched nothing: no second session on the file.
    QCOMPARE(second.session().ADOC.isOpen(), runs);
}

QTEST_MAIN(TestMain)
#include "tst_main.moc"
