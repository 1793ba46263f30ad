#include "ForeignPlan.h"

#include "PlnFormat.h"
#include "SimTexts.h"

#include "base/FileError.h"
#include "geo/DecimalCoord.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace kx::interchange {
namespace {

constexpr int kMaxIdentLength = 40;

// Decimal degrees as the coordinate texts' reader takes them: a plain decimal
// number. Files give anything from "43.5" to FlightGear's seventeen digits;
// nine decimals keep a hundredth of a minute exact.
std::optional<QString> plainDegrees(const QString &text, double limit)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > limit)
        return std::nullopt;
    return QString::number(value, 'f', 9);
}

} // namespace

QString catalogueTypeOf(ForeignWaypoint::Kind kind)
{
    switch (kind) {
    case ForeignWaypoint::Kind::Airport:
        return QStringLiteral("Airport");
    case ForeignWaypoint::Kind::Ndb:
        return QStringLiteral("NDB");
    case ForeignWaypoint::Kind::Vor:
        return QStringLiteral("VOR");
    case ForeignWaypoint::Kind::Intersection:
    case ForeignWaypoint::Kind::Unknown:
        break;
    }
    return QString();
}

bool readIdent(const QString &text, QString *id, QString *why)
{
    const QString trimmed = text.trimmed();
    bool blank = false;
    for (const QChar c : trimmed)
        blank = blank || c.isSpace();
    if (trimmed.isEmpty() || trimmed.size() > kMaxIdentLength || blank || firstControlCharacter(trimmed) >= 0
        || trimmed.contains(QChar::ReplacementCharacter)) {
        *why = texts::badIdent(text.left(kMaxIdentLength + 1));
        return false;
    }
    *id = trimmed;
    return true;
}

bool readPosition(const QString &lat, const QString &lon, ForeignWaypoint *w, QString *why)
{
    const std::optional<QString> latDegrees = plainDegrees(lat, 90);
    const std::optional<QString> latText = latDegrees ? geo::latitudeFromDecimal(*latDegrees) : std::nullopt;
    if (!latText) {
        *why = texts::badLatitude(lat.left(40));
        return false;
    }
    const std::optional<QString> lonDegrees = plainDegrees(lon, 180);
    const std::optional<QString> lonText = lonDegrees ? geo::longitudeFromDecimal(*lonDegrees) : std::nullopt;
    if (!lonText) {
        *why = texts::badLongitude(lon.left(40));
        return false;
    }
    w->lat = *latText;
    w->lon = *lonText;
    return true;
}

PlanFormat detectPlanFormat(const QByteArray &bytes)
{
    // The first kilobytes tell: a plan's header comes first.
    QByteArray head = bytes.left(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    const QByteArray trimmed = head.trimmed();
    if (trimmed.startsWith('<'))
        return trimmed.contains("<PropertyList") ? PlanFormat::FlightGearRoute : PlanFormat::Fs9Pln;
    const QList<QByteArray> lines = trimmed.split('\n');
    const QByteArray first = lines.value(0).trimmed().toUpper();
    const QList<QByteArray> version = lines.value(1).simplified().split(' ');
    if ((first == "I" || first == "A") && version.size() == 2 && version.at(1).toLower() == "version")
        return PlanFormat::XPlaneFms;
    return PlanFormat::Fs9Pln;
}

bool readForeignFile(const QString &path, QByteArray *bytes, QString *message)
{
    // A pipe or a device would keep the reader waiting or reading for ever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        *message = texts::simFileOpenFailed(path, texts::notRegularFile());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = texts::simFileOpenFailed(path, fileErrorText(file, FileAccess::Read));
        return false;
    }
    // A device without a size (a pipe) is read up to the limit all the same.
    const QByteArray content = file.read(kMaxForeignFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *message = texts::simFileReadFailed(path, fileErrorText(file, FileAccess::Read));
        return false;
    }
    if (content.size() > kMaxForeignFileBytes) {
        *message = texts::simFileReadFailed(path, texts::simFileTooLarge(kMaxForeignFileBytes / (1024 * 1024)));
        return false;
    }
    *bytes = content;
    return true;
}

} // namespace kx::interchange
