#include "RsbnDat.h"

#include "PlnFormat.h"
#include "SimTexts.h"

#include "base/Cp1251.h"
#include "geo/CoordText.h"
#include "geo/DecimalCoord.h"
#include "geo/Sphere.h"
#include "store/Statement.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace kx::interchange {
namespace {

constexpr int kMaxChannel = 999;

long double radians(double degrees) { return degrees * std::numbers::pi_v<long double> / 180; }

std::optional<double> degreesOf(const QString &text, double limit)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > limit)
        return std::nullopt;
    return value;
}

QString decodeList(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = fromCp1251(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text;
}

// A position as the program writes it ("N57*47.10 E028*24.40").
QString positionText(const RsbnStation &s)
{
    const QString lat = geo::latitudeFromDecimal(QString::number(s.lat, 'f', 9)).value_or(QString());
    const QString lon = geo::longitudeFromDecimal(QString::number(s.lon, 'f', 9)).value_or(QString());
    return lat + u' ' + lon;
}

QString channelText(int channel) { return QStringLiteral("%1").arg(channel, 2, 10, QLatin1Char('0')); }

QString stationText(const RsbnStation &s) { return (s.ident + u' ' + s.name).trimmed(); }

double distanceKm(const RsbnStation &a, const RsbnStation &b)
{
    return static_cast<double>(geo::OrthoDistance(radians(a.lat), radians(a.lon), radians(b.lat), radians(b.lon)));
}

QString kmText(double km) { return QString::number(km, 'f', 1).replace(u'.', u','); }

} // namespace

bool readRsbnFile(const QString &path, QByteArray *bytes, QString *error)
{
    // Some hundred stations take a few kilobytes.
    constexpr qint64 kLimit = 4LL * 1024 * 1024;
    return readBoundedFile(path, kLimit, texts::rsbnFileTooLarge(kLimit / (1024 * 1024)), bytes, error);
}

RsbnDat readRsbnDat(const QByteArray &bytes)
{
    RsbnDat result;
    const QStringList lines = decodeList(bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'|');
        RsbnStation s;
        bool channelOk = false;
        s.channel = f.value(0).trimmed().toInt(&channelOk);
        const std::optional<double> lat = degreesOf(f.value(4), 90);
        const std::optional<double> lon = degreesOf(f.value(5), 180);
        if (f.size() < 6 || !channelOk || s.channel < 1 || s.channel > kMaxChannel || !lat || !lon) {
            if (result.skipped++ == 0)
                result.firstSkippedLine = static_cast<int>(i + 1);
            continue;
        }
        s.name = f.at(1).trimmed();
        s.ident = f.at(2).trimmed();
        s.lat = *lat;
        s.lon = *lon;
        s.line = static_cast<int>(i + 1);
        result.stations.append(s);
    }
    return result;
}

bool readCatalogueBeacons(store::Database &db, QList<RsbnStation> *beacons, QString *error)
{
    store::Statement q(db, QStringLiteral("SELECT ID, Name, LAT, LON FROM RSBN ORDER BY Code"));
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    beacons->clear();
    static const QRegularExpression channelAndName(QStringLiteral("^\\s*(\\d{1,3})\\s*(.*)$"));
    while (q.next()) {
        const QRegularExpressionMatch m = channelAndName.match(q.value(1).toString());
        const std::optional<geo::Position> at = geo::readPosition(q.value(2), q.value(3));
        if (!m.hasMatch() || !at)
            continue;
        RsbnStation s;
        s.channel = m.captured(1).toInt();
        s.name = m.captured(2).trimmed();
        s.ident = q.value(0).toString().trimmed();
        s.lat = static_cast<double>(at->lat * 180 / std::numbers::pi_v<long double>);
        s.lon = static_cast<double>(at->lon * 180 / std::numbers::pi_v<long double>);
        if (s.channel >= 1)
            beacons->append(s);
    }
    return true;
}

RsbnComparison compareRsbn(const RsbnDat &file, const QList<RsbnStation> &catalogue)
{
    struct Finding
    {
        int channel;
        QString station;
        QString text;
    };
    std::vector<Finding> findings;
    RsbnComparison result;

    std::map<int, std::pair<QList<const RsbnStation *>, QList<const RsbnStation *>>> byChannel;
    for (const RsbnStation &s : file.stations)
        byChannel[s.channel].first.append(&s);
    for (const RsbnStation &s : catalogue)
        byChannel[s.channel].second.append(&s);

    for (const auto &[channel, sides] : byChannel) {
        const auto &[theirs, ours] = sides;
        struct Pair
        {
            double km;
            qsizetype file;
            qsizetype ours;
        };
        std::vector<Pair> pairs;
        for (qsizetype f = 0; f < theirs.size(); ++f)
            for (qsizetype o = 0; o < ours.size(); ++o)
                if (const double km = distanceKm(*theirs.at(f), *ours.at(o)); km <= kRsbnSameStationKm)
                    pairs.push_back({km, f, o});
        std::stable_sort(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) { return a.km < b.km; });
        QList<bool> fileUsed(theirs.size(), false);
        QList<bool> oursUsed(ours.size(), false);
        for (const Pair &p : pairs) {
            if (fileUsed.at(p.file) || oursUsed.at(p.ours))
                continue;
            fileUsed[p.file] = oursUsed[p.ours] = true;
            if (p.km <= kRsbnToleranceKm) {
                ++result.same;
                continue;
            }
            ++result.differ;
            const RsbnStation &o = *ours.at(p.ours);
            const RsbnStation &f = *theirs.at(p.file);
            QString station = stationText(o);
            if (f.ident.compare(o.ident, Qt::CaseInsensitive) != 0)
                station += texts::rsbnOtherIdent(f.ident);
            findings.push_back(
                {channel, stationText(o),
                 texts::rsbnDiffers(channelText(channel), station, kmText(p.km), positionText(o), positionText(f))});
        }
        // The stations left without a partner are missing on the other side.
        const auto unpaired = [&](const QList<const RsbnStation *> &side, const QList<bool> &used, int *count,
                                  QString (*missing)(const QString &, const QString &, const QString &)) {
            for (qsizetype i = 0; i < side.size(); ++i) {
                if (used.at(i))
                    continue;
                ++*count;
                const RsbnStation &s = *side.at(i);
                findings.push_back(
                    {channel, stationText(s), missing(channelText(channel), stationText(s), positionText(s))});
            }
        };
        unpaired(theirs, fileUsed, &result.notInCatalogue, texts::rsbnMissingInCatalogue);
        unpaired(ours, oursUsed, &result.notInFile, texts::rsbnMissingInFile);
    }
    std::stable_sort(findings.begin(), findings.end(), [](const Finding &a, const Finding &b) {
        return a.channel != b.channel ? a.channel < b.channel : a.station < b.station;
    });
    for (const Finding &f : findings)
        result.lines.append(f.text);
    result.lines.append(texts::rsbnSummary(static_cast<int>(file.stations.size()), static_cast<int>(catalogue.size()),
                                           result.same, result.differ, result.notInCatalogue, result.notInFile));
    if (file.skipped > 0)
        result.lines.append(texts::rsbnSkippedLines(file.skipped, file.firstSkippedLine));
    return result;
}

} // namespace kx::interchange
