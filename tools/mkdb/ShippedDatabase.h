#pragma once

#include "CatalogueLoader.h"

#include <QString>
#include <QStringList>

namespace kx::dbbuild {

struct ShippedDatabaseOptions
{
    QString output;          // the database file to make; must not exist
    QString catalogueFolder; // airports.csv, navaids.csv, runways.csv, rsbn.csv, rsbn_ussr.csv, gpl/
    QString fsPath;          // simulator folder holding Scenery/BASE/Scenery/magdec.bgl
    QStringList plans;       // *.PLN files, or folders whose *.PLN files are taken in name order
    bool withGpl = true;     // also load gpl/runway_ils.csv
};

struct ShippedDatabaseSummary
{
    CatalogueCounts catalogue;
    int routes = 0;
    int points = 0;
};

// Builds the route database that ships with the program: the schema, the
// demonstration catalogue with every waypoint's variation taken from the
// simulator folder's table, and demonstration routes from sample plans.
// Refuses to replace an existing file. The database is made under a temporary
// name and renamed into place only when complete, so a failed build leaves no
// file under the real name.
[[nodiscard]] bool buildShippedDatabase(const ShippedDatabaseOptions &options, ShippedDatabaseSummary *summary,
                                        QString *error);

} // namespace kx::dbbuild
