#include "reports/core/Expression.h"
#include "reports/core/NumberFormat.h"
#include "reports/core/TextTemplate.h"

#include <QtTest>

using namespace kx::reports;

namespace {

class MapScope : public Scope
{
public:
    explicit MapScope(QVariantMap values) : m_values(std::move(values)) {}
    bool lookup(const QString &name, QVariant &value) const override
    {
        if (!m_values.contains(name))
            return false;
        value = m_values.value(name);
        return true;
    }

private:
    QVariantMap m_values;
};

QVariant nullDouble()
{
    return QVariant(QMetaType(QMetaType::Double));
}

} // namespace

class TestReportFormat : public QObject
{
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void badFormats_data();
    void badFormats();
    void expressions_data();
    void expressions();
    void expressionErrors_data();
    void expressionErrors();
    void texts_data();
    void texts();
    void badTexts_data();
    void badTexts();
};

void TestReportFormat::formats_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("#0.0") << "#0.0" << 1498.84 << "1498,8";
    QTest::newRow("#0.0 below one") << "#0.0" << 0.44 << "0,4";
    QTest::newRow("#0.0 negative") << "#0.0" << -16.66 << "-16,7";
    QTest::newRow("#0.0 negative rounding to zero") << "#0.0" << -0.04 << "0,0";
    QTest::newRow("#0.00 ATIS") << "#0.00" << 128.1 << "128,10";
    QTest::newRow("#0.00 zero") << "#0.00" << 0.0 << "0,00";
    QTest::newRow("#000.0 pads courses") << "#000.0" << 5.24 << "005,2";
    QTest::newRow("#000.0 wide") << "#000.0" << 359.96 << "360,0";
    QTest::newRow("#.0 drops the whole zero") << "#.0" << 0.4 << ",4";
    QTest::newRow("#.0 negative variation") << "#.0" << -7.5 << "-7,5";
    QTest::newRow("#.0 whole") << "#.0" << 11.0 << "11,0";
    QTest::newRow("#0 rounds") << "#0" << 1499.6 << "1500";
    QTest::newRow("#0 transition level") << "#0" << 1500.0 << "1500";
    QTest::newRow("%g whole") << "%g" << 9449.0 << "9449";
    QTest::newRow("%g fraction, decimal comma") << "%g" << 10.5 << "10,5";
    QTest::newRow("%g zero") << "%g" << 0.0 << "0";
    QTest::newRow("%g keeps 15 digits") << "%g" << 0.1 * 3 << "0,3";
    QTest::newRow("%2.2f") << "%2.2f" << 114.1 << "114,10";
    QTest::newRow("%2.2f pads to the width") << "%6.2f" << 1.5 << "  1,50";
    QTest::newRow("%2.2f rounds") << "%2.2f" << 0.376 << "0,38";
    QTest::newRow("%-f justifies left") << "%-6.1f" << 1.0 << "1,0   ";
    QTest::newRow("%f default two decimals") << "%f" << 2.0 << "2,00";
    QTest::newRow("%d") << "%d" << 41.6 << "42";
    QTest::newRow("printf with text around") << "ATIS %.2f МГц" << 128.1 << "ATIS 128,10 МГц";
    QTest::newRow("percent sign") << "%.0f%%" << 12.0 << "12%";
    QTest::newRow("picture with text") << "#0.0 км" << 3.0 << "3,0 км";
}

void TestReportFormat::formats()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QString error;
    const std::optional<NumberFormat> format = NumberFormat::parse(pattern, &error);
    QVERIFY2(format, qPrintable(error));
    QCOMPARE(format->format(value), expected);
}

void TestReportFormat::badFormats_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("no placeholder") << "abc";
    QTest::newRow("unknown conversion") << "%2.2x";
    QTest::newRow("conversion missing") << "%2.";
    QTest::newRow("two conversions") << "%f %g";
    QTest::newRow("only a percent sign") << "100%%";
}

void TestReportFormat::badFormats()
{
    QFETCH(QString, pattern);
    QString error;
    QVERIFY(!NumberFormat::parse(pattern, &error));
    QVERIFY(error.contains(pattern));
}

void TestReportFormat::expressions_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("metres from feet") << "<VH> / 3.280839895" << QVariant(622 / 3.280839895);
    QTest::newRow("precedence") << "<VH> / 3.280839895 * 0.085" << QVariant(622 / 3.280839895 * 0.085);
    QTest::newRow("parentheses") << "(2 + 3) * 4" << QVariant(20.0);
    QTest::newRow("left to right") << "10 - 4 - 3" << QVariant(3.0);
    QTest::newRow("unary minus") << "-S" << QVariant(182.4);
    QTest::newRow("abs of a negative leg") << "abs(S)" << QVariant(182.4);
    QTest::newRow("ABS in capitals") << "ABS(S + 2)" << QVariant(180.4);
    QTest::newRow("remaining distance") << "SO - Sp" << QVariant(1498.8 - 182.4);
    QTest::newRow("qualified field name") << "Punkts.ID" << QVariant(QStringLiteral("UUEE"));
    QTest::newRow("name in angle brackets with quotes") << "<\"Punkts.ID\">" << QVariant(QStringLiteral("UUEE"));
    QTest::newRow("texts join with +") << "Punkts.ID + '  -  ' + 'Шереметьево'" << QVariant(QStringLiteral("UUEE  -  Шереметьево"));
    QTest::newRow("text and number join") << "'FL' + FL" << QVariant(QStringLiteral("FL9449"));
    QTest::newRow("apostrophe in text") << "'it''s'" << QVariant(QStringLiteral("it's"));
    QTest::newRow("number in text counts") << "Text5 * 2" << QVariant(10.0);
    QTest::newRow("Null spreads") << "Nothing / 3.28" << QVariant();
    QTest::newRow("Null in abs") << "abs(Nothing)" << QVariant();
    QTest::newRow("Null joined") << "'x' + Nothing" << QVariant();
    QTest::newRow("exponent") << "1.5e3 + 1" << QVariant(1501.0);
    QTest::newRow("100 nested parentheses, the deepest allowed")
        << QString(100, u'(') + "2" + QString(100, u')') << QVariant(2.0);
}

void TestReportFormat::expressions()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);
    const MapScope scope({{"VH", 622.0},
                          {"S", -182.4},
                          {"SO", 1498.8},
                          {"Sp", 182.4},
                          {"Punkts.ID", QStringLiteral("UUEE")},
                          {"FL", qlonglong(9449)},
                          {"Text5", QStringLiteral("5")},
                          {"Nothing", nullDouble()}});
    QString error;
    const std::optional<Expression> e = Expression::parse(expression, &error);
    QVERIFY2(e, qPrintable(error));
    QVariant result;
    QVERIFY2(e->evaluate(scope, result, &error), qPrintable(error));
    if (!expected.isValid()) {
        QVERIFY(isNullValue(result));
    } else if (expected.typeId() == QMetaType::Double) {
        QVERIFY(isNumberValue(result));
        QCOMPARE(result.toDouble(), expected.toDouble());
    } else {
        QCOMPARE(result.toString(), expected.toString());
    }
}

// ((1+1)+(1+1))+... : 2^levels ones, nested only `levels` deep.
static QString balancedSum(int levels)
{
    return levels == 0 ? QStringLiteral("1") : u'(' + balancedSum(levels - 1) + u'+' + balancedSum(levels - 1) + u')';
}

void TestReportFormat::expressionErrors_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << "" << false << "незаконченное выражение";
    QTest::newRow("dangling operator") << "VH /" << false << "незаконченное выражение";
    QTest::newRow("missing parenthesis") << "(VH + 1" << false << "нет \")\"";
    QTest::newRow("unknown function") << "sqrt(VH)" << false << "неизвестная функция";
    QTest::newRow("unterminated text") << "'abc" << false << "текст без закрывающего апострофа";
    QTest::newRow("unclosed angle bracket") << "<VH / 2" << false << "нет \">\"";
    QTest::newRow("two values") << "VH VH" << false << "лишнее";
    QTest::newRow("stray character") << "VH ; 2" << false << "недопустимый знак";
    QTest::newRow("unknown name") << "VX / 2" << true << "неизвестное имя \"VX\"";
    QTest::newRow("division by zero") << "VH / (VH - VH)" << true << "деление на ноль";
    QTest::newRow("text in arithmetic") << "Word * 2" << true << "не число";
    // Nesting that would exhaust the stack of the parser, the evaluator or the
    // tree's destruction is refused, with the expression cut short in the message.
    QTest::newRow("10,000 nested parentheses") << QString(10000, u'(') + "1" + QString(10000, u')') << false
                                               << "вложено глубже 100 уровней";
    QTest::newRow("10,000 nested abs") << QStringLiteral("abs(").repeated(10000) + "1" + QString(10000, u')') << false
                                       << "вложено глубже 100 уровней";
    QTest::newRow("100,000 minus signs") << QString(100000, u'-') + "VH" << false << "вложено глубже 100 уровней";
    QTest::newRow("a sum of 100,000 terms") << "VH" + QStringLiteral("+VH").repeated(99999) << false
                                            << "вложено глубже 100 уровней";
    QTest::newRow("101 levels") << QString(101, u'(') + "1" + QString(101, u')') << false << "вложено глубже 100 уровней";
    QTest::newRow("more than 1,000 steps, not deep") << balancedSum(10) << false << "длиннее 1000 действий";
    // The expression quoted in the message is the layout's text, whatever it holds.
    QTest::newRow("too deep, a placeholder in its text")
        << "'%1' + " + QString(101, u'(') + "1" + QString(101, u')') << false << "\"'%1' + (((";
    QTest::newRow("too long, a placeholder in its text")
        << "'%1' + " + balancedSum(10) << false << "длиннее 1000 действий";
}

void TestReportFormat::expressionErrors()
{
    QFETCH(QString, expression);
    QFETCH(bool, parses);
    QFETCH(QString, message);
    QString error;
    const std::optional<Expression> e = Expression::parse(expression, &error);
    QCOMPARE(e.has_value(), parses);
    if (parses) {
        const MapScope scope({{"VH", 622.0}, {"Word", QStringLiteral("abc")}});
        QVariant result;
        QVERIFY(!e->evaluate(scope, result, &error));
    }
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.size() < 300, qPrintable(error));
}

void TestReportFormat::texts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("title") << "[Name] ([AP_V] - [AP_P])" << ""
                           << "UUEE-URSS (UUEE - URSS)";
    QTest::newRow("elevation, both numbers formatted")
        << "[<VH> / 3.280839895] м ([<VH> / 3.280839895 * 0.085] мм рт.ст.)" << "#0.0"
        << "189,6 м (16,1 мм рт.ст.)";
    QTest::newRow("missing ATIS is 0") << "[VATIS] МГц" << "#0.00" << "0,00 МГц";
    QTest::newRow("transition level") << "[VFLPer] м" << "#0" << "1500 м";
    QTest::newRow("text values ignore the format") << " [Type]" << "%2.2f" << " VOR";
    QTest::newRow("Null cell is empty") << "[Freq] " << "%2.2f" << " ";
    QTest::newRow("whole field without format") << "[Number]" << "" << "12";
    QTest::newRow("real field without format") << "[Sp]" << "" << "182,4";
    QTest::newRow("plain text") << "Маяк РСБН" << "" << "Маяк РСБН";
    QTest::newRow("bracket in quoted text") << "[']' + Type]" << "" << "]VOR";
}

void TestReportFormat::texts()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    const MapScope scope({{"Name", QStringLiteral("UUEE-URSS")},
                          {"AP_V", QStringLiteral("UUEE")},
                          {"AP_P", QStringLiteral("URSS")},
                          {"VH", 622.0},
                          {"VATIS", 0.0},
                          {"VFLPer", qlonglong(1500)},
                          {"Type", QStringLiteral("VOR")},
                          {"Freq", nullDouble()},
                          {"Number", qlonglong(12)},
                          {"Sp", 182.4}});
    QString error;
    const std::optional<TextTemplate> t = TextTemplate::parse(text, &error);
    QVERIFY2(t, qPrintable(error));
    std::optional<NumberFormat> f;
    if (!format.isEmpty())
        f = NumberFormat::parse(format);
    QString out;
    QVERIFY2(t->render(scope, f, out, &error), qPrintable(error));
    QCOMPARE(out, expected);
}

void TestReportFormat::badTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unclosed bracket") << "[Name";
    QTest::newRow("closing bracket alone") << "Name]";
    QTest::newRow("empty expression") << "a [] b";
    QTest::newRow("bad expression inside") << "[Name +]";
}

void TestReportFormat::badTexts()
{
    QFETCH(QString, text);
    QString error;
    QVERIFY(!TextTemplate::parse(text, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestReportFormat)
#include "tst_reportformat.moc"
