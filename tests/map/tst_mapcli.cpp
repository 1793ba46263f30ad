#include "CliRun.h"
#include "Fixture.h"
#include "TestFolder.h"

#include "store/Database.h"

#include <QFile>
#include <QImage>
#include <QtTest>

// kalyx-cli map, run as a script runs it: the picture and the page it
// writes, and its refusals with a message and exit code 1 (2 for a wrong
// command line).
class TestMapCli : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pngOfTheRoute();
    void pdfPage();
    void refusals_data();
    void refusals();

private:
    kx::test::CliRun run(const QStringList &args) { return kx::test::runCli(QStringLiteral(KX_CLI), m_folder->path(), args); }

    std::unique_ptr<kx::test::TestFolder> m_folder;
    qint64 m_route = 0;
    qint64 m_empty = 0;
    qint64 m_broken = 0;
};

void TestMapCli::init()
{
    m_folder = std::make_unique<kx::test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    kx::store::Database db("cli-fixture");
    QVERIFY(db.open(m_folder->file("kalyxdb.kdb")));
    kx::test::Fixture fix(db.sql());
    const kx::test::Fixture::WorkedExample example = fix.addWorkedExample();
    const qint64 a = example.uuee;
    m_route = example.route;
    m_empty = fix.addRoute("Empty");
    m_broken = fix.addRoute("Broken");
    fix.addPoint(m_broken, 1, a);
    fix.addPoint(m_broken, 2, fix.addPunkt("NOPOS", QString(), QString(), 10.0));
}

void TestMapCli::cleanup()
{
    m_folder.reset();
}

void TestMapCli::pngOfTheRoute()
{
    const QString png = m_folder->file("route.png");
    const kx::test::CliRun r = run({"map", QString::number(m_route), png});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString());
    QImage image(png);
    QCOMPARE(image.size(), QSize(1600, 1000));
    // Land (the base layers came from beside the executable) and the legs.
    int land = 0, legs = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            land += image.pixel(x, y) == qRgb(243, 239, 226) ? 1 : 0;
            legs += image.pixel(x, y) == qRgb(176, 0, 90) ? 1 : 0;
        }
    QVERIFY(land > image.width() * image.height() / 2);
    QVERIFY(legs > 1000);

    // Another size, the option after or before the arguments.
    QCOMPARE(run({"map", QString::number(m_route), png, "--size", "640x480"}).exitCode, 0);
    QCOMPARE(QImage(png).size(), QSize(640, 480));
    QCOMPARE(run({"map", "--size", "300x200", QString::number(m_route), png}).exitCode, 0);
    QCOMPARE(QImage(png).size(), QSize(300, 200));

    // A point without position: the map is drawn and says so.
    const kx::test::CliRun broken = run({"map", QString::number(m_broken), png});
    QCOMPARE(broken.exitCode, 0);
}

void TestMapCli::pdfPage()
{
    const QString pdf = m_folder->file("route.pdf");
    const kx::test::CliRun r = run({"map", QString::number(m_route), pdf});
    QCOMPARE(r.exitCode, 0);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // One A4 landscape page: 842 x 595 points.
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), qsizetype(1));
    QVERIFY2(bytes.contains("/MediaBox [0 0 841.8") || bytes.contains("/MediaBox [0 0 842"), bytes.left(2000).constData());
}

void TestMapCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown route") << QStringList{"map", "999", "x.png"} << 1 << QStringLiteral("Маршрут 999 не найден");
    QTest::newRow("route without points") << QStringList{"map", "EMPTY", "x.png"} << 1
                                          << QStringLiteral("В маршруте EMPTY нет ни одного ППМ");
    QTest::newRow("unwritable file") << QStringList{"map", "ROUTE", "no such folder/x.png"} << 1
                                     << QStringLiteral("Ошибка записи в файл!");
    QTest::newRow("unwritable PDF") << QStringList{"map", "ROUTE", "no such folder/x.pdf"} << 1
                                    << QStringLiteral("Ошибка записи в файл!");
    QTest::newRow("other file type") << QStringList{"map", "ROUTE", "x.jpg"} << 2
                                     << QStringLiteral("the file must end in .png or .pdf");
    QTest::newRow("bad size") << QStringList{"map", "ROUTE", "x.png", "--size", "big"} << 2
                              << QStringLiteral("--size takes WIDTHxHEIGHT");
    QTest::newRow("size of a PDF") << QStringList{"map", "ROUTE", "x.pdf", "--size", "800x600"} << 2
                                   << QStringLiteral("--size is for PNG");
}

void TestMapCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    args.replaceInStrings("EMPTY", QString::number(m_empty));
    args.replaceInStrings("ROUTE", QString::number(m_route));
    message.replace("EMPTY", QString::number(m_empty));
    for (QString &a : args)
        if (a.endsWith(".png") || a.endsWith(".pdf") || a.endsWith(".jpg"))
            a = m_folder->file(a);
    const kx::test::CliRun r = run(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(m_folder->file("x.png")));
    QVERIFY(!QFile::exists(m_folder->file("x.pdf")));
}

QTEST_GUILESS_MAIN(TestMapCli)
#include "tst_mapcli.moc"
