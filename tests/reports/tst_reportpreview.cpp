#include "ui/FileDialogs.h"
#include "ui/ReportPreviewDialog.h"

#include "base/Busy.h"
#include "reports/LayoutParser.h"
#include "store/Session.h"

#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

class CountingBusy : public BusyIndicator
{
public:
    void show() override { ++depth; }
    void restore() override { --depth; }
    int depth = 0;
};

reports::ReportInput input(int points)
{
    reports::ReportInput in;
    in.variables = {{"Name", QStringLiteral("UUEE/URSS")}, {"AP_V", QStringLiteral("UUEE")}, {"AP_P", QStringLiteral("URSS")},
                    {"SO", 1498.8}, {"Vilka", 7.9}, {"FL", 9449.0}, {"VName", QStringLiteral("UUEE")}, {"VH", 622.0},
                    {"VATIS", 0.0}, {"VFLPer", 0.0}, {"VHPer", 0.0}, {"VRSBN", QStringLiteral("  -  ")},
                    {"PName", QStringLiteral("URSS")}, {"PH", 89.0}, {"PATIS", 0.0}, {"PFLPer", 0.0},
                    {"PHPer", 0.0}, {"PRSBN", QStringLiteral("  -  ")}};
    QList<QVariantMap> rows;
    const QStringList columns{"Punkts.ID", "Punkts.Name", "Type", "Freq", "LAT", "LON", "MS", "OZMPU_V", "OZMPU_P",
                              "S", "LUR", "P_V", "P_P", "MPU", "IPU", "RSBN.ID", "RSBN.Name", "Sm", "Zm", "UKm",
                              "Am", "Dm", "Sp"};
    for (int i = 1; i <= points; ++i) {
        QVariantMap row{{"Number", qlonglong(i)}};
        for (const QString &c : columns)
            row.insert(c, QVariant());
        row.insert(QStringLiteral("Punkts.ID"), QStringLiteral("P%1").arg(i));
        rows << row;
    }
    in.datasets.insert(QStringLiteral("FRDB1"), rows);
    in.datasets.insert(QStringLiteral("FRDB2"), {});
    in.datasets.insert(QStringLiteral("FRDB3"), {});
    return in;
}

reports::Layout deliveredLayout()
{
    reports::Layout layout;
    QString error;
    if (!reports::loadLayout(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), layout, &error))
        qWarning("%s", qPrintable(error));
    return layout;
}

} // namespace

class TestReportPreview : public QObject
{
    Q_OBJECT
private slots:
    void showsThePagesAndNavigates();
    void zooms();
    void savesAsPdf();
    void failedSaveIsTold();
    void routeSheetOpensWithoutBusyCursor();
    void routeSheetRefusedWithoutLayout();
};

void TestReportPreview::showsThePagesAndNavigates()
{
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(deliveredLayout(), input(30), prompter, files);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.pageCount(), 2);
    QCOMPARE(dialog.printer().pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(dialog.printer().pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(dialog.currentPage(), 1);

    auto *next = dialog.findChild<QAction *>(QStringLiteral("ANextPage"));
    auto *prior = dialog.findChild<QAction *>(QStringLiteral("APriorPage"));
    auto *first = dialog.findChild<QAction *>(QStringLiteral("AFirstPage"));
    auto *last = dialog.findChild<QAction *>(QStringLiteral("ALastPage"));
    auto *number = dialog.findChild<QSpinBox *>(QStringLiteral("PPage"));
    QVERIFY(next && prior && first && last && number);
    QVERIFY(!prior->isEnabled());
    QVERIFY(next->isEnabled());
    QCOMPARE(number->maximum(), 2);

    next->trigger();
    QCOMPARE(dialog.currentPage(), 2);
    QCOMPARE(number->value(), 2);
    QVERIFY(!next->isEnabled());
    QVERIFY(!last->isEnabled());
    QVERIFY(prior->isEnabled());
    first->trigger();
    QCOMPARE(dialog.currentPage(), 1);
    last->trigger();
    QCOMPARE(dialog.currentPage(), 2);
    prior->trigger();
    QCOMPARE(dialog.currentPage(), 1);
    number->setValue(2);
    QCOMPARE(dialog.currentPage(), 2);
    QVERIFY(prompter.messages().isEmpty());
}

void TestReportPreview::zooms()
{
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(deliveredLayout(), input(3), prompter, files);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.pageCount(), 1);
    const qreal start = dialog.preview()->zoomFactor();
    dialog.findChild<QAction *>(QStringLiteral("AZoomIn"))->trigger();
    QVERIFY(dialog.preview()->zoomFactor() > start);
    dialog.findChild<QAction *>(QStringLiteral("AZoomOut"))->trigger();
    dialog.findChild<QAction *>(QStringLiteral("AZoomOut"))->trigger();
    QVERIFY(dialog.preview()->zoomFactor() < start);
    dialog.findChild<QAction *>(QStringLiteral("AFitPage"))->trigger();
    QCOMPARE(dialog.preview()->zoomMode(), QPrintPreviewWidget::FitInView);
    dialog.findChild<QAction *>(QStringLiteral("AFitWidth"))->trigger();
    QCOMPARE(dialog.preview()->zoomMode(), QPrintPreviewWidget::FitToWidth);
}

void TestReportPreview::savesAsPdf()
{
    test::TestFolder folder;
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(deliveredLayout(), input(30), prompter, files);

    // Cancelled: nothing written, nothing said.
    dialog.findChild<QAction *>(QStringLiteral("ASavePdf"))->trigger();
    QCOMPARE(files.calls.size(), 1);
    QCOMPARE(files.calls.last().name, QStringLiteral("UUEE_URSS.pdf"));
    QCOMPARE(files.calls.last().filters, QStringLiteral("PDF (*.pdf)"));
    QVERIFY(prompter.messages().isEmpty());

    // The extension is added when the name has none; the folder is remembered.
    files.answers = {folder.file(QStringLiteral("sheet"))};
    dialog.findChild<QAction *>(QStringLiteral("ASavePdf"))->trigger();
    QVERIFY(prompter.messages().isEmpty());
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {folder.file(QStringLiteral("sheet.pdf"))});
    QVERIFY2(info.waitForFinished(60000) && info.exitCode() == 0, "pdfinfo (poppler-utils) reads the file");
    const QString details = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(details));
    QVERIFY2(details.contains(QRegularExpression(QStringLiteral("Page size:.*\\(A4\\)"))), qPrintable(details));
    dialog.saveAsPdf();
    QCOMPARE(QDir(files.calls.last().folder).canonicalPath(), QDir(folder.path()).canonicalPath());
}

void TestReportPreview::failedSaveIsTold()
{
    test::TestFolder folder;
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(deliveredLayout(), input(2), prompter, files);
    const QString target = folder.file(QStringLiteral("no such folder/sheet.pdf"));
    files.answers = {target};
    dialog.saveAsPdf();
    QCOMPARE(prompter.texts(), QStringList{"Ошибка записи в файл!"});
    QCOMPARE(prompter.messages().at(0).owner, QStringLiteral("ReportPreview"));
    QVERIFY(!QFile::exists(target));
}

void TestReportPreview::routeSheetOpensWithoutBusyCursor()
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
    QVERIFY(ui::showRouteSheet(session, qp, &routeList, files, nullptr));
    QCOMPARE(pagesShown, 1);
    QCOMPARE(busyWhileShown, 0);
    QCOMPARE(busy.depth, 0);
    QVERIFY(prompter.messages().isEmpty());
    QVERIFY(!qp.isOpen());
}

void TestReportPreview::routeSheetRefusedWithoutLayout()
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

    QVERIFY(!ui::showRouteSheet(session, qp, &routeList, files, nullptr));
    QCOMPARE(prompter.texts(), QStringList{"Ошибка открытия формы отчета pp.fr3!\r\npp.fr3: файл не найден"});
    QCOMPARE(prompter.messages().at(0).owner, QStringLiteral("TF_Main"));
    QCOMPARE(busy.depth, 0);
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
