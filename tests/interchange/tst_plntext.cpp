#include "geo/CoordText.h"
#include "interchange/PlnText.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace kx;
using namespace kx::interchange;
using geo::CommaToPoint;

class TestPlnText : public QObject
{
    Q_OBJECT
private slots:
    void plnToText_data();
    void plnToText();
    void writtenPlanFormReadsBack_data();
    void writtenPlanFormReadsBack();
    void spaceAfterDegreeAndTrimLonZero_data();
    void spaceAfterDegreeAndTrimLonZero();
    void replaceAll_data();
    void replaceAll();
    void fields_data();
    void fields();
    void altitudeText_data();
    void altitudeText();
    void randomTextsGiveAText();
};

void TestPlnText::plnToText_data()
{
    QTest::addColumn<bool>("longitude");
    QTest::addColumn<QString>("pln");
    QTest::addColumn<QString>("text");
    QTest::newRow("lat") << false << "N55* 58.27'"
                         << "N55*58.27";
    QTest::newRow("lat short parts") << false << "N5* 3.1'"
                                     << "N05*03.10";
    QTest::newRow("lat comma fraction") << false << "N55* 58,27'"
                                        << "N55*58.27";
    QTest::newRow("lat long fraction kept") << false << "N55* 58.275'"
                                            << "N55*58.275";
    QTest::newRow("lat blanks anywhere") << false << " N 55 * 58.27 ' "
                                         << "N55*58.27";
    QTest::newRow("lat without fraction") << false << "N55* 58'"
                                          << "N55*58.00";
    QTest::newRow("lat south") << false << "S33* 56.8'"
                               << "S33*56.80";
    QTest::newRow("lat no letter is north") << false << "55* 58.27'"
                                            << "N55*58.27";
    QTest::newRow("lon two digits") << true << "E37* 24.88'"
                                    << "E037*24.88";
    QTest::newRow("lon one digit") << true << "E9* 5.5'"
                                   << "E009*05.50";
    QTest::newRow("lon three digits") << true << "E100* 0.00'"
                                      << "E100*00.00";
    QTest::newRow("lon as written with a zero") << true << "E061* 55.00'"
                                                << "E061*55.00";
    QTest::newRow("lon west keeps its letter") << true << "W000* 27.70'"
                                               << "W000*27.70";
    QTest::newRow("lon west trimmed") << true << "W74* 0.00'"
                                      << "W074*00.00";
    QTest::newRow("lon no letter is east") << true << "61* 55.00'"
                                           << "E061*55.00";
}

void TestPlnText::plnToText()
{
    QFETCH(bool, longitude);
    QFETCH(QString, pln);
    QFETCH(QString, text);
    QCOMPARE(longitude ? PlnLonToText(pln) : PlnLatToText(pln), text);
}

void TestPlnText::writtenPlanFormReadsBack_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<QString>("plnLat");
    QTest::addColumn<QString>("plnLon");
    QTest::newRow("catalogue airport") << "N55*58.33"
                                       << "E037*24.87"
                                       << "N55* 58.33'"
                                       << "E37* 24.87'";
    QTest::newRow("small degrees") << "N05*03.10"
                                   << "E009*05.50"
                                   << "N05* 03.10'"
                                   << "E09* 05.50'";
    QTest::newRow("three-digit longitude") << "N57*20.00"
                                           << "E100*00.00"
                                           << "N57* 20.00'"
                                           << "E100* 00.00'";
    QTest::newRow("south west") << "S33*56.80"
                                << "W074*00.00"
                                << "S33* 56.80'"
                                << "W74* 00.00'";
    QTest::newRow("comma left in a text") << "N57*20,00"
                                          << "E061*55,00"
                                          << "N57* 20.00'"
                                          << "E61* 55.00'";
}

void TestPlnText::writtenPlanFormReadsBack()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(QString, plnLat);
    QFETCH(QString, plnLon);
    // How the plan writer forms its fields, and the reader takes them back.
    const QString writtenLat = ReplaceAll(SpaceAfterDegree(lat), QStringLiteral(","), QStringLiteral(".")) + u'\'';
    const QString writtenLon =
        ReplaceAll(TrimLonZero(SpaceAfterDegree(lon)), QStringLiteral(","), QStringLiteral(".")) + u'\'';
    QCOMPARE(writtenLat, plnLat);
    QCOMPARE(writtenLon, plnLon);
    QCOMPARE(PlnLatToText(writtenLat), CommaToPoint(lat));
    QCOMPARE(PlnLonToText(writtenLon), CommaToPoint(lon));
}

void TestPlnText::spaceAfterDegreeAndTrimLonZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spaced");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("longitude") << "E061*55.00"
                               << "E061* 55.00"
                               << "E61*55.00";
    QTest::newRow("small longitude") << "E009*05.50"
                                     << "E009* 05.50"
                                     << "E09*05.50";
    QTest::newRow("three digits unchanged") << "E100*00.00"
                                            << "E100* 00.00"
                                            << "E100*00.00";
    QTest::newRow("west") << "W074*00.00"
                          << "W074* 00.00"
                          << "W74*00.00";
    QTest::newRow("latitude unchanged") << "N05*03.10"
                                        << "N05* 03.10"
                                        << "N05*03.10";
    QTest::newRow("south latitude unchanged") << "S05*03.10"
                                              << "S05* 03.10"
                                              << "S05*03.10";
    QTest::newRow("no degree mark") << "E061"
                                    << "E061"
                                    << "E61";
}

void TestPlnText::spaceAfterDegreeAndTrimLonZero()
{
    QFETCH(QString, text);
    QFETCH(QString, spaced);
    QFETCH(QString, trimmed);
    QCOMPARE(SpaceAfterDegree(text), spaced);
    QCOMPARE(TrimLonZero(text), trimmed);
}

void TestPlnText::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("every comma") << "N57* 20,00,5"
                                 << ","
                                 << "."
                                 << "N57* 20.00.5";
    QTest::newRow("remove apostrophes") << "E37* 24.88''"
                                        << "'"
                                        << ""
                                        << "E37* 24.88";
    QTest::newRow("occurrence formed by a removal") << "aaabb"
                                                    << "ab"
                                                    << ""
                                                    << "a";
    QTest::newRow("longer search") << "a, , b, , c"
                                   << ", "
                                   << ";"
                                   << "a;;b;;c";
    QTest::newRow("not found") << "abc"
                               << "x"
                               << "y"
                               << "abc";
    QTest::newRow("empty text") << ""
                                << ","
                                << "."
                                << "";
    QTest::newRow("empty search") << "abc"
                                  << ""
                                  << "z"
                                  << "abc";
    QTest::newRow("replacement holds the search") << "a.b.c"
                                                  << "."
                                                  << ".."
                                                  << "a..b..c";
}

void TestPlnText::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(ReplaceAll(text, search, replacement), expected);
}

void TestPlnText::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("skip");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<QString>("field");
    const QString line = QStringLiteral("UU, UUEE, , UUEE, A, N55* 58.33', E37* 24.87', +000622.00, ");
    QTest::newRow("no skip") << line << 0 << line << "UU";
    QTest::newRow("identifier") << line << 1 << line.mid(3) << " UUEE";
    QTest::newRow("empty field") << line << 2 << line.mid(9) << " ";
    QTest::newRow("latitude") << line << 5 << line.mid(20) << " N55* 58.33'";
    QTest::newRow("longitude") << line << 6 << line.mid(33) << " E37* 24.87'";
    QTest::newRow("altitude") << line << 7 << QStringLiteral(" +000622.00, ") << " +000622.00";
    QTest::newRow("last field") << line << 8 << " "
                                << " ";
    QTest::newRow("past the last comma") << line << 12 << " "
                                         << " ";
    QTest::newRow("no comma at all") << "abc" << 3 << "abc"
                                     << "abc";
    QTest::newRow("leading comma") << ",x" << 0 << ",x"
                                   << "";
    QTest::newRow("empty") << "" << 2 << ""
                           << "";
}

void TestPlnText::fields()
{
    QFETCH(QString, line);
    QFETCH(int, skip);
    QFETCH(QString, rest);
    QFETCH(QString, field);
    QCOMPARE(SkipFields(line, skip), rest);
    QCOMPARE(FieldBeforeComma(SkipFields(line, skip)), field);
}

void TestPlnText::altitudeText_data()
{
    QTest::addColumn<qint64>("feet");
    QTest::addColumn<QString>("text");
    QTest::newRow("airport") << qint64(622) << "+000622.00";
    QTest::newRow("negative") << qint64(-10) << "-000010.00";
    QTest::newRow("negative 50") << qint64(-50) << "-000050.00";
    QTest::newRow("zero") << qint64(0) << "+000000.00";
    QTest::newRow("six digits") << qint64(999999) << "+999999.00";
    QTest::newRow("longer is not cut") << qint64(1234567) << "+1234567.00";
}

void TestPlnText::altitudeText()
{
    QFETCH(qint64, feet);
    QFETCH(QString, text);
    QCOMPARE(AltitudeText(feet), text);
}

void TestPlnText::randomTextsGiveAText()
{
    // A plan's fields as any file may hold them: the conversions give a text
    // for anything, and a field never holds its separator.
    QRandomGenerator random(20261210);
    const QString alphabet =
        QStringLiteral("NSEWnx*.,' -+0123456789e\t") + QChar(0) + QChar(0xFFFD) + QStringLiteral("Ж٣");
    for (int round = 0; round < 5000; ++round) {
        QString text;
        for (int i = random.bounded(16); i > 0; --i)
            text += alphabet.at(random.bounded(alphabet.size()));
        const QString lat = PlnLatToText(text);
        const QString lon = PlnLonToText(text);
        QVERIFY2(lat.contains(u'*') && lon.contains(u'*'), qPrintable(text));
        QCOMPARE(FieldBeforeComma(SkipFields(text, 3)).contains(u','), false);
    }
}

QTEST_GUILESS_MAIN(TestPlnText)
#include "tst_plntext.moc"
