#include "WaypointSave.h"

#include "CatalogueTexts.h"
#include "WaypointType.h"

#include "base/Prompter.h"
#include "geo/MagVar.h"
#include "store/Collation.h"
#include "store/Session.h"
#include "store/RowWrite.h"

#include <tuple>

namespace kx::catalogues {
namespace {

QString equalsNoCase(const QString &column)
{
    return column + QStringLiteral(" = ? COLLATE ") + QLatin1String(store::kCollation);
}

} // namespace

QVariant WaypointEntry::typeToStore() const
{
    return typeIndex == kNoType ? storedType : storedWaypointType(typeIndex);
}

QString entryProblemText(EntryProblem problem)
{
    switch (problem) {
    case EntryProblem::None:
        return {};
    case EntryProblem::RegionMissing:
        return texts::regionMissing();
    case EntryProblem::IdentMissing:
        return texts::identMissing();
    case EntryProblem::CoordinatesMissing:
        return texts::coordinatesMissing();
    case EntryProblem::Duplicate:
        return texts::duplicate();
    case EntryProblem::DuplicateCheckFailed:
        return texts::duplicateCheckFailed();
    }
    return {};
}

bool isPositionMissing(const QString &lat, const QString &lon)
{
    return lat == u"N00*00.00" || lat == u"S00*00.00" || lon == u"E000*00.00" || lon == u"W000*00.00";
}

EntryProblem findDuplicate(store::Session &session, const WaypointEntry &entry, qint64 ownCode)
{
    const QVariant type = entry.typeToStore();
    // The ident index (with SQLite's NOCASE) narrows the rows; the program's
    // collation decides.
    QVariantList values;
    QString sql = QStringLiteral("SELECT Punkts.Code, Punkts.Region, Punkts.ID, Punkts.Type, Punkts.LAT, Punkts.LON "
                                 "FROM Punkts WHERE ")
        + store::noCaseIndexCondition(QStringLiteral("Punkts.ID"), entry.id, &values) + QStringLiteral(" AND ")
        + equalsNoCase(QStringLiteral("Punkts.ID")) + QStringLiteral(" AND ")
        + equalsNoCase(QStringLiteral("ifnull(Punkts.Region, '')"));
    values << entry.id << entry.region;
    if (!type.isNull()) {
        sql += QStringLiteral(" AND ") + equalsNoCase(QStringLiteral("Punkts.Type"));
        values.append(type);
    }
    sql += QStringLiteral(" AND ") + equalsNoCase(QStringLiteral("Punkts.LAT")) + QStringLiteral(" AND ")
        + equalsNoCase(QStringLiteral("Punkts.LON"));
    values << entry.lat << entry.lon;

    store::Query matches(session.ADOC, QStringLiteral("Punkts"));
    if (!matches.open(sql, values))
        return EntryProblem::DuplicateCheckFailed;
    const int rows = matches.rowCount();
    const qint64 found = rows > 0 ? matches.value(u"Code").toLongLong() : 0;
    if (rows >= 2 || (rows == 1 && found != ownCode))
        return EntryProblem::Duplicate;
    return EntryProblem::None;
}

EntryProblem checkEntry(store::Session &session, const WaypointEntry &entry, qint64 ownCode)
{
    if (entry.typeIndex != kNoType && entry.typeIndex != kAirport && entry.region.isEmpty())
        return EntryProblem::RegionMissing;
    if (entry.id.isEmpty())
        return EntryProblem::IdentMissing;
    if (isPositionMissing(entry.lat, entry.lon))
        return EntryProblem::CoordinatesMissing;
    return findDuplicate(session, entry, ownCode);
}

bool markRoutesNotCalculated(store::Session &session, qint64 waypoint)
{
    return session.ADOC.exec(QStringLiteral("UPDATE Routes SET DateTime = Null "
                                            "WHERE Code IN (SELECT Points.Route FROM Points WHERE Points.Punkt = ?)"),
                             {waypoint});
}

bool deleteRunways(store::Session &session, qint64 waypoint)
{
    return session.ADOC.exec(QStringLiteral("DELETE FROM Runways WHERE AP = ?"), {waypoint});
}

StoreResult storeWaypoint(store::Session &session, store::Query &punkts, const WaypointEntry &entry,
                          bool positionChanged, QObject *owner)
{
    Prompter &prompter = session.prompter();
    if (!punkts.edit()) {
        prompter.error(owner, texts::saveFailed());
        return StoreResult::NotSaved;
    }
    const store::RowWrite written = store::writeRow(session.ADOC, punkts, [&] {
        if (entry.typeIndex != kNoType)
            punkts.setValue(u"Type", entry.typeToStore());
        punkts.setValue(u"LAT", entry.lat);
        punkts.setValue(u"LON", entry.lon);
        punkts.setValue(u"MS", geo::MagVar(session.settings.fsPath, entry.lat, entry.lon));
    });
    switch (written) {
    case store::RowWrite::Committed:
        break;
    case store::RowWrite::NotBegun:
    case store::RowWrite::NotPosted:
        // The row keeps what was typed, so that nothing is lost and the
        // user can save again or cancel.
        prompter.error(owner, texts::saveFailed());
        return StoreResult::NotSaved;
    case store::RowWrite::NotCommitted:
        // The list took a row the database did not: show what is stored (or,
        // should the list not be read again, nothing).
        std::ignore = punkts.refreshAt(u"Code", punkts.value(u"Code"));
        prompter.error(owner, texts::saveFailed());
        return StoreResult::Lost;
    }

    const qint64 code = punkts.value(u"Code").toLongLong();
    if (positionChanged && !markRoutesNotCalculated(session, code)) {
        prompter.error(owner, texts::routesNotMarked());
        return StoreResult::SavedIncomplete;
    }
    const bool airport = entry.typeToStore().toString() == storedWaypointType(kAirport).toString();
    if (!airport && !deleteRunways(session, code)) {
        prompter.error(owner, texts::runwaysNotDeleted());
        return StoreResult::SavedIncomplete;
    }
    if (!punkts.refreshAt(u"Code", code))
        prompter.error(owner, texts::listNotReread());
    return StoreResult::Saved;
}

} // namespace kx::catalogues
