#pragma once

#include "Plan.h"
#include "SimRoute.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// X-Plane's flight plan (*.fms), which X-Plane's GPS and FMS and the
// Tu-154B2's GPS load from "Output/FMS plans/". Version 1100:
//   I
//   1100 Version
//   CYCLE 2604
//   ADEP UUEE            (DEP IDENT when the plan does not start at an airport)
//   ADES URSS            (DES IDENT likewise)
//   NUMENR 6
//   1 UUEE ADEP 622.000000 55.972667 37.414667
//   2 DE DRCT 0.000000 55.366667 37.978333
//   ...
// A waypoint line is: type (1 airport, 2 NDB, 3 VOR, 11 named fix, 28 a bare
// position), ident, how it is reached (ADEP, ADES, DRCT or an airway), the
// altitude in feet, latitude and longitude in signed decimal degrees.
// Version 3, which X-Plane still loads, has two numbers after the version line
// and waypoint lines without the "via" column; type 0 marks an empty entry.
namespace kx::interchange {

// The AIRAC cycle in force on a date, as YYNN: cycles change every 28 days
// from 2 January 2020 (cycle 2001), NN counting the cycles that began in the
// year ("2026-04-16" gives 2604, the day before gives 2603).
int airacCycle(const QDate &date);

// The plan of a calculated route: the airports at its ends with their
// elevation, every other point at altitude 0, all reached directly. A point
// whose ident cannot stand in the file (empty or with blanks) goes as a bare
// position named by it ("+43.500_+039.900").
QByteArray writeFms(const SimRoute &route, int cycle);

// Reads a plan of version 1100 or 3 (UTF-8, any line ends) from the file
// fileName (its full path; the route is named after it) into a Plan for the
// plan import: its points with their type (a named fix and a bare position
// are waypoints without type), no region, the airports' elevation; the
// departure and destination airports; as the cruising altitude the highest
// altitude of the points between them. False with *error set, naming the
// file (and the line), when the file is not such a plan or holds a waypoint
// it cannot place; *plan is then untouched.
bool readFms(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error);

} // namespace kx::interchange
