#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include "base/Busy.h"
#include "editor/ExportCommands.h"
#include "editor/U_PSH.h"
#include "interchange/ExportI21.h"
#include "store/Session.h"
#include "ui/FileDialogs.h"
#include "ui/QtTranslation.h"
#include "ui/ReportPreviewDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

using namespace kx;
using namespace kx::store;

namespace {

class CountingBusy : public BusyIndicator
{
public:
    void show() override { ++depth; }
    void restore() override { --depth; }
    int depth = 0;
};

} // namespace

class TestExportCommands : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void chooserHasTwentyCellsInFourColumns();
    void chosenCellIsExportedAndStaysChosen();
    void cancelExportsNothing();
    void failedCellExportClosesTheChooser();
    void chooserSaysWhatEachCellHolds();

    void planDialogCancelled();
    void planNameGetsTheExtension();
    void planReplaceQuestionLoopsBackToTheDialog();
    void planExportFailureIsNotReportedAsSuccess();

    void i21ExportReportsSuccess();

    void routeSheetOpensWithoutBusyCursor();
    void routeSheetRefusedWithoutLayout();

private:
    void addCalculatedRoute();
    QPushButton *button(const char *name) const { return m_chooser->findChild<QPushButton *>(name); }

    std::unique_ptr<QWidget> m_editor;
    std::unique_ptr<editor::TF_PSH> m_chooser;
    QObject m_routeList;
    test::ScriptedFileDialogs m_dialogs;
};

void TestExportCommands::init()
{
    QVERIFY(openSession(test::SessionSetup::withSimulator()));
    m_session->settings.plnPath = m_folder->path();
    m_editor = std::make_unique<QWidget>();
    m_editor->setObjectName("TF_Points");
    m_chooser = std::make_unique<editor::TF_PSH>(*m_session, m_editor.get());
    m_routeList.setObjectName("TF_Main");
    m_dialogs = test::ScriptedFileDialogs();
    addCalculatedRoute();
}

void TestExportCommands::cleanup()
{
    QCOMPARE(m_prompter->unexpectedQuestions(), 0);
    m_chooser.reset();
    m_editor.reset();
    closeSession();
}

void TestExportCommands::addCalculatedRoute()
{
    test::Fixture fix(m_session->ADOC.sql());
    const qint64 route = fix.addRoute("R", 500.0, QDateTime::currentDateTime());
    QSqlQuery q(m_session->ADOC.sql());
    q.prepare("UPDATE Routes SET Vilka = 2.5, Dep_Name = 'Sheremetyevo', Dest_Name = 'Sochi', AP_V = 'UUEE', "
              "AP_P = 'URSS' WHERE Code = ?");
    q.addBindValue(route);
    QVERIFY(q.exec());
    for (int k = 0; k < 3; ++k) {
        const qint64 point = fix.addPoint(route, k + 1, fix.addPunkt(QString("P%1").arg(k), "N55*00.00", "E037*00.00"));
        q.prepare("UPDATE Points SET S = -100, OZMPU_V = 45 WHERE Code = ?");
        q.addBindValue(point);
        QVERIFY(q.exec());
    }
    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", route));
}

void TestExportCommands::chooserHasTwentyCellsInFourColumns()
{
    QCOMPARE(m_chooser->windowTitle(), QString("Экспорт в ПШ"));
    QVERIFY(m_chooser->findChild<QGroupBox *>()->title() == "Укажите номер ячейки для экспорта");
    QCOMPARE(button("BOK")->text(), QString("OK"));
    QCOMPARE(button("BCancel")->text(), QString("Отмена"));
    m_chooser->prepare(m_editor.get());
    m_chooser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chooser.get()));
    int down = 0;
    for (int cell = 1; cell <= 20; ++cell) {
        QPushButton *b = button(qPrintable(QString("B%1").arg(cell, 2, 10, QChar('0'))));
        QVERIFY(b);
        QCOMPARE(b->text(), QString::number(cell));
        QVERIFY(b->isCheckable());
        down += b->isChecked();
        // Down the columns: B01 ... B05 in the first, B06 ... B10 in the second.
        const auto at = [&](int other) {
            return button(qPrintable(QString("B%1").arg(other, 2, 10, QChar('0'))))->mapTo(m_chooser.get(), QPoint());
        };
        QCOMPARE(at(cell).x(), at((cell - 1) / 5 * 5 + 1).x());
        if (cell % 5 != 1)
            QVERIFY(at(cell).y() > at(cell - 1).y());
        if (cell > 5)
            QVERIFY(at(cell).x() > at(cell - 5).x());
    }
    QCOMPARE(down, 1);
    QVERIFY(button("B01")->isChecked());
    QCOMPARE(m_chooser->cellNumber(), 1);
    QTest::mouseClick(button("B07"), Qt::LeftButton);
    QVERIFY(button("B07")->isChecked());
    QVERIFY(!button("B01")->isChecked());
}

void TestExportCommands::chosenCellIsExportedAndStaysChosen()
{
    m_chooser->prepare(m_editor.get());
    m_chooser->show();
    QTest::mouseClick(button("B11"), Qt::LeftButton);
    QCOMPARE(m_chooser->cellNumber(), 11);
    QTest::mouseClick(button("BOK"), Qt::LeftButton);
    QVERIFY(!m_chooser->isVisible());
    QCOMPARE(m_chooser->result(), int(QDialog::Accepted));
    QCOMPARE(test::readBytes(m_folder->fsPath() + "Gauges/Tu154_cfg/nvu_dat_11.dat").size(), 4096);
    // The success names the file written.
    QCOMPARE(m_prompter->texts(), QStringList{"Экспорт в ячейку 11 произведен успешно\r\n"
                                              + QDir::toNativeSeparators(m_folder->fsPath() + "Gauges/Tu154_cfg/nvu_dat_11.dat")});
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Info);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));

    m_chooser->show();
    QVERIFY(button("B11")->isChecked());
    QCOMPARE(m_chooser->cellNumber(), 11);
    m_chooser->reject();
}

void TestExportCommands::cancelExportsNothing()
{
    m_chooser->prepare(m_editor.get());
    m_chooser->show();
    QTest::mouseClick(button("B05"), Qt::LeftButton);
    QTest::mouseClick(button("BCancel"), Qt::LeftButton);
    QVERIFY(!m_chooser->isVisible());
    QVERIFY(QDir(m_folder->fsPath() + "Gauges/Tu154_cfg").isEmpty());
    QVERIFY(m_prompter->messages().isEmpty());
    m_chooser->show();
    QCOMPARE(m_chooser->cellNumber(), 5);
    m_chooser->reject();
}

void TestExportCommands::failedCellExportClosesTheChooser()
{
    QVERIFY(QDir(m_folder->fsPath() + "Gauges/Tu154_cfg").removeRecursively());
    m_chooser->prepare(m_editor.get());
    m_chooser->show();
    QTest::mouseClick(button("BOK"), Qt::LeftButton);
    QVERIFY(!m_chooser->isVisible());
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка записи в файл!\r\n"
                                              + QDir::toNativeSeparators(m_folder->fsPath() + "Gauges/Tu154_cfg/nvu_dat_1.dat")
                                              + "\r\nПапка не найдена."});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_PSH"));
}

void TestExportCommands::chooserSaysWhatEachCellHolds()
{
    ui::useRussianLocale();
    const QString folder = m_folder->fsPath() + "Gauges/Tu154_cfg/";
    const auto cellFile = [&](int cell) { return folder + QString("nvu_dat_%1.dat").arg(cell); };
    // Cell 3 written by the chooser, as a pilot writes it.
    m_chooser->prepare(m_editor.get());
    m_chooser->show();
    QTest::mouseClick(button("B03"), Qt::LeftButton);
    QTest::mouseClick(button("BOK"), Qt::LeftButton);
    QVERIFY(!m_chooser->isVisible());
    // And cells other programs left: a route of 7 points, a file that is no
    // cell, a cell of no route.
    const auto write = [&](int cell, const QByteArray &bytes) {
        QFile file(cellFile(cell));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    };
    QByteArray seven(4096, '\0');
    qToLittleEndian<double>(7.0, seven.data());
    write(5, seven);
    write(6, QByteArray(100, 'x'));
    write(7, QByteArray(4096, '\0'));
    const QDateTime written(QDate(2026, 12, 10), QTime(14, 5, 9));
    for (int cell : {3, 5, 6, 7}) {
        QFile file(cellFile(cell));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    }

    m_chooser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chooser.get()));
    QCOMPARE(m_chooser->cellText(3), QString("10.12.2026 14:05:09\nR"));
    QCOMPARE(m_chooser->cellText(5), QString("10.12.2026 14:05:09\nППМ: 7"));
    QCOMPARE(m_chooser->cellText(6), QString("10.12.2026 14:05:09\nнеизвестный формат"));
    QCOMPARE(m_chooser->cellText(7), QString("10.12.2026 14:05:09\nбез маршрута"));
    QCOMPARE(m_chooser->cellText(1), QString("пусто"));
    QCOMPARE(m_chooser->findChild<QLabel *>("L03")->text(), m_chooser->cellText(3));

    // The chosen cell stands out in the selection colour; a click on a cell's
    // text chooses it as a click on its number does.
    const QColor highlight = m_chooser->palette().color(QPalette::Active, QPalette::Highlight);
    const auto ground = [&](const char *label) {
        QWidget *tile = m_chooser->findChild<QLabel *>(label)->parentWidget();
        return tile->grab().toImage().pixelColor(1, 1);
    };
    QVERIFY(button("B03")->isChecked());
    QCOMPARE(ground("L03"), highlight);
    QTest::mouseClick(m_chooser->findChild<QLabel *>("L08"), Qt::LeftButton);
    QVERIFY(button("B08")->isChecked());
    QCOMPARE(m_chooser->cellNumber(), 8);
    QCOMPARE(ground("L08"), highlight);
    QVERIFY(ground("L03") != highlight);
    m_chooser->reject();

    // A route changed since it was written is no longer named by the cell.
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec("UPDATE Points SET S = -101 WHERE Number = 1"));
    m_chooser->show();
    QCOMPARE(m_chooser->cellText(3), QString("10.12.2026 14:05:09\nППМ: 3"));
    m_chooser->reject();
}

void TestExportCommands::planDialogCancelled()
{
    editor::runPlnExport(*m_session, m_dialogs, m_editor.get(), &m_routeList);
    QCOMPARE(m_dialogs.calls.size(), 1);
    QCOMPARE(m_dialogs.calls.first().folder, m_folder->path());
    QCOMPARE(m_dialogs.calls.first().name, QString("IFR Sheremetyevo to Sochi (by Kalyx).PLN"));
    QCOMPARE(m_dialogs.calls.first().filters, QString("Файлы планов полетов FS2004 (*.PLN)"));
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(QDir(m_folder->path()).entryList({"*.PLN", "*.pln"}, QDir::Files), QStringList());
}

void TestExportCommands::planNameGetsTheExtension()
{
    m_dialogs.answers = {m_folder->file("plan.txt")};
    editor::runPlnExport(*m_session, m_dialogs, m_editor.get(), &m_routeList);
    QVERIFY(test::readBytes(m_folder->file("plan.txt.PLN")).startsWith("[flightplan]\r\n"));
    QVERIFY(!QFile::exists(m_folder->file("plan.txt")));
    QCOMPARE(m_prompter->texts(),
             QStringList{"Экспорт произведен успешно\r\n" + QDir::toNativeSeparators(m_folder->file("plan.txt.PLN"))});
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Info);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QCOMPARE(m_session->settings.plnPath, m_folder->path()); // the export does not move it
}

void TestExportCommands::planReplaceQuestionLoopsBackToTheDialog()
{
    QDir().mkpath(m_folder->file("other"));
    const QString existing = m_folder->file("other/old.PLN");
    QFile old(existing);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();

    // No: the dialog comes back on the name chosen last; then a new name.
    m_prompter->answer(false);
    m_dialogs.answers = {existing, m_folder->file("other/new")};
    editor::runPlnExport(*m_session, m_dialogs, m_editor.get(), &m_routeList);
    QCOMPARE(m_dialogs.calls.size(), 2);
    QCOMPARE(QDir(m_dialogs.calls.at(1).folder), QDir(m_folder->file("other")));
    QCOMPARE(m_dialogs.calls.at(1).name, QString("old.PLN"));
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Question);
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QCOMPARE(m_prompter->texts(),
             (QStringList{"Файл " + existing + " уже существует.\r\nЗаменить существующий файл?",
                          "Экспорт произведен успешно\r\n" + QDir::toNativeSeparators(m_folder->file("other/new.PLN"))}));
    QCOMPARE(test::readBytes(existing), QByteArray("old"));
    QVERIFY(test::readBytes(m_folder->file("other/new.PLN")).startsWith("[flightplan]"));

    // Yes: the existing file is replaced.
    m_prompter->clear();
    m_prompter->answer(true);
    m_dialogs.answers = {existing};
    editor::runPlnExport(*m_session, m_dialogs, m_editor.get(), &m_routeList);
    QCOMPARE(m_prompter->texts().last(), "Экспорт произведен успешно\r\n" + QDir::toNativeSeparators(existing));
    QCOMPARE(test::readBytes(existing), test::readBytes(m_folder->file("other/new.PLN")));
}

void TestExportCommands::planExportFailureIsNotReportedAsSuccess()
{
    QSqlQuery q(m_session->ADOC.sql());
    QVERIFY(q.exec("UPDATE Routes SET FL = NULL"));
    const QVariant code = m_session->currentRouteCode();
    QVERIFY(m_session->reopenRoutesAt(code));
    m_dialogs.answers = {m_folder->file("plan.PLN")};
    editor::runPlnExport(*m_session, m_dialogs, m_editor.get(), &m_routeList);
    QCOMPARE(m_prompter->texts(), QStringList{"Ошибка записи в файл!\r\n" + QDir::toNativeSeparators(m_folder->file("plan.PLN"))
                                              + "\r\nЭшелон, тип маршрута или превышение точки маршрута не число."});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Main"));
    QVERIFY(!QFile::exists(m_folder->file("plan.PLN")));
}

void TestExportCommands::i21ExportReportsSuccess()
{
    editor::runI21Export(*m_session, m_editor.get());
    QCOMPARE(m_prompter->texts(), QStringList{"Экспорт произведен успешно\r\n"
                                              + QDir::toNativeSeparators(interchange::i21GaugeFile(m_session->settings.fsPath))});
    QCOMPARE(m_prompter->messages().first().owner, QString("TF_Points"));
    QVERIFY(test::readBytes(m_folder->fsPath() + "Gauges/i21_cfg/I21_PPM.CFG").contains("ppm_03=55*00.00,037*00.00"));

    m_prompter->clear();
    QVERIFY(QFile::remove(m_folder->fsPath() + "Gauges/i21_cfg/I21_PPM.CFG"));
    editor::runI21Export(*m_session, m_editor.get());
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().first().kind, test::RecordingPrompter::Kind::Error);
}

void TestExportCommands::routeSheetOpensWithoutBusyCursor()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    QVERIFY(QFile::copy(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), folder.file(QStringLiteral("pp.fr3"))));
    test::RecordingPrompter prompter;
    CountingBusy busy;
    store::Session session(folder.path(), prompter, &busy);
    QVERIFY(session.ADOC.open(session.databasePath()));
    test::Fixture fix(session.ADOC.sql());
    const qint64 a = fix.addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.33"), QStringLiteral("E037*24.87"));
    const qint64 b = fix.addPunkt(QStringLiteral("URSS"), QStringLiteral("N43*26.95"), QStringLiteral("E039*56.42"));
    const qint64 route = fix.addRoute(QStringLiteral("R"), 1200.0, QDateTime::currentDateTime());
    fix.addPoint(route, 1, a);
    fix.addPoint(route, 2, b);
    QVERIFY(session.openRoutes());
    store::Query qp(session.ADOC, QStringLiteral("QP"));
    test::ScriptedFileDialogs files;
    QObject routeList;

    int busyWhileShown = -1;
    int pagesShown = -1;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ui::ReportPreviewDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        busyWhileShown = busy.depth;
        pagesShown = dialog->pageCount();
        dialog->reject();
    });
    QVERIFY(editor::showRouteSheet(session, qp, &routeList, files, nullptr));
    QCOMPARE(pagesShown, 1);
    QCOMPARE(busyWhileShown, 0);
    QCOMPARE(busy.depth, 0);
    QVERIFY(prompter.messages().isEmpty());
    QVERIFY(!qp.isOpen());
}

void TestExportCommands::routeSheetRefusedWithoutLayout()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    test::RecordingPrompter prompter;
    CountingBusy busy;
    store::Session session(folder.path(), prompter, &busy);
    QVERIFY(session.ADOC.open(session.databasePath()));
    test::Fixture fix(session.ADOC.sql());
    const qint64 route = fix.addRoute(QStringLiteral("R"), 1200.0, QDateTime::currentDateTime());
    fix.addPoint(route, 1, fix.addPunkt(QStringLiteral("UUEE"), QStringLiteral("N55*58.33"), QStringLiteral("E037*24.87")));
    QVERIFY(session.openRoutes());
    store::Query qp(session.ADOC, QStringLiteral("QP"));
    test::ScriptedFileDialogs files;
    QObject routeList;
    routeList.setObjectName(QStringLiteral("TF_Main"));

    QVERIFY(!editor::showRouteSheet(session, qp, &routeList, files, nullptr));
    QCOMPARE(prompter.texts(), QStringList{"Ошибка открытия формы отчета pp.fr3!\r\npp.fr3: файл не найден"});
    QCOMPARE(prompter.messages().at(0).owner, QStringLiteral("TF_Main"));
    QCOMPARE(busy.depth, 0);
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
