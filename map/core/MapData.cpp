#include "MapData.h"

#include "MapTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace kx::map {
namespace {

constexpr char kMagic[8] = {'K', 'X', 'M', 'A', 'P', '\r', '\n', '\x1a'};
constexpr quint32 kVersion = 1;
constexpr int kHeaderSize = 20;
constexpr double kUnitsPerDegree = 1e5;
// Far more than any plausible map file; a size field beyond it is damage.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

quint32 crc32(const char *data, qsizetype size)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<quint8>(data[i])) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

// Reads the payload; every read is checked against its end, so a damaged
// file stops the reading instead of running past it.
class Reader
{
public:
    Reader(const char *data, qsizetype size) : m_p(data), m_end(data + size) {}

    bool u8(quint8 *v)
    {
        if (m_end - m_p < 1)
            return false;
        *v = static_cast<quint8>(*m_p++);
        return true;
    }
    bool u16(quint16 *v)
    {
        quint8 a = 0, b = 0;
        if (!u8(&a) || !u8(&b))
            return false;
        *v = static_cast<quint16>(a | (b << 8));
        return true;
    }
    bool u32(quint32 *v)
    {
        if (m_end - m_p < 4)
            return false;
        const auto *b = reinterpret_cast<const quint8 *>(m_p);
        *v = quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
        m_p += 4;
        return true;
    }
    bool signedVarint(qint64 *v)
    {
        quint64 value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            quint8 byte = 0;
            if (!u8(&byte))
                return false;
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80)) {
                *v = (value & 1) ? -static_cast<qint64>((value + 1) / 2) : static_cast<qint64>(value / 2);
                return true;
            }
        }
        return false; // longer than any coordinate difference
    }
    qsizetype remaining() const { return m_end - m_p; }
    bool atEnd() const { return m_p == m_end; }

private:
    const char *m_p;
    const char *m_end;
};

bool readSpan(Reader &in, MapData &data, MapData::Span *span)
{
    quint32 count = 0;
    // Each point takes at least two bytes, which bounds what a count may claim.
    if (!in.u32(&count) || count < 2 || count > in.remaining() / 2)
        return false;
    span->first = static_cast<quint32>(data.points.size());
    span->count = count;
    qint64 lon = 0, lat = 0;
    double minLon = 181, maxLon = -181, minLat = 91, maxLat = -91;
    for (quint32 i = 0; i < count; ++i) {
        qint64 dLon = 0, dLat = 0;
        if (!in.signedVarint(&dLon) || !in.signedVarint(&dLat))
            return false;
        lon += dLon;
        lat += dLat;
        if (lon < -180 * kUnitsPerDegree || lon > 180 * kUnitsPerDegree || lat < -90 * kUnitsPerDegree
            || lat > 90 * kUnitsPerDegree)
            return false;
        const geo::GeoPoint p{lat / kUnitsPerDegree, lon / kUnitsPerDegree};
        data.points.push_back(p);
        minLon = std::min(minLon, p.lon);
        maxLon = std::max(maxLon, p.lon);
        minLat = std::min(minLat, p.lat);
        maxLat = std::max(maxLat, p.lat);
    }
    span->bounds = QRectF(QPointF(minLon, minLat), QPointF(maxLon, maxLat));
    return true;
}

bool readPayload(Reader &in, MapData &data)
{
    quint32 layerCount = 0;
    if (!in.u32(&layerCount) || layerCount > 64)
        return false;
    for (quint32 l = 0; l < layerCount; ++l) {
        quint8 kind = 0, geometry = 0;
        quint16 reserved = 0;
        quint32 parts = 0;
        if (!in.u8(&kind) || !in.u8(&geometry) || !in.u16(&reserved) || !in.u32(&parts))
            return false;
        if (kind < 1 || kind > MapData::LayerCount || (geometry != 1 && geometry != 2) || parts > in.remaining())
            return false;
        const auto layer = static_cast<MapData::Layer>(kind - 1);
        if (MapData::isPolygonLayer(layer) != (geometry == 1) || !data.layers[layer].empty())
            return false;
        std::vector<MapData::Part> &out = data.layers[layer];
        out.reserve(parts);
        for (quint32 p = 0; p < parts; ++p) {
            MapData::Part part;
            quint32 rings = 1;
            if (geometry == 1 && (!in.u32(&rings) || rings < 1 || rings > in.remaining()))
                return false;
            for (quint32 r = 0; r < rings; ++r) {
                MapData::Span span;
                if (!readSpan(in, data, &span))
                    return false;
                part.bounds = part.spans.empty() ? span.bounds : part.bounds.united(span.bounds);
                part.spans.push_back(span);
            }
            out.push_back(std::move(part));
        }
    }
    return in.atEnd();
}

} // namespace

MapDataLoad readMapData(const QByteArray &bytes, const QString &path)
{
    MapDataLoad result;
    const QString shown = QDir::toNativeSeparators(path);
    result.error = texts::dataDamaged(shown);
    if (bytes.size() < kHeaderSize || memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return result;
    Reader header(bytes.constData() + 8, 12);
    quint32 version = 0, size = 0, crc = 0;
    header.u32(&version);
    header.u32(&size);
    header.u32(&crc);
    if (version != kVersion || qint64(size) != bytes.size() - kHeaderSize
        || crc32(bytes.constData() + kHeaderSize, size) != crc)
        return result;

    auto data = std::make_shared<MapData>();
    // No point takes less than two bytes.
    data->points.reserve(size / 2);
    Reader in(bytes.constData() + kHeaderSize, size);
    if (!readPayload(in, *data))
        return result;
    data->points.shrink_to_fit();
    data->unit.resize(data->points.size());
    constexpr double deg = std::numbers::pi / 180;
    for (size_t i = 0; i < data->points.size(); ++i) {
        const double lat = data->points[i].lat * deg, lon = data->points[i].lon * deg;
        const double c = std::cos(lat);
        data->unit[i] = {c * std::cos(lon), c * std::sin(lon), std::sin(lat)};
    }
    result.data = std::move(data);
    result.error.clear();
    return result;
}

MapDataLoad loadMapData(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        MapDataLoad result;
        result.error = texts::dataMissing(QDir::toNativeSeparators(path));
        return result;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return readMapData(QByteArray(), path);
    return readMapData(file.readAll(), path);
}

QString mapDataFileName()
{
    return QStringLiteral("kalyxmap.dat");
}

QString locateMapData(const QString &programFolder)
{
    const QString besideExecutables = QDir(QCoreApplication::applicationDirPath()).filePath(mapDataFileName());
    if (QFileInfo::exists(besideExecutables) || programFolder.isEmpty())
        return besideExecutables;
    const QString inProgramFolder = QDir(programFolder).filePath(mapDataFileName());
    return QFileInfo::exists(inProgramFolder) ? inProgramFolder : besideExecutables;
}

} // namespace kx::map
