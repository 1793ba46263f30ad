#pragma once

#include "SimSettings.h"

#include <QDate>
#include <QString>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::interchange {

// The files a calculated route goes out as for the Tu-154 of other simulators.
enum class SimFormat {
    XPlaneFms,  // X-Plane's flight plan, version 1100 (XPlaneFms.h)
    FlightGear, // FlightGear's route, version 2 (FlightGearRoute.h)
    Pa3,        // the PA-3 tablet's plan of X-Plane's Tu-154B2 (Pa3Plan.h)
};

// "fms", "xml", "json".
QString simSuffix(SimFormat format);
// The file name proposed for a route: its airports and the format's suffix
// ("UUEE-URSS.fms"); characters no file name may hold become "_".
QString proposedSimFileName(const QString &airportPair, SimFormat format);
// The route's airports as the files name them: "AP_V-AP_P" of the current
// route of the route list; its name when it lacks either airport.
QString currentAirportPair(store::Session &session);

// The folder the files of a format go to, when the settings know it: the
// tablet's pa3/gen_plans/ in the aircraft folder, X-Plane's Output/FMS plans/
// (in the first folder above the aircraft's that holds an Output folder), the
// FlightGear route folder. Found whatever the letter case of the folders on
// disk; each ends with the separator. Empty when not known.
QString proposedSimFolder(const SimSettings &settings, SimFormat format);

// Writes the current route of session.QRoutes in the format to path (its
// full path), whole under a temporary name and then under its own, so an
// existing file is replaced only by a complete one. The route must be
// calculated ("Маршрут не расчитан!" otherwise). The busy cursor is shown
// meanwhile. Every outcome is shown through the session's prompter, owned by
// owner: texts::exportDone with the file written; "Ошибка записи в файл!"
// with the file and why (exportFailureText), the file system's reason or why
// the route cannot be written (a leg without its values, a point without a
// position). today gives the .fms file's AIRAC cycle.
bool exportForSimulator(store::Session &session, SimFormat format, const QString &path, QObject *owner,
                        const QDate &today = QDate::currentDate());

} // namespace kx::interchange
