#include "BeaconSearch.h"

#include "EditorTexts.h"

#include "base/Busy.h"
#include "base/Prompter.h"
#include "geo/CoordText.h"
#include "geo/GeoTexts.h"
#include "geo/Rounding.h"
#include "geo/Sphere.h"
#include "store/Session.h"
#include "store/Statement.h"
#include "store/Transaction.h"

#include <optional>
#include <tuple>

namespace kx::editor {

using geo::Position;
using geo::readPosition;

int searchBeacons(store::Session &session, QObject *owner, const QString &pointLat, const QString &pointLon,
                  int range)
{
    Prompter &prompter = session.prompter();
    BusyGuard busy(session.busy());
    // A point without a readable position has no beacon in range, but what
    // the person needs to hear is why.
    const std::optional<Position> point = readPosition(pointLat, pointLon);
    if (!point) {
        prompter.error(owner, geo::texts::badCoordinate(geo::readCoordinate(pointLat) ? pointLon : pointLat));
        return 0;
    }

    store::Transaction transaction(session.ADOC);
    if (!transaction.isActive() || !session.ADOC.exec(QStringLiteral("DELETE FROM RSBNSelect"))) {
        transaction.rollback();
        prompter.error(owner, texts::candidatesClearFailed());
        return 0;
    }
    store::Query beacons(session.ADOC, QStringLiteral("RSBN"));
    if (!beacons.open(QStringLiteral("SELECT RSBN.Code, RSBN.ID, RSBN.Name, RSBN.LAT, RSBN.LON FROM RSBN"))) {
        // The list stays emptied; should even that fail, it stays as it was,
        // and the message is the same.
        std::ignore = transaction.commit();
        prompter.error(owner, texts::beaconsReadFailed());
        return 0;
    }

    store::Statement insert(session.ADOC, QStringLiteral("INSERT INTO RSBNSelect (RSBN, L) SELECT RSBN.Code, ? AS L "
                                                         "FROM RSBN WHERE RSBN.Code = ?"));
    bool insertFailed = !insert.isPrepared();
    int candidates = 0;
    const int codeColumn = beacons.columnIndex(u"Code");
    const int latColumn = beacons.columnIndex(u"LAT");
    const int lonColumn = beacons.columnIndex(u"LON");
    for (int row = 0; !insertFailed && row < beacons.rowCount(); ++row) {
        const std::optional<Position> beacon =
            readPosition(beacons.valueAt(row, latColumn), beacons.valueAt(row, lonColumn));
        if (!beacon)
            continue;
        const long double distance = geo::OrthoDistance(point->lat, point->lon, beacon->lat, beacon->lon);
        if (!(distance <= static_cast<long double>(range)))
            continue;
        if (!insert.exec({geo::roundDividingByTenth(distance), beacons.valueAt(row, codeColumn)})) {
            insertFailed = true;
            break;
        }
        ++candidates;
    }
    beacons.close();
    // After a failed insert the candidates before it stay, until the next search.
    const bool committed = transaction.commit();
    if (insertFailed || !committed) {
        prompter.error(owner, texts::candidateInsertFailed());
        return 0;
    }
    if (candidates == 0) {
        prompter.error(owner, texts::noBeaconsInRange(range));
        return 0;
    }
    return candidates;
}

bool setPointBeacon(store::Session &session, QObject *owner, qint64 point, const QVariant &beacon)
{
    if (!session.ADOC.exec(QStringLiteral("UPDATE Points SET RSBN = ? WHERE Code = ?"), {beacon, point})) {
        session.prompter().error(owner, texts::pointsStatementFailed());
        return false;
    }
    return true;
}

} // namespace kx::editor
