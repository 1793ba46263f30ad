#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SessionTest.h"
#include "TestFolder.h"
#include "WidgetInput.h"

#include "calc/CalculateRoute.h"
#include "editor/U_Points.h"
#include "editor/U_SimExport.h"
#include "interchange/ImportPln.h"
#include "interchange/SimSettings.h"
#include "store/Session.h"
#include "ui/GridView.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;

// "Экспорт для других симуляторов" as a pilot uses it: from the route editor's
// point menu, choosing the format and the folder with the mouse and the keys.
class TestSimExportDialog : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pointMenuOpensTheDialog();
    void pointMenuRefusesARouteNotCalculated();
    void folderTypedInProposesTheTabletsFolder();
    void formatsProposeTheirFolders();
    void existingFileIsReplacedOnlyWhenAnswered();
    void failureNamesTheFileAndKeepsTheDialog();

private:
    template<typename T>
    T *child(QWidget *window, const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no %s", name);
        return found;
    }
    void showDialog();
    void replaceText(QLineEdit *edit, const QString &text);
    QByteArray readBytes(const QString &path) const;

    qint64 m_route = 0;
    QString m_xplane;
    QString m_aircraft;
    test::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<QWidget> m_editor;
    std::unique_ptr<editor::TF_SimExport> m_dialog;
};

void TestSimExportDialog::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    QVERIFY(m_folder->writeDefaultIni());
    m_session->settings.plnPath = m_folder->path();
    QVERIFY(m_session->openRoutes());
    QObject routeList;
    m_route = interchange::ImportPLN(*m_session, QStringLiteral(KX_SOURCE_DIR "/data/plans/UUEE-URSS.PLN"), &routeList);
    QVERIFY(m_route > 0);
    QVERIFY(calc::CalculateRoute(*m_session, m_route, nullptr, &routeList));
    QVERIFY(m_session->reopenRoutesAt(m_route));
    m_prompter->clear();

    m_xplane = m_folder->file("X-Plane 12/");
    m_aircraft = m_xplane + "Aircraft/Tu-154B2";
    QVERIFY(QDir().mkpath(m_xplane + "Output/FMS plans"));
    QVERIFY(QDir().mkpath(m_aircraft + "/pa3/gen_plans"));
    m_dialogs = test::ScriptedFileDialogs();
    m_editor = std::make_unique<QWidget>();
    m_editor->setObjectName("TF_Points");
    m_dialog = std::make_unique<editor::TF_SimExport>(*m_session, m_dialogs, m_editor.get());
}

void TestSimExportDialog::cleanup()
{
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
    m_dialog.reset();
    m_editor.reset();
    closeSession();
}

void TestSimExportDialog::showDialog()
{
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    m_dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
}

// Clicks into the edit, selects what it holds and types over it, then leaves it
// with Tab, as a person does.
void TestSimExportDialog::replaceText(QLineEdit *edit, const QString &text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    test::typeText(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

QByteArray TestSimExportDialog::readBytes(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSimExportDialog::pointMenuOpensTheDialog()
{
    editor::TF_Points points(*m_session);
    editor::PointsHooks hooks;
    hooks.exportOtherSim = [&] { m_dialog->exec(); };
    points.setHooks(hooks);
    points.show();
    QVERIFY(QTest::qWaitForWindowExposed(&points));
    auto *grid = child<ui::GridView>(&points, "GPPM");
    auto *menu = child<QMenu>(&points, "PopupMenu1");
    QVERIFY(grid && menu);

    // Through the window, as the system delivers a click: the press makes the menu.
    QTest::mouseClick(points.windowHandle(), Qt::RightButton, Qt::NoModifier,
                      grid->viewport()->mapTo(&points, QPoint(40, 40)));
    QTRY_VERIFY(menu->isVisible());
    QAction *entry = child<QMenu>(&points, "PopupMenu1")->findChild<QAction *>("NOtherSim");
    QVERIFY(entry);
    QCOMPARE(entry->text(), QString("Экспорт для других симуляторов…"));
    bool seen = false;
    test::whenOpen(m_dialog.get(), [&] {
        seen = true;
        QCOMPARE(m_dialog->windowTitle(), QString("Экспорт для других симуляторов"));
        // Esc closes it and nothing is written.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!m_dialog->isVisible());
    });
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
    QVERIFY(seen);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(QDir(m_folder->path()).entryList({"*.fms", "*.json", "*.xml"}, QDir::Files), QStringList());
}

void TestSimExportDialog::pointMenuRefusesARouteNotCalculated()
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec("UPDATE Routes SET DateTime = NULL"));
    QVERIFY(m_session->reopenRoutesAt(m_route));
    editor::TF_Points points(*m_session);
    int runs = 0;
    editor::PointsHooks hooks;
    hooks.exportOtherSim = [&] { ++runs; };
    points.setHooks(hooks);
    points.show();
    QVERIFY(QTest::qWaitForWindowExposed(&points));
    auto *grid = child<ui::GridView>(&points, "GPPM");
    auto *menu = child<QMenu>(&points, "PopupMenu1");
    QTest::mouseClick(points.windowHandle(), Qt::RightButton, Qt::NoModifier,
                      grid->viewport()->mapTo(&points, QPoint(40, 40)));
    QTRY_VERIFY(menu->isVisible());
    QAction *entry = menu->findChild<QAction *>("NOtherSim");
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
    QCOMPARE(runs, 0);
    QCOMPARE(m_prompter->texts(), QStringList("Маршрут не расчитан!"));
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
}

void TestSimExportDialog::folderTypedInProposesTheTabletsFolder()
{
    showDialog();
    auto *pa3 = child<QRadioButton>(m_dialog.get(), "RPA3");
    auto *folder = child<QLineEdit>(m_dialog.get(), "PFolder");
    auto *file = child<QLineEdit>(m_dialog.get(), "PFile");
    QTest::mouseClick(pa3, Qt::LeftButton, Qt::NoModifier, QPoint(8, pa3->height() / 2));
    QVERIFY(pa3->isChecked());
    QCOMPARE(folder->text(), QString());
    QCOMPARE(file->text(), QString("UUEE-URSS.json"));

    replaceText(folder, QDir::toNativeSeparators(m_aircraft));
    const QString json = QDir::toNativeSeparators(m_aircraft + "/pa3/gen_plans/UUEE-URSS.json");
    QCOMPARE(file->text(), json);
    // The tablet loads fpln.json at start: the pilot types that name over it.
    const QString fpln = QDir::toNativeSeparators(m_aircraft + "/pa3/gen_plans/fpln.json");
    replaceText(file, fpln);
    QTest::keyClick(file, Qt::Key_Return);

    QCOMPARE(m_prompter->texts(), QStringList("Экспорт произведен успешно\r\n" + fpln));
    QVERIFY(!m_dialog->isVisible());
    const QJsonObject plan = QJsonDocument::fromJson(readBytes(fpln)).object();
    QCOMPARE(plan.value("Name").toString(), QString("UUEE-URSS"));
    QCOMPARE(interchange::readSimSettings(m_session->settingsFile().path()).xplaneAircraft,
             QDir::toNativeSeparators(m_aircraft));

    // Shown again: the format and the folder are still there.
    showDialog();
    QVERIFY(pa3->isChecked());
    QCOMPARE(folder->text(), QDir::toNativeSeparators(m_aircraft));
    QCOMPARE(file->text(), json);
}

void TestSimExportDialog::formatsProposeTheirFolders()
{
    QVERIFY(interchange::writeSimSettings(m_session->settingsFile().path(), {m_aircraft, QString()}));
    showDialog();
    auto *fms = child<QRadioButton>(m_dialog.get(), "RFMS");
    auto *fg = child<QRadioButton>(m_dialog.get(), "RFG");
    auto *folder = child<QLineEdit>(m_dialog.get(), "PFolder");
    auto *file = child<QLineEdit>(m_dialog.get(), "PFile");
    QVERIFY(fms->isChecked());
    QCOMPARE(folder->text(), QDir::toNativeSeparators(m_aircraft));
    QCOMPARE(file->text(), QDir::toNativeSeparators(m_xplane + "Output/FMS plans/UUEE-URSS.fms"));

    // FlightGear's folder is not known yet: the name alone, and "Экспорт"
    // asks where to put it, starting in the flight plan folder.
    QTest::keyClick(fms, Qt::Key_Down);
    QVERIFY(fg->isChecked());
    QCOMPARE(folder->text(), QString());
    QCOMPARE(file->text(), QString("UUEE-URSS.xml"));
    QVERIFY(QDir().mkpath(m_folder->file("routes")));
    const QString route = m_folder->file("routes/UUEE-URSS.xml");
    m_dialogs.answers << route;
    QTest::mouseClick(child<QPushButton>(m_dialog.get(), "BOK"), Qt::LeftButton);
    QCOMPARE(m_dialogs.calls.size(), 1);
    QVERIFY(m_dialogs.calls.first().save);
    QCOMPARE(m_dialogs.calls.first().name, QString("UUEE-URSS.xml"));
    QCOMPARE(m_dialogs.calls.first().filters, QString("Маршруты FlightGear (*.xml);;Все файлы (*.*)"));
    QVERIFY(readBytes(route).contains("<ident type=\"string\">ADL</ident>"));
    QVERIFY(!m_dialog->isVisible());
    // Where it went is the FlightGear route folder from now on.
    QCOMPARE(interchange::readSimSettings(m_session->settingsFile().path()).flightGearRoutes,
             QDir::toNativeSeparators(m_folder->file("routes")));
    QCOMPARE(interchange::readSimSettings(m_session->settingsFile().path()).xplaneAircraft,
             QDir::toNativeSeparators(m_aircraft));
}

void TestSimExportDialog::existingFileIsReplacedOnlyWhenAnswered()
{
    const QString path = m_folder->file("plan.fms");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    showDialog();
    auto *file = child<QLineEdit>(m_dialog.get(), "PFile");
    replaceText(file, QDir::toNativeSeparators(path));

    m_prompter->answer(false);
    QTest::keyClick(file, Qt::Key_Return);
    QCOMPARE(m_prompter->texts(),
             QStringList("Файл " + QDir::toNativeSeparators(path) + " уже существует.\r\nЗаменить существующий файл?"));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(readBytes(path), QByteArray("old"));

    m_prompter->answer(true);
    QTest::keyClick(file, Qt::Key_Return);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(readBytes(path).startsWith("I\n1100 Version\nCYCLE "));
}

void TestSimExportDialog::failureNamesTheFileAndKeepsTheDialog()
{
    showDialog();
    auto *file = child<QLineEdit>(m_dialog.get(), "PFile");
    const QString path = QDir::toNativeSeparators(m_folder->file("nowhere/UUEE-URSS.fms"));
    replaceText(file, path);
    QTest::mouseClick(child<QPushButton>(m_dialog.get(), "BOK"), Qt::LeftButton);
    QCOMPARE(m_prompter->texts(), QStringList("Ошибка записи в файл!\r\n" + path + "\r\nПапка не найдена."));
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_SimExport"));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(file->text(), path);
    QVERIFY(interchange::readSimSettings(m_session->settingsFile().path()).xplaneAircraft.isEmpty());
}

QTEST_MAIN(TestSimExportDialog)
#include "tst_simexportdialog.moc"
