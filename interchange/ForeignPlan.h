#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kx::interchange {

// A flight plan of another simulator as its reader understood it, before
// anything is written to the database.
struct ForeignWaypoint
{
    enum class Kind {
        Airport,
        Ndb,
        Vor,
        Intersection, // a named fix or a bare position
        Unknown,      // the format does not say (a FlightGear waypoint)
    };
    QString id;
    Kind kind = Kind::Unknown;
    QString lat; // coordinate text ("N55*58.36")
    QString lon; // coordinate text ("E037*24.88")
    double feet = 0;
};

struct ForeignPlan
{
    QString departure;   // the departure airport's ident, empty when the plan names none
    QString destination; // the destination airport's ident, likewise
    QList<ForeignWaypoint> waypoints;
};

// The catalogue type of a kind: "Airport", "NDB", "VOR", or empty.
QString catalogueTypeOf(ForeignWaypoint::Kind kind);

// The common checks of every reader: a usable ident (1 to 40 characters, no
// blank or control character) and a position from signed decimal degrees
// ("55.972778", "-0.5"). Each returns false with *why set.
bool readIdent(const QString &text, QString *id, QString *why);
bool readPosition(const QString &lat, const QString &lon, ForeignWaypoint *w, QString *why);

// Plans beyond this many points are not flight plans.
inline constexpr int kMaxForeignPoints = 10000;
// Files beyond this size are not flight plans (the largest real ones are a
// few kilobytes).
inline constexpr qint64 kMaxForeignFileBytes = 16 * 1024 * 1024;

// Which simulator's plan a file holds, from its first lines, whatever it is
// named: an X-Plane plan starts with "I" or "A" and a version line, a
// FlightGear route is a PropertyList; anything else is taken for an FS2004
// flight plan, whose reader has its own messages.
enum class PlanFormat { Fs9Pln, XPlaneFms, FlightGearRoute };
PlanFormat detectPlanFormat(const QByteArray &bytes);

// The bytes of a file of another simulator (a plan, a station list); false
// with *message set for a person (the file named, and why: not there, no
// access, a folder, larger than kMaxForeignFileBytes).
bool readForeignFile(const QString &path, QByteArray *bytes, QString *message);

} // namespace kx::interchange
