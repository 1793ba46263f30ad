#pragma once

#include "Plan.h"

#include <QByteArray>
#include <QString>

// The readers of flight plan files. Each turns one file into a Plan and
// touches nothing else; when the file cannot be taken it returns false with
// *error set to the message a person gets (naming the file, and where in it
// what is wrong). Any bytes give a Plan or a message: never a crash, a hang
// or unbounded memory.
namespace kx::interchange {

// A plan file of any kind the program reads, told apart by its content and
// not by its name: X-Plane's plan (readFms, XPlaneFms.h) and FlightGear's
// route (readFlightGearRoute, FlightGearRoute.h) by their first lines
// (detectPlanFormat); the XML plan (readXmlPlan) when, after an optional
// byte-order mark and blanks, it begins with an XML declaration or
// "<SimBase.Document"; FS9's plan (readFs9Plan) otherwise. fileName is the full path; the route is named
// after it (routeNameOf).
bool readPlanFile(const QString &fileName, Plan *plan, QString *error);

// Whether a file's bytes are an XML plan (see readPlanFile).
bool looksLikeXmlPlan(const QByteArray &bytes);

// FS9's plan: section "flightplan" with the header entries and the
// "waypoint.K" lines, K = 0 to the index on the file's last line, in FS9's
// own nine fields or the short five (PlnFormat.h). The messages:
// texts::fileReadFailed when the last line names no waypoint,
// texts::wrongFileFormat when it names only waypoint 0, texts::planProblem
// for a waypoint line or header entry that cannot be stored (a position that
// is none, an altitude that is no number, a control character).
bool readFs9Plan(const QString &text, const QString &fileName, Plan *plan, QString *error);

// The XML plan of FSX, Prepar3D, MSFS and the planners that write for them
// (<SimBase.Document> with one <FlightPlan.FlightPlan>):
// - the header from DepartureID and DepartureLLA (together as FS9's
//   departure_id: "LSZH, N47* 28.54', E8* 32.16', +001416.00"),
//   DestinationID and DestinationLLA, DepartureName, DestinationName,
//   DeparturePosition, CruisingAlt (feet), FPType and RouteType (Direct,
//   VOR, LowAlt, HighAlt: FS9's 0 to 3);
// - every ATCWaypoint in order: its ident ICAO/ICAOIdent, else its id
//   attribute; its region ICAO/ICAORegion; its type from ATCWaypointType
//   (Airport, VOR, NDB; anything else has no catalogue type); its position
//   and altitude from WorldPosition (N55° 58' 19.80",E37° 24' 52.20",+000622.00,
//   "." or "," as the decimal mark, numbers padded or not), none when the
//   waypoint has no WorldPosition.
// UTF-8 with or without a byte-order mark (or what the XML declaration
// names), CR LF or LF. A document with a DTD (and so entities of its own),
// nested deeper than any plan, cut short or not well-formed gives
// texts::xmlPlanUnreadable with the reason and line; fewer than two
// waypoints give the same messages as FS9's plan.
bool readXmlPlan(const QByteArray &bytes, const QString &fileName, Plan *plan, QString *error);

} // namespace kx::interchange
