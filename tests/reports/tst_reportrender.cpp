#include "reports/core/LayoutParser.h"
#include "reports/core/PagePainter.h"
#include "reports/core/ReportBuilder.h"

#include "BuildMachineTools.h"
#include "PaintRecorder.h"
#include "PdfText.h"
#include "TestFolder.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>

using namespace kx;
using namespace kx::reports;

namespace {

// A small page (80 mm of printing height) with every kind of band, each band
// holding one text that names it.
QString bandLayout(double titleHeight)
{
    return QStringLiteral("kalyx-report 1\n"
                          "page width=100 height=100 margins=10\n"
                          "band page-header height=5 {\n  text x=0 y=0 w=80 h=5 text=\"PH\"\n}\n"
                          "band title height=%1 {\n  text x=0 y=0 w=80 h=5 text=\"T\"\n}\n"
                          "band header height=5 repeat {\n  text x=0 y=0 w=80 h=5 text=\"H\"\n}\n"
                          "band data dataset=Rows height=10 {\n  text x=0 y=0 w=80 h=5 text=\"[N]\"\n}\n"
                          "band summary height=20 {\n  text x=0 y=0 w=80 h=5 text=\"S\"\n}\n"
                          "band page-footer height=5 {\n  text x=0 y=0 w=80 h=5 text=\"F\"\n}\n")
        .arg(titleHeight);
}

QList<QVariantMap> numberedRows(int count, const QString &column = QStringLiteral("N"))
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(QVariantMap{{column, qlonglong(i)}});
    return rows;
}

// Page texts as "PH T H 1 2 F | PH H 3 S F".
QString pagesText(const PreparedReport &report)
{
    QStringList pages;
    for (int p = 0; p < report.pages.size(); ++p)
        pages << report.texts(p).join(u' ');
    return pages.join(QStringLiteral(" | "));
}

const PageItem *findText(const PreparedReport &report, int page, const QString &text)
{
    for (const PageItem &item : report.pages.at(page).items)
        if (item.kind == PageItem::Kind::Text && item.text == text)
            return &item;
    return nullptr;
}

QVariantMap point(int number, const QString &id, const QString &name, const QVariant &s, const QVariant &sp,
                  const QVariant &beaconId, const QVariant &beaconName)
{
    const QVariant null(QMetaType(QMetaType::Double));
    const bool last = s.isNull();
    return {{"Number", qlonglong(number)}, {"Punkts.ID", id},          {"Punkts.Name", name},
            {"Type", QStringLiteral("VOR")}, {"Freq", 114.1},          {"LAT", QStringLiteral("N55*58.33")},
            {"LON", QStringLiteral("E037*24.87")}, {"MS", 11.3},        {"S", s},
            {"Sp", sp},                      {"OZMPU_V", last ? null : QVariant(45.2)},
            {"OZMPU_P", last ? null : QVariant(355.9)}, {"LUR", last ? QVariant() : QVariant(qlonglong(10))},
            {"P_V", 1.2}, {"P_P", -3.4}, {"MPU", 181.3}, {"IPU", 192.6}, {"RSBN.ID", beaconId},
            {"RSBN.Name", beaconName}, {"Sm", beaconId.isNull() ? null : QVariant(-12.5)},
            {"Zm", beaconId.isNull() ? null : QVariant(45.1)}, {"UKm", beaconId.isNull() ? null : QVariant(7.3)},
            {"Am", beaconId.isNull() ? null : QVariant(88.2)}, {"Dm", beaconId.isNull() ? null : QVariant(130.4)}};
}

// A route of the given number of points between two airports, as the route
// editor hands it over.
ReportInput routeInput(int points)
{
    ReportInput in;
    in.variables = {{"Name", QStringLiteral("UUEE-URSS")},
                    {"AP_V", QStringLiteral("UUEE")},
                    {"AP_P", QStringLiteral("URSS")},
                    {"SO", 1498.8},
                    {"Vilka", 7.9},
                    {"FL", qlonglong(9449)},
                    {"VName", QStringLiteral("UUEE  -  Шереметьево")},
                    {"VH", 622.0},
                    {"VATIS", 0.0},
                    {"VFLPer", qlonglong(1500)},
                    {"VHPer", 0.0},
                    {"VRSBN", QStringLiteral("NP  -  37 Шереметьево")},
                    {"PName", QStringLiteral("URSS")},
                    {"PH", 89.0},
                    {"PATIS", 128.1},
                    {"PFLPer", 0.0},
                    {"PHPer", 0.0},
                    {"PRSBN", QStringLiteral("  -  ")}};
    QList<QVariantMap> rows;
    for (int i = 1; i <= points; ++i) {
        const bool last = i == points;
        rows << point(i, i == 1 ? QStringLiteral("UUEE") : last ? QStringLiteral("URSS") : QStringLiteral("WPT%1").arg(i),
                      QStringLiteral("Пункт %1").arg(i), last ? QVariant(QMetaType(QMetaType::Double)) : QVariant(-50.0 * i),
                      QVariant(50.0 * i * (i - 1) / 2), i % 2 ? QVariant(QStringLiteral("NP")) : QVariant(),
                      i % 2 ? QVariant(QStringLiteral("37 Шереметьево")) : QVariant());
    }
    in.datasets.insert(QStringLiteral("FRDB1"), rows);
    in.datasets.insert(QStringLiteral("FRDB2"), {QVariantMap{{"Runway", QStringLiteral("06L")}, {"DPRM", 0.0},
                                                             {"BPRM", 0.0}, {"ILSAngle", qlonglong(64)},
                                                             {"ILSFreq", 111.1}, {"IZPU_P", 73.2},
                                                             {"Zm_P", 2.1}, {"Sm_P", -5.3}}});
    in.datasets.insert(QStringLiteral("FRDB3"), {});
    in.fields.insert(QStringLiteral("FRDB3"), {"Code", "AP", "Runway", "DPRM", "BPRM", "ILSAngle", "ILSFreq", "Type",
                                               "IZPU_P", "Zm_P", "Sm_P"});
    return in;
}

// Runs a command-line tool; fails the test when it is not installed.
bool runTool(const QString &program, const QStringList &args, QString &output)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        qWarning("%s is needed (Debian package poppler-utils)", qPrintable(program));
        return false;
    }
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    output = QString::fromUtf8(p.readAllStandardOutput());
    return true;
}

bool darkPixel(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

} // namespace

class TestReportRender : public QObject
{
    Q_OBJECT
private slots:
    void pagination_data();
    void pagination();
    void routeSheetPagination_data();
    void routeSheetPagination();
    void subReportStretchesItsBand_data();
    void subReportStretchesItsBand();
    void namesResolveToRowsThenVariables();
    void preparingFails_data();
    void preparingFails();
    void textIsClippedToItsCell_data();
    void textIsClippedToItsCell();
    void longTextEndsInAnEllipsisInsideItsFrame_data();
    void longTextEndsInAnEllipsisInsideItsFrame();
    void lineWidthsArePointsOnTheDevice_data();
    void lineWidthsArePointsOnTheDevice();
    void longRoutePdfContinuesOnAnotherPage();
    void wholeSheetOnThePaper_data();
    void wholeSheetOnThePaper();
    void workIsBounded_data();
    void workIsBounded();
    void damagedLayoutsGiveASheetOrAReason();
};

void TestReportRender::pagination_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("titleHeight");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no rows") << 0 << 10.0 << "PH T H S F";
    QTest::newRow("all on one page") << 3 << 10.0 << "PH T H 1 2 3 S F";
    QTest::newRow("summary moves to the next page") << 5 << 10.0 << "PH T H 1 2 3 4 5 F | PH S F";
    QTest::newRow("rows continue under a repeated header") << 8 << 10.0 << "PH T H 1 2 3 4 5 F | PH H 6 7 8 S F";
    QTest::newRow("third page") << 11 << 10.0 << "PH T H 1 2 3 4 5 F | PH H 6 7 8 9 10 11 F | PH S F";
    QTest::newRow("header stays with the first row") << 2 << 60.0 << "PH T F | PH H 1 2 S F";
}

void TestReportRender::pagination()
{
    QFETCH(int, rows);
    QFETCH(double, titleHeight);
    QFETCH(QString, expected);
    Layout layout;
    QString error;
    QVERIFY2(parseLayout(bandLayout(titleHeight), layout, &error), qPrintable(error));
    ReportInput input;
    input.datasets.insert(QStringLiteral("Rows"), numberedRows(rows));
    input.fields.insert(QStringLiteral("Rows"), {QStringLiteral("N")});
    PreparedReport report;
    QVERIFY2(prepareReport(layout, input, report, &error), qPrintable(error));
    QCOMPARE(pagesText(report), expected);

    for (int p = 0; p < report.pages.size(); ++p) {
        // The footer sits at the bottom of every page, the page header at the top.
        QCOMPARE(findText(report, p, QStringLiteral("F"))->rect.y(), 75.0);
        QCOMPARE(findText(report, p, QStringLiteral("PH"))->rect.y(), 0.0);
        // Nothing but the footer reaches below the usable height.
        for (const PageItem &item : report.pages.at(p).items)
            if (item.text != u"F")
                QVERIFY2(item.rect.bottom() <= 75.0, qPrintable(item.text));
    }
    if (rows == 8) {
        QCOMPARE(findText(report, 1, QStringLiteral("H"))->rect.y(), 5.0);
        QCOMPARE(findText(report, 1, QStringLiteral("6"))->rect.y(), 10.0);
        QCOMPARE(findText(report, 1, QStringLiteral("S"))->rect.y(), 40.0);
    }
}

void TestReportRender::routeSheetPagination_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("titleHeight"); // 14 in the delivered layout
    QTest::addColumn<QString>("expected");
    QTest::newRow("one page") << 3 << 14.0 << "title header 1-3 airports";
    QTest::newRow("rows continue under the repeated header") << 30 << 14.0 << "title header 1-19 | header 20-30 airports";
    QTest::newRow("the footer's height stays free") << 30 << 10.0 << "title header 1-19 | header 20-30 airports";
    QTest::newRow("airports move to the next page") << 19 << 14.0 << "title header 1-19 | airports";
    QTest::newRow("header kept with its first row") << 3 << 170.0 << "title | header 1-3 airports";
    QTest::newRow("no points: the header still printed") << 0 << 14.0 << "title header airports";
}

// The delivered sheet broken into pages, from the laid-out bands alone (their
// heights are the layout's, whatever fonts the machine has): what each page
// holds, and where.
void TestReportRender::routeSheetPagination()
{
    QFETCH(int, points);
    QFETCH(double, titleHeight);
    QFETCH(QString, expected);
    Layout layout;
    QString error;
    QVERIFY2(loadLayout(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), layout, &error), qPrintable(error));
    for (Band &band : layout.bands)
        if (band.kind == BandKind::Title)
            band.height = titleHeight;
    PreparedReport report;
    QVERIFY2(prepareReport(layout, routeInput(points), report, &error), qPrintable(error));

    // The printing area is 190 high; the empty page footer keeps its 6 free.
    const double usable = 190 - 6;
    const double headerHeight = 8.3;
    const double rowHeight = 8.4;
    QStringList pages;
    for (const PreparedPage &page : report.pages) {
        QStringList held;
        QList<int> rows;
        double next = 0; // where the next band of the flow starts
        const auto flushRows = [&] {
            if (!rows.isEmpty())
                held << QStringLiteral("%1-%2").arg(rows.first()).arg(rows.last());
            rows.clear();
        };
        for (const PageItem &item : page.items) {
            const double bottom = item.kind == PageItem::Kind::Line ? qMax(item.line.y1(), item.line.y2()) : item.rect.bottom();
            QVERIFY2(bottom <= usable + 1e-6, qPrintable(QStringLiteral("\"%1\" reaches %2").arg(item.text).arg(bottom)));
            if (item.kind == PageItem::Kind::Text && item.text == u" Маршрут") {
                QCOMPARE(item.rect.y(), next);
                held << QStringLiteral("title");
                next += titleHeight;
            } else if (item.kind == PageItem::Kind::Text && item.text == u"ППМ") {
                QVERIFY2(qAbs(item.rect.y() - next) < 1e-6, qPrintable(QString::number(item.rect.y())));
                held << QStringLiteral("header");
                next += headerHeight;
            } else if (item.kind == PageItem::Kind::Text && item.rect.x() == 0 && qAbs(item.rect.height() - rowHeight) < 1e-6) {
                // A point row's number, right under the header or the row before.
                QVERIFY2(qAbs(item.rect.y() - next) < 1e-6, qPrintable(item.text));
                rows << item.text.toInt();
                next += rowHeight;
            } else if (item.kind == PageItem::Kind::Text && item.text == u"Аэропорт вылета") {
                QVERIFY2(qAbs(item.rect.y() - (next + 5)) < 1e-6, qPrintable(QString::number(item.rect.y())));
                flushRows();
                held << QStringLiteral("airports");
            }
        }
        flushRows();
        pages << held.join(u' ');
    }
    QCOMPARE(pages.join(QStringLiteral(" | ")), expected);
}

void TestReportRender::subReportStretchesItsBand_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("after");
    QTest::newRow("band keeps its height") << 0 << 10.0;
    QTest::newRow("band grows to take in the table") << 3 << 18.0;
}

void TestReportRender::subReportStretchesItsBand()
{
    QFETCH(int, rows);
    QFETCH(double, after);
    const QString text = QStringLiteral("kalyx-report 1\npage width=200 height=200 margins=0\n"
                                        "band summary height=10 {\n"
                                        "  text x=0 y=0 w=20 h=5 text=\"box\"\n"
                                        "  subreport x=30 y=5 w=50 {\n"
                                        "    band header height=4 {\n      text x=0 y=0 w=20 h=4 text=\"RH\"\n    }\n"
                                        "    band data dataset=Runways height=3 {\n      text x=2 y=0 w=20 h=3 text=\"R[K]\"\n    }\n"
                                        "  }\n"
                                        "}\n"
                                        "band summary height=5 {\n  text x=0 y=0 w=20 h=5 text=\"after\"\n}\n");
    Layout layout;
    QString error;
    QVERIFY2(parseLayout(text, layout, &error), qPrintable(error));
    ReportInput input;
    input.datasets.insert(QStringLiteral("Runways"), numberedRows(rows, QStringLiteral("K")));
    input.fields.insert(QStringLiteral("Runways"), {QStringLiteral("K")});
    PreparedReport report;
    QVERIFY2(prepareReport(layout, input, report, &error), qPrintable(error));
    QCOMPARE(report.pages.size(), 1);
    QCOMPARE(findText(report, 0, QStringLiteral("RH"))->rect, QRectF(30, 5, 20, 4));
    for (int i = 1; i <= rows; ++i)
        QCOMPARE(findText(report, 0, QStringLiteral("R%1").arg(i))->rect, QRectF(32, 9 + 3 * (i - 1), 20, 3));
    QCOMPARE(findText(report, 0, QStringLiteral("after"))->rect.y(), after);
}

void TestReportRender::namesResolveToRowsThenVariables()
{
    const QString text = QStringLiteral("kalyx-report 1\npage width=200 height=200 margins=0\n"
                                        "band data dataset=FRDB1 height=5 {\n"
                                        "  text x=0 y=0 w=50 h=5 text=\"[Name]/[frdb1.name]/[route]/[ROUTE]/[FRDB1.Route]\"\n"
                                        "}\n"
                                        "band summary height=5 {\n  text x=0 y=0 w=50 h=5 text=\"[Name]\"\n}\n");
    Layout layout;
    QVERIFY(parseLayout(text, layout));
    ReportInput input;
    input.variables = {{"Name", QStringLiteral("variable")}, {"Route", QStringLiteral("R")}};
    input.datasets.insert(QStringLiteral("FRDB1"), {QVariantMap{{"Name", QStringLiteral("row")}}});
    PreparedReport report;
    QString error;
    QVERIFY2(!prepareReport(layout, input, report, &error), "FRDB1.Route is not a column");
    QVERIFY2(error.contains(u"неизвестное имя \"FRDB1.Route\""), qPrintable(error));

    QVERIFY(parseLayout(QString(text).replace(QStringLiteral("/[FRDB1.Route]"), QString()), layout));
    QVERIFY2(prepareReport(layout, input, report, &error), qPrintable(error));
    QCOMPARE(report.texts(0), (QStringList{"row/row/R/R", "variable"}));
}

void TestReportRender::preparingFails_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("message");
    QTest::newRow("dataset not handed over") << "band data dataset=FRDB9 height=5"
                                             << "строка 3: нет набора данных FRDB9";
    QTest::newRow("unknown variable") << "band title height=5 {\n  text x=0 y=0 w=5 h=5 text=\"[Nmae]\"\n}"
                                      << "строка 4: неизвестное имя \"Nmae\"";
    QTest::newRow("division by zero") << "band title height=5 {\n  text x=0 y=0 w=5 h=5 text=\"[VH / 0]\"\n}"
                                      << "деление на ноль";
    QTest::newRow("subreport over a missing dataset")
        << "band summary height=5 {\n  subreport x=0 y=0 {\n    band data dataset=FRDB3 height=5\n  }\n}"
        << "строка 5: нет набора данных FRDB3";
}

void TestReportRender::preparingFails()
{
    QFETCH(QString, band);
    QFETCH(QString, message);
    Layout layout;
    QString error;
    QVERIFY2(parseLayout(QStringLiteral("kalyx-report 1\npage width=200 height=200 margins=0\n") + band + u'\n', layout, &error),
             qPrintable(error));
    ReportInput input;
    input.variables.insert(QStringLiteral("VH"), 622.0);
    PreparedReport report;
    QVERIFY(!prepareReport(layout, input, report, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestReportRender::textIsClippedToItsCell_data()
{
    QTest::addColumn<int>("align");
    QTest::newRow("left") << int(HAlign::Left);
    QTest::newRow("center") << int(HAlign::Center);
    QTest::newRow("right") << int(HAlign::Right);
}

void TestReportRender::textIsClippedToItsCell()
{
    QFETCH(int, align);
    // 10 pixels per millimetre; a 12 pt text far wider than its 20 x 6 mm cell.
    QImage image(600, 300, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    PreparedPage page;
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.rect = QRectF(20, 10, 20, 6);
    // Heavy letters first, then a long tail of dots: which part shows tells
    // whether the cut took the beginning or the end.
    item.text = QStringLiteral("ЖЖЖ") + QString(60, u'.');
    item.style.fontSize = 12;
    item.style.align = static_cast<HAlign>(align);
    page.items.append(item);
    {
        QPainter painter(&image);
        paintPage(painter, page, 10, 10);
    }
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!darkPixel(image, x, y))
                continue;
            QVERIFY2(x >= 199 && x <= 401 && y >= 99 && y <= 161, qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    // The cut takes the end of the text: the letters show, not just dots. A dot
    // on the base line is a few pixels tall, a 12 pt letter here some thirty,
    // in any font.
    QVERIFY2(bottom - top > 15, qPrintable(QStringLiteral("ink from %1 to %2").arg(top).arg(bottom)));
}

void TestReportRender::longTextEndsInAnEllipsisInsideItsFrame_data()
{
    QTest::addColumn<QSizeF>("cell"); // millimetres
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shortened");

    const QSizeF nameCell(32, 4.2); // the lower half of the sheet's "ППМ" column
    const QString airport = QStringLiteral("Sheremetyevo International Airport");
    QTest::newRow("left") << nameCell << int(HAlign::Left) << false << airport << true;
    QTest::newRow("centre") << nameCell << int(HAlign::Center) << false << airport << true;
    QTest::newRow("right, Cyrillic") << nameCell << int(HAlign::Right) << false
                                     << QStringLiteral("Международный аэропорт Шереметьево") + u' ' << true;
    QTest::newRow("fits") << nameCell << int(HAlign::Right) << false << QStringLiteral("Ратин ") << false;
    QTest::newRow("narrow cell") << QSizeF(6, 4.2) << int(HAlign::Left) << false
                                                     << QStringLiteral("WWW") << true;
    QTest::newRow("wrapped, fits") << QSizeF(11, 8.3) << int(HAlign::Center) << true << QStringLiteral("Угол карты")
                                   << false;
    QTest::newRow("wrapped, lines beyond the bottom") << QSizeF(11, 8.3) << int(HAlign::Center) << true
                                                      << QStringLiteral("Угол карты на участке маршрута") << true;
}

void TestReportRender::longTextEndsInAnEllipsisInsideItsFrame()
{
    QFETCH(QSizeF, cell);
    QFETCH(int, align);
    QFETCH(bool, wrap);
    QFETCH(QString, text);
    QFETCH(bool, shortened);

    PreparedPage page;
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.rect = QRectF(QPointF(20, 10), cell);
    item.text = text;
    item.frame = FrameSides::all();
    item.style.align = static_cast<HAlign>(align);
    item.style.wrap = wrap;
    page.items.append(item);
    test::PaintRecorder device(100, 50, 600);
    {
        QPainter painter(&device);
        paintPage(painter, page, device.dotsPerMm(), device.dotsPerMm());
    }

    // Every letter keeps clear of the frame lines (half of their 0.5 pt lies
    // inside the cell): at least 0.2 mm away on either side.
    const double mm = device.dotsPerMm();
    const QRectF frame(item.rect.x() * mm, item.rect.y() * mm, item.rect.width() * mm, item.rect.height() * mm);
    QVERIFY(!device.texts.isEmpty());
    for (const test::PaintRecorder::Text &run : device.texts) {
        const QString where = QStringLiteral("\"%1\" at %2..%3 x %4..%5 mm")
                                  .arg(run.text)
                                  .arg(run.left() / mm)
                                  .arg(run.right() / mm)
                                  .arg(run.top() / mm)
                                  .arg(run.bottom() / mm);
        QVERIFY2(run.left() >= frame.left() + 0.2 * mm && run.right() <= frame.right() - 0.2 * mm, qPrintable(where));
        QVERIFY2(run.top() >= frame.top() && run.bottom() <= frame.bottom(), qPrintable(where));
    }

    // What is shown is the text's beginning; a shortened one says so with "…".
    const auto letters = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); };
    QString shown = letters(device.allText());
    QCOMPARE(shown.endsWith(u'…'), shortened);
    if (shortened) {
        shown.chop(1);
        QVERIFY2(letters(text).startsWith(shown), qPrintable(device.allText()));
    } else {
        QCOMPARE(shown, letters(text));
    }
}

void TestReportRender::lineWidthsArePointsOnTheDevice_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("deviceWidth");
    QTest::newRow("0.5 pt on a 72 dpi device") << 0.5 << 72 << 1.0 << 0.5;
    QTest::newRow("0.5 pt on a 600 dpi printer") << 0.5 << 600 << 1.0 << 0.5 * 600 / 72;
    QTest::newRow("2 pt on a 1200 dpi PDF") << 2.0 << 1200 << 1.0 << 2.0 * 1200 / 72;
    QTest::newRow("0.25 pt on a 96 dpi screen") << 0.25 << 96 << 1.0 << 0.25 * 96 / 72;
    QTest::newRow("0.5 pt on a sheet made smaller") << 0.5 << 600 << 0.7 << 0.5 * 600 / 72;
}

void TestReportRender::lineWidthsArePointsOnTheDevice()
{
    QFETCH(double, points);
    QFETCH(int, dpi);
    QFETCH(double, scale);
    QFETCH(double, deviceWidth);
    // A framed box, a text framed on two sides and a diagonal, all of one width.
    PreparedPage page;
    PageItem box;
    box.kind = PageItem::Kind::Box;
    box.rect = QRectF(10, 10, 30, 8);
    box.frame = FrameSides::all();
    box.lineWidth = points;
    page.items.append(box);
    PageItem text;
    text.kind = PageItem::Kind::Text;
    text.rect = QRectF(10, 20, 30, 8);
    text.text = QStringLiteral("ОЗМПУв");
    text.frame = FrameSides{true, false, false, true};
    text.lineWidth = points;
    page.items.append(text);
    PageItem line;
    line.kind = PageItem::Kind::Line;
    line.line = QLineF(10, 38, 40, 30);
    line.lineWidth = points;
    page.items.append(line);

    test::PaintRecorder device(100, 50, dpi);
    {
        QPainter painter(&device);
        paintPage(painter, page, device.dotsPerMm(), device.dotsPerMm(), scale);
    }
    QCOMPARE(device.lines.size(), 4 + 2 + 1);
    for (const test::PaintRecorder::Line &l : device.lines)
        QVERIFY2(qAbs(l.penWidth - deviceWidth) < 1e-9,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(l.penWidth).arg(deviceWidth)));
    // The diagonal lies where the layout puts it, in the device's units.
    const double mm = device.dotsPerMm() * scale;
    const QLineF diagonal = device.lines.last().line;
    QVERIFY(qAbs(diagonal.x1() - 10 * mm) < 1e-6 && qAbs(diagonal.y1() - 38 * mm) < 1e-6);
    QVERIFY(qAbs(diagonal.x2() - 40 * mm) < 1e-6 && qAbs(diagonal.y2() - 30 * mm) < 1e-6);
}

void TestReportRender::longRoutePdfContinuesOnAnotherPage()
{
    Layout layout;
    QString error;
    QVERIFY2(loadLayout(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), layout, &error), qPrintable(error));
    PreparedReport report;
    QVERIFY2(prepareReport(layout, routeInput(30), report, &error), qPrintable(error));
    QCOMPARE(report.pages.size(), 2);

    test::TestFolder folder;
    const QString pdf = folder.file(QStringLiteral("long.pdf"));
    QVERIFY2(writePdf(report, pdf, &error), qPrintable(error));

    QString text;
    KX_NEEDS_BUILD_MACHINE_TOOL("pdftotext");
    QVERIFY(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, text));
    const QStringList pages = text.split(u'\f');
    QCOMPARE(pages.size(), 3); // two pages and what follows the last form feed
    // Page 1: the title, the header and the first rows; the airports are not there yet.
    QVERIFY(pages[0].contains(u"UUEE-URSS (UUEE - URSS)"));
    QVERIFY(pages[0].contains(u"ОЗМПУв"));
    QVERIFY(pages[0].contains(u"WPT19"));
    QVERIFY(!pages[0].contains(u"WPT20"));
    QVERIFY(!pages[0].contains(u"Аэропорт"));
    // Page 2: the header again, the remaining points, then both airport boxes.
    QVERIFY(!pages[1].contains(u"Протяженность"));
    QVERIFY(pages[1].contains(u"ОЗМПУв"));
    QVERIFY(pages[1].contains(u"WPT20"));
    QVERIFY(pages[1].contains(u"URSS"));
    QVERIFY(pages[1].indexOf(u"URSS") < pages[1].indexOf(u"Аэропорт вылета"));
    QVERIFY(pages[1].contains(u"Аэропорт посадки"));
    QVERIFY(pages[1].contains(u"189,6 м (16,1 мм рт.ст.)"));

    // The file carries its fonts, so that it prints alike elsewhere; which
    // font the machine put in for Arial is its own affair.
    QString fonts;
    QVERIFY(runTool(QStringLiteral("pdffonts"), {pdf}, fonts));
    const QStringList lines = fonts.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() > 2, qPrintable(fonts));
    const qsizetype emb = lines.at(0).indexOf(QStringLiteral("emb"));
    QVERIFY2(emb > 0, qPrintable(lines.at(0)));
    for (const QString &line : lines.mid(2))
        QVERIFY2(line.mid(emb, 3) == u"yes", qPrintable(line));
}

void TestReportRender::wholeSheetOnThePaper_data()
{
    QTest::addColumn<QSizeF>("paper"); // millimetres
    QTest::addColumn<double>("margin");
    QTest::newRow("A4 landscape, as laid out") << QSizeF(297, 210) << 10.0;
    QTest::newRow("A4 portrait") << QSizeF(210, 297) << 10.0;
    QTest::newRow("A4 landscape, wide margins") << QSizeF(297, 210) << 25.0;
    QTest::newRow("A5 portrait") << QSizeF(148, 210) << 10.0;
}

// The sheet prepared on the paper a page setup gives and written as a PDF:
// every column is on the paper, inside the margins, and the sheet spans the
// printing area's width (made smaller only as far as it has to be).
void TestReportRender::wholeSheetOnThePaper()
{
    QFETCH(QSizeF, paper);
    QFETCH(double, margin);
    Layout layout;
    QString error;
    QVERIFY2(loadLayout(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), layout, &error), qPrintable(error));
    PageSetup page;
    page.width = paper.width();
    page.height = paper.height();
    page.margins = QMarginsF(margin, margin, margin, margin);
    PreparedReport report;
    QVERIFY2(prepareReport(layout, routeInput(3), page, report, &error), qPrintable(error));
    test::TestFolder folder;
    const QString pdf = folder.file(QStringLiteral("sheet.pdf"));
    QVERIFY2(writePdf(report, pdf, &error), qPrintable(error));

    QList<test::PdfPage> pages;
    KX_NEEDS_BUILD_MACHINE_TOOL("pdftotext");
    QVERIFY(test::pdfWords(pdf, pages));
    QCOMPARE(pages.size(), 1);
    const double pt = 72 / 25.4;
    QVERIFY(qAbs(pages[0].size.width() - paper.width() * pt) < 1);
    const QRectF printing(margin * pt, margin * pt, (paper.width() - 2 * margin) * pt, (paper.height() - 2 * margin) * pt);
    QStringList words;
    double rightmost = 0;
    for (const test::PdfWord &w : pages[0].words) {
        QVERIFY2(printing.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box),
                 qPrintable(QStringLiteral("%1 at %2..%3 pt").arg(w.text).arg(w.box.left()).arg(w.box.right())));
        words << w.text;
        rightmost = qMax(rightmost, w.box.right());
    }
    // The columns right of the course columns, and the last "№".
    for (const char *word : {"РСБН", "Sm", "Zm", "Угол", "карты", "Am", "Dm", "пр.", "ост.", "1348,8", "130,4"})
        QVERIFY2(words.contains(QString::fromUtf8(word)), word);
    QCOMPARE(words.count(QStringLiteral("№")), 2);
    QVERIFY2(rightmost > printing.right() - 5 * pt, qPrintable(QString::number(printing.right() - rightmost)));
}

void TestReportRender::workIsBounded_data()
{
    QTest::addColumn<QString>("layout"); // empty: the delivered pp.fr3
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("refused");

    const QString head = QStringLiteral("kalyx-report 1\npage width=210 height=297 margins=10\n");
    const auto dataBand = [](double height, const QString &objects) {
        return QStringLiteral("band data dataset=FRDB1 height=%1 {\n%2}\n").arg(height).arg(objects);
    };
    QTest::newRow("the delivered sheet, 99 legs") << QString() << 99 << false;
    QTest::newRow("66,000 objects a row")
        << head + dataBand(5, QStringLiteral("  text x=0 y=0 w=1 h=1 text=\"[Number]\"\n").repeated(66000)) << 99 << true;
    QTest::newRow("a page a row, 600 rows")
        << head + dataBand(200, QStringLiteral("  text x=0 y=0 w=10 h=5 text=\"[Number]\"\n")) << 600 << true;
    QTest::newRow("200,000 characters a row")
        << head + dataBand(5, QStringLiteral("  text x=0 y=0 w=10 h=5 text=\"%1[Number]\"\n").arg(QString(200000, u'x')))
        << 99 << true;
    // 255 additions of Number each, nested 8 deep: within an expression's limits.
    QString sum = QStringLiteral("Number");
    for (int i = 0; i < 8; ++i)
        sum = u'(' + sum + u'+' + sum + u')';
    QTest::newRow("long expressions on 300 objects a row")
        << head + dataBand(5, QStringLiteral("  text x=0 y=0 w=10 h=5 text=\"[%1]\"\n").arg(sum).repeated(300)) << 99 << true;
}

void TestReportRender::workIsBounded()
{
    QFETCH(QString, layout);
    QFETCH(int, rows);
    QFETCH(bool, refused);
    Layout parsed;
    QString error;
    if (layout.isEmpty())
        QVERIFY2(loadLayout(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), parsed, &error), qPrintable(error));
    else
        QVERIFY2(parseLayout(layout, parsed, &error), qPrintable(error));
    PreparedReport report;
    const bool prepared = prepareReport(parsed, routeInput(rows), report, &error);
    if (!refused) {
        QVERIFY2(prepared, qPrintable(error));
        QVERIFY(report.pages.size() < 10);
        return;
    }
    QVERIFY(!prepared);
    QVERIFY2(error.startsWith(u"отчет слишком велик"), qPrintable(error));
}

void TestReportRender::damagedLayoutsGiveASheetOrAReason()
{
    // The delivered layout damaged in many ways, and noise made of the
    // format's own words: each gives a sheet, or a short reason.
    QFile delivered(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"));
    QVERIFY(delivered.open(QIODevice::ReadOnly));
    const QByteArray original = delivered.readAll();
    const QList<QByteArray> lines = original.split('\n');
    const QList<QByteArray> words{"band", "title", "header", "data", "summary", "subreport", "text", "box", "line",
                                  "dataset=FRDB1", "dataset=FRDB2", "height=5", "x=0", "y=0", "w=5", "h=5", "x1=1",
                                  "style=cell", "format=\"#0.0\"", "text=\"[", "abs(", "(", ")", "]\"", "{", "}", "\n",
                                  "[SO]", "<VH>", "'", "\"", "=", "#", "-", "+", "*", "/", "Number", "repeat", "page"};
    QRandomGenerator random(20261210);
    const auto noise = [&](int count) {
        QByteArray out;
        for (int i = 0; i < count; ++i)
            out += words.at(random.bounded(words.size())) + (random.bounded(3) ? " " : "");
        return out;
    };
    test::TestFolder folder;
    int sheets = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        switch (round % 5) {
        case 0: { // a line replaced by noise
            QList<QByteArray> changed = lines;
            changed[random.bounded(changed.size())] = noise(random.bounded(1, 12));
            bytes = changed.join('\n');
            break;
        }
        case 1: // cut anywhere
            bytes = original.left(random.bounded(original.size() + 1));
            break;
        case 2: { // a run of lines repeated somewhere else
            QList<QByteArray> changed = lines;
            const int from = random.bounded(changed.size());
            const QList<QByteArray> run = changed.mid(from, random.bounded(1, 30));
            const int at = random.bounded(changed.size());
            for (int i = 0; i < run.size(); ++i)
                changed.insert(at + i, run.at(i));
            bytes = changed.join('\n');
            break;
        }
        case 3: // bytes changed
            bytes = original;
            for (int i = random.bounded(1, 8); i > 0; --i)
                bytes[random.bounded(bytes.size())] = char(random.bounded(256));
            break;
        default: // the format's words at random after a sound head
            bytes = "kalyx-report 1\npage width=297 height=210 margins=10\n" + noise(random.bounded(400));
            break;
        }
        QFile file(folder.file(QStringLiteral("pp.fr3")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        Layout layout;
        QString error;
        if (!loadLayout(file.fileName(), layout, &error)) {
            QVERIFY(!error.isEmpty());
            QVERIFY2(error.size() < 400, qPrintable(error));
            continue;
        }
        PreparedReport report;
        if (prepareReport(layout, routeInput(random.bounded(2, 40)), report, &error)) {
            QVERIFY(!report.pages.isEmpty());
            ++sheets;
        } else {
            QVERIFY(!error.isEmpty());
            QVERIFY2(error.size() < 400, qPrintable(error));
        }
    }
    QVERIFY(sheets > 0); // some damage still leaves a sheet
}

QTEST_MAIN(TestReportRender)
#include "tst_reportrender.moc"
