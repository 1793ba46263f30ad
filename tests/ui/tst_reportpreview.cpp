#include "ui/FileDialogs.h"
#include "ui/ReportPreviewDialog.h"

#include "reports/core/LayoutParser.h"
#include "reports/core/RouteSheetDocument.h"
#include "store/Session.h"

#include "BuildMachineTools.h"
#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedFileDialogs.h"
#include "PdfText.h"
#include "TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

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

// The delivered route sheet of a route of so many points.
std::unique_ptr<reports::RouteSheetDocument> sheet(int points)
{
    return std::make_unique<reports::RouteSheetDocument>(deliveredLayout(), input(points));
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
    void pageSetupKeepsTheWholeSheet_data();
    void pageSetupKeepsTheWholeSheet();
};

void TestReportPreview::showsThePagesAndNavigates()
{
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(sheet(30), prompter, files);
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
    ui::ReportPreviewDialog dialog(sheet(3), prompter, files);
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
    ui::ReportPreviewDialog dialog(sheet(30), prompter, files);

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
    KX_NEEDS_BUILD_MACHINE_TOOL("pdfinfo");
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
    ui::ReportPreviewDialog dialog(sheet(2), prompter, files);
    const QString target = folder.file(QStringLiteral("no such folder/sheet.pdf"));
    files.answers = {target};
    dialog.saveAsPdf();
    QCOMPARE(prompter.texts(), QStringList{"Ошибка записи в файл!"});
    QCOMPARE(prompter.messages().at(0).owner, QStringLiteral("ReportPreview"));
    QVERIFY(!QFile::exists(target));
}

void TestReportPreview::pageSetupKeepsTheWholeSheet_data()
{
    QTest::addColumn<QString>("orientation"); // the radio button chosen in the page setup
    QTest::addColumn<QString>("note");
    QTest::newRow("landscape") << "landscape" << "";
    QTest::newRow("portrait") << "portrait" << "Лист уменьшен до 69 %, чтобы уместиться по ширине страницы";
}

// Page setup chosen as a person does (the tool button, the orientation, OK),
// then the sheet printed: everything up to the last column is on the paper,
// inside the margins, and a sheet made smaller says so.
void TestReportPreview::pageSetupKeepsTheWholeSheet()
{
#ifdef Q_OS_WIN
    QSKIP("Windows shows its own page setup dialog, which has no widgets to drive");
#endif
    QFETCH(QString, orientation);
    QFETCH(QString, note);
    test::TestFolder folder;
    test::RecordingPrompter prompter;
    test::ScriptedFileDialogs files;
    ui::ReportPreviewDialog dialog(sheet(3), prompter, files);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    bool chosen = false;
    QTimer::singleShot(0, this, [&] {
        auto *setup = qobject_cast<QPageSetupDialog *>(QApplication::activeModalWidget());
        if (!setup)
            return;
        auto *radio = setup->findChild<QRadioButton *>(orientation);
        if (radio && QTest::qWaitForWindowExposed(setup)) {
            // On its round mark: the button takes clicks on its mark and caption only.
            QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
            chosen = radio->isChecked();
        }
        setup->accept();
    });
    auto *tools = dialog.findChild<QToolBar *>(QStringLiteral("PreviewTools"));
    QWidget *setupButton = tools->widgetForAction(dialog.findChild<QAction *>(QStringLiteral("APageSetup")));
    QVERIFY(setupButton);
    QTest::mouseClick(setupButton, Qt::LeftButton);
    QVERIFY(chosen);
    const bool portrait = orientation == u"portrait";
    QCOMPARE(dialog.printer().pageLayout().orientation(), portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    auto *scale = dialog.findChild<QLabel *>(QStringLiteral("LScale"));
    QVERIFY(scale);
    QCOMPARE(scale->isVisible(), !note.isEmpty());
    QCOMPARE(scale->text(), note);

    // Printed through the preview's own printer, into a PDF file.
    const QString pdf = folder.file(QStringLiteral("printed.pdf"));
    dialog.printer().setOutputFormat(QPrinter::PdfFormat);
    dialog.printer().setOutputFileName(pdf);
    dialog.preview()->print();
    QList<test::PdfPage> pages;
    QVERIFY(test::pdfWords(pdf, pages));
    QCOMPARE(pages.size(), 1);
    const double pt = 72 / 25.4;
    const QSizeF paper = portrait ? QSizeF(210, 297) : QSizeF(297, 210);
    QVERIFY(qAbs(pages[0].size.width() - paper.width() * pt) < 1);
    const QMarginsF margins = dialog.printer().pageLayout().margins(QPageLayout::Point);
    const QRectF printing = QRectF(QPointF(0, 0), pages[0].size).marginsRemoved(margins);
    QStringList words;
    for (const test::PdfWord &w : pages[0].words) {
        QVERIFY2(printing.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box),
                 qPrintable(QStringLiteral("%1 at %2..%3 pt").arg(w.text).arg(w.box.left()).arg(w.box.right())));
        words << w.text;
    }
    for (const char *word : {"Маяк", "РСБН", "Sm", "Zm", "Угол", "карты", "Am", "Dm", "пр.", "ост.", "P3"})
        QVERIFY2(words.contains(QString::fromUtf8(word)), word);
    QCOMPARE(words.count(QStringLiteral("№")), 2);
    QVERIFY(prompter.messages().isEmpty());
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
