#include "base/NumberPicture.h"
#include "base/Numbers.h"

#include <QtTest>

using namespace kx;

class TestNumberPicture : public QObject
{
    Q_OBJECT
private slots:
    void pictures_data();
    void pictures();
    void general_data();
    void general();
    void nullIsEmpty();
};

void TestNumberPicture::pictures_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    // Route list and editor grids
    QTest::newRow("grouped distance") << "### ### ### ###.#" << 1498.8 << "1 498,8";
    QTest::newRow("grouped, whole") << "### ### ### ###.#" << 1234567.0 << "1 234 567";
    QTest::newRow("grouped, small") << "### ### ### ###.#" << 12.34 << "12,3";
    QTest::newRow("grouped level") << "### ### ###" << 10668.0 << "10 668";
    QTest::newRow("grouped level, zero") << "### ### ###" << 0.0 << "";
    QTest::newRow("more digits than placeholders") << "### ###" << 12345678.0 << "12345 678";
    QTest::newRow("one decimal") << "0.0" << 16.7 << "16,7";
    QTest::newRow("one decimal, whole") << "0.0" << 5.0 << "5,0";
    QTest::newRow("one decimal, negative") << "0.0" << -16.66 << "-16,7";
    QTest::newRow("negative rounding to zero has no sign") << "0.0" << -0.01 << "0,0";
    QTest::newRow("at most one decimal") << "0.#" << 16.0 << "16";
    QTest::newRow("at most one decimal, fraction") << "0.#" << 16.75 << "16,8";
    QTest::newRow("no leading zero") << "#.00" << 0.5 << ",50";
    QTest::newRow("frequency") << "#.00" << 338.0 << "338,00";
    QTest::newRow("two decimals") << "0.00" << 122.075 << "122,08";
    QTest::newRow("leg length, negative") << ";0.0" << -728.04 << "728,0";
    QTest::newRow("leg length, positive is general") << ";0.0" << 728.04 << "728,04";
    QTest::newRow("leg length, zero") << ";0.0" << 0.0 << "0";
    QTest::newRow("three whole digits") << "#000.0" << 68.1 << "068,1";
    QTest::newRow("literal suffix") << "0.0 км" << 3.0 << "3,0 км";
    QTest::newRow("zero section") << "0.0;-0.0;ноль" << 0.0 << "ноль";
}

void TestNumberPicture::pictures()
{
    QFETCH(QString, picture);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatFloat(picture, value, u','), expected);
}

void TestNumberPicture::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tenth") << 1498.8 << "1498,8";
    QTest::newRow("binary noise is cut at 15 digits") << 0.1 * 3 << "0,3";
    QTest::newRow("whole") << 300.0 << "300";
    QTest::newRow("negative") << -16.7 << "-16,7";
    QTest::newRow("zero") << -0.0 << "0";
}

void TestNumberPicture::general()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(generalNumberComma(value), expected);
}

void TestNumberPicture::nullIsEmpty()
{
    QCOMPARE(formatValue(u"0.0", QVariant(), u','), QString());
    QCOMPARE(formatValue(u"0.0", QVariant(QMetaType(QMetaType::Double)), u','), QString());
    QCOMPARE(formatValue(u"0.0", QVariant(2.25), u'.'), QStringLiteral("2.3")); // exact tie: away from zero
    QCOMPARE(formatValue(u"0.0", QVariant(qlonglong(7)), u'.'), QStringLiteral("7.0"));
    QCOMPARE(formatValue(u"0.0", QVariant(QStringLiteral("x")), u'.'), QString());
}

QTEST_GUILESS_MAIN(TestNumberPicture)
#include "tst_numberpicture.moc"
