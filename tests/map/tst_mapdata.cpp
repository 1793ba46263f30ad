// The map data file: the shipped file reads whole, and no content of a file
// (missing, cut, damaged, foreign, forged) crashes the reader, hangs it or
// gets through as data.
#include "map/core/MapData.h"
#include "map/core/MapTexts.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace kx::map;

namespace {

const QString kShipped = QStringLiteral(KX_SOURCE_DIR "/data/map/kalyxmap.dat");

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xffffffffu;
}

// A file around a payload, with a right checksum unless told otherwise.
QByteArray file(const QByteArray &payload, quint32 version = 1)
{
    QByteArray out("KXMAP\r\n\x1a", 8);
    const auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    u32(version);
    u32(static_cast<quint32>(payload.size()));
    u32(crc32(payload));
    return out + payload;
}

QByteArray u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

// A signed number as the file writes it: zigzag, then LEB128.
QByteArray varint(qint64 v)
{
    quint64 z = v >= 0 ? quint64(v) * 2 : quint64(-v) * 2 - 1;
    QByteArray out;
    do {
        quint8 byte = z & 0x7f;
        z >>= 7;
        if (z)
            byte |= 0x80;
        out.append(char(byte));
    } while (z);
    return out;
}

// One layer of lines with one line of these raw point bytes.
QByteArray lineLayer(quint32 pointCount, const QByteArray &points, quint8 kind = 3, quint8 geometry = 2)
{
    return QByteArray(1, char(kind)) + QByteArray(1, char(geometry)) + QByteArray(2, '\0') + u32(1) + u32(pointCount)
        + points;
}

} // namespace

class TestMapData : public QObject
{
    Q_OBJECT
private slots:
    void shippedFileReadsWhole();
    void missingFileIsNamed();
    void damagedFiles_data();
    void damagedFiles();
    void noCutOrForgedContentGetsThrough();
};

void TestMapData::shippedFileReadsWhole()
{
    const MapDataLoad load = loadMapData(kShipped);
    QVERIFY2(load.data, qPrintable(load.error));
    QVERIFY(load.error.isEmpty());
    const MapData &d = *load.data;
    QCOMPARE(d.layers[MapData::Land].size(), size_t(1418));
    QCOMPARE(d.layers[MapData::Lakes].size(), size_t(1));
    QCOMPARE(d.layers[MapData::Coastlines].size(), size_t(1419));
    QCOMPARE(d.layers[MapData::Borders].size(), size_t(362));
    QCOMPARE(d.points.size(), size_t(60608 + 392 + 60601 + 19615));
    QCOMPARE(d.unit.size(), d.points.size());
    // The lake is the Caspian Sea.
    const QRectF caspian = d.layers[MapData::Lakes].front().bounds;
    QVERIFY(caspian.contains(50.5, 42.0));
    QVERIFY(caspian.left() > 45 && caspian.right() < 56);
}

void TestMapData::missingFileIsNamed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalyxmap.dat"));
    const MapDataLoad load = loadMapData(path);
    QVERIFY(!load.data);
    QCOMPARE(load.error, QStringLiteral("Файл картографической основы ") + QDir::toNativeSeparators(path)
                             + QStringLiteral(" не найден!\r\nКарта показана без суши, берегов и границ."));
}

void TestMapData::damagedFiles_data()
{
    QFile shipped(kShipped);
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray good = shipped.readAll();

    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a text file") << QByteArray("[SETUP]\r\nFSPath=\r\n");
    QTest::newRow("cut in the header") << good.left(13);
    QTest::newRow("cut in the middle") << good.left(good.size() / 2);
    QByteArray flipped = good;
    flipped[flipped.size() / 3] = char(flipped[flipped.size() / 3] ^ 0x10);
    QTest::newRow("one bit changed") << flipped;
    QByteArray textMode = good;
    textMode.replace("\r\n", "\n");
    QTest::newRow("copied as text") << textMode;
    QTest::newRow("a later version") << file(good.mid(20), 2);
    QTest::newRow("bytes after the end") << good + QByteArray("\0", 1);
    // Forged payloads with right checksums: only the reader's own checks stop them.
    QTest::newRow("no layers at all") << file(QByteArray());
    QTest::newRow("a count beyond the bytes") << file(u32(1) + lineLayer(0x7fffffffu, QByteArray(4, '\0')));
    QTest::newRow("a line of one point") << file(u32(1) + lineLayer(1, QByteArray(2, '\0')));
    QTest::newRow("a latitude beyond the pole")
        << file(u32(1) + lineLayer(2, varint(0) + varint(9000001) + varint(0) + varint(0)));
    QTest::newRow("an endless number") << file(u32(1) + lineLayer(2, QByteArray(12, '\xff')));
    QTest::newRow("an unknown layer") << file(u32(1) + lineLayer(2, QByteArray(4, '\0'), 9));
    QTest::newRow("lines where polygons belong") << file(u32(1) + lineLayer(2, QByteArray(4, '\0'), 1, 2));
    QTest::newRow("one layer twice")
        << file(u32(2) + lineLayer(2, QByteArray(4, '\0')) + lineLayer(2, QByteArray(4, '\0')));
    QTest::newRow("a billion layers") << file(u32(1000000000));
}

void TestMapData::damagedFiles()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalyxmap.dat"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const MapDataLoad load = loadMapData(path);
    QVERIFY(!load.data);
    QCOMPARE(load.error, QStringLiteral("Файл картографической основы ") + QDir::toNativeSeparators(path)
                             + QStringLiteral(" поврежден!\r\nКарта показана без суши, берегов и границ."));
}

void TestMapData::noCutOrForgedContentGetsThrough()
{
    QFile shipped(kShipped);
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray payload = shipped.readAll().mid(20);
    // The payload cut anywhere, with a checksum made to match: the reader
    // itself must see that it ends too soon.
    for (qsizetype cut = 0; cut < payload.size(); cut += 4099) {
        const MapDataLoad load = readMapData(file(payload.left(cut)), QStringLiteral("x"));
        QVERIFY2(!load.data, qPrintable(QStringLiteral("cut at %1 read as data").arg(cut)));
    }
    // Random bytes behind a right header and checksum.
    QRandomGenerator random(14);
    for (int i = 0; i < 300; ++i) {
        QByteArray noise(int(random.bounded(1, 400)), Qt::Uninitialized);
        for (char &c : noise)
            c = char(random.bounded(256));
        if (i % 2)
            noise.prepend(u32(1) + QByteArray(1, char(1 + i % 4)) + QByteArray(1, char(1 + (i / 2) % 2)));
        const MapDataLoad load = readMapData(file(noise), QStringLiteral("x"));
        QVERIFY(load.data || !load.error.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestMapData)
#include "tst_mapdata.moc"
