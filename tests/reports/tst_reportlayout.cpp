#include "reports/core/LayoutParser.h"

#include "TestFolder.h"

#include <QtTest>

using namespace kx;
using namespace kx::reports;

namespace {

const QString kHead = QStringLiteral("kalyx-report 1\npage width=297 height=210 margins=10\n");

QString deliveredLayout()
{
    return QStringLiteral(KX_SOURCE_DIR "/reports/pp.fr3");
}

const Band *findBand(const Layout &layout, BandKind kind)
{
    for (const Band &b : layout.bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

template<typename T>
std::vector<const T *> objectsOf(const Band &band)
{
    std::vector<const T *> out;
    for (const LayoutObject &o : band.objects)
        if (const T *t = std::get_if<T>(&o))
            out.push_back(t);
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT
private slots:
    void deliveredLayoutHasTheSheet();
    void deliveredColumnsFollowTheSheet();
    void stylesAndDefaults();
    void syntaxErrors_data();
    void syntaxErrors();
    void fileErrors_data();
    void fileErrors();
};

void TestReportLayout::deliveredLayoutHasTheSheet()
{
    Layout layout;
    QString error;
    QVERIFY2(loadLayout(deliveredLayout(), layout, &error), qPrintable(error));
    QCOMPARE(layout.page.width, 297.0);
    QCOMPARE(layout.page.height, 210.0);
    QCOMPARE(layout.page.margins, QMarginsF(10, 10, 10, 10));
    QCOMPARE(layout.page.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(layout.page.pageLayout().orientation(), QPageLayout::Landscape);

    QStringList kinds;
    for (const Band &b : layout.bands)
        kinds << bandKindName(b.kind) + u' ' + QString::number(b.height) + u' ' + b.dataset;
    QCOMPARE(kinds, (QStringList{"title 14 ", "header 8.3 ", "data 8.4 FRDB1", "summary 35 ", "page-footer 6 "}));
    QVERIFY(findBand(layout, BandKind::Header)->repeat);

    // The airport band: two boxes, each with its runway table 30 below the band's top.
    const Band &airports = *findBand(layout, BandKind::Summary);
    const auto boxes = objectsOf<BoxObject>(airports);
    QCOMPARE(boxes.size(), size_t(2));
    QCOMPARE(boxes[0]->rect, QRectF(0, 3, 128, 25.7));
    QCOMPARE(boxes[1]->rect, QRectF(148.1, 3, 128, 25.7));
    const auto subs = objectsOf<SubReport>(airports);
    QCOMPARE(subs.size(), size_t(2));
    QCOMPARE(subs[0]->origin, QPointF(0, 30));
    QCOMPARE(subs[1]->origin, QPointF(148.1, 30));
    QCOMPARE(subs[0]->bands.size(), size_t(2));
    QCOMPARE(subs[0]->bands[1].dataset, QStringLiteral("FRDB2"));
    QCOMPARE(subs[1]->bands[1].dataset, QStringLiteral("FRDB3"));
    QCOMPARE(subs[0]->bands[0].height, 8.0);
    QCOMPARE(subs[0]->bands[1].height, 5.0);

    // Every text of the sheet is Arial, black.
    for (const Band &b : layout.bands)
        for (const auto *t : objectsOf<TextObject>(b)) {
            QCOMPARE(t->style.fontFamily, QStringLiteral("Arial"));
            QCOMPARE(t->style.color, QColor(0, 0, 0));
        }
}

void TestReportLayout::deliveredColumnsFollowTheSheet()
{
    Layout layout;
    QVERIFY(loadLayout(deliveredLayout(), layout));
    // Column cells of the header and the point rows: from, width.
    const QList<QPointF> columns{{0, 7},    {8, 32},   {40, 16},  {56, 26},  {82, 11},
                                 {94, 19},  {113, 14}, {127, 16}, {143, 16}, {160, 48},
                                 {208, 16}, {224, 11}, {235, 16}, {252, 16}, {269, 7}};
    for (BandKind kind : {BandKind::Header, BandKind::Data}) {
        const Band &band = *findBand(layout, kind);
        QList<QPointF> cells;
        for (const auto *box : objectsOf<BoxObject>(band)) {
            QCOMPARE(box->frame, FrameSides::all());
            QCOMPARE(box->lineWidth, 0.5);
            QCOMPARE(box->rect.height(), band.height);
            cells << QPointF(box->rect.x(), box->rect.width());
            if (kind == BandKind::Header)
                QCOMPARE(box->fill, QColor(228, 228, 228));
        }
        QCOMPARE(cells, columns);
    }
    // The diagonal of the ОЗМПУ cell, from its lower left to its upper right corner.
    const auto lines = objectsOf<LineObject>(*findBand(layout, BandKind::Data));
    QCOMPARE(lines.size(), size_t(1));
    QCOMPARE(lines[0]->line, QLineF(94, 8.4, 113, 0));

    // The leg length is printed as its absolute value, bold, centred, "#0.0".
    bool found = false;
    for (const auto *t : objectsOf<TextObject>(*findBand(layout, BandKind::Data)))
        if (t->text.source() == u"[abs(S)]") {
            found = true;
            QVERIFY(t->style.bold);
            QCOMPARE(t->style.align, HAlign::Center);
            QVERIFY(t->format);
            QCOMPARE(t->format->pattern(), QStringLiteral("#0.0"));
            QCOMPARE(t->rect, QRectF(113, 0, 14, 4.2));
        }
    QVERIFY(found);
}

void TestReportLayout::stylesAndDefaults()
{
    const QString text = kHead + QStringLiteral(
        "defaults font=Arial size=8 valign=top\n"
        "style big size=12 bold\n"
        "style right align=right frame=left,right\n"
        "band title height=20 {\n"
        "  text x=1 y=2 w=30 h=5 text=\"plain\"\n"
        "  text x=1 y=8 w=30 h=5 style=big,right italic size=9 text=\"both\"\n"
        "  box x=0 y=0 w=50 h=20\n"
        "  box x=0 y=0 w=50 h=20 style=right\n"
        "  box x=0 y=0 w=50 h=20 frame=none fill=#e4e4e4\n"
        "  line x1=0 y1=20 x2=50 y2=0 line-width=1 color=red\n"
        "}\n");
    Layout layout;
    QString error;
    QVERIFY2(parseLayout(text, layout, &error), qPrintable(error));
    const auto texts = objectsOf<TextObject>(layout.bands.at(0));
    QCOMPARE(texts[0]->style.fontSize, 8.0);
    QCOMPARE(texts[0]->style.valign, VAlign::Top);
    QVERIFY(!texts[0]->style.bold);
    QCOMPARE(texts[0]->frame, FrameSides());
    // Later styles add to earlier ones; the object's own attributes win.
    QCOMPARE(texts[1]->style.fontSize, 9.0);
    QVERIFY(texts[1]->style.bold);
    QVERIFY(texts[1]->style.italic);
    QCOMPARE(texts[1]->style.align, HAlign::Right);
    QCOMPARE(texts[1]->frame, (FrameSides{true, false, true, false}));
    QCOMPARE(texts[1]->rect, QRectF(1, 8, 30, 5));

    const auto boxes = objectsOf<BoxObject>(layout.bands.at(0));
    QCOMPARE(boxes[0]->frame, FrameSides::all());
    QCOMPARE(boxes[1]->frame, (FrameSides{true, false, true, false}));
    QCOMPARE(boxes[2]->frame, FrameSides());
    QCOMPARE(boxes[2]->fill, QColor(0xe4, 0xe4, 0xe4));
    const auto lines = objectsOf<LineObject>(layout.bands.at(0));
    QCOMPARE(lines[0]->lineWidth, 1.0);
    QCOMPARE(lines[0]->color, QColor(Qt::red));
}

void TestReportLayout::syntaxErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString band = QStringLiteral("band title height=10 {\n%1\n}\n");
    const auto inBand = [&](const char *line) { return kHead + band.arg(QString::fromUtf8(line)); };

    QTest::newRow("empty file") << QString() << "это не макет отчета Kalyx";
    QTest::newRow("another program's layout") << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TfrxReport>\n"
                                              << "строка 1: это не макет отчета Kalyx";
    QTest::newRow("unknown version") << "kalyx-report 2\n" << "неподдерживаемая версия макета";
    QTest::newRow("no page") << "kalyx-report 1\nband title height=5\n" << "нет инструкции page";
    QTest::newRow("unknown statement") << kHead + "paper size=A4\n" << "строка 3: неизвестная инструкция paper";
    QTest::newRow("margins eat the page") << "kalyx-report 1\npage width=20 height=20 margins=10\n"
                                          << "поля не оставляют места для печати";
    QTest::newRow("unknown attribute") << inBand("  text x=0 y=0 w=5 h=5 colour=red text=\"a\"")
                                       << "строка 4: неизвестный атрибут colour";
    QTest::newRow("not a number") << inBand("  text x=abc y=0 w=5 h=5") << "строка 4: x: нужно число";
    QTest::newRow("zero width") << inBand("  box x=0 y=0 w=0 h=5") << "строка 4: w вне допустимых пределов";
    QTest::newRow("missing height") << inBand("  text x=0 y=0 w=5 text=\"a\"") << "строка 4: у text нет h";
    QTest::newRow("unterminated quote") << inBand("  text x=0 y=0 w=5 h=5 text=\"abc") << "строка 4: текст в кавычках не закрыт";
    QTest::newRow("attribute without value") << inBand("  text x=0 y=0 w=5 h=5 text=") << "у атрибута text нет значения";
    QTest::newRow("attribute twice") << inBand("  text x=0 x=1 y=0 w=5 h=5") << "атрибут x задан дважды";
    QTest::newRow("band not closed") << kHead + "band title height=10 {\n  box x=0 y=0 w=5 h=5\n"
                                     << "строка 3: полоса не закрыта";
    QTest::newRow("stray brace") << kHead + "}\n" << "строка 3: \"}\" без \"{\"";
    QTest::newRow("unknown band kind") << kHead + "band detail height=5\n" << "у band нет вида";
    QTest::newRow("band without height") << kHead + "band title\n" << "у band нет height";
    QTest::newRow("data band without dataset") << kHead + "band data height=5\n" << "у полосы data нет dataset";
    QTest::newRow("two titles") << kHead + "band title height=5\nband title height=5\n" << "строка 4: полоса title может быть только одна";
    QTest::newRow("unknown style") << inBand("  text x=0 y=0 w=5 h=5 style=huge") << "неизвестный стиль huge";
    QTest::newRow("bad format") << inBand("  text x=0 y=0 w=5 h=5 format=\"%q\" text=\"[SO]\"")
                                << "строка 4: неизвестное преобразование";
    QTest::newRow("bad expression") << inBand("  text x=0 y=0 w=5 h=5 text=\"[Name +]\"") << "строка 4: незаконченное выражение";
    QTest::newRow("bad colour") << inBand("  box x=0 y=0 w=5 h=5 fill=300,0,0") << "неверный цвет";
    QTest::newRow("bad frame side") << inBand("  box x=0 y=0 w=5 h=5 frame=middle") << "стороны рамки";
    QTest::newRow("text on a box") << inBand("  box x=0 y=0 w=5 h=5 text=\"a\"") << "у box нет текста";
    QTest::newRow("font attribute on a line") << inBand("  line x1=0 y1=0 x2=5 y2=5 bold") << "bold не применим к line";
    QTest::newRow("unknown object") << inBand("  image x=0 y=0 w=5 h=5") << "неизвестный объект image";
    QTest::newRow("page title in a band") << inBand("  page width=1") << "неизвестный объект page";
    QTest::newRow("subreport without bands") << inBand("  subreport x=0 y=0 {\n  }") << "subreport без полос";
    QTest::newRow("title band in a subreport")
        << inBand("  subreport x=0 y=0 {\n    band title height=5\n  }") << "бывают только полосы header, data и summary";
    QTest::newRow("object outside a band") << kHead + "text x=0 y=0 w=5 h=5\n" << "неизвестная инструкция text";

    // Hostile files that exhausted the stack or ran without end: refused with
    // the line, and a message of reasonable length.
    QTest::newRow("20,000 nested subreports")
        << kHead + "band summary height=5 {\n" + QStringLiteral("subreport x=0 y=0 {\nband summary height=1 {\n").repeated(20000)
               + QStringLiteral("}\n}\n").repeated(20000) + "}\n"
        << "строка 20: вложенные отчеты вложены глубже 8 уровней";
    QTest::newRow("an expression 10,000 parentheses deep")
        << kHead + band.arg("  text x=0 y=0 w=5 h=5 text=\"[" + QString(10000, u'(') + "1" + QString(10000, u')') + "]\"")
        << "вложено глубже 100 уровней";
    QString attributes;
    for (int i = 0; i < 600000; ++i)
        attributes += QStringLiteral(" a%1=1").arg(i);
    QTest::newRow("600,000 attributes on one line") << kHead + band.arg("  text x=0 y=0 w=5 h=5" + attributes)
                                                     << "строка 4: неизвестный атрибут a0 у text";
}

void TestReportLayout::syntaxErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    Layout layout;
    layout.title = QStringLiteral("unchanged");
    QString error;
    QVERIFY(!parseLayout(text, layout, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.size() < 400, qPrintable(error));
    QCOMPARE(layout.title, QStringLiteral("unchanged"));
}

void TestReportLayout::fileErrors_data()
{
    QTest::addColumn<QByteArray>("content"); // written as pp.fr3 unless "-"
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray("-") << "pp.fr3: файл не найден";
    QTest::newRow("windows-1251 text") << QByteArray("kalyx-report 1\n# \xcc\xe0\xf0\xf8\xf0\xf3\xf2\n")
                                       << "pp.fr3: файл не в кодировке UTF-8";
    QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff\xfe", 5) << "pp.fr3: ";
    QTest::newRow("broken layout") << QByteArray("kalyx-report 1\npage width=297\n") << "pp.fr3: строка 2: у page нет width и height";
}

void TestReportLayout::fileErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    test::TestFolder folder;
    const QString path = folder.file(QStringLiteral("pp.fr3"));
    if (content != "-")
        QVERIFY(writeFile(path, content));
    Layout layout;
    QString error;
    QVERIFY(!loadLayout(path, layout, &error));
    QVERIFY2(error.startsWith(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
