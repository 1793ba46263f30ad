#pragma once

#include "store/Query.h"

#include <optional>

namespace kx::store {
class Database;
}

namespace kx::catalogues {

// The two catalogue lists the windows share; the main window owns one object
// of this for the whole run. Both are read in pages (store::Query), so that a
// catalogue of the whole world opens at once and holds only what was looked at.
//  - QPunkts, the waypoint catalogue in ident, then region order (letter case
//    ignored, Cyrillic included), then by Code. The waypoint editor and the
//    airport window both work on its current row: whoever opens the editor
//    opens it first and makes the waypoint current. Writable: rows are posted
//    to Punkts by Code.
//  - QRSBN, the beacon catalogue in region, then call-sign order, with the
//    computed column LongName, the call sign and the name in parentheses
//    ("ABC (Name)"). Read only.
class CatalogueLists
{
public:
    explicit CatalogueLists(store::Database &db);
    CatalogueLists(const CatalogueLists &) = delete;
    CatalogueLists &operator=(const CatalogueLists &) = delete;

    // Open the lists (closing them first); the first row becomes current.
    [[nodiscard]] bool openPunkts();
    [[nodiscard]] bool openRsbn();

    store::Query QPunkts;
    store::Query QRSBN;
};

// A list of waypoints in the catalogue's order with these columns of Punkts,
// read in pages through the index of that order.
store::PagedSql waypointListSql(const QString &columns);

// The searches of a waypoint list (waypointListSql): each moves it to the
// first waypoint, in its order, that matches, and answers false, the current
// row staying where it was, when none does (or the statement fails).
// By the beginning of the ident, letter case ignored.
[[nodiscard]] bool findWaypointByIdent(store::Query &list, const QString &text);
// By the beginning of any word of the name (NameWords.h), letter case
// ignored: "heath" finds "London Heathrow". With at most sortAtMost names
// holding such a word it sorts them; with more it walks the list in order,
// where one then comes soon (tests choose either way).
[[nodiscard]] bool findWaypointByName(store::Query &list, const QString &text, int sortAtMost = 256);

// A waypoint's position texts (LAT, LON); nothing when there is no such
// waypoint or it cannot be read.
struct WaypointPlace
{
    QVariant lat;
    QVariant lon;
};
std::optional<WaypointPlace> waypointPlace(store::Database &db, qint64 code);

// An airport's runways by key, one bound value (the airport's Punkts.Code):
// the airport window's list QAP (writable) and the route sheet's runway
// datasets.
QString runwaysSql();

} // namespace kx::catalogues
