#include "TestFolder.h"

#include "geo/MagVar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

using namespace kx;
using namespace kx::geo;

namespace {

constexpr qint16 kMarker = 2457;     // 13.5 degrees
constexpr qint16 kBackground = -2048; // -11.2 degrees

qint64 offsetOf(int column, int row)
{
    return 136 + 2 * (qint64(column) * 181 + row);
}

// The first `size` bytes of a table whose entries count up from 100, so that a
// value read from it tells which entry was read.
QByteArray tablePrefix(int size)
{
    QByteArray bytes(136, 'h');
    for (qint16 raw = 100; bytes.size() < size; ++raw) {
        char le[2];
        qToLittleEndian<qint16>(raw, le);
        bytes.append(le, 2);
    }
    bytes.truncate(size);
    return bytes;
}

// The latitude text of a grid row: row 90 is the equator.
QString latitudeOfRow(int row)
{
    const bool south = row < 90;
    return QStringLiteral("%1%2*00.00").arg(QChar(south ? u'S' : u'N')).arg(south ? 90 - row : row - 90, 2, 10, QChar(u'0'));
}

} // namespace

class TestMagVar : public QObject
{
    Q_OBJECT
private slots:
    void offsets_data();
    void offsets();
    void readsTheEntryAtTheOffset_data();
    void readsTheEntryAtTheOffset();
    void rawValues_data();
    void rawValues();
    void shortAndMissingFiles_data();
    void shortAndMissingFiles();
    void unreadablePositionsGiveZero_data();
    void unreadablePositionsGiveZero();
    void variationTableCheck_data();
    void variationTableCheck();
    void realTable_data();
    void realTable();
    void damagedTablesGiveAVariationOrZero();
};

void TestMagVar::offsets_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<qint64>("offset");
    QTest::newRow("start-up probe") << "N57*20.00" << "E061*55.00" << qint64(22874);
    QTest::newRow("probe with comma") << "N57*20,00" << "E061*55,00" << qint64(22874);
    QTest::newRow("probe with blanks around") << " N57*20.00 " << " E061*55.00 " << qint64(22874);
    QTest::newRow("equator at Greenwich") << "N00*00.00" << "E000*00.00" << qint64(316);
    QTest::newRow("57.5 rounds to even 58") << "N57*30.00" << "E061*55.00" << offsetOf(62, 148);
    QTest::newRow("56.5 rounds to even 56") << "N56*30.00" << "E061*55.00" << offsetOf(62, 146);
    QTest::newRow("last hundredth is not read") << "N56*30.01" << "E061*55.00" << offsetOf(62, 146);
    QTest::newRow("north pole") << "N90*00.00" << "E000*00.00" << offsetOf(0, 180);
    QTest::newRow("south pole") << "S90*00.00" << "E000*00.00" << offsetOf(0, 0);
    QTest::newRow("south") << "S33*56.80" << "E018*36.00" << offsetOf(19, 56);
    QTest::newRow("west") << "N40*43.00" << "W074*00.00" << offsetOf(286, 131);
    QTest::newRow("west of Greenwich") << "N51*28.00" << "W000*40.00" << offsetOf(359, 141);
    QTest::newRow("west rounding to 0 is column 0") << "N51*28.00" << "W000*10.00" << offsetOf(0, 141);
    QTest::newRow("east rounding to 360 is column 0") << "N51*28.00" << "E359*45.00" << offsetOf(0, 141);
    QTest::newRow("last column") << "N90*00.00" << "E359*00.00" << offsetOf(359, 180);
    QTest::newRow("date line") << "N00*00.00" << "E180*00.00" << offsetOf(180, 90);
    QTest::newRow("date line from the west") << "N00*00.00" << "W180*00.00" << offsetOf(180, 90);
}

void TestMagVar::offsets()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(qint64, offset);
    QCOMPARE(magdecOffset(lat, lon), offset);
}

void TestMagVar::readsTheEntryAtTheOffset_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("withTail");
    for (const bool tail : {true, false}) {
        const char *kind = tail ? "with tail" : "no tail";
        QTest::addRow("probe, %s", kind) << "N57*20.00" << "E061*55.00" << 62 << 147 << tail;
        QTest::addRow("row 148, %s", kind) << "N57*30.00" << "E061*55.00" << 62 << 148 << tail;
        QTest::addRow("row 146, %s", kind) << "N56*30.01" << "E061*55.00" << 62 << 146 << tail;
        QTest::addRow("south west, %s", kind) << "S34*36.00" << "W058*22.00" << 302 << 55 << tail;
        QTest::addRow("360 east reads column 0, %s", kind) << "N10*00.00" << "E359*50.00" << 0 << 100 << tail;
        QTest::addRow("last entry of the table, %s", kind) << "N90*00.00" << "W001*00.00" << 359 << 180 << tail;
        QTest::addRow("first entry of the table, %s", kind) << "S90*00.00" << "E000*00.00" << 0 << 0 << tail;
    }
}

void TestMagVar::readsTheEntryAtTheOffset()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(bool, withTail);
    test::TestFolder folder;
    QVERIFY(test::writeMagdec(
        folder.magdecPath(),
        [&](int c, int r) { return c == column && r == row ? kMarker : kBackground; },
        withTail));
    QCOMPARE(MagVar(folder.fsPath(), lat, lon), 13.5);
    // A neighbouring node reads the background, so the marker was not found by luck.
    const int otherRow = row == 180 ? 179 : row + 1;
    QCOMPARE(MagVar(folder.fsPath(), latitudeOfRow(otherRow), lon), -11.2);
}

void TestMagVar::rawValues_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<double>("variation");
    QTest::newRow("-11.25 rounds to even -11.2") << -2048 << -11.2;
    QTest::newRow("13.4967 rounds to 13.5") << 2457 << 13.5;
    QTest::newRow("11.0028") << 2003 << 11.0;
    QTest::newRow("0.05493 rounds to 0.1") << 10 << 0.1;
    QTest::newRow("-0.0275 rounds to 0") << -5 << 0.0;
    QTest::newRow("largest") << 32767 << 180.0;
    QTest::newRow("smallest") << -32768 << -180.0;
}

void TestMagVar::rawValues()
{
    QFETCH(int, raw);
    QFETCH(double, variation);
    test::TestFolder folder;
    QVERIFY(test::writeMagdec(folder.magdecPath(), [&](int, int) { return qint16(raw); }));
    QCOMPARE(MagVar(folder.fsPath(), QStringLiteral("N57*20.00"), QStringLiteral("E061*55.00")), variation);
}

void TestMagVar::shortAndMissingFiles_data()
{
    QTest::addColumn<int>("size"); // -1: no file at all
    QTest::addColumn<QString>("lat");
    QTest::addColumn<double>("variation");
    // Column 0, row r lies at 136 + 2r and holds 100 + r.
    QTest::newRow("200 bytes, entry inside") << 200 << "S60*00.00" << 0.7; // raw 130
    QTest::newRow("200 bytes, entry beyond the end") << 200 << "N00*00.00" << 0.0;
    QTest::newRow("200 bytes, entry just past the end") << 200 << "S58*00.00" << 0.0;
    QTest::newRow("one byte of the entry present") << 201 << "S58*00.00" << 0.0;
    QTest::newRow("header only") << 136 << "S90*00.00" << 0.0;
    QTest::newRow("empty file") << 0 << "S90*00.00" << 0.0;
    QTest::newRow("no file") << -1 << "S90*00.00" << 0.0;
}

void TestMagVar::shortAndMissingFiles()
{
    QFETCH(int, size);
    QFETCH(QString, lat);
    QFETCH(double, variation);
    test::TestFolder folder;
    if (size >= 0) {
        QVERIFY(QDir().mkpath(QFileInfo(folder.magdecPath()).absolutePath()));
        QFile file(folder.magdecPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(tablePrefix(size)), qint64(size));
    }
    QCOMPARE(MagVar(folder.fsPath(), lat, QStringLiteral("E000*00.00")), variation);
}

void TestMagVar::unreadablePositionsGiveZero_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::newRow("empty latitude") << "" << "E061*55.00";
    QTest::newRow("empty longitude") << "N57*20.00" << "";
    QTest::newRow("no degree mark") << "N5720.00" << "E061*55.00";
    QTest::newRow("letters for digits") << "N57*20.00" << "E0x1*55.00";
    QTest::newRow("beyond the pole") << "N91*00.00" << "E061*55.00";
    QTest::newRow("beyond the south pole") << "S91*00.00" << "E061*55.00";
    QTest::newRow("beyond a turn east") << "N57*20.00" << "E361*00.00";
    QTest::newRow("beyond a turn west") << "N57*20.00" << "W361*00.00";
}

void TestMagVar::unreadablePositionsGiveZero()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    test::TestFolder folder;
    QVERIFY(folder.createSimulator());
    QCOMPARE(magdecOffset(lat, lon), qint64(-1));
    QCOMPARE(MagVar(folder.fsPath(), lat, lon), 0.0);
}

void TestMagVar::variationTableCheck_data()
{
    QTest::addColumn<QString>("table"); // "constant", "zero", "probe zero", "short", "none", "lower case"
    QTest::addColumn<bool>("valid");
    QTest::newRow("simulator table") << "constant" << true;
    QTest::newRow("lower-case folders (FS9 under Wine)") << "lower case" << true;
    QTest::newRow("all zero") << "zero" << false;
    QTest::newRow("zero at the probe only") << "probe zero" << false;
    QTest::newRow("too short for the probe") << "short" << false;
    QTest::newRow("missing") << "none" << false;
    QTest::newRow("a folder named like the table") << "folder" << false;
}

void TestMagVar::variationTableCheck()
{
    QFETCH(QString, table);
    QFETCH(bool, valid);
    test::TestFolder folder;
    const QString path = folder.magdecPath();
    if (table == u"constant") {
        QVERIFY(folder.createSimulator());
    } else if (table == u"lower case") {
        QVERIFY(test::writeMagdec(folder.fsPath() + QStringLiteral("scenery/base/scenery/magdec.bgl"),
                                  [](int, int) { return qint16(2003); }));
    } else if (table == u"zero") {
        QVERIFY(test::writeMagdec(path, [](int, int) { return qint16(0); }));
    } else if (table == u"probe zero") {
        QVERIFY(test::writeMagdec(path, [](int c, int r) { return qint16(c == 62 && r == 147 ? 0 : 2003); }));
    } else if (table == u"short") {
        QVERIFY(test::writeMagdec(path, [](int, int) { return qint16(2003); }));
        QVERIFY(QFile::resize(path, 22874));
    } else if (table == u"folder") {
        QVERIFY(QDir().mkpath(path));
    }
    QCOMPARE(isVariationTable(folder.fsPath()), valid);
}

void TestMagVar::realTable_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<double>("about");
    QTest::newRow("Moscow") << "N55*45.00" << "E037*37.00" << 11.0;
    QTest::newRow("New York") << "N40*43.00" << "W074*00.00" << -13.0;
    QTest::newRow("Cape Town") << "S33*58.00" << "E018*36.00" << -25.0;
}

void TestMagVar::realTable()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(double, about);
    const QString source = QStringLiteral(KX_SHARED_DIR "/testdata/magdec/magdec_2018_fsxp3d_sors.bgl");
    if (!QFileInfo::exists(source))
        QSKIP(qPrintable(QStringLiteral("optional case skipped, no %1").arg(source)));
    test::TestFolder folder;
    QVERIFY(QDir().mkpath(QFileInfo(folder.magdecPath()).absolutePath()));
    QVERIFY(QFile::copy(source, folder.magdecPath()));
    QVERIFY(isVariationTable(folder.fsPath()));
    const double variation = MagVar(folder.fsPath(), lat, lon);
    QVERIFY2(std::fabs(variation - about) <= 1.0,
             qPrintable(QStringLiteral("%1 %2: %3, expected about %4").arg(lat, lon).arg(variation).arg(about)));
}

void TestMagVar::damagedTablesGiveAVariationOrZero()
{
    // Tables of any length and content, a sound one damaged, and positions
    // sound and broken: every lookup gives a variation within a half turn, and
    // 0 where the table has no entry for the position.
    QRandomGenerator random(20261210);
    test::TestFolder folder;
    QVERIFY(folder.createSimulator());
    QFile sound(folder.magdecPath());
    QVERIFY(sound.open(QIODevice::ReadOnly));
    const QByteArray table = sound.readAll();
    sound.close();
    const QStringList lats{"N57*20.00", "S90*00.00", "N90*00.00", "N00*00.00", "", "N5x*00.00", "S33*58.00", "N91*00.00"};
    const QStringList lons{"E061*55.00", "W179*59.99", "E359*59.99", "E000*00.00", "", "E*", "W074*00.00", "E360*00.00"};
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes;
        switch (round % 3) {
        case 0: // noise of any length, up to a little more than a table
            bytes.resize(random.bounded(table.size() + 100));
            for (char &b : bytes)
                b = char(random.bounded(256));
            break;
        case 1: // the sound table cut anywhere
            bytes = table.left(random.bounded(table.size() + 1));
            break;
        default: // the sound table with bytes changed
            bytes = table;
            for (int i = random.bounded(1, 50); i > 0; --i)
                bytes[random.bounded(bytes.size())] = char(random.bounded(256));
            break;
        }
        QFile file(folder.magdecPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
        file.close();
        for (int i = 0; i < 8; ++i) {
            const QString lat = lats.at(random.bounded(lats.size()));
            const QString lon = lons.at(random.bounded(lons.size()));
            const double v = MagVar(folder.fsPath(), lat, lon);
            QVERIFY2(std::isfinite(v) && std::fabs(v) <= 180.0, qPrintable(lat + u' ' + lon));
            const qint64 offset = magdecOffset(lat, lon);
            if (offset < 0 || offset + 2 > bytes.size())
                QCOMPARE(v, 0.0);
        }
        isVariationTable(folder.fsPath());
    }
}

QTEST_GUILESS_MAIN(TestMagVar)
#include "tst_magvar.moc"
