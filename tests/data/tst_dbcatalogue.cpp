#include "BuildMachineTools.h"
#include "TestFolder.h"

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/SimPath.h"
#include "tools/mkdb/CsvTable.h"
#include "tools/mkdb/ShippedDatabase.h"
#include "geo/DecimalCoord.h"
#include "geo/CoordText.h"
#include "geo/MagVar.h"
#include "geo/Sphere.h"
#include "store/Database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QtEndian>
#include <QtTest>

using namespace kx;
using namespace kx::dbbuild;
using kx::geo::latitudeFromDecimal;
using kx::geo::longitudeFromDecimal;

namespace {

QString dataDir(const QString &relative)
{
    return QStringLiteral(KX_SOURCE_DIR "/data/") + relative;
}

ShippedDatabaseOptions shippedOptions(const QString &output)
{
    ShippedDatabaseOptions options;
    options.output = output;
    options.catalogueFolder = dataDir(QStringLiteral("catalogue"));
    options.fsPath = dataDir(QStringLiteral("fs9"));
    options.plans = {dataDir(QStringLiteral("plans"))};
    return options;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestDbCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void decimalToCoordinateText_data();
    void decimalToCoordinateText();
    void unreadableDecimals_data();
    void unreadableDecimals();
    void csvTable_data();
    void csvTable();

    void shippedCounts();
    void airportSpotValues();
    void everyCoordinateTextIsWellFormed();
    void variationsComeFromTheDemoTable();
    void runwayValues_data();
    void runwayValues();
    void rsbnNamesStartWithTheirChannel();
    void bothRsbnListsHoldEachStationOnce();
    void demoRoutesFollowThePlans();

    void withoutGplNoRadioData();
    void existingFileIsNeverReplaced();
    void failedBuildLeavesNoFile_data();
    void failedBuildLeavesNoFile();

    void demoVariationTable();
    void simulatorTextFilesAreCp1251CrLf_data();
    void simulatorTextFilesAreCp1251CrLf();
    void commandLineAndBuildRule_data();
    void commandLineAndBuildRule();

private:
    QVariant value(const QString &sql, const QVariantList &bind = {});
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_db;
};

void TestDbCatalogue::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("kalyxdb.kdb"));
    ShippedDatabaseSummary summary;
    QString error;
    QVERIFY2(buildShippedDatabase(shippedOptions(path), &summary, &error), qPrintable(error));
    QCOMPARE(summary.catalogue.airports, 26);
    QCOMPARE(summary.catalogue.rsbn, 202);
    QCOMPARE(summary.catalogue.rsbnInBothLists, 103);
    QCOMPARE(summary.routes, 3);
    m_db = std::make_unique<store::Database>(QStringLiteral("tst_dbcatalogue"));
    QVERIFY2(m_db->open(path), qPrintable(m_db->lastError()));
}

void TestDbCatalogue::cleanupTestCase()
{
    m_db.reset();
}

QVariant TestDbCatalogue::value(const QString &sql, const QVariantList &bind)
{
    QSqlQuery q(m_db->sql());
    if (!q.prepare(sql)) {
        qWarning("%s", qPrintable(sql));
        return {};
    }
    for (const QVariant &v : bind)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0);
}

void TestDbCatalogue::decimalToCoordinateText_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Sheremetyevo latitude") << true << "55.9726" << "N55*58.36";
    QTest::newRow("Sheremetyevo longitude") << false << "37.4146" << "E037*24.88";
    QTest::newRow("whole degrees") << true << "5" << "N05*00.00";
    QTest::newRow("longitude padded to three") << false << "5.2" << "E005*12.00";
    QTest::newRow("minutes exact") << true << "57.785" << "N57*47.10";
    QTest::newRow("60.00 carries into the degrees") << true << "55.99999" << "N56*00.00";
    QTest::newRow("carry to 180") << false << "179.99999" << "E180*00.00";
    QTest::newRow("carry across ten") << false << "9.999999" << "E010*00.00";
    // 0.00025 degree is 1.5 hundredths of a minute, 0.00075 is 4.5: halves go
    // to the even neighbour, taken on the written digits (as doubles neither is
    // exactly a half).
    QTest::newRow("half rounds up to even") << true << "0.00025" << "N00*00.02";
    QTest::newRow("half rounds down to even") << true << "0.00075" << "N00*00.04";
    QTest::newRow("just above a half") << true << "0.000750001" << "N00*00.05";
    QTest::newRow("north pole") << true << "90" << "N90*00.00";
    QTest::newRow("antimeridian") << false << "180.0" << "E180*00.00";
    QTest::newRow("south") << true << "-33.5" << "S33*30.00";
    QTest::newRow("west") << false << "-179.36333" << "W179*21.80";
    QTest::newRow("negative rounding to zero stays N") << true << "-0.000001" << "N00*00.00";
    QTest::newRow("explicit plus") << false << "+30.2625" << "E030*15.75";
    // Published files write a double's every digit; all of them count.
    QTest::newRow("thirteen decimals") << true << "55.1234567890123" << "N55*07.41";
    QTest::newRow("eighteen decimals") << true << "52.558898925781250000" << "N52*33.53";
    QTest::newRow("twelve decimals, west") << false << "-158.617996216000" << "W158*37.08";
    QTest::newRow("a half decided by the twenty-fourth decimal")
        << true << "0.000750000000000000000001" << "N00*00.05";
    QTest::newRow("a half to even after twenty-four decimals") << true << "0.000750000000000000000000" << "N00*00.04";
    QTest::newRow("the pole written with many zeros") << true << "+90.000000000000000000000" << "N90*00.00";
}

void TestDbCatalogue::decimalToCoordinateText()
{
    QFETCH(bool, latitude);
    QFETCH(QString, degrees);
    QFETCH(QString, expected);
    const std::optional<QString> text = latitude ? latitudeFromDecimal(degrees) : longitudeFromDecimal(degrees);
    QVERIFY(text.has_value());
    QCOMPARE(*text, expected);
}

void TestDbCatalogue::unreadableDecimals_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("degrees");

    QTest::newRow("empty") << true << "";
    QTest::newRow("sign only") << true << "-";
    QTest::newRow("letters") << true << "abc";
    QTest::newRow("exponent") << false << "1e2";
    QTest::newRow("blank inside") << true << " 55.1";
    QTest::newRow("two points") << true << "5.5.5";
    QTest::newRow("two signs") << true << "--5";
    QTest::newRow("decimal comma") << true << "55,97";
    QTest::newRow("beyond the pole in the twenty-first decimal") << true << "90.000000000000000000001";
    QTest::newRow("four whole digits") << false << "0180.5";
    QTest::newRow("beyond the pole") << true << "90.0001";
    QTest::newRow("beyond the pole south") << true << "-91";
    QTest::newRow("beyond 180") << false << "180.5";
}

void TestDbCatalogue::unreadableDecimals()
{
    QFETCH(bool, latitude);
    QFETCH(QString, degrees);
    const std::optional<QString> text = latitude ? latitudeFromDecimal(degrees) : longitudeFromDecimal(degrees);
    QVERIFY2(!text.has_value(), qPrintable(text.value_or(QString())));
}

void TestDbCatalogue::csvTable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("rows"); // fields joined by "|"

    QTest::newRow("plain, LF") << "a,b\n1,2\n3,\n" << true << QStringList{"1|2", "3|"};
    QTest::newRow("CR LF, no end") << "a,b\r\n1,2\r\n3,4" << true << QStringList{"1|2", "3|4"};
    QTest::newRow("quoted comma") << "r,i,n\n,01,\"SHMIDTA,MYS\"\n" << true << QStringList{"|01|SHMIDTA,MYS"};
    QTest::newRow("doubled quote") << "a,b\n\"say \"\"hi\"\"\",2\n" << true << QStringList{"say \"hi\"|2"};
    QTest::newRow("blank lines skipped") << "a\n\n1\n\n" << true << QStringList{"1"};
    QTest::newRow("too few fields") << "a,b\n1\n" << false << QStringList{};
    QTest::newRow("too many fields") << "a,b\n1,2,3\n" << false << QStringList{};
    QTest::newRow("open quote") << "a,b\n\"1,2\n" << false << QStringList{};
    QTest::newRow("nothing") << "" << false << QStringList{};
}

void TestDbCatalogue::csvTable()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QStringList, rows);
    CsvTable table;
    QString error;
    QCOMPARE(table.parse(text, &error), ok);
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QStringList got;
    for (qsizetype i = 0; i < table.rowCount(); ++i) {
        got.append(table.row(i).join(u'|'));
        for (const QString &field : table.row(i))
            QVERIFY(!field.isNull()); // empty fields are stored as '', not Null
    }
    QCOMPARE(got, rows);
}

void TestDbCatalogue::shippedCounts()
{
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Punkts WHERE Type = 'Airport'")).toInt(), 26);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Punkts WHERE Type IN ('NDB', 'VOR')")).toInt(), 121);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Punkts")).toInt(), 147);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Runways")).toInt(), 84);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM RSBN")).toInt(), 202); // 108 + 197 - 103 in both
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Routes")).toInt(), 3);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Points")).toInt(), 14);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM RSBNSelect")).toInt(), 0);
    // Every runway belongs to a catalogue airport.
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Runways WHERE AP NOT IN "
                                  "(SELECT Code FROM Punkts WHERE Type = 'Airport')")).toInt(), 0);
}

void TestDbCatalogue::airportSpotValues()
{
    QSqlQuery q(m_db->sql());
    QVERIFY(q.exec(QStringLiteral("SELECT Region, Name, LAT, LON, H, ATIS, Freq, RSBN FROM Punkts "
                                  "WHERE ID = 'UUEE' AND Type = 'Airport'")));
    QVERIFY(q.next());
    QVERIFY(!q.value(0).isNull()); // empty text, as the waypoint editor keeps an airport
    QCOMPARE(q.value(0).toString(), QString());
    QCOMPARE(q.value(1).toString(), QStringLiteral("Sheremetyevo International Airport"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("N55*58.36"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("E037*24.88"));
    QCOMPARE(q.value(4).toDouble(), 622.0);
    QCOMPARE(q.value(5).toDouble(), 122.075);
    QVERIFY(q.value(6).isNull());
    QVERIFY(q.value(7).isNull());
    QVERIFY(!q.next());

    // A navaid keeps its region and frequency; one without ATIS has Null there.
    QVERIFY(q.exec(QStringLiteral("SELECT Region, Freq, LAT, LON, H FROM Punkts WHERE ID = 'MR' AND Type = 'VOR'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("UU"));
    QCOMPARE(q.value(1).toDouble(), 114.6);
    QCOMPARE(q.value(2).toString(), QStringLiteral("N55*57.70"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("E037*20.90"));
    QVERIFY(q.value(4).isNull());
    QVERIFY(value(QStringLiteral("SELECT ATIS FROM Punkts WHERE ID = 'UUYY'")).isNull());
}

void TestDbCatalogue::everyCoordinateTextIsWellFormed()
{
    const QRegularExpression lat(QStringLiteral("^[NS]\\d{2}\\*[0-5]\\d\\.\\d{2}$"));
    const QRegularExpression lon(QStringLiteral("^[EW]\\d{3}\\*[0-5]\\d\\.\\d{2}$"));
    for (const QString &table : {QStringLiteral("Punkts"), QStringLiteral("RSBN")}) {
        QSqlQuery q(m_db->sql());
        QVERIFY(q.exec(QStringLiteral("SELECT ID, LAT, LON FROM %1").arg(table)));
        int rows = 0;
        while (q.next()) {
            ++rows;
            QVERIFY2(lat.match(q.value(1).toString()).hasMatch(), qPrintable(q.value(1).toString()));
            QVERIFY2(lon.match(q.value(2).toString()).hasMatch(), qPrintable(q.value(2).toString()));
        }
        QVERIFY(rows > 100);
    }
}

void TestDbCatalogue::variationsComeFromTheDemoTable()
{
    const QString fs = withTrailingSeparator(dataDir(QStringLiteral("fs9")));
    QSqlQuery q(m_db->sql());
    QVERIFY(q.exec(QStringLiteral("SELECT ID, LAT, LON, MS FROM Punkts")));
    while (q.next()) {
        QVERIFY2(!q.value(3).isNull(), qPrintable(q.value(0).toString()));
        QCOMPARE(q.value(3).toDouble(), geo::MagVar(fs, q.value(1).toString(), q.value(2).toString()));
    }
    // WMM2025 puts Moscow's variation at about 12 degrees east in 2026.
    const double uuee = value(QStringLiteral("SELECT MS FROM Punkts WHERE ID = 'UUEE'")).toDouble();
    QVERIFY2(uuee >= 11.5 && uuee <= 12.8, qPrintable(QString::number(uuee)));
    // Vladivostok lies in the west-variation zone.
    QVERIFY(value(QStringLiteral("SELECT MS FROM Punkts WHERE ID = 'UHWW'")).toDouble() < -9);
}

void TestDbCatalogue::runwayValues_data()
{
    QTest::addColumn<QString>("airport");
    QTest::addColumn<QString>("runway");
    QTest::addColumn<QVariant>("heading");
    QTest::addColumn<QVariant>("ilsFreq");
    QTest::addColumn<QVariant>("ilsAngle");
    QTest::addColumn<QVariant>("outer");
    QTest::addColumn<QVariant>("inner");
    const QVariant null;

    QTest::newRow("ILS with both locators") << "UUEE" << "06C" << QVariant(75.1) << QVariant(108.1) << QVariant(77)
                                            << QVariant(700.0) << QVariant(338.0);
    QTest::newRow("no radio data") << "UUDD" << "13R" << QVariant(145.6) << null << null << null << null;
    QTest::newRow("course half rounds to even") << "ULLI" << "10L" << QVariant(106.4) << QVariant(111.9)
                                                << QVariant(106) << QVariant(342.0) << null;
    QTest::newRow("course 359.9 is 360") << "UBBB" << "35" << QVariant(360.0) << QVariant(109.3) << QVariant(360)
                                         << QVariant(360.0) << QVariant(1130.0);
    QTest::newRow("only in the GPL-derived file") << "URRR" << "04" << null << QVariant(110.5) << QVariant(46)
                                                  << QVariant(320.0) << null;
}

void TestDbCatalogue::runwayValues()
{
    QFETCH(QString, airport);
    QFETCH(QString, runway);
    QFETCH(QVariant, heading);
    QFETCH(QVariant, ilsFreq);
    QFETCH(QVariant, ilsAngle);
    QFETCH(QVariant, outer);
    QFETCH(QVariant, inner);
    QSqlQuery q(m_db->sql());
    q.prepare(QStringLiteral("SELECT IZPU_P, ILSFreq, ILSAngle, DPRM, BPRM, Runways.Type, Zm_P, Sm_P FROM Runways "
                             "JOIN Punkts ON Punkts.Code = Runways.AP WHERE Punkts.ID = ? AND Runway = ?"));
    q.addBindValue(airport);
    q.addBindValue(runway);
    QVERIFY(q.exec());
    QVERIFY(q.next());
    const QVariantList expected{heading, ilsFreq, ilsAngle, outer, inner};
    for (int i = 0; i < expected.size(); ++i) {
        if (expected.at(i).isNull()) {
            QVERIFY2(q.value(i).isNull(), qPrintable(QString::number(i)));
        } else if (expected.at(i).typeId() == QMetaType::Int) {
            QCOMPARE(q.value(i).toLongLong(), expected.at(i).toLongLong());
        } else {
            QCOMPARE(q.value(i).toDouble(), expected.at(i).toDouble());
        }
    }
    QVERIFY(q.value(5).isNull() && q.value(6).isNull() && q.value(7).isNull());
    QVERIFY(!q.next());
}

void TestDbCatalogue::rsbnNamesStartWithTheirChannel()
{
    // The NVU cell export reads the channel from the first two characters.
    const QRegularExpression name(QStringLiteral("^\\d{2} \\S"));
    QSqlQuery q(m_db->sql());
    QVERIFY(q.exec(QStringLiteral("SELECT Name, Region FROM RSBN")));
    while (q.next()) {
        QVERIFY2(name.match(q.value(0).toString()).hasMatch(), qPrintable(q.value(0).toString()));
        QVERIFY(!q.value(1).isNull());
        QCOMPARE(q.value(1).toString(), QString());
    }
    QSqlQuery pskov(m_db->sql());
    QVERIFY(pskov.exec(QStringLiteral("SELECT Name, LAT, LON, Freq FROM RSBN WHERE ID = 'NP'")));
    QVERIFY(pskov.next());
    QCOMPARE(pskov.value(0).toString(), QStringLiteral("37 PSKOV"));
    QCOMPARE(pskov.value(1).toString(), QStringLiteral("N57*47.10"));
    QCOMPARE(pskov.value(2).toString(), QStringLiteral("E028*24.40"));
    QCOMPARE(pskov.value(3).toDouble(), 117.8);
    QCOMPARE(value(QStringLiteral("SELECT Name FROM RSBN WHERE ID = 'PO'")).toString(),
             QStringLiteral("02 St PETERSBURG Pulkovo"));
}

void TestDbCatalogue::bothRsbnListsHoldEachStationOnce()
{
    struct Station
    {
        QString id;
        QString name;
        geo::Position at;
    };
    QList<Station> stations;
    QSqlQuery q(m_db->sql());
    QVERIFY(q.exec(QStringLiteral("SELECT ID, Name, LAT, LON FROM RSBN ORDER BY Code")));
    while (q.next()) {
        const std::optional<geo::Position> at = geo::readPosition(q.value(2), q.value(3));
        QVERIFY2(at, qPrintable(q.value(1).toString()));
        stations.append({q.value(0).toString(), q.value(1).toString(), *at});
    }
    QCOMPARE(stations.size(), 202);
    // No two rows of one channel within a kilometre: each station once.
    for (qsizetype i = 0; i < stations.size(); ++i)
        for (qsizetype j = i + 1; j < stations.size(); ++j)
            if (stations.at(i).name.left(2) == stations.at(j).name.left(2))
                QVERIFY2(geo::OrthoDistance(stations.at(i).at.lat, stations.at(i).at.lon, stations.at(j).at.lat,
                                            stations.at(j).at.lon) > 1.0,
                         qPrintable(stations.at(i).name + u'/' + stations.at(j).name));
    QStringList names;
    for (const Station &s : std::as_const(stations))
        names.append(s.id + u' ' + s.name);
    // The post-1991 list comes first, under its own keys and names; a station
    // both lists hold keeps them ("PU 03 SVERDLOVSK" is the same station).
    QCOMPARE(names.first(), QStringLiteral("NP 37 PSKOV"));
    QCOMPARE(names.at(107), QStringLiteral("AN 30 ANDIZHAN"));
    QVERIFY(names.contains(QStringLiteral("ED 03 YEKATERINBURG")));
    QVERIFY(!names.contains(QStringLiteral("PU 03 SVERDLOVSK")));
    QVERIFY(!names.contains(QStringLiteral("KV 02 LENINGRAD Pulkovo")));
    // Stations only the USSR list has follow, the one west of the 180th
    // meridian included.
    QCOMPARE(names.at(108), QStringLiteral("PF 12 MURMANSK"));
    QCOMPARE(value(QStringLiteral("SELECT LON FROM RSBN WHERE Name = ?"), {QStringLiteral("15 SHMIDTA,MYS")}).toString(),
             QStringLiteral("W179*21.80"));
    // 1.5 km apart on one channel: two stations by the rule, both kept.
    QCOMPARE(names.filter(QStringLiteral("15 KHERSON")).size(), 2);
}

void TestDbCatalogue::demoRoutesFollowThePlans()
{
    QSqlQuery q(m_db->sql());
    QVERIFY(q.exec(QStringLiteral("SELECT Code, Name, FL, Type, RouteType, AP_V, AP_P, Dep_ID, Dep_Pos, Dest_Name, "
                                  "S, Vilka, DateTime FROM Routes WHERE Name = 'UUEE-URSS'")));
    QVERIFY(q.next());
    const qint64 code = q.value(0).toLongLong();
    QCOMPARE(q.value(2).toInt(), 9449); // 31000 ft
    QCOMPARE(q.value(3).toString(), QStringLiteral("IFR"));
    QCOMPARE(q.value(4).toInt(), 1);
    QCOMPARE(q.value(5).toString(), QStringLiteral("UUEE"));
    QCOMPARE(q.value(6).toString(), QStringLiteral("URSS"));
    QCOMPARE(q.value(7).toString(), QStringLiteral("UUEE, N55* 58.36', E37* 24.88', +000622.00"));
    QCOMPARE(q.value(8).toString(), QStringLiteral("24C"));
    QCOMPARE(q.value(9).toString(), QStringLiteral("Sochi International Airport"));
    QVERIFY(q.value(10).isNull() && q.value(11).isNull());
    QVERIFY(q.value(12).isNull()); // not calculated

    QSqlQuery points(m_db->sql());
    points.prepare(QStringLiteral("SELECT Points.Number, Punkts.ID, Punkts.Type FROM Points "
                                  "JOIN Punkts ON Punkts.Code = Points.Punkt WHERE Points.Route = ? "
                                  "ORDER BY Points.Number"));
    points.addBindValue(code);
    QVERIFY(points.exec());
    QStringList got;
    int number = 0;
    while (points.next()) {
        QCOMPARE(points.value(0).toInt(), ++number);
        got.append(points.value(1).toString() + u' ' + points.value(2).toString());
    }
    QCOMPARE(got, (QStringList{"UUEE Airport", "DE NDB", "SB NDB", "RW NDB", "ADL VOR", "URSS Airport"}));

    // Nothing calculated anywhere yet.
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Routes WHERE DateTime IS NOT NULL")).toInt(), 0);
    QCOMPARE(value(QStringLiteral("SELECT count(*) FROM Points WHERE IPU IS NOT NULL OR S IS NOT NULL "
                                  "OR RSBN IS NOT NULL")).toInt(), 0);
    QCOMPARE(value(QStringLiteral("SELECT group_concat(Name || ':' || FL, ' ') FROM "
                                  "(SELECT Name, FL FROM Routes ORDER BY Name)")).toString(),
             QStringLiteral("UUEE-ULLI:8534 UUEE-URSS:9449 UUWW-URWW:8839"));
}

void TestDbCatalogue::withoutGplNoRadioData()
{
    QTemporaryDir dir;
    ShippedDatabaseOptions options = shippedOptions(dir.filePath(QStringLiteral("free.kdb")));
    options.withGpl = false;
    options.plans.clear();
    ShippedDatabaseSummary summary;
    QString error;
    QVERIFY2(buildShippedDatabase(options, &summary, &error), qPrintable(error));
    QCOMPARE(summary.catalogue.runways, 82);
    QCOMPARE(summary.routes, 0);
    store::Database db(QStringLiteral("tst_dbcatalogue_free"));
    QVERIFY(db.open(options.output));
    QSqlQuery q(db.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*), count(IZPU_P), count(ILSFreq), count(ILSAngle), "
                                  "count(DPRM), count(BPRM) FROM Runways")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 82);
    QCOMPARE(q.value(1).toInt(), 82);
    for (int i = 2; i <= 5; ++i)
        QCOMPARE(q.value(i).toInt(), 0);
}

void TestDbCatalogue::existingFileIsNeverReplaced()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalyxdb.kdb"));
    const QByteArray users("the user's own database");
    QVERIFY(writeAll(path, users));
    QString error;
    QVERIFY(!buildShippedDatabase(shippedOptions(path), nullptr, &error));
    QVERIFY(error.contains(path));
    QCOMPARE(readAll(path), users);
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
}

void TestDbCatalogue::failedBuildLeavesNoFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("expectedError");

    QTest::newRow("no variation table") << "nomagdec" << "magdec.bgl";
    QTest::newRow("catalogue file missing") << "nocatalogue" << "airports.csv";
    QTest::newRow("navaid moved by 0.01 minute") << "moved" << "waypoint.1";
    QTest::newRow("unknown waypoint") << "unknown" << "waypoint.2";
    QTest::newRow("empty line after the last waypoint") << "emptyline" << "last line";
    QTest::newRow("airport altitude is not its elevation") << "altitude" << "elevation";
    QTest::newRow("plan missing") << "noplan" << "no such file";
}

void TestDbCatalogue::failedBuildLeavesNoFile()
{
    QFETCH(QString, fault);
    QFETCH(QString, expectedError);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("out/kalyxdb.kdb"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    ShippedDatabaseOptions options = shippedOptions(output);

    const QString good = QString::fromLatin1(readAll(dataDir(QStringLiteral("plans/UUEE-ULLI.PLN"))));
    QVERIFY(good.contains(QStringLiteral("waypoint.1=UU, MR, , MR, V, N55* 57.70'")));
    QString plan = good;
    if (fault == QLatin1String("nomagdec")) {
        options.fsPath = dir.filePath(QStringLiteral("emptyfs"));
        QVERIFY(QDir().mkpath(options.fsPath));
    } else if (fault == QLatin1String("nocatalogue")) {
        options.catalogueFolder = dir.filePath(QStringLiteral("nocatalogue"));
    } else if (fault == QLatin1String("moved")) {
        plan.replace(QStringLiteral("N55* 57.70'"), QStringLiteral("N55* 57.71'"));
    } else if (fault == QLatin1String("unknown")) {
        plan.replace(QStringLiteral("UL, PL, , PL, N"), QStringLiteral("UL, ZZ, , ZZ, N"));
    } else if (fault == QLatin1String("emptyline")) {
        plan.append(QStringLiteral("\r\n"));
    } else if (fault == QLatin1String("altitude")) {
        plan.replace(QStringLiteral("+000078.00, "), QStringLiteral("+000079.00, "));
    } else if (fault == QLatin1String("noplan")) {
        options.plans = {dir.filePath(QStringLiteral("missing.PLN"))};
    }
    if (plan != good || fault == QLatin1String("nomagdec") || fault == QLatin1String("nocatalogue")) {
        const QString planPath = dir.filePath(QStringLiteral("plans/bad.PLN"));
        QVERIFY(writeAll(planPath, plan.toLatin1()));
        options.plans = {planPath};
    }

    QString error;
    QVERIFY(!buildShippedDatabase(options, nullptr, &error));
    QVERIFY2(error.contains(expectedError), qPrintable(error));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files), QStringList());
}

void TestDbCatalogue::demoVariationTable()
{
    const QString fs = withTrailingSeparator(dataDir(QStringLiteral("fs9")));
    const QByteArray bytes = readAll(geo::magdecPath(fs));
    QCOMPARE(bytes.size(), 130468); // FS2004's own size: 136 + 360 * 181 * 2 + 12
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    QCOMPARE(qFromLittleEndian<quint16>(data + 128), quint16(360));
    QCOMPARE(qFromLittleEndian<quint16>(data + 130), quint16(181));
    QVERIFY(geo::isVariationTable(fs));

    // Moscow about +12, New York about -12.5, Vladivostok about -11 (WMM2025, 2026).
    const double moscow = geo::MagVar(fs, QStringLiteral("N55*45.00"), QStringLiteral("E037*37.00"));
    QVERIFY2(moscow >= 11.0 && moscow <= 12.8, qPrintable(QString::number(moscow)));
    const double newYork = geo::MagVar(fs, QStringLiteral("N40*43.00"), QStringLiteral("W074*00.00"));
    QVERIFY2(newYork >= -13.5 && newYork <= -12.0, qPrintable(QString::number(newYork)));
    const double vladivostok = geo::MagVar(fs, QStringLiteral("N43*07.00"), QStringLiteral("E131*54.00"));
    QVERIFY2(vladivostok >= -12.0 && vladivostok <= -10.0, qPrintable(QString::number(vladivostok)));
    // Columns run east: 90E (Bay of Bengal, near zero) and 90W (USA midwest, a
    // few degrees east at most) differ from Moscow.
    const double bengal = geo::MagVar(fs, QStringLiteral("N20*00.00"), QStringLiteral("E090*00.00"));
    QVERIFY2(bengal > -2.0 && bengal < 2.0, qPrintable(QString::number(bengal)));
}

void TestDbCatalogue::simulatorTextFilesAreCp1251CrLf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("lastLinePattern");

    const QString plan = QStringLiteral("^waypoint\\.\\d+=[^,]*, \\w+, , \\w+, [ANV], N\\d+\\* \\d\\d\\.\\d\\d', "
                                        "E\\d+\\* \\d\\d\\.\\d\\d', \\+\\d{6}\\.00, $");
    QTest::newRow("UUEE-URSS") << dataDir(QStringLiteral("plans/UUEE-URSS.PLN")) << "[flightplan]" << plan;
    QTest::newRow("UUEE-ULLI") << dataDir(QStringLiteral("plans/UUEE-ULLI.PLN")) << "[flightplan]" << plan;
    QTest::newRow("UUWW-URWW") << dataDir(QStringLiteral("plans/UUWW-URWW.PLN")) << "[flightplan]" << plan;
    QTest::newRow("I-21 template") << dataDir(QStringLiteral("fs9/Gauges/i21_cfg/I21_PPM.CFG"))
                                   << "; Kalyx demo template of the I-21 gauge's route list file."
                                   << "^\\[ppm\\]$";
}

void TestDbCatalogue::simulatorTextFilesAreCp1251CrLf()
{
    QFETCH(QString, path);
    QFETCH(QString, firstLine);
    QFETCH(QString, lastLinePattern);
    const QByteArray bytes = readAll(path);
    QVERIFY(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes.at(i) == '\n')
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', qPrintable(QString::number(i)));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = fromCp1251(bytes);
    QCOMPARE(toCp1251(text), bytes); // nothing outside windows-1251
    const QStringList lines = splitTextLines(text);
    QCOMPARE(lines.first(), firstLine);
    QVERIFY2(QRegularExpression(lastLinePattern).match(lines.last()).hasMatch(), qPrintable(lines.last()));
    if (path.endsWith(QLatin1String(".CFG"))) {
        // The export keeps the lines up to the first one that holds "[ppm".
        QCOMPARE(lines.indexOf(QRegularExpression(QStringLiteral(".*\\[ppm.*"))), lines.size() - 1);
        QVERIFY(text.contains(QStringLiteral("Демонстрационный")));
    } else {
        const IniFile plan(text);
        QCOMPARE(plan.readString(QStringLiteral("flightplan"), QStringLiteral("AppVersion")),
                 QStringLiteral("9.0.30612"));
        // The keys in the order the program's export writes them.
        QStringList keys;
        for (const QString &line : lines.mid(1))
            keys.append(line.section(u'=', 0, 0));
        QCOMPARE(keys.mid(0, 11),
                 (QStringList{"AppVersion", "title", "description", "type", "routetype", "cruising_altitude",
                              "departure_id", "departure_position", "destination_id", "departure_name",
                              "destination_name"}));
        for (int k = 0; k < keys.size() - 11; ++k)
            QCOMPARE(keys.at(11 + k), QStringLiteral("waypoint.%1").arg(k));
    }
}

void TestDbCatalogue::commandLineAndBuildRule_data()
{
    QTest::addColumn<bool>("viaBuildRule"); // cmake -P ShipDatabase.cmake, else kalyx-mkdb itself
    QTest::addColumn<QByteArray>("existing"); // file already there; empty: none
    QTest::addColumn<QStringList>("extraArgs");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("built");

    QTest::newRow("tool builds") << false << QByteArray() << QStringList{} << 0 << true;
    QTest::newRow("tool refuses an existing file") << false << QByteArray("mine") << QStringList{} << 1 << false;
    QTest::newRow("tool without --fs") << false << QByteArray() << QStringList{"--drop-fs"} << 2 << false;
    QTest::newRow("tool with a stray argument") << false << QByteArray() << QStringList{"extra"} << 2 << false;
    QTest::newRow("build rule builds when absent") << true << QByteArray() << QStringList{} << 0 << true;
    QTest::newRow("build rule keeps an existing one") << true << QByteArray("mine") << QStringList{} << 0 << false;
}

void TestDbCatalogue::commandLineAndBuildRule()
{
    QFETCH(bool, viaBuildRule);
    QFETCH(QByteArray, existing);
    QFETCH(QStringList, extraArgs);
    QFETCH(int, exitCode);
    QFETCH(bool, built);

    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("bin/kalyxdb.kdb"));
    if (!existing.isEmpty())
        QVERIFY(writeAll(output, existing));
    else
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));

    QProcess process;
    if (viaBuildRule) {
        KX_NEEDS_BUILD_MACHINE_TOOL("cmake");
        process.start(QStringLiteral(KX_CMAKE),
                      {QStringLiteral("-DMKDB=" KX_MKDB), QStringLiteral("-DOUTPUT=") + output,
                       QStringLiteral("-DCATALOGUE=") + dataDir(QStringLiteral("catalogue")),
                       QStringLiteral("-DFS=") + dataDir(QStringLiteral("fs9")),
                       QStringLiteral("-DPLANS=") + dataDir(QStringLiteral("plans")), QStringLiteral("-P"),
                       dataDir(QStringLiteral("ShipDatabase.cmake"))});
    } else {
        QStringList args{output};
        for (const QString &arg : extraArgs)
            if (arg != QLatin1String("--drop-fs"))
                args << arg;
        args << QStringLiteral("--catalogue") << dataDir(QStringLiteral("catalogue"));
        if (!extraArgs.contains(QStringLiteral("--drop-fs")))
            args << QStringLiteral("--fs") << dataDir(QStringLiteral("fs9"));
        args << QStringLiteral("--plans") << dataDir(QStringLiteral("plans"));
        process.start(QStringLiteral(KX_MKDB), args);
    }
    QVERIFY(process.waitForFinished(-1)); // CTest bounds the run
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == exitCode, process.readAllStandardError().constData());

    if (!existing.isEmpty()) {
        QCOMPARE(readAll(output), existing);
    } else if (!built) {
        QVERIFY(!QFileInfo::exists(output));
    }
    if (built) {
        store::Database db(QStringLiteral("tst_dbcatalogue_cli"));
        QVERIFY(db.open(output));
        QSqlQuery q(db.sql());
        QVERIFY(q.exec(QStringLiteral("SELECT (SELECT count(*) FROM Punkts), (SELECT count(*) FROM Routes)")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 147);
        QCOMPARE(q.value(1).toInt(), 3);
    }
    QCOMPARE(QDir(dir.filePath(QStringLiteral("bin"))).entryList(QDir::Files),
             QFileInfo::exists(output) ? QStringList{QStringLiteral("kalyxdb.kdb")} : QStringList{});
}

QTEST_GUILESS_MAIN(TestDbCatalogue)
#include "tst_dbcatalogue.moc"
