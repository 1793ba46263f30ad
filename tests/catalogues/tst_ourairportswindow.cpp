#include "Fixture.h"
#include "OurAirportsFixture.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"

#include "catalogues/core/CatalogueLists.h"
#include "catalogues/U_PPM.h"
#include "catalogues/U_Punkts.h"
#include "store/Session.h"
#include "ui/GridView.h"

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace kx;
using namespace kx::catalogues;
using Kind = test::RecordingPrompter::Kind;

namespace {

const QString kSummary = QStringLiteral("Импорт из OurAirports выполнен.\r\n\r\n"
                                        "Аэропорты: новых %1, обновлено 0, без изменений %2\r\n"
                                        "ВПП: новых %3, обновлено 0, без изменений %4\r\n"
                                        "Радиомаяки VOR и NDB: новых %5, обновлено 0, без изменений %6");

// What the import's progress window showed when it first let events through.
struct ProgressSeen
{
    bool shown = false;
    bool modal = false;
    QString title;
    QString stage;
    QString cancel;
};

QDialog *progressWindow()
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    return dialog && dialog->objectName() == u"ImportProgress" ? dialog : nullptr;
}

// Runs an action on the import's progress window once it has been shown, at
// the first moment the import lets events through.
class ProgressWatcher : public QObject
{
public:
    explicit ProgressWatcher(std::function<void(QDialog *)> action) : m_action(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == u"ImportProgress") {
            ++shows;
            auto *dialog = static_cast<QDialog *>(watched);
            QTimer::singleShot(0, dialog, [this, dialog] { m_action(dialog); });
        }
        return false;
    }

private:
    std::function<void(QDialog *)> m_action;
};

} // namespace

// The import from OurAirports in the waypoint catalogue window, driven as a
// person drives it: a right click on the grid, the menu's entry, the folder
// dialog (scripted), the progress window and its Cancel, the summary.
class TestOurAirportsWindow : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void importFromTheGridsMenu();
    void cancelInTheProgressWindow_data();
    void cancelInTheProgressWindow();
    void badFolderIsNamedAndChangesNothing();
    void whatWasLeftOutIsInTheSummarysDetails();
    void folderDialogCancelledDoesNothing();

private:
    // A right click on the grid's current row, then the menu's only entry.
    void chooseImportFromTheMenu();

    std::unique_ptr<CatalogueLists> m_lists;
    std::unique_ptr<TF_PPM> m_ppm;
    std::unique_ptr<TF_Punkts> m_window;
    test::ScriptedFileDialogs m_dialogs;
    qint64 m_own = 0; // the person's own waypoint, current when the import starts
};

void TestOurAirportsWindow::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    test::Fixture fix(m_session->ADOC.sql());
    fix.addPunkt(QStringLiteral("ABC"), QStringLiteral("N50*00.00"), QStringLiteral("E030*00.00"));
    m_own = fix.addPunkt(QStringLiteral("ZZZ"), QStringLiteral("N51*00.00"), QStringLiteral("E031*00.00"));
    QVERIFY(m_session->openRoutes());

    m_lists = std::make_unique<CatalogueLists>(m_session->ADOC);
    m_ppm = std::make_unique<TF_PPM>(*m_session, *m_lists);
    m_window = std::make_unique<TF_Punkts>(*m_session, *m_lists, *m_ppm);
    m_dialogs = test::ScriptedFileDialogs();
    m_window->setFileDialogs(&m_dialogs);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(m_lists->QPunkts.locate(u"Code", m_own));
}

void TestOurAirportsWindow::cleanup()
{
    m_window.reset();
    m_ppm.reset();
    m_lists.reset();
    closeSession();
}

void TestOurAirportsWindow::chooseImportFromTheMenu()
{
    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("G1"));
    QVERIFY(grid);
    QWidget *viewport = grid->viewport();
    // On the current row: a right click makes the row under it current, as
    // in every Qt list, and the import must come back to it.
    const QPoint at = grid->visualRect(grid->currentIndex()).center();
    QVERIFY(viewport->rect().contains(at));
    // Through the window system's path, where Qt turns a right button press
    // into the context menu event.
    QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, Qt::NoModifier, viewport->mapTo(m_window.get(), at));
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr);
    QCOMPARE(menu->objectName(), QStringLiteral("PopupMenu1"));
    QCOMPARE(menu->actions().size(), 1);
    QAction *entry = menu->actions().constFirst();
    QCOMPARE(entry->objectName(), QStringLiteral("NOurAirports"));
    QCOMPARE(entry->text(), QStringLiteral("Импорт из OurAirports..."));
    // The menu opens where the click was.
    QVERIFY(menu->geometry().contains(viewport->mapToGlobal(at) + QPoint(1, 1)));
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
}

void TestOurAirportsWindow::importFromTheGridsMenu()
{
    const QString fixture = test::ourAirportsFixture(QStringLiteral("current"));
    m_dialogs.answers = {fixture};
    ProgressSeen seen;
    ProgressWatcher watcher([&seen](QDialog *dialog) {
        seen.shown = dialog->isVisible();
        seen.modal = dialog->isModal();
        seen.title = dialog->windowTitle();
        seen.stage = dialog->findChild<QLabel *>(QStringLiteral("PStage"))->text();
        seen.cancel = dialog->findChild<QPushButton *>(QStringLiteral("BCancel"))->text();
    });
    chooseImportFromTheMenu();

    QCOMPARE(m_dialogs.calls.size(), 1);
    QVERIFY(m_dialogs.calls.first().chooseFolder);
    // The first time at the Downloads folder, or at home where there is none.
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QCOMPARE(m_dialogs.calls.first().folder, QFileInfo(downloads).isDir() ? downloads : QDir::homePath());
    QCOMPARE(m_dialogs.calls.first().name, QStringLiteral("Папка с файлами OurAirports"));
    QCOMPARE(watcher.shows, 1);
    QVERIFY(seen.shown);
    QVERIFY(seen.modal);
    QCOMPARE(seen.title, QStringLiteral("Импорт из OurAirports"));
    QCOMPARE(seen.stage, QStringLiteral("Чтение файлов OurAirports..."));
    QCOMPARE(seen.cancel, QStringLiteral("Отмена"));
    // The summary comes after the progress window has gone.
    QCOMPARE(m_prompter->texts(), QStringList{kSummary.arg(9).arg(0).arg(13).arg(0).arg(8).arg(0)});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Info);
    QCOMPARE(m_prompter->messages().first().owner, QStringLiteral("TF_Punkts"));
    QVERIFY(!m_window->findChild<QDialog *>(QStringLiteral("ImportProgress"))
            || !m_window->findChild<QDialog *>(QStringLiteral("ImportProgress"))->isVisible());
    // The grid shows the imported waypoints and stays on the person's.
    QCOMPARE(m_lists->QPunkts.rowCount(), 2 + 17);
    QCOMPARE(m_lists->QPunkts.value(u"Code").toLongLong(), m_own);
    QVERIFY(m_lists->QPunkts.locate(u"ID", QStringLiteral("UUEE")));
    QCOMPARE(m_lists->QPunkts.value(u"Name").toString(), QStringLiteral("Sheremetyevo International Airport"));

    // Again, the entry chosen in the menu with the keyboard: the folder
    // dialog opens where the last import was, and nothing changes. (The menu
    // key's context menu comes from the window system, which the offscreen
    // platform has not.)
    m_dialogs.answers = {fixture};
    const QStringList before = test::wholeDump(m_session->ADOC.sql());
    auto *grid = m_window->findChild<ui::GridView *>(QStringLiteral("G1"));
    QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      grid->viewport()->mapTo(m_window.get(), grid->visualRect(grid->currentIndex()).center()));
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) != nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(m_dialogs.calls.size(), 2);
    QCOMPARE(m_dialogs.calls.at(1).folder, fixture);
    QCOMPARE(m_prompter->lastText(), kSummary.arg(0).arg(9).arg(0).arg(13).arg(0).arg(8));
    QCOMPARE(test::wholeDump(m_session->ADOC.sql()), before);
}

void TestOurAirportsWindow::cancelInTheProgressWindow_data()
{
    QTest::addColumn<bool>("byButton"); // else by Esc
    QTest::newRow("Отмена") << true;
    QTest::newRow("Esc") << false;
}

void TestOurAirportsWindow::cancelInTheProgressWindow()
{
    QFETCH(bool, byButton);
    const QStringList before = test::wholeDump(m_session->ADOC.sql());
    m_dialogs.answers = {test::ourAirportsFixture(QStringLiteral("current"))};
    bool cancelled = false;
    ProgressWatcher watcher([&](QDialog *dialog) {
        auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("BCancel"));
        if (byButton)
            QTest::mouseClick(cancel, Qt::LeftButton);
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        // Asked, not yet done: the window stays until the import has stopped.
        cancelled = dialog->isVisible() && !cancel->isEnabled()
            && dialog->findChild<QLabel *>(QStringLiteral("PStage"))->text() == u"Отмена импорта...";
    });
    chooseImportFromTheMenu();
    QVERIFY(cancelled);
    QCOMPARE(m_prompter->texts(), QStringList{"Импорт из OurAirports отменен.\r\nКаталог пунктов не изменен."});
    QCOMPARE(m_prompter->messages().first().owner, QStringLiteral("TF_Punkts"));
    QCOMPARE(test::wholeDump(m_session->ADOC.sql()), before);
    QCOMPARE(m_lists->QPunkts.rowCount(), 2);
    QVERIFY(!progressWindow());
}

void TestOurAirportsWindow::badFolderIsNamedAndChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(test::copyFixture(QStringLiteral("current"), dir.path()));
    QFile runways(dir.filePath(QStringLiteral("runways.csv")));
    QVERIFY(runways.open(QIODevice::Append));
    runways.write("1010,4368,\"UUEE\",100,100,\"CON\",1,0,\"06L,55.9,37.4,,,,,,,,,\n");
    runways.close();
    const QStringList before = test::wholeDump(m_session->ADOC.sql());
    m_dialogs.answers = {dir.path()};
    chooseImportFromTheMenu();
    QCOMPARE(m_prompter->texts(), QStringList{"Файл runways.csv, строка 11: кавычка не закрыта до конца файла\r\n"
                                              "Каталог пунктов не изменен."});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QStringLiteral("TF_Punkts"));
    QCOMPARE(test::wholeDump(m_session->ADOC.sql()), before);
}

void TestOurAirportsWindow::whatWasLeftOutIsInTheSummarysDetails()
{
    QTemporaryDir dir;
    QVERIFY(test::copyFixture(QStringLiteral("current"), dir.path()));
    QFile runways(dir.filePath(QStringLiteral("runways.csv")));
    QVERIFY(runways.open(QIODevice::Append));
    runways.write("1010,4368,\"UUEE\",100,100,\"CON\",1,0,\"06L\",55.9,north,,,,,,,,,\n");
    runways.close();
    m_dialogs.answers = {dir.path()};
    chooseImportFromTheMenu();
    QCOMPARE(m_prompter->messages().size(), 1);
    const test::RecordingPrompter::Message &summary = m_prompter->messages().first();
    QCOMPARE(summary.kind, Kind::Info);
    QCOMPARE(summary.owner, QStringLiteral("TF_Punkts"));
    QVERIFY2(summary.text.endsWith(QStringLiteral("\r\n\r\nНе взято из файлов:\r\n"
                                                  "runways.csv: пропущено строк 0, не взято значений 1")),
             qPrintable(summary.text));
    QCOMPARE(summary.details, QStringLiteral("Все случаи:\r\n"
                                             "runways.csv, строка 11: неправильная долгота: «north»; значение не взято"));
    QVERIFY(m_lists->QPunkts.locate(u"ID", QStringLiteral("UUEE")));
}

void TestOurAirportsWindow::folderDialogCancelledDoesNothing()
{
    const QStringList before = test::wholeDump(m_session->ADOC.sql());
    ProgressWatcher watcher([](QDialog *) {});
    chooseImportFromTheMenu(); // the script has no answer: cancelled
    QCOMPARE(m_dialogs.calls.size(), 1);
    QCOMPARE(watcher.shows, 0);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(test::wholeDump(m_session->ADOC.sql()), before);
    QCOMPARE(m_lists->QPunkts.value(u"Code").toLongLong(), m_own);
}

QTEST_MAIN(TestOurAirportsWindow)
#include "tst_ourairportswindow.moc"
