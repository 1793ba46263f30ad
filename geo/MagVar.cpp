#include "MagVar.h"

#include "CoordText.h"

#include "base/Numbers.h"
#include "base/SimPath.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <optional>

namespace kx::geo {

namespace {

constexpr qint64 kHeaderBytes = 136;
constexpr int kRows = 181;
constexpr int kColumns = 360;
constexpr double kDegreesPerUnit = 0.0054931640625; // 360 / 65536
constexpr qint64 kTableBytes = kHeaderBytes + 2LL * kRows * kColumns;

struct Degrees
{
    QChar letter;
    long double value = 0;
};

// The table is read to whole degrees: the last character of the text (the
// second digit of the hundredths) is dropped before the value is taken.
std::optional<Degrees> readDegrees(const QString &text)
{
    QString s = PointToComma(text).trimmed();
    if (s.size() < 2)
        return std::nullopt;
    const QChar letter = s.front();
    s = s.mid(1);
    s.chop(1);
    const qsizetype star = s.indexOf(u'*');
    if (star < 0)
        return std::nullopt;
    const std::optional<long double> degrees = readCommaNumber(s.left(star));
    const std::optional<long double> minutes = readCommaNumber(s.mid(star + 1));
    if (!degrees || !minutes)
        return std::nullopt;
    return Degrees{letter, *degrees + *minutes / 60};
}

// An entry of the table in degrees, rounded to 0.1.
double degreesOf(qint16 raw)
{
    return roundHalfEven(raw * kDegreesPerUnit * 10) / 10;
}

long long roundHalfEvenWhole(long double value)
{
    return static_cast<long long>(std::nearbyint(value));
}

} // namespace

QString magdecPath(const QString &fsPath)
{
    return simPath(fsPath, QStringLiteral("Scenery\\BASE\\Scenery\\magdec.bgl"));
}

qint64 magdecOffset(const QString &lat, const QString &lon)
{
    const std::optional<Degrees> latitude = readDegrees(lat);
    const std::optional<Degrees> longitude = readDegrees(lon);
    if (!latitude || !longitude)
        return -1;
    const long long lonDegrees = roundHalfEvenWhole(longitude->value);
    long long column = longitude->letter == u'E' ? lonDegrees : 360 - lonDegrees;
    if (column == kColumns)
        column = 0; // 360 east (or 0 west) is the Greenwich column; there is no column 360
    const long long latDegrees = roundHalfEvenWhole(latitude->value);
    const long long row = latitude->letter == u'S' ? 90 - latDegrees : latDegrees + 90;
    // Out of the grid the offset would land on a neighbouring column's entry.
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return -1;
    return kHeaderBytes + 2 * (column * kRows + row);
}

double MagVar(const QString &fsPath, const QString &lat, const QString &lon)
{
    const qint64 offset = magdecOffset(lat, lon);
    if (offset < 0)
        return 0.0;
    qint16 raw = 0;
    QFile file(magdecPath(fsPath));
    if (file.open(QIODevice::ReadOnly) && file.seek(offset)) {
        uchar bytes[2];
        if (file.read(reinterpret_cast<char *>(bytes), 2) == 2)
            raw = qFromLittleEndian<qint16>(bytes);
    }
    return degreesOf(raw);
}

VariationTable::VariationTable(const QString &fsPath)
{
    QFile file(magdecPath(fsPath));
    if (file.open(QIODevice::ReadOnly))
        m_bytes = file.read(kTableBytes);
    if (file.error() != QFileDevice::NoError)
        m_bytes.clear();
}

double VariationTable::at(const QString &lat, const QString &lon) const
{
    const qint64 offset = magdecOffset(lat, lon);
    if (offset < 0 || offset + 2 > m_bytes.size())
        return 0.0;
    return degreesOf(qFromLittleEndian<qint16>(m_bytes.constData() + offset));
}

bool isVariationTable(const QString &fsPath)
{
    if (!QFileInfo(magdecPath(fsPath)).isFile())
        return false;
    const double variation = MagVar(fsPath, QStringLiteral("N57*20.00"), QStringLiteral("E061*55.00"));
    return variation >= -180 && variation <= 180 && variation != 0;
}

} // namespace kx::geo
