#include "interchange/FlightGearRoute.h"
#include "interchange/Pa3Plan.h"
#include "interchange/RsbnDat.h"
#include "interchange/SimPlanParts.h"
#include "interchange/XPlaneFms.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

using namespace kx::interchange;

// The files of X-Plane and FlightGear as they are written and read, without a
// database: the exact text of a plan, what the readers make of real and broken
// files, the tablet's JSON and the comparison of RSBN lists.
class TestSimFormats : public QObject
{
    Q_OBJECT
private slots:
    void airacCycles_data();
    void airacCycles();

    void fmsOfARoute();
    void fmsWithoutAirportsAtTheEnds();
    void fmsReadsRealPlans_data();
    void fmsReadsRealPlans();
    void brokenPlanFiles_data();
    void brokenPlanFiles();

    void flightGearRouteOfARoute();
    void flightGearReadsItsOwnRoutes();

    void pa3PlanOfARoute();
    void pa3CourseAsDialled_data();
    void pa3CourseAsDialled();

    void rsbnListAgainstTheCatalogue();

    void damagedFilesGiveAPlanOrAMessage();
    void planFormatFromTheFirstLines_data();
    void planFormatFromTheFirstLines();
};

namespace {

SimPoint point(const QString &id, const QString &type, const QString &lat, const QString &lon, double feet = 0)
{
    SimPoint p;
    p.id = id;
    p.type = type;
    p.lat = lat;
    p.lon = lon;
    p.feet = feet;
    return p;
}

// The demo route's ends with a radio aid, a fix and a point without a usable
// ident between them.
SimRoute sampleRoute()
{
    SimRoute r;
    r.name = QStringLiteral("Москва - Сочи");
    r.departure = QStringLiteral("UUEE");
    r.destination = QStringLiteral("URSS");
    r.departureName = QStringLiteral("Sheremetyevo International Airport");
    r.destinationName = QStringLiteral("Sochi International Airport");
    r.totalKm = 1361.4;
    r.points = {point("UUEE", "Airport", "55.972667", "37.414667", 622),
                point("DE", "NDB", "55.366667", "37.978333", 515),
                point("ADL", "VOR", "43.403333", "39.948333"),
                point("GOTIK", "", "-0.500000", "-179.500000"),
                point("", "", "43.500000", "39.900000"),
                point("URSS", "Airport", "43.449833", "39.956667", 89)};
    r.legs = {{66.9, 150.3}, {1300.1, 176.4}, {10.0, 359.9}, {20.0, -3.2}, {5.5, 362.5}};
    return r;
}

QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes); }

QString typeName(PlanPointType type)
{
    switch (type) {
    case PlanPointType::Airport:
        return "A";
    case PlanPointType::Vor:
        return "V";
    case PlanPointType::Ndb:
        return "N";
    case PlanPointType::None:
        return "-";
    case PlanPointType::Unknown:
        break;
    }
    return "?";
}

// "DEP>DEST 0ft" and per point "ident/type/lat/lon/altitude"; every point
// without a region of its own.
QString describe(const Plan &plan)
{
    QStringList parts{QStringLiteral("%1>%2 %3ft")
                          .arg(plan.header.departureId, plan.header.destinationId)
                          .arg(plan.header.cruisingAltitude)};
    for (const PlanPoint &p : plan.points)
        parts << QStringLiteral("%1/%2/%3/%4/%5").arg(p.ident, typeName(p.type), p.lat, p.lon).arg(p.altitude)
                     + (p.regionKnown || !p.region.isEmpty() ? "/region" : "");
    return parts.join(u' ');
}

} // namespace

void TestSimFormats::airacCycles_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("cycle");
    QTest::newRow("first day of 2604") << QDate(2026, 4, 16) << 2604;
    QTest::newRow("day before it") << QDate(2026, 4, 15) << 2603;
    QTest::newRow("new year still in the old year's cycle") << QDate(2025, 1, 22) << 2413;
    QTest::newRow("first cycle of 2025") << QDate(2025, 1, 23) << 2501;
    QTest::newRow("2020 had fourteen cycles") << QDate(2021, 1, 27) << 2014;
    QTest::newRow("before the reference cycle") << QDate(2020, 1, 1) << 1913;
    QTest::newRow("reference cycle") << QDate(2020, 1, 2) << 2001;
}

void TestSimFormats::airacCycles()
{
    QFETCH(QDate, date);
    QTEST(airacCycle(date), "cycle");
}

void TestSimFormats::fmsOfARoute()
{
    QCOMPARE(text(writeFms(sampleRoute(), 2604)), QString("I\n"
                                                          "1100 Version\n"
                                                          "CYCLE 2604\n"
                                                          "ADEP UUEE\n"
                                                          "ADES URSS\n"
                                                          "NUMENR 6\n"
                                                          "1 UUEE ADEP 622.000000 55.972667 37.414667\n"
                                                          "2 DE DRCT 0.000000 55.366667 37.978333\n"
                                                          "3 ADL DRCT 0.000000 43.403333 39.948333\n"
                                                          "11 GOTIK DRCT 0.000000 -0.500000 -179.500000\n"
                                                          "28 +43.500_+039.900 DRCT 0.000000 43.500000 39.900000\n"
                                                          "1 URSS ADES 89.000000 43.449833 39.956667\n"));
}

void TestSimFormats::fmsWithoutAirportsAtTheEnds()
{
    SimRoute route = sampleRoute();
    route.points = route.points.mid(1, 3);
    route.legs = route.legs.mid(1, 2);
    const QString fms = text(writeFms(route, 101));
    QVERIFY2(fms.startsWith("I\n1100 Version\nCYCLE 0101\nDEP DE\nDES GOTIK\nNUMENR 3\n2 DE DRCT "), qPrintable(fms));

    // What is written reads back as the same points, the kinds of the
    // catalogue kept (a fix and a bare position are both intersections).
    Plan plan;
    QString why;
    QVERIFY2(readFms(writeFms(sampleRoute(), 2604), "/plans/UUEE-URSS.fms", &plan, &why), qPrintable(why));
    QCOMPARE(describe(plan), QString("UUEE>URSS 0ft UUEE/A/N55*58.36/E037*24.88/622 DE/N/N55*22.00/E037*58.70/0 "
                                     "ADL/V/N43*24.20/E039*56.90/0 GOTIK/-/S00*30.00/W179*30.00/0 "
                                     "+43.500_+039.900/-/N43*30.00/E039*54.00/0 URSS/A/N43*26.99/E039*57.40/89"));
    QCOMPARE(plan.routeName, QString("UUEE-URSS"));
    QCOMPARE(plan.fileName, QString("UUEE-URSS.fms"));
    QCOMPARE(plan.points.at(1).where, QString("DE (строка 8)"));
}

void TestSimFormats::fmsReadsRealPlans_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("plan");

    QTest::newRow("version 1100 as X-Plane writes it")
        << QByteArray("I\n1100 Version\nCYCLE 2604\nADEP UUEE\nADES URSS\nNUMENR 5\n"
                      "1 UUEE ADEP 622.000000 55.972778 37.414722\n"
                      "11 DE DRCT 0.000000 55.6 37.9\n"
                      "3 ADL DRCT 0.000000 43.4 39.9\n"
                      "28 +43.500_+039.900 DRCT 0.000000 43.5 39.9\n"
                      "1 URSS ADES 89.000000 43.449722 39.941111\n")
        << "UUEE>URSS 0ft UUEE/A/N55*58.37/E037*24.88/622 DE/-/N55*36.00/E037*54.00/0 ADL/V/N43*24.00/E039*54.00/0 "
           "+43.500_+039.900/-/N43*30.00/E039*54.00/0 URSS/A/N43*26.98/E039*56.47/89";
    QTest::newRow("1100 with procedures, tabs, CR LF, a byte-order mark and a blank line")
        << QByteArray("\xEF\xBB\xBF"
                      "A\r\n1100 Version\r\nCYCLE 1710\r\nADEP KGSO\r\nDEPRWY RW14\r\nSID TRSHA1\r\n"
                      "SIDTRANS BAWDS\r\nADES KRDU\r\nDESRWY RW05L\r\nSTAR BLOCC1\r\nAPP I05L\r\n\r\nNUMENR 2\r\n"
                      "1\tKGSO\tADEP\t925.000000\t36.097747\t-79.937297\r\n"
                      "1 KRDU ADES 435.000000 35.877639 -78.787472\r\n")
        << "KGSO>KRDU 0ft KGSO/A/N36*05.86/W079*56.24/925 KRDU/A/N35*52.66/W078*47.25/435";
    QTest::newRow("version 3 with an empty entry")
        << QByteArray("I\n3 version\n1\n4\n1 EDDM 0.000000 48.364822 11.794361\n2 GL 1000 57.083820 9.680093\n"
                      "3 KFK 2000 38.803889 30.546944\n11 DETKO 0.600000 28.097222 49.525000\n"
                      "0 ---- 0.000000 0.000000 0.000000\n"
                      "28 +13.691_+100.760 0.000000 13.691230 100.760811\n")
        << "EDDM> 2000ft EDDM/A/N48*21.89/E011*47.66/0 GL/N/N57*05.03/E009*40.81/0 KFK/V/N38*48.23/E030*32.82/0 "
           "DETKO/-/N28*05.83/E049*31.50/0 +13.691_+100.760/-/N13*41.47/E100*45.65/0";
}

void TestSimFormats::fmsReadsRealPlans()
{
    QFETCH(QByteArray, file);
    Plan plan;
    QString why;
    QVERIFY2(readFms(file, "plan.fms", &plan, &why), qPrintable(why));
    QTEST(describe(plan), "plan");
}

void TestSimFormats::brokenPlanFiles_data()
{
    QTest::addColumn<bool>("flightGear");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("why");

    const QString unreadable = "Ошибка чтения файла plan.fms !\r\n";
    const QByteArray head = "I\n1100 Version\nCYCLE 2604\nADEP UUEE\nADES URSS\n";
    const QByteArray uuee = "1 UUEE ADEP 622.000000 55.972778 37.414722\n";
    const QByteArray urss = "1 URSS ADES 89.000000 43.449722 39.941111\n";
    QTest::newRow("empty") << false << QByteArray() << unreadable + "Это не план X-Plane";
    QTest::newRow("binary") << false << QByteArray("\x00\xff\xfe\x01\x02 garbage\n\x00", 16)
                            << unreadable + "Это не план X-Plane";
    QTest::newRow("a flight plan of FS2004")
        << false << QByteArray("[flightplan]\r\ntitle=UUEE to URSS\r\n") << unreadable + "Это не план X-Plane";
    QTest::newRow("another version") << false << QByteArray("I\n1000 Version\n")
                                     << unreadable + "Версия плана X-Plane 1000 не поддерживается";
    QTest::newRow("no count") << false << head + uuee + urss
                              << "Нет строки NUMENR с числом ППМ в строке 6 файла plan.fms";
    QTest::newRow("count of nothing") << false << head + "NUMENR lots\n" + uuee
                                      << "Нет строки NUMENR с числом ППМ в строке 6 файла plan.fms";
    QTest::newRow("fewer points than promised")
        << false << head + "NUMENR 3\n" + uuee + urss << unreadable + "NUMENR обещает 3 ППМ, а в файле 2.";
    QTest::newRow("truncated line")
        << false << head + "NUMENR 2\n" + uuee + "1 URSS ADES 89.000000 43.4\n"
        << "Неправильная строка ППМ \"1 URSS ADES 89.000000 43.4\" в строке 8 файла plan.fms";
    QTest::newRow("latitude beyond the pole") << false << head + "NUMENR 2\n" + uuee + "1 URSS ADES 89 95.5 39.9\n"
                                              << "Неверная широта \"95.5\" в строке 8 файла plan.fms";
    QTest::newRow("longitude that is no number") << false << head + "NUMENR 2\n" + uuee + "1 URSS ADES 89 43.4 nan\n"
                                                 << "Неверная долгота \"nan\" в строке 8 файла plan.fms";
    QTest::newRow("altitude that is no number") << false << head + "NUMENR 2\n" + uuee + "1 URSS ADES high 43.4 39.9\n"
                                                << "Неверная высота \"high\" в строке 8 файла plan.fms";
    QTest::newRow("type that is no number") << false << head + "NUMENR 2\n" + uuee + "apt URSS ADES 89 43.4 39.9\n"
                                            << "Неправильная строка ППМ \"apt URSS";
    QTest::newRow("ident with a control character")
        << false << head + "NUMENR 2\n" + uuee + "1 UR\x01SS ADES 89 43.4 39.9\n"
        << "Неверный идентификатор";
    QTest::newRow("one point") << false << head + "NUMENR 1\n" + uuee << "Неправильный формат файла plan.fms !";
    QTest::newRow("old format without points")
        << false << QByteArray("I\n3 version\n1\n0\n") << "Ошибка чтения файла plan.fms !";
    QTest::newRow("old format without its numbers") << false << QByteArray("I\n3 version\n1 EDDM 0 48.3 11.7\n")
                                                    << "Нет двух чисел после строки версии в строке 3 файла plan.fms";

    const QString unreadableRoute = "Ошибка чтения файла route.xml !\r\n";
    const QByteArray fgHead = "<PropertyList><version>2</version><route>";
    const QByteArray a = "<wp><type>basic</type><ident>A</ident><lat>55</lat><lon>37</lon></wp>";
    const QByteArray fgTail = "</route></PropertyList>";
    QTest::newRow("FlightGear: empty") << true << QByteArray()
                                       << unreadableRoute + "строка 1: файл обрывается, документ не закончен";
    QTest::newRow("FlightGear: not XML") << true << QByteArray("I\n1100 Version\n")
                                         << unreadableRoute + "строка 1: это не правильно составленный XML";
    QTest::newRow("FlightGear: cut off") << true << fgHead + a << unreadableRoute + "строка 1: файл обрывается";
    QTest::newRow("FlightGear: another document")
        << true << QByteArray("<gpx><route/></gpx>") << unreadableRoute + "Это не маршрут FlightGear";
    QTest::newRow("FlightGear: no route") << true << QByteArray("<PropertyList><version>2</version></PropertyList>")
                                          << unreadableRoute + "Это не маршрут FlightGear";
    QTest::newRow("FlightGear: version 1")
        << true << QByteArray("<PropertyList><version>1</version><route/></PropertyList>")
        << unreadableRoute + "Версия маршрута FlightGear 1 не поддерживается";
    QTest::newRow("FlightGear: a waypoint without a position")
        << true << fgHead + a + "<wp><type>navaid</type><ident>B</ident></wp>" + fgTail
        << "Неверная широта \"\" в wp 2 (B) файла route.xml";
    QTest::newRow("FlightGear: a waypoint without an ident")
        << true << fgHead + a + "<wp><type>basic</type><lat>55</lat><lon>37</lon></wp>" + fgTail
        << "Неверный идентификатор \"\" в wp 2 файла route.xml";
    QTest::newRow("FlightGear: a longitude beyond the date line")
        << true << fgHead + a + "<wp><type>basic</type><ident>B</ident><lat>55</lat><lon>181</lon></wp>" + fgTail
        << "Неверная долгота \"181\" в wp 2 (B) файла route.xml";
    QTest::newRow("FlightGear: one waypoint") << true << fgHead + a + fgTail << "Неправильный формат файла route.xml !";
    QTest::newRow("FlightGear: entities that multiply")
        << true
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                      "<PropertyList><version>2</version><route><wp><ident>&c;</ident></wp></route>"
                      "</PropertyList>")
        << unreadableRoute + "строка 1: объявления DTD и сущностей в плане не допускаются";
    QTest::newRow("FlightGear: nested without end")
        << true << QByteArray("<PropertyList>") + QByteArray("<a>").repeated(100)
        << unreadableRoute + "строка 1: элементы вложены глубже 32 уровней";
}

void TestSimFormats::brokenPlanFiles()
{
    QFETCH(bool, flightGear);
    QFETCH(QByteArray, file);
    QFETCH(QString, why);
    Plan plan;
    plan.routeName = "untouched";
    QString message;
    QVERIFY(!(flightGear ? readFlightGearRoute(file, "/plans/route.xml", &plan, &message)
                         : readFms(file, "/plans/plan.fms", &plan, &message)));
    QVERIFY2(message.startsWith(why), qPrintable(message));
    QCOMPARE(plan.routeName, QString("untouched"));
    QVERIFY(plan.points.isEmpty());
}

void TestSimFormats::flightGearRouteOfARoute()
{
    const QByteArray xml = writeFlightGearRoute(sampleRoute());
    QVERIFY(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PropertyList>\n"
                           "  <version type=\"int\">2</version>\n"
                           "  <departure>\n    <airport type=\"string\">UUEE</airport>\n  </departure>\n"
                           "  <destination>\n    <airport type=\"string\">URSS</airport>\n  </destination>\n"
                           "  <route>\n    <wp>\n      <type type=\"string\">basic</type>\n"
                           "      <ident type=\"string\">UUEE</ident>\n"
                           "      <lon type=\"double\">37.414667</lon>\n"
                           "      <lat type=\"double\">55.972667</lat>\n    </wp>\n    <wp n=\"1\">\n"));
    QXmlStreamReader reader(xml);
    int waypoints = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"wp")
            ++waypoints;
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(waypoints, 6);

    // Read back: the same points; the ends are the airports, the file tells
    // nothing of the kind of the others.
    Plan plan;
    QString why;
    QVERIFY2(readFlightGearRoute(xml, "UUEE-URSS.xml", &plan, &why), qPrintable(why));
    QCOMPARE(describe(plan), QString("UUEE>URSS 0ft UUEE/A/N55*58.36/E037*24.88/0 DE/?/N55*22.00/E037*58.70/0 "
                                     "ADL/?/N43*24.20/E039*56.90/0 GOTIK/?/S00*30.00/W179*30.00/0 "
                                     "+43.500_+039.900/?/N43*30.00/E039*54.00/0 URSS/A/N43*26.99/E039*57.40/0"));
    QCOMPARE(plan.points.at(2).where, QString("wp 3 (ADL)"));
}

void TestSimFormats::flightGearReadsItsOwnRoutes()
{
    // As FlightGear's Route Manager saves a route: the airports also as
    // navaids, a runway without a position, altitudes, seventeen digits.
    const QByteArray xml = "<?xml version=\"1.0\"?>\n<PropertyList>\n <version type=\"int\">2</version>\n"
                           " <departure><airport type=\"string\">LFPO</airport><runway type=\"string\">06</runway>"
                           "</departure>\n <destination><airport type=\"string\">EDDF</airport></destination>\n"
                           " <route>\n"
                           "  <wp><type type=\"string\">runway</type><ident type=\"string\">06</ident>"
                           "<icao type=\"string\">LFPO</icao></wp>\n"
                           "  <wp n=\"1\"><type type=\"string\">navaid</type><departure type=\"bool\">true</departure>"
                           "<ident type=\"string\">LFPO</ident><lon type=\"double\">2.36872232</lon>"
                           "<lat type=\"double\">48.72670829</lat></wp>\n"
                           "  <wp n=\"2\"><type type=\"string\">navaid</type><alt-restrict type=\"string\">at"
                           "</alt-restrict><altitude-ft type=\"double\">29400</altitude-ft>"
                           "<ident type=\"string\">RANUX</ident><lon type=\"double\">4.3616666666666664</lon>"
                           "<lat type=\"double\">49.138888888888886</lat></wp>\n"
                           "  <wp n=\"3\"><type type=\"string\">vectors</type></wp>\n"
                           "  <wp n=\"4\"><type type=\"string\">basic</type><ident type=\"string\">EDDF</ident>"
                           "<lon type=\"double\">8.570556</lon><lat type=\"double\">50.033333</lat></wp>\n"
                           " </route>\n</PropertyList>\n";
    Plan plan;
    QString why;
    QVERIFY2(readFlightGearRoute(xml, "LFPO-EDDF.xml", &plan, &why), qPrintable(why));
    QCOMPARE(describe(plan), QString("LFPO>EDDF 29400ft LFPO/A/N48*43.60/E002*22.12/0 RANUX/?/N49*08.33/E004*21.70/0 "
                                     "EDDF/A/N50*02.00/E008*34.23/0"));
}

void TestSimFormats::pa3PlanOfARoute()
{
    const QByteArray bytes = writePa3Plan(sampleRoute());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonObject plan = json.object();
    QCOMPARE(plan.value("Name").toString(), QString("UUEE-URSS"));
    QCOMPARE(plan.value("ShortDesc").toString(), QString("Москва - Сочи"));
    QCOMPARE(plan.value("LongDesc").toString(),
             QString("Sheremetyevo International Airport - Sochi International Airport, 1361.4 km"));
    const QJsonArray legs = plan.value("Legs").toArray();
    QCOMPARE(legs.size(), 5);
    const QJsonObject first = legs.at(0).toObject();
    QCOMPARE(first.keys(), QStringList({"DTK", "NAME", "S", "Z"}));
    QCOMPARE(first.value("NAME").toString(), QString("UUEE-DE"));
    QCOMPARE(first.value("S").toDouble(), 66.9);
    QCOMPARE(first.value("Z").toDouble(), 0.0);
    QCOMPARE(first.value("DTK").toDouble(), 150.3);
    QCOMPARE(legs.at(3).toObject().value("NAME").toString(), QString("GOTIK-+43.500_+039.900"));
    QCOMPARE(legs.at(4).toObject().value("S").toDouble(), 5.5);
    // The numbers are written as a person reads them.
    QVERIFY2(bytes.contains("\"S\": 1300.1,") && bytes.contains("\"DTK\": 176.4,"), bytes.constData());

    // The tablet's scripts are not Qt: another parser must read it as well.
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        return;
    QProcess parse;
    parse.start(python, {"-c", "import json,sys; p=json.load(sys.stdin); "
                               "print(p['Name'], len(p['Legs']), p['Legs'][1]['S'], p['Legs'][4]['DTK'])"});
    QVERIFY(parse.waitForStarted());
    parse.write(bytes);
    parse.closeWriteChannel();
    QVERIFY(parse.waitForFinished());
    QCOMPARE(parse.readAllStandardError(), QByteArray());
    QCOMPARE(parse.readAllStandardOutput().trimmed(), QByteArray("UUEE-URSS 5 1300.1 2.5"));
}

void TestSimFormats::pa3CourseAsDialled_data()
{
    QTest::addColumn<double>("course");
    QTest::addColumn<double>("dtk");
    QTest::newRow("within the dial") << 150.3 << 150.3;
    QTest::newRow("just below north") << 359.9 << 359.9;
    QTest::newRow("north") << 360.0 << 360.0;
    QTest::newRow("zero is north") << 0.0 << 360.0;
    QTest::newRow("west of the departure meridian's north") << -3.2 << 356.8;
    QTest::newRow("past north") << 362.5 << 2.5;
}

void TestSimFormats::pa3CourseAsDialled()
{
    QFETCH(double, course);
    SimRoute route = sampleRoute();
    route.legs.first().course = course;
    const QJsonObject leg =
        QJsonDocument::fromJson(writePa3Plan(route)).object().value("Legs").toArray().first().toObject();
    QTEST(leg.value("DTK").toDouble(), "dtk");
}

void TestSimFormats::rsbnListAgainstTheCatalogue()
{
    QFile file(QStringLiteral(KX_SOURCE_DIR "/tests/interchange/data/rsbn.dat"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const RsbnDat list = readRsbnDat(file.readAll());
    QCOMPARE(list.stations.size(), 6);
    QCOMPARE(list.skipped, 2);
    QCOMPARE(list.firstSkippedLine, 9);
    QCOMPARE(list.stations.at(2).channel, 2);
    QCOMPARE(list.stations.at(2).ident, QString("KV"));

    const auto beacon = [](int channel, const char *ident, const char *name, double lat, double lon) {
        RsbnStation s;
        s.channel = channel;
        s.ident = ident;
        s.name = name;
        s.lat = lat;
        s.lon = lon;
        return s;
    };
    const QList<RsbnStation> catalogue{
        beacon(37, "NP", "PSKOV", 57.785, 28.40667),
        beacon(40, "RS", "St PETERSBURG Siversky", 59.35833, 30.045),
        beacon(2, "PO", "St PETERSBURG Pulkovo", 59.81167, 30.27167),
        beacon(28, "FB", "SOLTSY", 58.14833, 30.31667),
        beacon(12, "OR", "ORYOL", 52.93, 36.0),
        beacon(15, "BR", "BRYANSK", 53.2, 34.2),
    };
    const RsbnComparison result = compareRsbn(list, catalogue);
    QCOMPARE(result.lines,
             QStringList({"Канал 11  NG NOVGOROD: нет в каталоге программы (в файле N58*30.00 E031*15.00)",
                          "Канал 12  KS KURSK: нет в каталоге программы (в файле N51*45.00 E036*18.00)",
                          "Канал 12  OR ORYOL: нет в файле (в каталоге N52*55.80 E036*00.00)",
                          "Канал 15  BR BRYANSK: нет в файле (в каталоге N53*12.00 E034*12.00)",
                          "Канал 40  RS St PETERSBURG Siversky: положение расходится на 1,3 км "
                          "(в каталоге N59*21.50 E030*02.70, в файле N59*22.20 E030*02.70)",
                          "Станций в файле: 6, в каталоге: 6. Совпадают: 3, расходятся: 1, нет в каталоге: 2, "
                          "нет в файле: 2.",
                          "Пропущено строк файла: 2 (первая: строка 9)."}));
}

// Thousands of damaged copies of good files (bytes changed, cut out, doubled,
// the end cut off): each reader answers every one with a plan of placed
// points or a message, the station list with stations inside the globe.
void TestSimFormats::damagedFilesGiveAPlanOrAMessage()
{
    QFile stations(QStringLiteral(KX_SOURCE_DIR "/tests/interchange/data/rsbn.dat"));
    QVERIFY(stations.open(QIODevice::ReadOnly));
    const QByteArray originals[] = {writeFms(sampleRoute(), 2604), writeFlightGearRoute(sampleRoute()),
                                    stations.readAll()};
    static const QRegularExpression coordinate(
        QStringLiteral("^[NS]\\d\\d\\*\\d\\d\\.\\d\\d [EW]\\d{3}\\*\\d\\d\\.\\d\\d$"));
    QRandomGenerator random(24);
    int plans = 0;
    for (int round = 0; round < 3000; ++round) {
        const int kind = round % 3;
        QByteArray bytes = originals[kind];
        for (int change = 1 + random.bounded(4); change > 0 && !bytes.isEmpty(); --change) {
            const int at = random.bounded(int(bytes.size()));
            const int length = 1 + random.bounded(std::min<int>(40, int(bytes.size()) - at));
            switch (random.bounded(4)) {
            case 0:
                bytes[at] = char(random.bounded(256));
                break;
            case 1:
                bytes.remove(at, length);
                break;
            case 2:
                bytes.insert(at, bytes.mid(at, length));
                break;
            default:
                bytes.truncate(at);
            }
        }
        if (kind == 2) {
            for (const RsbnStation &s : readRsbnDat(bytes).stations)
                QVERIFY(s.channel >= 1 && std::abs(s.lat) <= 90 && std::abs(s.lon) <= 180);
            continue;
        }
        Plan plan;
        QString why;
        const bool read =
            kind == 0 ? readFms(bytes, "plan.fms", &plan, &why) : readFlightGearRoute(bytes, "route.xml", &plan, &why);
        if (!read) {
            QVERIFY(!why.isEmpty());
            QVERIFY(plan.points.isEmpty());
            continue;
        }
        ++plans;
        QVERIFY(plan.points.size() >= 2);
        for (const PlanPoint &p : plan.points)
            QVERIFY2(coordinate.match(p.lat + u' ' + p.lon).hasMatch() && !p.ident.isEmpty(), qPrintable(p.ident));
    }
    // Some damage leaves a plan that still reads (a changed digit).
    QVERIFY(plans > 0);
}

void TestSimFormats::planFormatFromTheFirstLines_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("format");
    const int pln = int(PlanFormat::MicrosoftPlan);
    const int fms = int(PlanFormat::XPlaneFms);
    const int fg = int(PlanFormat::FlightGearRoute);
    QTest::newRow("FS2004 plan") << QByteArray("[flightplan]\r\nAppVersion=9.0.30612\r\n") << pln;
    QTest::newRow("X-Plane 1100") << QByteArray("I\n1100 Version\nCYCLE 2604\n") << fms;
    QTest::newRow("X-Plane 3 from a Mac, CR LF") << QByteArray("A\r\n3 version\r\n1\r\n") << fms;
    QTest::newRow("FlightGear") << QByteArray("<?xml version=\"1.0\"?>\n<PropertyList>\n") << fg;
    QTest::newRow("FlightGear with a byte-order mark") << QByteArray("\xEF\xBB\xBF <PropertyList>") << fg;
    QTest::newRow("the XML plan of FSX") << QByteArray("<?xml version=\"1.0\"?>\n<SimBase.Document>") << pln;
    QTest::newRow("empty") << QByteArray() << pln;
    QTest::newRow("a letter I and no version") << QByteArray("I\nam a text file\n") << pln;
}

void TestSimFormats::planFormatFromTheFirstLines()
{
    QFETCH(QByteArray, head);
    QTEST(int(detectPlanFormat(head)), "format");
}

QTEST_GUILESS_MAIN(TestSimFormats)
#include "tst_simformats.moc"
