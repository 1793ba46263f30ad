#pragma once

#include <QString>

namespace kx::bench {

// A route database of a realistic size for timing: waypoints spread over the
// CIS with idents, regions, names and types, routes with Russian and Latin
// names, and points on every route. Written in one transaction.
struct GeneratedSize
{
    int waypoints = 250000;
    int routes = 5000;
    int pointsPerRoute = 12;
    int beacons = 0;
};

// Creates the database file at path (it must not exist); false with *why.
bool generateDatabase(const QString &path, const GeneratedSize &size, QString *why);

// A simulator folder with a variation table (a smooth field of declinations),
// the NVU cell folder and the I-21 gauge file; fsPath ends with a separator.
bool generateSimulator(const QString &fsPath, QString *why);

} // namespace kx::bench
