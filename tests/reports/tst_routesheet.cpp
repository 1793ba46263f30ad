#include "interchange/RoutePointsQuery.h"
#include "reports/core/LayoutParser.h"
#include "reports/core/PagePainter.h"
#include "reports/core/RouteSheet.h"
#include "reports/core/RouteSheetData.h"
#include "store/Session.h"

#include "BuildMachineTools.h"
#include "Fixture.h"
#include "PdfText.h"
#include "RecordingPrompter.h"
#include "SessionTest.h"
#include "TestFolder.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QDir>
#include <QtTest>

using namespace kx;

namespace {

// The sheet of the route buildRoute() makes, as the delivered layout prints
// it: every text with the position of its cell in millimetres from the
// printing area's corner (x) and its band's top (y). Blanks are the layout's
// own ("upper value after one blank, lower value followed by one"); an empty
// value leaves them alone.
struct Cell
{
    double x;
    double y;
    const char *text;
};

// Title, 14 high, at the top.
const Cell kTitle[] = {
    {0, 0, " Маршрут"},     {19, 0, "UUEE-URSS (UUEE - URSS)"},
    {0, 7, " Протяженность, км"}, {35, 7, "1498,8"},
    {70, 7, "Поправка, град."},   {98, 7, "7,9"},
    {130, 7, "Эшелон, м"},        {150, 7, "9449"},
};

// Column header, 8.3 high, under the title.
const Cell kHeader[] = {
    {0, 0, "№"},          {8, 0, "ППМ"},
    {40, 0.35, " Тип"},   {40, 4.15, "Частота "},
    {56, 0.35, " Широта"}, {56, 4.15, "Долгота "},
    {82, 0, "МС"},
    {94, 0.35, " ОЗМПУв"}, {94, 4.15, "ОЗМПУп "},
    {113, 0.35, "S"},     {113, 4.15, "ЛУР "},
    {127, 0.35, " Пв"},   {127, 4.15, "Пп "},
    {143, 0.35, " МПУ"},  {143, 4.15, "ИПУ "},
    {160, 0, "Маяк РСБН"},
    {208, 0.35, " Sm"},   {208, 4.15, "Zm "},
    {224, 0, "Угол карты"},
    {235, 0.35, " Am"},   {235, 4.15, "Dm "},
    {252, 0.35, " S пр."}, {252, 4.15, "S ост. "},
    {269, 0, "№"},
};

// Point rows, 8.4 high each: per column its upper (y 0) or lower (y 4.2)
// value in the rows of UUEE (corrected by KR), RATIN (no beacon) and URSS
// (the last point, no leg).
struct PointColumn
{
    const char *field;
    double x;
    double y;
    const char *rows[3];
};
const PointColumn kPointColumns[] = {
    {"Number", 0, 0, {"1", "2", "3"}},
    {"Punkts.ID", 8, 0, {"UUEE", "RATIN", "URSS"}},
    {"Punkts.Name", 8, 4.2, {"Шереметьево ", "Ратин ", " "}},
    {"Type", 40, 0, {" Airport", " VOR", " Airport"}},
    {"Freq", 40, 4.2, {" ", "114,10 ", " "}},
    {"LAT", 56, 0, {" N55*58.33", " N52*55.00", " N43*26.95"}},
    {"LON", 56, 4.2, {"E037*24.87 ", "E038*10.00 ", "E039*56.42 "}},
    {"MS", 82, 0, {",0", "9,7", "6,2"}},
    {"OZMPU_V", 94, 0, {" 045,2", " 163,0", " "}},
    {"OZMPU_P", 94, 4.2, {"053,1 ", "170,9 ", " "}},
    {"abs(S)", 113, 0, {"182,0", "1316,8", ""}}, // stored negative
    {"LUR", 113, 4.2, {"10 ", "15 ", " "}},
    {"P_V", 127, 0, {" 2,0", " 0,6", " "}},
    {"P_P", 127, 4.2, {"-0,5 ", "-4,0 ", " "}},
    {"MPU", 143, 0, {" 008,0", " 190,5", " "}},
    {"IPU", 143, 4.2, {"017,0 ", "200,2 ", " "}},
    {"RSBN.ID", 160, 0, {"KR", "", ""}},
    {"RSBN.Name", 160, 4.2, {"25 Крылово ", " ", " "}},
    {"Sm", 208, 0, {" -12,0", " ", " "}},
    {"Zm", 208, 4.2, {"45,0 ", " ", " "}},
    {"UKm", 224, 0, {"007,3", "", ""}},
    {"Am", 235, 0, {" 88,0", " ", " "}},
    {"Dm", 235, 4.2, {"130,4 ", " ", " "}},
    {"Sp", 252, 0, {" 0,0", " 182,0", " 1498,8"}},
    {"SO - Sp", 252, 4.2, {"1498,8 ", "1316,8 ", "0,0 "}},
    {"Number", 269, 0, {"1", "2", "3"}},
};

// Airport band after the last row: the departure box at 0, the destination
// box at 148.1.
const Cell kAirports[] = {
    {1, 5, "Аэропорт вылета"},        {30, 5, "UUEE  -  Шереметьево"},
    {1, 12, "H аэр."},                {12, 12, "189,6 м (16,1 мм рт.ст.)"},
    {70, 12, "Эшелон перехода"},      {99, 12, "1500 м"},
    {1, 17, "ATIS"},                  {12, 17, "0,00 МГц"},
    {70, 17, " Высота перехода"},     {99, 17, "0 м"},
    {1, 23, "Маяк РСБН"},             {21, 23, "NP  -  37 Шереметьево"},
    {149.1, 5, "Аэропорт посадки"},   {178.1, 5, "URSS"},
    {149.1, 12, "H аэр."},            {160.1, 12, "27,1 м (2,3 мм рт.ст.)"},
    {218.1, 12, "Эшелон перехода"},   {247.1, 12, "0 м"},
    {149.1, 17, "ATIS"},              {160.1, 17, "128,10 МГц"},
    {218.1, 17, " Высота перехода"},  {247.1, 17, "0 м"},
    {149.1, 23, "Маяк РСБН"},         {169.1, 23, "  -  "}, // no beacon of its own
};

// Runway table under each box, 30 below the band's top: its header, then
// one row of 5 per runway, columns at these positions.
const Cell kRunwayHeader[] = {
    {0, 0, "ВПП"},   {20, 0, "Частоты приводов"}, {20, 4, "ДПРМ"}, {36, 4, "БПРМ"},
    {53, 0, "ILS"},  {53, 4, "Курс"},             {66, 4, "МГц"},
    {83, 0, "Коррекция по РСБН"}, {83, 4, "ИЗПУ"}, {98, 4, "Zm"}, {113, 4, "Sm"},
};
const double kRunwayColumns[] = {0, 20, 36, 53, 66, 83, 98, 113};
struct Runway
{
    double boxX;
    const char *cells[8]; // Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P, Sm_P
};
const Runway kRunways[] = {
    {0, {"06L", "385,00", "770,50", "64", "111,10", "73,0", "2,1", "-5,0"}},
    {0, {"24R", "", "", "244", "110,10", "253,2", "", ""}},
    {148.1, {"02", "", "", "16", "109,70", "21,9", "", ""}},
};

QString position(double x, double y)
{
    return QStringLiteral("(%1, %2)").arg(x, 0, 'f', 2).arg(y, 0, 'f', 2);
}

// The expected texts by their cell's position on the page.
QMap<QString, QString> expectedSheet()
{
    QMap<QString, QString> out;
    const auto add = [&](double x, double y, const char *text) { out.insert(position(x, y), QString::fromUtf8(text)); };
    double top = 0;
    for (const Cell &c : kTitle)
        add(c.x, top + c.y, c.text);
    top += 14;
    for (const Cell &c : kHeader)
        add(c.x, top + c.y, c.text);
    top += 8.3;
    for (int row = 0; row < 3; ++row, top += 8.4)
        for (const PointColumn &c : kPointColumns)
            add(c.x, top + c.y, c.rows[row]);
    for (const Cell &c : kAirports)
        add(c.x, top + c.y, c.text);
    top += 30;
    for (const double boxX : {0.0, 148.1})
        for (const Cell &c : kRunwayHeader)
            add(boxX + c.x, top + c.y, c.text);
    QMap<double, double> rowTop{{0.0, top + 8}, {148.1, top + 8}};
    for (const Runway &r : kRunways) {
        for (int i = 0; i < 8; ++i)
            add(r.boxX + kRunwayColumns[i], rowTop[r.boxX], r.cells[i]);
        rowTop[r.boxX] += 5;
    }
    return out;
}

} // namespace

class TestRouteSheet : public test::SessionTest
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void variables_data();
    void variables();
    void datasets();
    void pointListFollowsTheRoute();
    void refusals_data();
    void refusals();
    void sheetOfTheRoute();
    void pdfFile_data();
    void pdfFile();

private:
    void buildRoute();
    bool copyDeliveredLayout();

    std::unique_ptr<store::Query> m_qp;
    QObject m_routeList;
    qint64 m_route = 0;
    qint64 m_uuee = 0;
    qint64 m_ratin = 0;
    qint64 m_urss = 0;
};

void TestRouteSheet::init()
{
    m_routeList.setObjectName(QStringLiteral("TF_Main"));
    QVERIFY(openSession());
    m_qp = std::make_unique<store::Query>(m_session->ADOC, QStringLiteral("QP"));
    buildRoute();
}

void TestRouteSheet::cleanup()
{
    m_qp.reset();
    closeSession();
}

// UUEE (airport with a name and a beacon of its own, no ATIS, no transition
// height) - RATIN (VOR, no correction beacon on its leg) - URSS (airport
// without name or beacon), calculated; the departure's leg corrected by KR.
void TestRouteSheet::buildRoute()
{
    QSqlDatabase db = m_session->ADOC.sql();
    const qint64 np = m_fix->addRsbn(QStringLiteral("NP"), QStringLiteral("37 Шереметьево"), QStringLiteral("N55*57.00"),
                                     QStringLiteral("E037*25.00"));
    const qint64 kr = m_fix->addRsbn(QStringLiteral("KR"), QStringLiteral("25 Крылово"), QStringLiteral("N54*30.00"),
                                     QStringLiteral("E036*10.00"));
    m_uuee = m_fix->addPunkt(
        {.id = "UUEE", .lat = "N55*58.33", .lon = "E037*24.87", .type = "Airport", .name = "Шереметьево"});
    m_ratin = m_fix->addPunkt(
        {.id = "RATIN", .lat = "N52*55.00", .lon = "E038*10.00", .type = "VOR", .region = "UU", .name = "Ратин"});
    m_urss = m_fix->addPunkt({.id = "URSS", .lat = "N43*26.95", .lon = "E039*56.42", .type = "Airport"});
    exec("UPDATE Punkts SET H = 622, ATIS = NULL, FL_PER = 1500, H_PER = NULL, RSBN = ? WHERE Code = ?", {np, m_uuee});
    exec("UPDATE Punkts SET Freq = 114.1, MS = 9.7 WHERE Code = ?", {m_ratin});
    exec("UPDATE Punkts SET H = 89, ATIS = 128.1, MS = 6.2 WHERE Code = ?", {m_urss});

    m_route = m_fix->addRoute(QStringLiteral("UUEE-URSS"), 1498.8, QDateTime(QDate(2026, 1, 5), QTime(10, 0)));
    exec("UPDATE Routes SET Vilka = 7.9, AP_V = 'UUEE', AP_P = 'URSS' WHERE Code = ?", {m_route});
    // Inserted out of order: the sheet follows Number.
    const qint64 p3 = m_fix->addPoint(m_route, 3, m_urss);
    const qint64 p1 = m_fix->addPoint(m_route, 1, m_uuee, kr);
    const qint64 p2 = m_fix->addPoint(m_route, 2, m_ratin);
    // The leg values are picked so that each column's format shows: whole
    // values (a "%g" would drop the decimal), values under 100 where three
    // whole digits are wanted, and Am differs from Dm, Sm from Zm, MPU from IPU.
    exec("UPDATE Points SET S = -182.0, Sp = 0, OZMPU_V = 45.2, OZMPU_P = 53.1, LUR = 10, P_V = 2.0, "
         "P_P = -0.5, MPU = 8.0, IPU = 17.0, Sm = -12.0, Zm = 45.0, UKm = 7.3, Am = 88.0, Dm = 130.4 "
         "WHERE Code = ?",
         {p1});
    exec("UPDATE Points SET S = -1316.8, Sp = 182.0, OZMPU_V = 163.0, OZMPU_P = 170.9, LUR = 15, P_V = 0.6, "
         "P_P = -4.0, MPU = 190.5, IPU = 200.2 WHERE Code = ?",
         {p2});
    exec("UPDATE Points SET Sp = 1498.8 WHERE Code = ?", {p3});

    exec("INSERT INTO Runways (AP, Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P, Sm_P) "
         "VALUES (?, '06L', 385.0, 770.5, 64, 111.1, 73.0, 2.1, -5.0)",
         {m_uuee});
    exec("INSERT INTO Runways (AP, Runway, ILSAngle, ILSFreq, IZPU_P) VALUES (?, '24R', 244, 110.1, 253.2)", {m_uuee});
    exec("INSERT INTO Runways (AP, Runway, ILSAngle, ILSFreq, IZPU_P) VALUES (?, '02', 16, 109.7, 21.9)", {m_urss});

    QVERIFY(m_session->openRoutes());
    QVERIFY(m_session->QRoutes.locate(u"Code", m_route));
}

bool TestRouteSheet::copyDeliveredLayout()
{
    return QFile::copy(QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3"), m_folder->file(QStringLiteral("pp.fr3")));
}

void TestRouteSheet::variables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("Name") << "Name" << QVariant(QStringLiteral("UUEE-URSS"));
    QTest::newRow("AP_V") << "AP_V" << QVariant(QStringLiteral("UUEE"));
    QTest::newRow("AP_P") << "AP_P" << QVariant(QStringLiteral("URSS"));
    QTest::newRow("SO") << "SO" << QVariant(1498.8);
    QTest::newRow("Vilka") << "Vilka" << QVariant(7.9);
    QTest::newRow("FL") << "FL" << QVariant(9449.0);
    QTest::newRow("departure with a name") << "VName" << QVariant(QStringLiteral("UUEE  -  Шереметьево"));
    QTest::newRow("destination without a name") << "PName" << QVariant(QStringLiteral("URSS"));
    QTest::newRow("VH") << "VH" << QVariant(622.0);
    QTest::newRow("PH") << "PH" << QVariant(89.0);
    QTest::newRow("missing ATIS is 0") << "VATIS" << QVariant(0.0);
    QTest::newRow("PATIS") << "PATIS" << QVariant(128.1);
    QTest::newRow("VFLPer") << "VFLPer" << QVariant(1500.0);
    QTest::newRow("missing transition level is 0") << "PFLPer" << QVariant(0.0);
    QTest::newRow("missing transition height is 0") << "VHPer" << QVariant(0.0);
    QTest::newRow("PHPer") << "PHPer" << QVariant(0.0);
    QTest::newRow("airport beacon") << "VRSBN" << QVariant(QStringLiteral("NP  -  37 Шереметьево"));
    QTest::newRow("airport without beacon") << "PRSBN" << QVariant(QStringLiteral("  -  "));
}

void TestRouteSheet::variables()
{
    QFETCH(QString, name);
    QFETCH(QVariant, expected);
    reports::ReportInput data;
    QString error;
    QCOMPARE(reports::gatherRouteSheetData(*m_session, *m_qp, data, &error), reports::RouteSheetData::Ok);
    QVERIFY2(data.variables.contains(name), qPrintable(name));
    const QVariant value = data.variables.value(name);
    QVERIFY(!value.isNull());
    if (expected.typeId() == QMetaType::Double)
        QCOMPARE(value.toDouble(), expected.toDouble());
    else
        QCOMPARE(value.toString(), expected.toString());
    QCOMPARE(data.variables.size(), 18);
}

void TestRouteSheet::datasets()
{
    reports::ReportInput data;
    QCOMPARE(reports::gatherRouteSheetData(*m_session, *m_qp, data), reports::RouteSheetData::Ok);
    QCOMPARE(data.datasets.keys(), (QStringList{"FRDB1", "FRDB2", "FRDB3"}));

    const QList<QVariantMap> &points = data.datasets.value(QStringLiteral("FRDB1"));
    QCOMPARE(points.size(), 3);
    QStringList ids;
    for (const QVariantMap &p : points)
        ids << p.value(QStringLiteral("Number")).toString() + u' ' + p.value(QStringLiteral("Punkts.ID")).toString();
    QCOMPARE(ids, (QStringList{"1 UUEE", "2 RATIN", "3 URSS"}));
    const QStringList columns{"Number", "Punkt",   "Punkts.ID", "Punkts.Name", "Type", "Freq",  "LAT",
                              "LON",    "MS",      "H",         "ATIS",        "RSBNKorr", "H_PER", "FL_PER",
                              "OZMPU_V", "OZMPU_P", "S",        "LUR",         "Sp",   "P_V",   "P_P",
                              "MPU",    "IPU",     "RSBN",      "RSBN.ID",     "Sm",   "Zm",    "UKm",
                              "Am",     "Dm",      "RSBN.Name"};
    for (const QString &c : columns)
        QVERIFY2(points[0].contains(c), qPrintable(c));
    QCOMPARE(points[0].size(), columns.size());
    QCOMPARE(points[0].value(QStringLiteral("RSBN.ID")).toString(), QStringLiteral("KR"));
    QCOMPARE(points[0].value(QStringLiteral("RSBN.Name")).toString(), QStringLiteral("25 Крылово"));
    QCOMPARE(points[0].value(QStringLiteral("Punkts.Name")).toString(), QStringLiteral("Шереметьево"));
    QCOMPARE(points[0].value(QStringLiteral("S")).toDouble(), -182.0);
    QVERIFY(points[1].value(QStringLiteral("RSBN")).isNull());
    QVERIFY(points[1].value(QStringLiteral("RSBN.ID")).isNull());
    QVERIFY(points[1].value(QStringLiteral("RSBN.Name")).isNull());
    QCOMPARE(points[1].value(QStringLiteral("RSBNKorr")).toString(), QStringLiteral("  -  "));

    const auto runways = [&](const char *dataset) {
        QStringList out;
        for (const QVariantMap &r : data.datasets.value(QLatin1String(dataset)))
            out << r.value(QStringLiteral("Runway")).toString();
        return out;
    };
    QCOMPARE(runways("FRDB2"), (QStringList{"06L", "24R"}));
    QCOMPARE(runways("FRDB3"), (QStringList{"02"}));
    QCOMPARE(data.datasets.value(QStringLiteral("FRDB2")).at(0).value(QStringLiteral("DPRM")).toDouble(), 385.0);

    // The route editor's list is not left open on the printed route.
    QVERIFY(!m_qp->isOpen());
}

void TestRouteSheet::pointListFollowsTheRoute()
{
    QSqlDatabase db = m_session->ADOC.sql();
    // Another route's point and a point whose waypoint was deleted stay out.
    const qint64 other = m_fix->addRoute(QStringLiteral("other"));
    m_fix->addPoint(other, 1, m_ratin);
    const qint64 gone = m_fix->addPunkt(QStringLiteral("GONE"), QStringLiteral("N50*00.00"), QStringLiteral("E030*00.00"));
    m_fix->addPoint(m_route, 4, gone);
    exec("DELETE FROM Punkts WHERE Code = ?", {gone});
    // A beacon that was deleted shows as no beacon.
    exec("DELETE FROM RSBN WHERE ID = 'KR'");

    QVERIFY2(interchange::openRoutePoints(*m_qp, m_route), qPrintable(m_qp->lastError()));
    QCOMPARE(m_qp->rowCount(), 3);
    QVERIFY(m_qp->last());
    QCOMPARE(m_qp->value(u"Punkts.ID").toString(), QStringLiteral("URSS"));
    QVERIFY(m_qp->first());
    QVERIFY(!m_qp->value(u"RSBN").isNull());
    QVERIFY(m_qp->value(u"RSBN.ID").isNull());
    QCOMPARE(m_qp->value(u"RSBNKorr").toString(), QStringLiteral("NP  -  37 Шереметьево"));
}

void TestRouteSheet::refusals_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message"); // {line}: the line of the layout the reason names
    const QString layout = QStringLiteral("Ошибка открытия формы отчета pp.fr3!\r\n");
    QTest::newRow("pp.fr3 missing") << "missing" << layout + "pp.fr3: файл не найден";
    QTest::newRow("pp.fr3 broken")
        << "broken" << layout + "pp.fr3: строка 1: это не макет отчета Kalyx (первая строка должна быть \"kalyx-report 1\")";
    QTest::newRow("layout names an unknown variable")
        << "unknown" << layout + "строка {line}: неизвестное имя \"Pilot\" в выражении \"Pilot\"";
    // Checked when the layout is loaded, not only where a row is printed.
    QTest::newRow("a field misspelt in a runway band without rows")
        << "misspelt" << layout + "строка {line}: неизвестное имя \"Sm_PP\" в выражении \"Sm_PP\"";
    QTest::newRow("route without points") << "empty" << layout + "в маршруте нет пунктов";
    QTest::newRow("QP cannot be opened") << "query" << "Ошибка выполнения запроса [QP]!";
}

void TestRouteSheet::refusals()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);
    const QString layoutPath = m_folder->file(QStringLiteral("pp.fr3"));
    if (situation != u"missing")
        QVERIFY(copyDeliveredLayout());
    int line = 0;
    if (situation == u"broken") {
        QFile f(layoutPath);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TfrxReport Version=\"4.0\">\n");
    } else if (situation == u"unknown") {
        QFile f(layoutPath);
        QVERIFY(f.open(QIODevice::ReadWrite));
        line = f.readAll().count('\n') + 2;
        f.write("band summary height=5 {\n  text x=0 y=0 w=50 h=5 text=\"[Pilot]\"\n}\n");
    } else if (situation == u"misspelt") {
        exec("DELETE FROM Runways");
        QFile f(layoutPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray text = f.readAll();
        f.close();
        text.replace("[Sm_P]", "[Sm_PP]");
        line = text.left(text.indexOf("[Sm_PP]")).count('\n') + 1;
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    } else if (situation == u"empty") {
        exec("DELETE FROM Points");
    } else if (situation == u"query") {
        exec("DROP TABLE RSBN");
    }
    message.replace(QStringLiteral("{line}"), QString::number(line));

    reports::RouteSheet sheet;
    QString detail;
    QVERIFY(!reports::prepareRouteSheet(*m_session, *m_qp, &m_routeList, sheet, &detail));
    QVERIFY(!detail.isEmpty());
    QCOMPARE(m_prompter->messages().size(), 1);
    QCOMPARE(m_prompter->messages().at(0).kind, test::RecordingPrompter::Kind::Error);
    QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Main"));
    QCOMPARE(m_prompter->lastText(), message);
    QVERIFY(!m_qp->isOpen());
    if (situation == u"missing" || situation == u"broken")
        QVERIFY2(m_qp->sql().isEmpty(), "the layout is loaded before the points are read");
}

// Every text of the sheet, where it is printed and as it reads: the whole
// first page of the route's sheet against the fixture tables at the top of
// this file. A changed format, a missing or swapped value or a lost caption in
// pp.fr3 or the renderer shows here as the cell that differs.
void TestRouteSheet::sheetOfTheRoute()
{
    QVERIFY(copyDeliveredLayout());
    reports::RouteSheet sheet;
    QString detail;
    QVERIFY2(reports::prepareRouteSheet(*m_session, *m_qp, &m_routeList, sheet, &detail), qPrintable(detail));
    QVERIFY(m_prompter->messages().isEmpty());
    const reports::PreparedReport &report = sheet.prepared;
    QCOMPARE(report.pages.size(), 1);

    const QMap<QString, QString> expected = expectedSheet();
    QMap<QString, QString> printed;
    for (const reports::PageItem &item : report.pages.at(0).items)
        if (item.kind == reports::PageItem::Kind::Text) {
            const QString at = position(item.rect.x(), item.rect.y());
            QVERIFY2(!printed.contains(at), qPrintable(QStringLiteral("two texts at ") + at));
            printed.insert(at, item.text);
        }
    QStringList differences;
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it)
        if (!printed.contains(it.key()))
            differences << QStringLiteral("%1: \"%2\" is missing").arg(it.key(), it.value());
        else if (printed.value(it.key()) != it.value())
            differences << QStringLiteral("%1: \"%2\" instead of \"%3\"").arg(it.key(), printed.value(it.key()), it.value());
    for (auto it = printed.constBegin(); it != printed.constEnd(); ++it)
        if (!expected.contains(it.key()))
            differences << QStringLiteral("%1: \"%2\" is not on the sheet").arg(it.key(), it.value());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));

    // The PDF holds the same texts, each inside its own cell: the words a PDF
    // reader finds within a cell's rectangle spell the cell's text.
    QString error;
    const QString pdf = m_folder->file(QStringLiteral("UUEE-URSS.pdf"));
    QVERIFY2(reports::writePdf(report, pdf, &error), qPrintable(error));
    QList<test::PdfPage> pages;
    KX_NEEDS_BUILD_MACHINE_TOOL("pdftotext");
    QVERIFY(test::pdfWords(pdf, pages));
    QCOMPARE(pages.size(), 1);
    const double pt = 72 / 25.4;
    const QMarginsF margins = report.page.margins;
    const auto letters = [](QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); };
    for (const reports::PageItem &item : report.pages.at(0).items) {
        if (item.kind != reports::PageItem::Kind::Text)
            continue;
        const QRectF cell((item.rect.x() + margins.left()) * pt, (item.rect.y() + margins.top()) * pt,
                          item.rect.width() * pt, item.rect.height() * pt);
        QString found;
        for (const test::PdfWord &w : pages[0].words)
            if (cell.contains(w.box.center()))
                found += w.text;
        QVERIFY2(letters(found) == letters(item.text),
                 qPrintable(QStringLiteral("%1: the PDF has \"%2\" for \"%3\"")
                                .arg(position(item.rect.x(), item.rect.y()), found, item.text)));
    }
}

void TestRouteSheet::pdfFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("written") << "sheet.pdf" << "";
    QTest::newRow("folder missing") << "missing/sheet.pdf" << "Ошибка записи в файл!";
}

void TestRouteSheet::pdfFile()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QVERIFY(copyDeliveredLayout());
    const QString path = m_folder->file(name);
    QString detail;
    const bool written = reports::writeRouteSheetPdf(*m_session, *m_qp, &m_routeList, path, &detail);
    QCOMPARE(written, message.isEmpty());
    QCOMPARE(QFileInfo::exists(path), written);
    QCOMPARE(m_prompter->lastText(), message);
    if (written) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
    } else {
        QCOMPARE(m_prompter->messages().at(0).owner, QStringLiteral("TF_Main"));
        QCOMPARE(detail, QDir::toNativeSeparators(path) + QStringLiteral(": Папка не найдена."));
    }
}

QTEST_MAIN(TestRouteSheet)
#include "tst_routesheet.moc"
