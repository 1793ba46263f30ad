#include "RecordingPrompter.h"

#include "base/Error.h"
#include "geo/CoordEdit.h"
#include "geo/CoordText.h"
#include "geo/DecimalCoord.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <numbers>

using namespace kx;
using namespace kx::geo;

class TestCoordText : public QObject
{
    Q_OBJECT
private slots:
    void coordToRad_data();
    void coordToRad();
    void coordToRadRejectsBadTexts_data();
    void coordToRadRejectsBadTexts();
    void readCommaNumber_data();
    void readCommaNumber();
    void pointAndComma_data();
    void pointAndComma();
    void blanksToZeros_data();
    void blanksToZeros();
    void editCheck_data();
    void editCheck();
    void editCheckMessages_data();
    void editCheckMessages();
    void degreesAsText_data();
    void degreesAsText();
    void pastedPositions_data();
    void pastedPositions();
    void decimalDegreesOfTexts_data();
    void decimalDegreesOfTexts();
    void degreesMinutesSeconds_data();
    void degreesMinutesSeconds();
    void randomTextsGiveAnAngleOrAnError();
};

void TestCoordText::coordToRad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("degrees");
    QTest::newRow("stored latitude") << "N57*20.00" << 57 + 20 / 60.0;
    QTest::newRow("comma already present") << "N57*20,00" << 57 + 20 / 60.0;
    QTest::newRow("longitude") << "E061*55.00" << 61 + 55 / 60.0;
    QTest::newRow("hundredths") << "N55*58.27" << 55 + 58.27 / 60;
    QTest::newRow("long fraction from a plan") << "E037*24.875" << 37 + 24.875 / 60;
    QTest::newRow("zero") << "N00*00.00" << 0.0;
    QTest::newRow("date line") << "E180*00.00" << 180.0;
    QTest::newRow("pole") << "N90*00.00" << 90.0;
    QTest::newRow("south is negative") << "S33*56.80" << -(33 + 56.8 / 60);
    QTest::newRow("west is negative") << "W074*00.00" << -74.0;
    QTest::newRow("west near Greenwich") << "W000*27.70" << -(27.7 / 60);
    QTest::newRow("unknown letter counts as north") << "X10*30.00" << 10.5;
}

void TestCoordText::coordToRad()
{
    QFETCH(QString, text);
    QFETCH(double, degrees);
    const long double expected = static_cast<long double>(degrees) * std::numbers::pi_v<long double> / 180;
    const long double actual = CoordToRad(text);
    QVERIFY2(std::fabs(actual - expected) < 1e-15L,
             qPrintable(QStringLiteral("%1 gave %2 rad, expected %3")
                            .arg(text)
                            .arg(static_cast<double>(actual), 0, 'g', 17)
                            .arg(static_cast<double>(expected), 0, 'g', 17)));
}

void TestCoordText::coordToRadRejectsBadTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty (missing coordinate)") << "";
    QTest::newRow("letter only") << "N";
    QTest::newRow("no degree mark") << "N5720.00";
    QTest::newRow("no minutes") << "N57*";
    QTest::newRow("no degrees") << "N*20.00";
    QTest::newRow("letters in the minutes") << "N57*2O.00";
    QTest::newRow("two decimal points") << "N57*20.00.5";
    QTest::newRow("blank inside") << "N57*20 00";
}

void TestCoordText::coordToRadRejectsBadTexts()
{
    QFETCH(QString, text);
    try {
        CoordToRad(text);
        QFAIL("no error for a bad coordinate text");
    } catch (const Error &e) {
        QCOMPARE(e.text(), QStringLiteral("Неверная координата: \"%1\"").arg(text));
    }
}

void TestCoordText::readCommaNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");
    QTest::newRow("minutes") << "20,00" << true << 20.0;
    QTest::newRow("whole") << "57" << true << 57.0;
    QTest::newRow("blanks and sign") << " -3,5 " << true << -3.5;
    QTest::newRow("plus sign") << "+7" << true << 7.0;
    QTest::newRow("leading comma") << ",5" << true << 0.5;
    QTest::newRow("decimal point") << "1.5" << false << 0.0;
    QTest::newRow("two commas") << "1,000,5" << false << 0.0;
    QTest::newRow("trailing text") << "20,00'" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("two signs") << "--1" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    // Beyond what a double holds: the formulas would meet an infinity.
    QTest::newRow("too large for a double") << "24,E857" << false << 0.0;
    QTest::newRow("too large, negative") << "-1E400" << false << 0.0;
}

void TestCoordText::readCommaNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QFETCH(double, value);
    const std::optional<long double> number = geo::readCommaNumber(text);
    QCOMPARE(number.has_value(), readable);
    if (readable)
        QCOMPARE(static_cast<double>(*number), value);
}

void TestCoordText::pointAndComma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pointToComma");
    QTest::addColumn<QString>("commaToPoint");
    QTest::newRow("stored text") << "N57*20.00" << "N57*20,00" << "N57*20.00";
    QTest::newRow("read text") << "N57*20,00" << "N57*20,00" << "N57*20.00";
    QTest::newRow("only the first") << "1.2.3,4,5" << "1,2.3,4,5" << "1.2.3.4,5";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("neither") << "300" << "300" << "300";
}

void TestCoordText::pointAndComma()
{
    QFETCH(QString, text);
    QFETCH(QString, pointToComma);
    QFETCH(QString, commaToPoint);
    QCOMPARE(PointToComma(text), pointToComma);
    QCOMPARE(CommaToPoint(text), commaToPoint);
}

void TestCoordText::blanksToZeros_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first digits only, nothing shifts") << "N5 *3 .  " << "N50*30.00";
    QTest::newRow("empty latitude field") << "N  *  .  " << "N00*00.00";
    QTest::newRow("empty longitude field") << "E   *  .  " << "E000*00.00";
    QTest::newRow("letter position kept") << "  1" << " 01";
    QTest::newRow("complete") << "E061*55.00" << "E061*55.00";
}

void TestCoordText::blanksToZeros()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(BlanksToZeros(text), expected);
}

void TestCoordText::editCheck_data()
{
    QTest::addColumn<bool>("longitude");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("lat plain") << false << "N57*20.00" << "N57*20.00" << true;
    QTest::newRow("lat blanks become zeros") << false << "N5 *3 .  " << "N50*30.00" << true;
    QTest::newRow("lat empty field") << false << "N  *  .  " << "N00*00.00" << true;
    QTest::newRow("lat pole") << false << "N90*00.00" << "N90*00.00" << true;
    QTest::newRow("lat sixty minutes") << false << "N57*60.00" << "N57*60.00" << true;
    QTest::newRow("lat pole + hundredth") << false << "N90*00.01" << "N90*00.01" << false;
    QTest::newRow("lat pole + minute") << false << "N90*01.00" << "N90*01.00" << false;
    QTest::newRow("lat 60.01 minutes") << false << "N57*60.01" << "N57*60.01" << false;
    QTest::newRow("lat 61 minutes") << false << "N57*61.00" << "N57*61.00" << false;
    QTest::newRow("lat 91 degrees") << false << "N91*00.00" << "N91*00.00" << false;
    QTest::newRow("lat invalid still normalised") << false << "N9 *6 .  " << "N90*60.00" << false;
    QTest::newRow("lat south kept") << false << "S33*56.80" << "S33*56.80" << true;
    QTest::newRow("lat south pole") << false << "S90*00.00" << "S90*00.00" << true;
    QTest::newRow("lat south beyond pole") << false << "S90*00.01" << "S90*00.01" << false;
    QTest::newRow("lat lower-case letter") << false << "s33*56.80" << "S33*56.80" << true;
    QTest::newRow("lat wrong letter") << false << "E57*20.00" << "N57*20.00" << false;
    QTest::newRow("lat blank letter") << false << " 57*20.00" << "N57*20.00" << false;
    QTest::newRow("lat not digits") << false << "N5x*20.00" << "N5x*20.00" << false;
    QTest::newRow("lat too short") << false << "N57*20" << "N57*20." << false;

    QTest::newRow("lon plain") << true << "E061*55.00" << "E061*55.00" << true;
    QTest::newRow("lon empty field") << true << "E   *  .  " << "E000*00.00" << true;
    QTest::newRow("lon blanks become zeros") << true << "E 6 *5 .5 " << "E060*50.50" << true;
    QTest::newRow("lon date line") << true << "E180*00.00" << "E180*00.00" << true;
    QTest::newRow("lon 181 degrees") << true << "E181*00.00" << "E181*00.00" << false;
    QTest::newRow("lon date line + hundredth") << true << "E180*00.01" << "E180*00.01" << false;
    QTest::newRow("lon date line + minute") << true << "E180*01.00" << "E180*01.00" << false;
    QTest::newRow("lon sixty minutes") << true << "E037*60.00" << "E037*60.00" << true;
    QTest::newRow("lon 60.01 minutes") << true << "E037*60.01" << "E037*60.01" << false;
    QTest::newRow("lon west kept") << true << "W074*00.00" << "W074*00.00" << true;
    QTest::newRow("lon west beyond date line") << true << "W180*00.01" << "W180*00.01" << false;
    QTest::newRow("lon wrong letter") << true << "N061*55.00" << "E061*55.00" << false;
}

void TestCoordText::editCheck()
{
    QFETCH(bool, longitude);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const EditCheck check = longitude ? CheckLonEdit(field) : CheckLatEdit(field);
    QCOMPARE(check.text, text);
    QCOMPARE(check.valid, valid);
}

void TestCoordText::editCheckMessages_data()
{
    QTest::addColumn<bool>("longitude");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("valid latitude: silent") << false << "N57*20.00" << QStringList();
    QTest::newRow("invalid latitude") << false << "N91*00.00" << QStringList{QStringLiteral("Ошибка ввода широты!")};
    QTest::newRow("valid longitude: silent") << true << "W074*00.00" << QStringList();
    QTest::newRow("invalid longitude") << true << "E181*00.00" << QStringList{QStringLiteral("Ошибка ввода долготы!")};
}

void TestCoordText::editCheckMessages()
{
    QFETCH(bool, longitude);
    QFETCH(QString, field);
    QFETCH(QStringList, messages);
    test::RecordingPrompter prompter;
    QObject owner;
    owner.setObjectName(QStringLiteral("TF_PPM"));
    const bool accepted = longitude ? reportLonEdit(CheckLonEdit(field), prompter, &owner)
                                    : reportLatEdit(CheckLatEdit(field), prompter, &owner);
    QCOMPARE(accepted, messages.isEmpty());
    QCOMPARE(prompter.texts(), messages);
    for (const auto &message : prompter.messages()) {
        QCOMPARE(message.kind, test::RecordingPrompter::Kind::Error);
        QCOMPARE(message.owner, QStringLiteral("TF_PPM"));
    }
}

void TestCoordText::degreesAsText_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QString>("text");
    QTest::newRow("north") << true << 55.971167 << "N55*58.27";
    QTest::newRow("south") << true << -33.946667 << "S33*56.80";
    QTest::newRow("zero") << true << 0.0 << "N00*00.00";
    QTest::newRow("a hair south of zero is zero") << true << -0.0000001 << "N00*00.00";
    QTest::newRow("minutes carried into the degrees") << true << 59.999999 << "N60*00.00";
    QTest::newRow("east, padded") << false << 37.414667 << "E037*24.88";
    QTest::newRow("west, single digit") << false << -0.461667 << "W000*27.70";
    QTest::newRow("the date line") << false << -179.9999999 << "W180*00.00";
}

void TestCoordText::degreesAsText()
{
    QFETCH(bool, latitude);
    QFETCH(double, degrees);
    QFETCH(QString, text);
    QCOMPARE(latitude ? latitudeText(degrees) : longitudeText(degrees), text);
    // The text reads back as the position it was made from, to its hundredth
    // of a minute.
    const std::optional<long double> back = readCoordinate(text);
    QVERIFY(back);
    QVERIFY(std::fabs(double(*back) * 180 / std::numbers::pi - degrees) <= 1.0 / 12000 + 1e-12);
}

void TestCoordText::pastedPositions_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("current"); // the field's letter before the paste
    QTest::addColumn<QString>("field");   // empty: not a position of this axis
    QTest::newRow("own text") << true << "N55*58.27"
                              << "N"
                              << "N55*58.27";
    QTest::newRow("flight plan form") << true << "N55* 58.27'"
                                      << "N"
                                      << "N55*58.27";
    QTest::newRow("degree sign, comma, letter after") << true << "33\u00B056,8' S"
                                                      << "N"
                                                      << "S33*56.80";
    QTest::newRow("no letter keeps the field's") << true << "33 56.8"
                                                 << "S"
                                                 << "S33*56.80";
    QTest::newRow("small letter") << true << "s33 56.8"
                                  << "N"
                                  << "S33*56.80";
    QTest::newRow("letter before and after") << true << "N55 58.27 S"
                                             << "N"
                                             << "";
    QTest::newRow("the same letter twice") << true << "N55 58.27 N"
                                           << "N"
                                           << "";
    QTest::newRow("letter of the other axis") << true << "E037*24.88"
                                              << "N"
                                              << "";
    QTest::newRow("a leading zero too many") << true << "N055 58.27"
                                             << "N"
                                             << "N55*58.27";
    QTest::newRow("degrees too wide") << true << "N123*00.00"
                                      << "N"
                                      << "";
    QTest::newRow("no minutes") << true << "N55"
                                << "N"
                                << "";
    QTest::newRow("not a position") << true << "Шереметьево"
                                    << "N"
                                    << "";
    QTest::newRow("longitude padded") << false << "E37* 24.88'"
                                      << "E"
                                      << "E037*24.88";
    QTest::newRow("west, one digit") << false << " W0* 27.7' "
                                     << "E"
                                     << "W000*27.70";
    QTest::newRow("longer fraction cut") << false << "E037*24.875"
                                         << "E"
                                         << "E037*24.87";
    QTest::newRow("longitude, letters both sides") << false << "W37 24.88 E"
                                                   << "E"
                                                   << "";
    QTest::newRow("latitude's letter") << false << "N037*24.88"
                                       << "E"
                                       << "";
}

void TestCoordText::pastedPositions()
{
    QFETCH(bool, latitude);
    QFETCH(QString, text);
    QFETCH(QString, current);
    QFETCH(QString, field);
    const std::optional<QString> pasted =
        latitude ? PastedLat(text, current.front()) : PastedLon(text, current.front());
    QCOMPARE(pasted.value_or(QString()), field);
}

void TestCoordText::decimalDegreesOfTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<QString>("back"); // the text again from the degrees
    QTest::newRow("north") << "N55*58.36" << "55.972667" << "N55*58.36";
    QTest::newRow("east, three digits") << "E037*24.88" << "37.414667" << "E037*24.88";
    QTest::newRow("west") << "W000*30.00" << "-0.500000" << "W000*30.00";
    QTest::newRow("south near the pole") << "S89*59.99" << "-89.999833" << "S89*59.99";
    QTest::newRow("zero has no sign") << "S00*00.00" << "0.000000" << "N00*00.00";
    QTest::newRow("a comma for the point") << "E179*59,99" << "179.999833" << "E179*59.99";
    QTest::newRow("no text") << "" << "" << "";
    QTest::newRow("no star") << "N5558.36" << "" << "";
}

void TestCoordText::decimalDegreesOfTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, back);
    const std::optional<QString> degrees = geo::decimalFromCoordinate(text, 6);
    QTEST(degrees.value_or(QString()), "degrees");
    if (!degrees)
        return;
    const bool latitude = text.startsWith(u'N') || text.startsWith(u'S');
    QCOMPARE((latitude ? geo::latitudeFromDecimal(*degrees) : geo::longitudeFromDecimal(*degrees)).value_or(""), back);
}

void TestCoordText::degreesMinutesSeconds_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<bool>("negative"); // south or west
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("text"); // empty: refused
    // A second is 1/60 minute: 19.8" is 0.33' exactly, 52.8" is 0.88'.
    QTest::newRow("north") << true << false << "55" << "58" << "19.8" << "N55*58.33";
    QTest::newRow("west, comma") << false << true << "37" << "24" << "52,8" << "W037*24.88";
    // 0.3" is 0.005' and 0.9" is 0.015': halves, to the even hundredth.
    QTest::newRow("half down to even") << true << false << "55" << "58" << "0.3" << "N55*58.00";
    QTest::newRow("half up to even") << true << false << "55" << "58" << "0.9" << "N55*58.02";
    QTest::newRow("twelve decimals, the most read") << true << true << "33" << "56" << "48.000000000001"
                                                    << "S33*56.80";
    QTest::newRow("thirteen decimals") << true << true << "33" << "56" << "48.0000000000001" << "";
    QTest::newRow("seconds reach 60") << true << false << "55" << "58" << "60" << "";
    // 0.6" is 0.01': past the pole by a hundredth.
    QTest::newRow("past the pole") << true << false << "90" << "00" << "0.6" << "";
}

void TestCoordText::degreesMinutesSeconds()
{
    QFETCH(bool, latitude);
    QFETCH(bool, negative);
    QFETCH(QString, degrees);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    const std::optional<QString> text = latitude ? geo::latitudeFromDms(negative, degrees, minutes, seconds)
                                                 : geo::longitudeFromDms(negative, degrees, minutes, seconds);
    QTEST(text.value_or(QString()), "text");
}

void TestCoordText::randomTextsGiveAnAngleOrAnError()
{
    // Texts from files and fields, random and damaged: every reader gives a
    // value or its error (kx::Error), and whatever the edit check accepts
    // reads as an angle within its range.
    QRandomGenerator random(20261210);
    const QString alphabet = QStringLiteral("NSEWnx*.,' -+0123456789e\t") + QChar(0) + QChar(0xFFFD) + QStringLiteral("Ж٣");
    const QStringList good{"N55*58.33", "E037*24.87", "S33*56.80", "W000*27.70", "N55* 58.33'", "E37* 24.87'"};
    for (int round = 0; round < 5000; ++round) {
        QString text;
        if (round % 2) {
            for (int i = random.bounded(16); i > 0; --i)
                text += alphabet.at(random.bounded(alphabet.size()));
        } else {
            text = good.at(random.bounded(good.size()));
            for (int i = random.bounded(1, 4); i > 0; --i) {
                const qsizetype at = random.bounded(text.size() + 1);
                if (random.bounded(2))
                    text.insert(at, alphabet.at(random.bounded(alphabet.size())));
                else if (at < text.size())
                    text.remove(at, 1 + random.bounded(3));
            }
        }
        try {
            const long double angle = CoordToRad(text);
            QVERIFY2(std::isfinite(double(angle)), qPrintable(text));
        } catch (const Error &e) {
            QVERIFY(!e.text().isEmpty());
        }
        const std::optional<long double> number = geo::readCommaNumber(text);
        QVERIFY(!number || !std::isnan(double(*number)));
        for (const EditCheck &check : {CheckLatEdit(text), CheckLonEdit(text)}) {
            if (!check.valid)
                continue;
            const long double angle = CoordToRad(check.text);
            QVERIFY2(std::fabs(double(angle)) <= std::numbers::pi + 1e-12, qPrintable(text));
        }
        QCOMPARE(BlanksToZeros(text).size(), text.size());
    }
}

QTEST_GUILESS_MAIN(TestCoordText)
#include "tst_coordtext.moc"
