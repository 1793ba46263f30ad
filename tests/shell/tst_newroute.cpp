// "Новый" in the route list: the button below "Удалить" and Ctrl+N, the new
// route's dialog driven by the keys and the mouse (an airport typed, one
// chosen in the waypoint picker with its search, the name it proposes, the
// refusals), and the route opened in the editor.
#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "editor/U_NewRoute.h"
#include "editor/U_Points.h"
#include "shell/U_Main.h"
#include "store/Session.h"
#include "ui/GridView.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <functional>

using namespace kx;
using Kind = test::RecordingPrompter::Kind;

namespace {

// Runs body in the modal window that the next call opens, from its own event
// loop (polled, so that a window opened from within body is answered too),
// once it holds the keyboard. Should a check in body fail, the window is
// closed, or its exec() would hold the test until CTest gives up on it.
void inModal(const char *name, const std::function<void(QWidget *)> &body)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, body] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String(name) || !test::hasKeyboard(modal))
            return;
        poll->stop();
        poll->deleteLater();
        const QPointer<QWidget> window = modal;
        body(modal);
        if (QTest::currentTestFailed() && window && window->isVisible())
            if (auto *dialog = qobject_cast<QDialog *>(window.data()))
                dialog->reject();
    });
    poll->start();
}

// The dialog's own controls (the waypoint picker inside it has a PName and a
// BOK of its own).
template<typename T>
T *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QWidget *>(QStringLiteral("GroupBox1"))->findChild<T *>(QLatin1String(name));
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestNewRoute : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void buttonBelowDeleteAndCtrlN();
    void madeFromTypedAndPickedAirports();
    void refusedEntriesKeepTheDialogOpen_data();
    void refusedEntriesKeepTheDialogOpen();

private:
    void start();

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    test::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<shell::TF_Main> m_main;
};

void TestNewRoute::init()
{
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
        test::Fixture fix(db.sql());
        fix.addPunkt({"UUEE", "N55*58.36", "E037*24.88", 9.5, "Airport", "", "Шереметьево"});
        fix.addPunkt({"URSS", "N43*26.99", "E039*57.40", 7.0, "Airport", "", "Сочи"});
        fix.addPunkt({"DE", "N55*22.00", "E037*58.70", 9.4, "NDB", "UU", "Домодедово"});
        fix.addRoute(QStringLiteral("Старый"));
    }
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_main = std::make_unique<shell::TF_Main>(m_folder->path(), *m_prompter, nullptr, nullptr, &m_dialogs);
}

void TestNewRoute::cleanup()
{
    m_main.reset();
    m_folder.reset();
}

void TestNewRoute::start()
{
    QSignalSpy finished(m_main.get(), &shell::TF_Main::startupFinished);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    QTRY_COMPARE(finished.count(), 1);
}

void TestNewRoute::buttonBelowDeleteAndCtrlN()
{
    start();
    auto *create = m_main->findChild<QPushButton *>(QStringLiteral("BNewRoute"));
    auto *del = m_main->findChild<QPushButton *>(QStringLiteral("BDel"));
    auto *quit = m_main->findChild<QPushButton *>(QStringLiteral("BQuit"));
    QVERIFY(create && del && quit);
    QCOMPARE(create->text(), QStringLiteral("Новый"));
    // Right below "Удалить", as wide; "Выход" stays at the bottom.
    QCOMPARE(create->x(), del->x());
    QCOMPARE(create->width(), del->width());
    QVERIFY(create->y() > del->y() + del->height() - 1 && create->y() < del->y() + 2 * del->height());
    QVERIFY(quit->y() > create->y() + 3 * create->height());

    bool shown = false;
    inModal("TF_NewRoute", [&](QWidget *dialog) {
        shown = true;
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Новый маршрут"));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("PName"));
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    // A button's shortcut clicks it as a person sees it clicked: a moment later.
    QTest::keyClick(m_main->findChild<ui::GridView *>(QStringLiteral("G1")), Qt::Key_N, Qt::ControlModifier);
    QTRY_VERIFY(shown);
    QCOMPARE(m_main->session().QRoutes.rowCount(), 1);
}

void TestNewRoute::madeFromTypedAndPickedAirports()
{
    start();
    bool editorOpened = false;
    QString departureName, arrivalName, proposed;
    inModal("TF_NewRoute", [&](QWidget *dialog) {
        auto *name = field<QLineEdit>(dialog, "PName");
        auto *departure = field<QLineEdit>(dialog, "PAP_V");
        // Enter walks from the name to the departure; the ident goes in capitals.
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), departure);
        QTest::keyClicks(departure, QStringLiteral("uuee"));
        QCOMPARE(departure->text(), QStringLiteral("UUEE"));
        departureName = field<QLabel>(dialog, "LAP_V")->text();
        // The arrival from the waypoint picker, found by its search.
        inModal("TF_PPMSel", [&](QWidget *picker) {
            auto *search = picker->findChild<QLineEdit *>(QStringLiteral("PID"));
            search->setFocus();
            QTest::keyClicks(search, QStringLiteral("urs"));
            QTRY_COMPARE(picker->findChild<ui::GridView *>(QStringLiteral("GM"))->currentIndex().siblingAtColumn(1).data().toString(),
                         QStringLiteral("URSS"));
            QTest::mouseClick(button(picker, "BOK"), Qt::LeftButton);
        });
        QTest::mouseClick(field<QPushButton>(dialog, "BAP_P"), Qt::LeftButton);
        QCOMPARE(field<QLineEdit>(dialog, "PAP_P")->text(), QStringLiteral("URSS"));
        arrivalName = field<QLabel>(dialog, "LAP_P")->text();
        proposed = name->text();
        // The level, then "Создать": the editor opens on the new route.
        auto *level = field<QWidget>(dialog, "PFL");
        level->setFocus();
        QTest::keyClick(level, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(level, QStringLiteral("10100"));
        inModal("TF_Points", [&](QWidget *editor) {
            auto &points = static_cast<editor::TF_Points *>(editor)->pointList();
            editorOpened = points.rowCount() == 2 && points.valueAt(0, u"Punkts.ID").toString() == u"UUEE"
                && points.valueAt(1, u"Punkts.ID").toString() == u"URSS";
            editor->close();
        });
        QTest::mouseClick(button(dialog, "BOK"), Qt::LeftButton);
    });
    QTest::mouseClick(m_main->findChild<QPushButton *>(QStringLiteral("BNewRoute")), Qt::LeftButton);
    QCOMPARE(departureName, QStringLiteral("Шереметьево"));
    QCOMPARE(arrivalName, QStringLiteral("Сочи"));
    QCOMPARE(proposed, QStringLiteral("UUEE-URSS"));
    QVERIFY(editorOpened);
    // The route list stands on the new route.
    store::Query &routes = m_main->session().QRoutes;
    QCOMPARE(routes.rowCount(), 2);
    QCOMPARE(routes.value(u"Name").toString(), QStringLiteral("UUEE-URSS"));
    QCOMPARE(routes.value(u"FL").toInt(), 10100);
    QCOMPARE(routes.value(u"AP_V").toString(), QStringLiteral("UUEE"));
    QVERIFY(routes.value(u"DateTime").isNull());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestNewRoute::refusedEntriesKeepTheDialogOpen_data()
{
    QTest::addColumn<QString>("departure");
    QTest::addColumn<QString>("arrival");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no departure") << "" << "URSS" << "Не заполнено поле [АП вылета]!" << "PAP_V";
    QTest::newRow("unknown arrival") << "UUEE" << "UXXX" << "Аэропорт UXXX не найден в каталоге!" << "PAP_P";
    QTest::newRow("a navaid") << "DE" << "URSS" << "Аэропорт DE не найден в каталоге!" << "PAP_V";
}

void TestNewRoute::refusedEntriesKeepTheDialogOpen()
{
    QFETCH(QString, departure);
    QFETCH(QString, arrival);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    start();
    QString notFound;
    QString focused;
    bool done = false;
    inModal("TF_NewRoute", [&](QWidget *dialog) {
        auto *name = field<QLineEdit>(dialog, "PName");
        QTest::keyClicks(name, QStringLiteral("X"));
        QTest::keyClicks(field<QLineEdit>(dialog, "PAP_V"), departure);
        QTest::keyClicks(field<QLineEdit>(dialog, "PAP_P"), arrival);
        notFound = field<QLabel>(dialog, "LAP_P")->text();
        QTest::mouseClick(button(dialog, "BOK"), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), field<QWidget>(dialog, qPrintable(focus)));
        focused = focus;
        QTest::mouseClick(button(dialog, "BCancel"), Qt::LeftButton);
        done = true;
    });
    QTest::keyClick(m_main->findChild<ui::GridView *>(QStringLiteral("G1")), Qt::Key_N, Qt::ControlModifier);
    QTRY_VERIFY(done);
    QCOMPARE(m_prompter->texts(), QStringList{message});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Error);
    QCOMPARE(m_prompter->messages().first().owner, QStringLiteral("TF_NewRoute"));
    QCOMPARE(focused, focus);
    // Said in place while typing, without a message box.
    if (arrival == u"UXXX")
        QCOMPARE(notFound, QStringLiteral("Аэропорт UXXX не найден в каталоге!"));
    QCOMPARE(m_main->session().QRoutes.rowCount(), 1);
}

QTEST_MAIN(TestNewRoute)
#include "tst_newroute.moc"
