#pragma once

#include "Plan.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The FS2004 flight plan (*.PLN): an initialisation file whose section
// "flightplan" holds the header entries and one "waypoint.K" entry per
// waypoint, K = 0, 1, 2 ... The waypoint value is a list of fields separated
// by ",":
//   region, ident, (empty), ident, type letter, latitude, longitude, altitude,
// and the program writes every field after a comma with one leading blank and
// ends the line with ", ". Positions are written N55* 58.33' / E37* 24.87'.
namespace kx::interchange {

inline constexpr char16_t kPlanSection[] = u"flightplan";
inline constexpr char16_t kPlanAppVersion[] = u"9.0.30612";

// One waypoint line as the import stores it.
struct PlanWaypoint
{
    QString region;       // field 1, leading blanks removed
    QString id;           // field 2, leading blanks removed
    QChar typeLetter;     // first character of field 5 once trimmed; blank when the field is
    QString lat;          // field 6 as a coordinate text ("N55*58.33")
    QString lon;          // field 7 as a coordinate text ("E037*24.87")
    double h = 0;         // field 8, feet
    // Empty when the line can be stored; otherwise what is wrong with it
    // ("Неверная широта \"N*.00\""), and the other members must not be used.
    QString problem;
};

// The code of the first control character (U+0000 to U+001F, U+007F to
// U+009F) in a text, or -1 when it has none. Texts of a plan that go into the
// database must have none (texts::controlCharacter says so).
int firstControlCharacter(QStringView text);

// Whether a waypoint value is in the short form that FS9 reads as well and
// other tools write: "ident, type, latitude, longitude, altitude,"
// ("D205T, I, N56* 59.87', W2* 28.54', +000000.00,"), which has no region.
// Told by its third field, a latitude where FS9's own lines leave it empty.
bool isShortWaypointLine(const QString &value);

// Cuts a waypoint value, in FS9's own form or the short one, into its fields
// and converts them; the short form's region is empty. A line whose region or
// ident holds a control character, whose latitude or longitude does not make
// a coordinate text, or whose altitude is not a number, comes back with its
// problem set.
PlanWaypoint parseWaypointLine(const QString &value);

// A plan's altitude field in feet: "+" dropped, "." or "," as the decimal
// mark ("+000622.00", "-000050,00"); nothing when it is no finite number.
std::optional<double> planAltitudeFeet(const QString &text);

// The kind of waypoint of a type letter: A, N and V; any other letter is a
// waypoint without catalogue type (an intersection).
PlanPointType pointTypeOfLetter(QChar letter);
// Catalogue type of a type letter: "Airport", "NDB", "VOR"; Null for any other
// letter.
QVariant typeOfLetter(QChar letter);
// Type letter of a catalogue type: its first character, "I" when it is empty.
QChar letterOfType(const QVariant &type);

// A coordinate text as the flight plan writes it: a blank after the "*", the
// longitude without its leading zero, "." for ",", an apostrophe at the end
// (N55*58.33 gives N55* 58.33', E037*24.87 gives E37* 24.87').
QString planLatitude(const QString &lat);
QString planLongitude(const QString &lon);
// An elevation in feet as the flight plan writes it: +000000.00 for zero
// (the export passes 0 for an empty value), otherwise the whole feet (halves
// to even) signed and padded to six digits.
QString planAltitude(double feet);
// The waypoint line the export writes for a catalogue waypoint.
QString waypointLine(const QString &region, const QString &id, const QVariant &type, const QString &lat,
                     const QString &lon, double h);

// Whether a text is a coordinate text the program can calculate with: the
// hemisphere letter (N or S; E or W for a longitude), two (three) digits of
// degrees, "*", two digits of minutes, "." and at least one digit, within
// 90 (180) degrees and with at most 60 minutes.
bool isCoordinateText(const QString &text, bool latitude);

// The cruising level in metres of a cruising altitude in feet, and back, each
// rounded to a whole number with halves to even (31000 ft gives 9449 m, which
// gives 31001 ft).
int cruisingLevelMetres(int feet);
qint64 cruisingAltitudeFeet(double metres);

// The file's name without its folder ("UUEE-URSS.PLN").
QString planFileName(const QString &path);
// The route name of an imported file: its name without folder and without
// everything from its last "." on ("plan.old.PLN" gives "plan.old").
QString routeNameOf(const QString &path);
// The name proposed in the export's save dialog:
// type + " " + departure name + " to " + destination name + " (by Kalyx).PLN".
// Characters that cannot stand in a file name become "_".
QString proposedPlanName(const QString &type, const QString &departureName, const QString &destinationName);
// A name with every character that cannot stand in a file name (control
// characters and \ / : * ? " < > |) made "_".
QString fileNameSafe(QString name);
// A chosen export path whose file name contains none of ".pln", ".PLN" and
// ".Pln" gets ".PLN" appended ("plan.txt" becomes "plan.txt.PLN", "plan.pLn"
// becomes "plan.pLn.PLN", "plan.Pln" stays).
QString withPlanExtension(const QString &path);

// The index of the last waypoint, read from the last line alone: its text
// before the first "=", after the first "." there, as a whole number. -1 when
// there are no lines or that text is not a whole number of digits.
int lastWaypointIndexOfLines(const QStringList &lines);
// The same for a file on disk (windows-1251, or UTF-8 after a byte-order mark;
// CR LF, LF or CR line ends). Throws kx::Error when the file cannot be read.
int LastWaypointIndex(const QString &fileName);

// No flight plan comes near this size (one of 10,000 waypoints in XML takes
// some 4 MB); a larger file is refused before it is read into memory.
inline constexpr qint64 kMaxPlanFileBytes = 16LL * 1024 * 1024;

// The bytes of a plan file; false (and *error set, naming the file and the
// reason) when it cannot be read or is larger than kMaxPlanFileBytes.
bool readPlanBytes(const QString &fileName, QByteArray *bytes, QString *error);
// The same for any file the program reads whole and that has a size it never
// reaches (limit, in bytes); tooLarge is the reason given beyond it. A pipe is
// read to its end (a script may hand a plan that way), a device up to the limit.
bool readBoundedFile(const QString &fileName, qint64 limit, const QString &tooLarge, QByteArray *bytes,
                     QString *error);
// The same, decoded as a text file (windows-1251, or UTF-8 after a byte-order
// mark).
bool readPlanText(const QString &fileName, QString *text, QString *error);

} // namespace kx::interchange
