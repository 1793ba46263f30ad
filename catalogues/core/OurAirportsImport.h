#pragma once

#include "OurAirports.h"

#include <QString>

class QObject;

namespace kx::store {
class Database;
class Session;
} // namespace kx::store

namespace kx::catalogues {

class ImportProgress;

struct ImportCounts
{
    int added = 0;
    int updated = 0;
    int unchanged = 0;
};

struct OurAirportsSummary
{
    ImportCounts airports;
    ImportCounts runways;
    ImportCounts navaids;
    int routesMarked = 0; // routes made not calculated because an airport of theirs moved
    OaReadReport report;  // what the read left out of the files
};

// Writes what readOurAirports took into the catalogue, in one transaction:
// cancelled or failed, the database is left exactly as it was.
//
// A row of the catalogue is the file's row when (letter case ignored):
// - an airport: its identity (airportIdentity) is the ID of a row of type
//   Airport (the rule by which a flight plan finds its airports), or else,
//   unless another airport of the file has that identity, OurAirports' own
//   ident is: a row an earlier import stored under that ident, whose ID is
//   corrected to the identity in place, so that no second row is added;
// - a runway: it is the same airport's runway of the same designator;
// - a VOR or NDB: a row of that type and ident lies within 1 km of it.
// Of several such rows the oldest (lowest Code) is taken. It is updated in
// place, and only with what the file has: the name; an airport's elevation,
// ATIS frequency and (when it lies more than 1 km from the file's) its
// position with the variation there, its routes becoming not calculated; a
// runway's true track; a radio aid's frequency, and its region while it has
// none. A position within 1 km is kept as stored, so that the flight plans
// that found the row by its position text still find it. Every other column
// (what a person typed: transition levels, beacons, ILS, locators) stays.
// A row the files do not match gets a new row: an airport with an empty
// region (as the waypoint editor keeps airports), every new waypoint with
// its MS from the simulator's variation table (geo::MagVar), as the flight
// plan import takes it. No row is ever deleted, so running an import again
// with the same files changes nothing.
// Failed with *error (the table, the driver's text); Cancelled when progress
// asks for it. progress may be null.
ImportOutcome writeOurAirports(store::Database &db, const QString &fsPath, const OurAirportsData &data,
                               ImportProgress *progress, OurAirportsSummary *summary, QString *error);

// "Импорт из OurAirports выполнен.", a line of counts per kind of row and,
// when the files had rows or values the read left out, how many per file.
QString summaryText(const OurAirportsSummary &summary);
// The first of those rows and values, one line each ("runways.csv, строка
// 10: неправильный истинный курс: «362»; значение не взято"), under a line
// that says how many of how many they are; empty when there were none.
QString summaryDetails(const OurAirportsSummary &summary);

// The command of the catalogue window and of kalyx-cli: reads the folder's
// four files, writes them into the session's catalogue, and tells the person
// the outcome through the session's prompter (owner: the window): the summary
// with what was left out of the files as its details (Prompter::
// infoWithDetails: a section of the window's message, stderr in kalyx-cli),
// that the import was cancelled, or what was wrong (a file's name and line,
// or the database's error), each time with the catalogue left as it was
// unless the import was done.
ImportOutcome importOurAirports(store::Session &session, const QString &folder, const OurAirportsFilter &filter,
                                ImportProgress *progress, QObject *owner);

} // namespace kx::catalogues
