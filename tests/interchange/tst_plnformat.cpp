#include "TestFolder.h"

#include "base/Error.h"
#include "interchange/PlnFormat.h"

#include <QFile>
#include <QtTest>

using namespace kx;
using namespace kx::interchange;

class TestPlnFormat : public QObject
{
    Q_OBJECT
private slots:
    void parsesWaypointLines_data();
    void parsesWaypointLines();
    void refusesUnusableWaypointLines_data();
    void refusesUnusableWaypointLines();
    void writesWaypointLines_data();
    void writesWaypointLines();
    void writtenLinesReadBack_data();
    void writtenLinesReadBack();
    void routeNameOfFile_data();
    void routeNameOfFile();
    void planExtensionRule_data();
    void planExtensionRule();
    void proposedNameForSaving();
    void lastWaypointFromLines_data();
    void lastWaypointFromLines();
    void lastWaypointFromFile_data();
    void lastWaypointFromFile();
    void lastWaypointOfMissingFileThrows();
    void cruisingLevelInFeetAndMetres_data();
    void cruisingLevelInFeetAndMetres();
    void coordinateTexts_data();
    void coordinateTexts();
};

void TestPlnFormat::parsesWaypointLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<double>("h");

    QTest::newRow("our own airport line") << "UU, UUEE, , UUEE, A, N55* 58.33', E37* 24.87', +000622.00, "
                                          << "UU" << "UUEE" << "A" << "N55*58.33" << "E037*24.87" << 622.0;
    QTest::newRow("FS9: empty region, west, no trailing blank")
        << ", EGPB, , EGPB, A, N59* 52.88', W001* 17.63', +000020.00," << "" << "EGPB" << "A" << "N59*52.88"
        << "W001*17.63" << 20.0;
    QTest::newRow("intersection") << "KK, GLESK, , GLESK, I, N56* 54.00', W002* 47.75', +000000.00,"
                                  << "KK" << "GLESK" << "I" << "N56*54.00" << "W002*47.75" << 0.0;
    QTest::newRow("unpadded degrees and minutes, one-digit fraction")
        << "LS, DJL, , DJL, V, N5* 3.1', E6* 6.53', +000000.00, " << "LS" << "DJL" << "V" << "N05*03.10"
        << "E006*06.53" << 0.0;
    QTest::newRow("south, long fraction kept") << "SC, SCL, , SCL, V, S33* 23.456', W70* 47.2', +001555.50, "
                                               << "SC" << "SCL" << "V" << "S33*23.456" << "W070*47.20" << 1555.5;
    QTest::newRow("negative altitude") << "UU, X, , X, N, N55* 00.00', E037* 00.00', -000050.00, "
                                       << "UU" << "X" << "N" << "N55*00.00" << "E037*00.00" << -50.0;
    QTest::newRow("blank type, blanks around fields")
        << "  UW ,  WM, , WM,   , N55* 35.80', E37* 14.63', +000000.00, " << "UW " << "WM" << " " << "N55*35.80"
        << "E037*14.63" << 0.0;
    QTest::newRow("type field read by its first letter")
        << "UU, MR, , MR, VOR, N55* 57.70', E37* 20.90', +000000.00, " << "UU" << "MR" << "V" << "N55*57.70"
        << "E037*20.90" << 0.0;
    QTest::newRow("something in the third field that is no latitude")
        << "UU, MR, UL613, MR, V, N55* 57.70', E37* 20.90', +000000.00, " << "UU" << "MR" << "V" << "N55*57.70"
        << "E037*20.90" << 0.0;
    // The short form other tools write and FS9 reads: ident, type, position,
    // altitude, and no region.
    QTest::newRow("short form, padded") << "EGSH, A, N52* 40.61', E001* 17.07', +000000.00," << "" << "EGSH" << "A"
                                        << "N52*40.61" << "E001*17.07" << 0.0;
    QTest::newRow("short form, unpadded") << "LSGG, A, N46* 14.28', E6* 6.53', +001410.76," << "" << "LSGG" << "A"
                                          << "N46*14.28" << "E006*06.53" << 1410.76;
    QTest::newRow("short form, west, intersection") << "D205T, I, N56* 59.87', W2* 28.54', +000000.00," << ""
                                                    << "D205T" << "I" << "N56*59.87" << "W002*28.54" << 0.0;
    QTest::newRow("short form, south, no trailing comma") << "SCL, V, S33* 23.4', W70* 47.2', +001555.50" << ""
                                                          << "SCL" << "V" << "S33*23.40" << "W070*47.20" << 1555.5;
}

void TestPlnFormat::parsesWaypointLines()
{
    QFETCH(QString, line);
    const PlanWaypoint w = parseWaypointLine(line);
    QVERIFY2(w.problem.isEmpty(), qPrintable(w.problem));
    QTEST(w.region, "region");
    QVERIFY(!w.region.isNull()); // stored as an empty text, not Null
    QTEST(w.id, "id");
    QTEST(QString(w.typeLetter), "letter");
    QTEST(w.lat, "lat");
    QTEST(w.lon, "lon");
    QTEST(w.h, "h");
}

void TestPlnFormat::refusesUnusableWaypointLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("problem");

    QTest::newRow("missing key") << "" << "Неверная широта \"\"";
    QTest::newRow("short form, longitude beyond 180") << "X, I, N55* 00.00', E181* 00.00', +000000.00,"
                                                      << "Неверная долгота \"E181* 00.00'\"";
    QTest::newRow("short form, altitude missing") << "X, I, N55* 00.00', E37* 00.00'"
                                                  << "Неверная высота \"E37* 00.00'\"";
    QTest::newRow("longitude in the latitude field") << "UU, X, , X, I, E37* 24.87', N55* 58.33', +000000.00, "
                                                     << "Неверная широта \"E37* 24.87'\"";
    QTest::newRow("latitude beyond the pole") << "UU, X, , X, I, N91* 00.00', E037* 00.00', +000000.00, "
                                              << "Неверная широта \"N91* 00.00'\"";
    QTest::newRow("minutes beyond 60") << "UU, X, , X, I, N55* 61.00', E037* 00.00', +000000.00, "
                                       << "Неверная широта \"N55* 61.00'\"";
    QTest::newRow("no fraction separator") << "UU, X, , X, I, N55* 5800', E037* 00.00', +000000.00, "
                                           << "Неверная широта \"N55* 5800'\"";
    QTest::newRow("longitude beyond 180") << "UU, X, , X, I, N55* 00.00', E181* 00.00', +000000.00, "
                                          << "Неверная долгота \"E181* 00.00'\"";
    QTest::newRow("longitude of four degree digits") << "UU, X, , X, I, N55* 00.00', E0370* 00.00', +000000.00, "
                                                     << "Неверная долгота \"E0370* 00.00'\"";
    // Without an eighth field the last field is read again.
    QTest::newRow("altitude missing") << "UU, X, , X, I, N55* 00.00', E037* 00.00'"
                                      << "Неверная высота \"E037* 00.00'\"";
    QTest::newRow("altitude not a number") << "UU, X, , X, I, N55* 00.00', E037* 00.00', abc, "
                                           << "Неверная высота \"abc\"";
    QTest::newRow("altitude with two separators") << "UU, X, , X, I, N55* 00.00', E037* 00.00', +0.00.5, "
                                                  << "Неверная высота \"+0.00.5\"";
    QTest::newRow("altitude out of range") << "UU, X, , X, I, N55* 00.00', E037* 00.00', 1e400, "
                                           << "Неверная высота \"1e400\"";
    // What goes into the catalogue must hold no control character: other
    // programs cut a text at a NUL.
    QTest::newRow("NUL inside the ident") << QStringLiteral("UU, NU") + QChar(0) + QStringLiteral("L, , NUL, I, N55* 00.00', E037* 00.00', +000000.00, ")
                                          << "Недопустимый управляющий символ (код 0)";
    QTest::newRow("control character in the region") << "U\x01U, MR, , MR, V, N55* 00.00', E037* 00.00', +000000.00, "
                                                     << "Недопустимый управляющий символ (код 1)";
    QTest::newRow("tab inside the ident") << "UU, M\tR, , MR, V, N55* 00.00', E037* 00.00', +000000.00, "
                                          << "Недопустимый управляющий символ (код 9)";
    QTest::newRow("C1 control at the end of the ident") << QStringLiteral("UU, MR\u0085, , MR, V, N55* 00.00', E037* 00.00', +000000.00, ")
                                                        << "Недопустимый управляющий символ (код 133)";
}

void TestPlnFormat::refusesUnusableWaypointLines()
{
    QFETCH(QString, line);
    QTEST(parseWaypointLine(line).problem, "problem");
}

void TestPlnFormat::writesWaypointLines_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<double>("h");
    QTest::addColumn<QString>("line");

    const QVariant null;
    QTest::newRow("catalogue airport") << "UU" << "UUEE" << QVariant("Airport") << "N55*58.33" << "E037*24.87"
                                       << 622.0 << "UU, UUEE, , UUEE, A, N55* 58.33', E37* 24.87', +000622.00, ";
    QTest::newRow("intersection gets I") << "UU" << "GOTIK" << null << "N56*00.00" << "E038*00.00" << 0.0
                                         << "UU, GOTIK, , GOTIK, I, N56* 00.00', E38* 00.00', +000000.00, ";
    QTest::newRow("empty type gets I") << "" << "X" << QVariant("") << "N56*00.00" << "E100*00.00" << 0.0
                                       << ", X, , X, I, N56* 00.00', E100* 00.00', +000000.00, ";
    QTest::newRow("VOR, five degrees east and north")
        << "UU" << "V5" << QVariant("VOR") << "N05*12.00" << "E005*12.00" << 0.0
        << "UU, V5, , V5, V, N05* 12.00', E05* 12.00', +000000.00, ";
    QTest::newRow("half feet to even, down") << "UU" << "A1" << QVariant("NDB") << "N55*00.00" << "E037*00.00"
                                             << 622.5 << "UU, A1, , A1, N, N55* 00.00', E37* 00.00', +000622.00, ";
    QTest::newRow("half feet to even, up") << "UU" << "A1" << QVariant("NDB") << "N55*00.00" << "E037*00.00"
                                           << 623.5 << "UU, A1, , A1, N, N55* 00.00', E37* 00.00', +000624.00, ";
    QTest::newRow("below sea level") << "UU" << "A1" << QVariant("Airport") << "N55*00.00" << "E037*00.00" << -50.0
                                     << "UU, A1, , A1, A, N55* 00.00', E37* 00.00', -000050.00, ";
    QTest::newRow("seven-digit altitude is not cut") << "UU" << "A1" << QVariant("Airport") << "N55*00.00"
                                                     << "E037*00.00" << 1234567.0
                                                     << "UU, A1, , A1, A, N55* 00.00', E37* 00.00', +1234567.00, ";
    QTest::newRow("decimal comma in stored texts") << "UU" << "C" << null << "N55*58,33" << "E037*24,87" << 0.0
                                                   << "UU, C, , C, I, N55* 58.33', E37* 24.87', +000000.00, ";
    QTest::newRow("south and west keep their letters")
        << "SC" << "SCEL" << QVariant("Airport") << "S33*23.45" << "W070*47.20" << 1555.0
        << "SC, SCEL, , SCEL, A, S33* 23.45', W70* 47.20', +001555.00, ";
}

void TestPlnFormat::writesWaypointLines()
{
    QFETCH(QString, region);
    QFETCH(QString, id);
    QFETCH(QVariant, type);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(double, h);
    QTEST(waypointLine(region, id, type, lat, lon, h), "line");
}

void TestPlnFormat::writtenLinesReadBack_data()
{
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<double>("h");

    QTest::newRow("airport") << "UU" << "UUEE" << QVariant("Airport") << "N55*58.33" << "E037*24.87" << 622.0;
    QTest::newRow("NDB near Greenwich") << "EG" << "BIG" << QVariant("NDB") << "N51*19.83" << "E000*02.07" << 0.0;
    QTest::newRow("VOR far east") << "UH" << "PL" << QVariant("VOR") << "N53*10.00" << "E158*27.00" << 0.0;
    QTest::newRow("intersection south-west") << "" << "GOTIK" << QVariant() << "S05*00.50" << "W009*59.99" << 0.0;
}

void TestPlnFormat::writtenLinesReadBack()
{
    QFETCH(QString, region);
    QFETCH(QString, id);
    QFETCH(QVariant, type);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(double, h);
    const PlanWaypoint w = parseWaypointLine(waypointLine(region, id, type, lat, lon, h));
    QVERIFY2(w.problem.isEmpty(), qPrintable(w.problem));
    QCOMPARE(w.region, region);
    QCOMPARE(w.id, id);
    QCOMPARE(typeOfLetter(w.typeLetter), type.isNull() ? QVariant(QMetaType::fromType<QString>()) : type);
    QCOMPARE(w.lat, lat);
    QCOMPARE(w.lon, lon);
    QCOMPARE(w.h, h);
}

void TestPlnFormat::routeNameOfFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("plan") << "/plans/UUEE-URSS.PLN" << "UUEE-URSS" << "UUEE-URSS.PLN";
    QTest::newRow("last extension only") << "/plans/plan.old.PLN" << "plan.old" << "plan.old.PLN";
    QTest::newRow("no full stop") << "/plans/plan" << "plan" << "plan";
    QTest::newRow("only an extension") << "/plans/.PLN" << "" << ".PLN";
    QTest::newRow("dotted folder") << "/my.plans/route" << "route" << "route";
}

void TestPlnFormat::routeNameOfFile()
{
    QFETCH(QString, path);
    QTEST(routeNameOf(path), "name");
    QTEST(planFileName(path), "fileName");
}

void TestPlnFormat::planExtensionRule_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("path");

    QTest::newRow("upper case kept") << "/p/plan.PLN" << "/p/plan.PLN";
    QTest::newRow("lower case kept") << "/p/plan.pln" << "/p/plan.pln";
    QTest::newRow("capitalised kept") << "/p/plan.Pln" << "/p/plan.Pln";
    QTest::newRow("other extension") << "/p/plan.txt" << "/p/plan.txt.PLN";
    QTest::newRow("mixed case is not a plan extension") << "/p/plan.pLn" << "/p/plan.pLn.PLN";
    QTest::newRow("no extension") << "/p/plan" << "/p/plan.PLN";
    QTest::newRow("anywhere in the name") << "/p/plan.pln.bak" << "/p/plan.pln.bak";
    QTest::newRow("a folder's name does not count") << "/p/old.pln/plan" << "/p/old.pln/plan.PLN";
    QTest::newRow("Windows separators") << "C:\\old.PLN\\plan" << "C:\\old.PLN\\plan.PLN";
}

void TestPlnFormat::planExtensionRule()
{
    QFETCH(QString, chosen);
    QTEST(withPlanExtension(chosen), "path");
}

void TestPlnFormat::proposedNameForSaving()
{
    QCOMPARE(proposedPlanName("IFR", "Sheremetyevo", "Sochi"), QString("IFR Sheremetyevo to Sochi (by Kalyx).PLN"));
    QCOMPARE(proposedPlanName("", "", ""), QString("  to  (by Kalyx).PLN"));
    // A name cannot carry a folder or a character Windows refuses in names.
    QCOMPARE(proposedPlanName("IFR", "Rio/Galeao", "A:B*?\"<>|\\"),
             QString("IFR Rio_Galeao to A_B_______ (by Kalyx).PLN"));
}

void TestPlnFormat::lastWaypointFromLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("index");

    QTest::newRow("twelve") << QStringList{"[flightplan]", "waypoint.12=UU, A, , A, A, N1* 1.0', E1* 1.0', +0.00, "}
                            << 12;
    QTest::newRow("zero") << QStringList{"waypoint.0=x"} << 0;
    QTest::newRow("no lines") << QStringList{} << -1;
    QTest::newRow("empty last line") << QStringList{"waypoint.3=x", ""} << -1;
    QTest::newRow("no '=' and no number") << QStringList{"</SimBase.Document>"} << -1;
    QTest::newRow("another program's entry") << QStringList{"WP=25,Int,ARDED,ARDED,46.73528,10.12778"} << -1;
    QTest::newRow("dot only in the value") << QStringList{"title=a.12"} << -1;
    QTest::newRow("blank before '='") << QStringList{"waypoint.7 =x"} << 7;
    QTest::newRow("negative") << QStringList{"waypoint.-1=x"} << -1;
    QTest::newRow("signed") << QStringList{"waypoint.+3=x"} << -1;
    QTest::newRow("too large") << QStringList{"waypoint.99999999999=x"} << -1;
    QTest::newRow("letters after the number") << QStringList{"waypoint.3a=x"} << -1;
}

void TestPlnFormat::lastWaypointFromLines()
{
    QFETCH(QStringList, lines);
    QTEST(lastWaypointIndexOfLines(lines), "index");
}

void TestPlnFormat::lastWaypointFromFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("index");

    QTest::newRow("CR LF, ending with CR LF") << QByteArray("[flightplan]\r\nwaypoint.0=a\r\nwaypoint.1=b\r\n") << 1;
    QTest::newRow("no line end at the end") << QByteArray("[flightplan]\r\nwaypoint.0=a\r\nwaypoint.1=b") << 1;
    QTest::newRow("LF only") << QByteArray("[flightplan]\nwaypoint.0=a\nwaypoint.4=b\n") << 4;
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBFwaypoint.5=b\r\n") << 5;
    QTest::newRow("empty line after the last waypoint")
        << QByteArray("[flightplan]\r\nwaypoint.0=a\r\nwaypoint.1=b\r\n\r\n") << -1;
    QTest::newRow("empty file") << QByteArray() << -1;
}

void TestPlnFormat::lastWaypointFromFile()
{
    QFETCH(QByteArray, bytes);
    test::TestFolder folder;
    QFile file(folder.file("plan.PLN"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QTEST(LastWaypointIndex(file.fileName()), "index");
}

void TestPlnFormat::lastWaypointOfMissingFileThrows()
{
    test::TestFolder folder;
    QVERIFY_THROWS_EXCEPTION(Error, LastWaypointIndex(folder.file("missing.PLN")));
}

void TestPlnFormat::cruisingLevelInFeetAndMetres_data()
{
    QTest::addColumn<int>("feet");
    QTest::addColumn<int>("metres");
    QTest::addColumn<qint64>("feetAgain");

    QTest::newRow("31000") << 31000 << 9449 << qint64(31001);
    QTest::newRow("35000") << 35000 << 10668 << qint64(35000);
    QTest::newRow("28000") << 28000 << 8534 << qint64(27999);
    QTest::newRow("none") << 0 << 0 << qint64(0);
    QTest::newRow("negative") << -1000 << -305 << qint64(-1001);
}

void TestPlnFormat::cruisingLevelInFeetAndMetres()
{
    QFETCH(int, feet);
    QFETCH(int, metres);
    QCOMPARE(cruisingLevelMetres(feet), metres);
    QTEST(cruisingAltitudeFeet(metres), "feetAgain");
}

void TestPlnFormat::coordinateTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<bool>("valid");

    QTest::newRow("latitude") << "N57*20.00" << true << true;
    QTest::newRow("south") << "S33*56.80" << true << true;
    QTest::newRow("pole") << "N90*00.00" << true << true;
    QTest::newRow("sixty minutes") << "N57*60.00" << true << true;
    QTest::newRow("beyond sixty minutes") << "N57*60.01" << true << false;
    QTest::newRow("beyond the pole") << "N90*00.01" << true << false;
    QTest::newRow("longitude letter") << "E57*20.00" << true << false;
    QTest::newRow("three degree digits") << "N057*20.00" << true << false;
    QTest::newRow("no fraction") << "N57*20." << true << false;
    QTest::newRow("non-ASCII digit") << QString("N5") + QChar(0x0663) + "*20.00" << true << false;
    QTest::newRow("longitude") << "E061*55.00" << false << true;
    QTest::newRow("west") << "W000*27.70" << false << true;
    QTest::newRow("antimeridian") << "E180*00.00" << false << true;
    QTest::newRow("beyond the antimeridian") << "E180*00.01" << false << false;
    QTest::newRow("two degree digits") << "E61*55.00" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void TestPlnFormat::coordinateTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, latitude);
    QTEST(isCoordinateText(text, latitude), "valid");
}

QTEST_GUILESS_MAIN(TestPlnFormat)
#include "tst_plnformat.moc"
