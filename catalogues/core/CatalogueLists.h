#pragma once

#include "store/Query.h"

namespace kx::store {
class Database;
}

namespace kx::catalogues {

// The two catalogue lists the windows share; the main window owns one object
// of this for the whole run.
//  - QPunkts, the waypoint catalogue in ident, then region order (letter case
//    ignored). The waypoint editor and the airport window both work on its
//    current row: whoever opens the editor opens it first and makes the
//    waypoint current. Writable: rows are posted to Punkts by Code.
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

// An airport's runways by key, one bound value (the airport's Punkts.Code):
// the airport window's list QAP (writable) and the route sheet's runway
// datasets.
QString runwaysSql();

} // namespace kx::catalogues
