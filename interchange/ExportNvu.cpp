#include "ExportNvu.h"

#include "ExportFailure.h"
#include "InterchangeTexts.h"
#include "RoutePointsQuery.h"

#include "base/AtomicFile.h"
#include "base/Busy.h"
#include "base/FileError.h"
#include "base/Prompter.h"
#include "base/SimPath.h"
#include "geo/CoordText.h"
#include "geo/Rounding.h"
#include "store/Session.h"

#include <QtEndian>

#include <array>
#include <cmath>
#include <optional>

namespace kx::interchange {
namespace {

constexpr int kValues = kNvuCellSize / 8;
constexpr int kSlots = 32;

// Where each per-leg list starts (value index of its slot 0).
constexpr int kLength = 65;
constexpr int kCourse = 97;
constexpr int kZm = 129;
constexpr int kSm = 161;
constexpr int kMapAngle = 193;
constexpr int kBeaconFlag = 225;
constexpr int kAnticipation = 257;
constexpr int kBeaconNumber = 321;

// A number read without a test for empty: Null or text fails.
std::optional<double> number(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::optional<double> tenth(const QVariant &value)
{
    const std::optional<double> d = number(value);
    return d ? std::optional<double>(geo::RoundTenth(*d)) : std::nullopt;
}

double tenthOrZero(const QVariant &value)
{
    return value.isNull() ? 0.0 : tenth(value).value_or(0.0);
}

// The cell's 512 values from the route's points; false when a value cannot be
// read or converted.
bool fillCell(const store::Query &qp, const QVariant &vilka, std::array<double, kValues> &cell)
{
    cell.fill(0.0);
    const int rows = qp.rowCount();
    cell[0] = rows;
    const std::optional<double> fork = tenth(vilka);
    if (!fork)
        return false;
    cell[1] = *fork;

    const int legs = rows < kSlots ? rows - 1 : kSlots - 1;
    for (int i = 0; i < legs; ++i) {
        const std::optional<double> length = tenth(qp.valueAt(i, u"S"));
        if (!length)
            return false;
        cell[kLength + i] = std::abs(*length);
        const QVariant course = qp.valueAt(i, u"OZMPU_V");
        if (!course.isNull() && !tenth(course))
            return false;
        cell[kCourse + i] = tenthOrZero(course);

        const QVariant beacon = qp.valueAt(i, u"RSBN");
        const bool hasBeacon = !beacon.isNull() && beacon.toLongLong() != 0;
        if (hasBeacon) {
            const std::optional<double> zm = tenth(qp.valueAt(i, u"Zm"));
            const std::optional<double> sm = tenth(qp.valueAt(i, u"Sm"));
            const std::optional<double> mapAngle = tenth(qp.valueAt(i, u"UKm"));
            const QVariant name = qp.valueAt(i, u"RSBN.Name");
            const std::optional<long double> beaconNumber =
                name.isNull() ? std::nullopt : geo::readCommaNumber(name.toString().left(2));
            if (!zm || !sm || !mapAngle || !beaconNumber)
                return false;
            cell[kZm + i] = *zm;
            cell[kSm + i] = *sm;
            cell[kMapAngle + i] = *mapAngle;
            cell[kBeaconFlag + i] = 1.0;
            cell[kBeaconNumber + i] = static_cast<double>(*beaconNumber);
        }
        const QVariant anticipation = qp.valueAt(i, u"LUR");
        if (!anticipation.isNull()) {
            const std::optional<double> lur = number(anticipation);
            if (!lur)
                return false;
            cell[kAnticipation + i] = *lur;
        }
    }
    return true;
}

QByteArray cellBytes(const std::array<double, kValues> &cell)
{
    QByteArray bytes(kNvuCellSize, '\0');
    for (int i = 0; i < kValues; ++i) {
        // A value rounded to zero from below is written as a plain zero, not
        // as -0, whose sign bit the gauge would read as a different value.
        const double value = cell[static_cast<size_t>(i)] + 0.0;
        qToLittleEndian<double>(value, bytes.data() + 8 * i);
    }
    return bytes;
}

} // namespace

QString nvuCellPath(const QString &fsPath, int cell)
{
    return simPath(fsPath, QStringLiteral("Gauges\\Tu154_cfg\\nvu_dat_") + QString::number(cell)
                               + QStringLiteral(".dat"));
}

bool ExportNVU(store::Session &session, store::Query &qp, int cell, QObject *editor, QObject *chooser)
{
    const QString path = nvuCellPath(session.settings.fsPath, cell);
    BusyGuard busy(session.busy());
    Prompter &prompter = session.prompter();
    const store::Query &routes = session.QRoutes;

    if (routes.isEmpty() || !openRoutePoints(qp, routes.value(u"Code").toLongLong())) {
        busy.restoreNow();
        prompter.error(editor, texts::pointsQueryFailed());
        return false;
    }
    std::array<double, kValues> values{};
    const bool filled = fillCell(qp, routes.value(u"Vilka"), values);
    qp.close();
    if (!filled) {
        busy.restoreNow();
        prompter.error(chooser, texts::assignmentFailed());
        return false;
    }
    FileFailure failure;
    if (!writeFileAtomically(path, cellBytes(values), &failure)) {
        busy.restoreNow();
        prompter.error(chooser, exportFailureText(path, failure));
        return false;
    }
    return true;
}

} // namespace kx::interchange
