#include "interchange/ReportData.h"
#include "interchange/RoutePointsQuery.h"
#include "reports/LayoutParser.h"
#include "reports/PagePainter.h"
#include "reports/RouteSheet.h"
#include "store/Session.h"

#include "Fixture.h"
#include "RecordingPrompter.h"
#include "TestFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>

using namespace kx;

namespace {

// Row positions of the delivered sheet: title 14, column header 8.3, rows 8.4.
constexpr double kFirstRowTop = 14 + 8.3;
constexpr double kRowHeight = 8.4;

bool exec(QSqlDatabase db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        qWarning("%s", qPrintable(q.lastError().text()));
        return false;
    }
    return true;
}

// The text of the sheet's cell whose rectangle starts at (x, y) on the first page.
QString cell(const reports::PreparedReport &report, double x, double y)
{
    for (const reports::PageItem &item : report.pages.at(0).items)
        if (item.kind == reports::PageItem::Kind::Text && qAbs(item.rect.x() - x) < 1e-6 && qAbs(item.rect.y() - y) < 1e-6)
            return item.text;
    return QStringLiteral("<no cell>");
}

} // namespace

class TestRouteSheet : public QObject
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

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<test::Fixture> m_fix;
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
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_session = std::make_unique<store::Session>(m_folder->path(), *m_prompter);
    QVERIFY2(m_session->ADOC.open(m_session->databasePath()), qPrintable(m_session->ADOC.lastError()));
    m_fix = std::make_unique<test::Fixture>(m_session->ADOC.sql());
    m_qp = std::make_unique<store::Query>(m_session->ADOC, QStringLiteral("QP"));
    buildRoute();
}

void TestRouteSheet::cleanup()
{
    m_qp.reset();
    m_fix.reset();
    m_session.reset();
    m_prompter.reset();
    m_folder.reset();
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
    test::Fixture::Waypoint w;
    w.id = QStringLiteral("UUEE");
    w.name = QStringLiteral("Шереметьево");
    w.type = QStringLiteral("Airport");
    w.lat = QStringLiteral("N55*58.33");
    w.lon = QStringLiteral("E037*24.87");
    m_uuee = m_fix->addPunkt(w);
    w.id = QStringLiteral("RATIN");
    w.name = QStringLiteral("Ратин");
    w.type = QStringLiteral("VOR");
    w.region = QStringLiteral("UU");
    w.lat = QStringLiteral("N52*55.00");
    w.lon = QStringLiteral("E038*10.00");
    m_ratin = m_fix->addPunkt(w);
    w.id = QStringLiteral("URSS");
    w.name = QString();
    w.type = QStringLiteral("Airport");
    w.region = QString();
    w.lat = QStringLiteral("N43*26.95");
    w.lon = QStringLiteral("E039*56.42");
    m_urss = m_fix->addPunkt(w);
    QVERIFY(exec(db, "UPDATE Punkts SET H = 622, ATIS = NULL, FL_PER = 1500, H_PER = NULL, RSBN = ? WHERE Code = ?", {np, m_uuee}));
    QVERIFY(exec(db, "UPDATE Punkts SET Freq = 114.1, MS = 9.7 WHERE Code = ?", {m_ratin}));
    QVERIFY(exec(db, "UPDATE Punkts SET H = 89, ATIS = 128.1, MS = 6.2 WHERE Code = ?", {m_urss}));

    m_route = m_fix->addRoute(QStringLiteral("UUEE-URSS"), 1498.8, QDateTime(QDate(2026, 1, 5), QTime(10, 0)));
    QVERIFY(exec(db, "UPDATE Routes SET Vilka = 7.9, AP_V = 'UUEE', AP_P = 'URSS' WHERE Code = ?", {m_route}));
    // Inserted out of order: the sheet follows Number.
    const qint64 p3 = m_fix->addPoint(m_route, 3, m_urss);
    const qint64 p1 = m_fix->addPoint(m_route, 1, m_uuee, kr);
    const qint64 p2 = m_fix->addPoint(m_route, 2, m_ratin);
    QVERIFY(exec(db,
                 "UPDATE Points SET S = -182.4, Sp = 0, OZMPU_V = 45.2, OZMPU_P = 355.9, LUR = 10, P_V = 1.2, "
                 "P_P = -3.4, MPU = 181.3, IPU = 192.6, Sm = -12.5, Zm = 45.1, UKm = 7.3, Am = 88.2, Dm = 130.4 "
                 "WHERE Code = ?",
                 {p1}));
    QVERIFY(exec(db,
                 "UPDATE Points SET S = -1316.4, Sp = 182.4, OZMPU_V = 163.0, OZMPU_P = 171.1, LUR = 15, "
                 "MPU = 190.5, IPU = 200.2 WHERE Code = ?",
                 {p2}));
    QVERIFY(exec(db, "UPDATE Points SET Sp = 1498.8 WHERE Code = ?", {p3}));

    QVERIFY(exec(db, "INSERT INTO Runways (AP, Runway, DPRM, BPRM, ILSAngle, ILSFreq, IZPU_P, Zm_P, Sm_P) "
                     "VALUES (?, '06L', 0.38, 0.75, 64, 111.1, 73.2, 2.1, -5.3)", {m_uuee}));
    QVERIFY(exec(db, "INSERT INTO Runways (AP, Runway, ILSAngle, ILSFreq, IZPU_P) VALUES (?, '24R', 244, 110.1, 253.2)",
                 {m_uuee}));
    QVERIFY(exec(db, "INSERT INTO Runways (AP, Runway, ILSAngle, ILSFreq, IZPU_P) VALUES (?, '02', 16, 109.7, 21.9)",
                 {m_urss}));

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
    interchange::ReportData data;
    QString error;
    QCOMPARE(interchange::gatherReportData(*m_session, *m_qp, data, &error), interchange::ReportDataResult::Ok);
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
    interchange::ReportData data;
    QCOMPARE(interchange::gatherReportData(*m_session, *m_qp, data), interchange::ReportDataResult::Ok);
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
    QCOMPARE(points[0].value(QStringLiteral("S")).toDouble(), -182.4);
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
    QCOMPARE(data.datasets.value(QStringLiteral("FRDB2")).at(0).value(QStringLiteral("DPRM")).toDouble(), 0.38);

    // The shared work objects are left closed.
    QVERIFY(!m_session->Q2.isOpen());
    QVERIFY(!m_session->Q3.isOpen());
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
    QVERIFY(exec(db, "DELETE FROM Punkts WHERE Code = ?", {gone}));
    // A beacon that was deleted shows as no beacon.
    QVERIFY(exec(db, "DELETE FROM RSBN WHERE ID = 'KR'"));

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
        QVERIFY(exec(m_session->ADOC.sql(), "DELETE FROM Runways"));
        QFile f(layoutPath);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray text = f.readAll();
        f.close();
        text.replace("[Sm_P]", "[Sm_PP]");
        line = text.left(text.indexOf("[Sm_PP]")).count('\n') + 1;
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    } else if (situation == u"empty") {
        QVERIFY(exec(m_session->ADOC.sql(), "DELETE FROM Points"));
    } else if (situation == u"query") {
        QVERIFY(exec(m_session->ADOC.sql(), "DROP TABLE RSBN"));
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
    QVERIFY(!m_session->Q2.isOpen());
    QVERIFY(!m_session->Q3.isOpen());
    QVERIFY(!m_qp->isOpen());
    if (situation == u"missing" || situation == u"broken")
        QVERIFY2(m_qp->sql().isEmpty(), "the layout is loaded before the points are read");
}

void TestRouteSheet::sheetOfTheRoute()
{
    QVERIFY(copyDeliveredLayout());
    reports::RouteSheet sheet;
    QString detail;
    QVERIFY2(reports::prepareRouteSheet(*m_session, *m_qp, &m_routeList, sheet, &detail), qPrintable(detail));
    QVERIFY(m_prompter->messages().isEmpty());
    const reports::PreparedReport &report = sheet.prepared;
    QCOMPARE(report.pages.size(), 1);

    const double row1 = kFirstRowTop;
    const double row2 = kFirstRowTop + kRowHeight;
    const double row3 = kFirstRowTop + 2 * kRowHeight;
    // The leg length stored negative prints as its absolute value.
    QCOMPARE(cell(report, 113, row1), QStringLiteral("182,4"));
    QCOMPARE(cell(report, 113, row2), QStringLiteral("1316,4"));
    QCOMPARE(cell(report, 113, row3), QString());
    // The correction beacon of the first leg; none on the second: both cells empty.
    QCOMPARE(cell(report, 160, row1), QStringLiteral("KR"));
    QCOMPARE(cell(report, 160, row1 + 4.2), QStringLiteral("25 Крылово "));
    QCOMPARE(cell(report, 160, row2).trimmed(), QString());
    QCOMPARE(cell(report, 160, row2 + 4.2).trimmed(), QString());
    QCOMPARE(cell(report, 208, row2).trimmed(), QString());
    QCOMPARE(cell(report, 224, row2), QString());
    // Formats of the row.
    QCOMPARE(cell(report, 94, row1), QStringLiteral(" 045,2"));
    QCOMPARE(cell(report, 82, row1), QStringLiteral(",0")); // MS 0 under "#.0"
    QCOMPARE(cell(report, 82, row2), QStringLiteral("9,7"));
    QCOMPARE(cell(report, 40, row2 + 4.2), QStringLiteral("114,10 "));
    QCOMPARE(cell(report, 252, row2 + 4.2), QStringLiteral("1316,4 "));
    QCOMPARE(cell(report, 0, row3), QStringLiteral("3"));
    // The destination airport has no beacon of its own: only the separator.
    QCOMPARE(cell(report, 169.1, row3 + kRowHeight + 23), QStringLiteral("  -  "));

    QString error;
    const QString pdf = m_folder->file(QStringLiteral("UUEE-URSS.pdf"));
    QVERIFY2(reports::writePdf(report, pdf, &error), qPrintable(error));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext is needed (Debian package poppler-utils)");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *expected : {"Маршрут", "UUEE-URSS (UUEE - URSS)", "Протяженность, км", "1498,8", "Поправка, град.",
                                 "7,9", "Эшелон, м", "9449", "ОЗМПУв", "Маяк РСБН", "Аэропорт вылета", "Аэропорт посадки",
                                 "189,6 м (16,1 мм рт.ст.)", "27,1 м (2,3 мм рт.ст.)", "0,00 МГц", "128,10 МГц", "1500 м",
                                 "Частоты приводов", "06L", "111,10", "-5,3", "0,38"}) {
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("UUEE\\s+-\\s+Шереметьево"))));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("NP\\s+-\\s+37 Шереметьево"))));
    QVERIFY(!text.contains(u"-182,4"));
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
        QVERIFY(!detail.isEmpty());
    }
}

QTEST_MAIN(TestRouteSheet)
#include "tst_routesheet.moc"
