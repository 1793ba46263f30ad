#include "SimExport.h"

#include "ExportFailure.h"
#include "FlightGearRoute.h"
#include "InterchangeTexts.h"
#include "Pa3Plan.h"
#include "PlnFormat.h"
#include "SimRoute.h"
#include "SimTexts.h"
#include "XPlaneFms.h"

#include "base/AtomicFile.h"
#include "base/Busy.h"
#include "base/FileError.h"
#include "base/Prompter.h"
#include "base/SimPath.h"
#include "store/Session.h"

#include <QDir>
#include <QFileInfo>

namespace kx::interchange {
namespace {

// X-Plane's own folder: the first folder above the aircraft's that holds an
// Output folder.
QString xplaneFolderAbove(const QString &aircraft)
{
    QDir dir(aircraft);
    while (dir.cdUp()) {
        const QStringList output = dir.entryList({QStringLiteral("Output")}, QDir::Dirs | QDir::NoDotAndDotDot);
        if (!output.isEmpty())
            return dir.absolutePath();
    }
    return QString();
}

QByteArray contentOf(const SimRoute &route, SimFormat format, const QDate &today)
{
    switch (format) {
    case SimFormat::XPlaneFms:
        return writeFms(route, airacCycle(today));
    case SimFormat::FlightGear:
        return writeFlightGearRoute(route);
    case SimFormat::Pa3:
        return writePa3Plan(route);
    }
    return QByteArray();
}

} // namespace

QString simSuffix(SimFormat format)
{
    switch (format) {
    case SimFormat::XPlaneFms:
        return QStringLiteral("fms");
    case SimFormat::FlightGear:
        return QStringLiteral("xml");
    case SimFormat::Pa3:
        return QStringLiteral("json");
    }
    return QString();
}

QString proposedSimFileName(const QString &airportPair, SimFormat format)
{
    return fileNameSafe(airportPair) + u'.' + simSuffix(format);
}

QString currentAirportPair(store::Session &session)
{
    const store::Query &routes = session.QRoutes;
    if (routes.isEmpty())
        return QString();
    const QString departure = routes.value(u"AP_V").toString().trimmed();
    const QString destination = routes.value(u"AP_P").toString().trimmed();
    // A route that does not run between airports is named by its name.
    if (departure.isEmpty() || destination.isEmpty())
        return routes.value(u"Name").toString().trimmed();
    return departure + u'-' + destination;
}

QString proposedSimFolder(const SimSettings &settings, SimFormat format)
{
    const auto existing = [](const QString &folder) {
        return !folder.isEmpty() && QFileInfo(folder).isDir() ? withTrailingSeparator(QDir(folder).absolutePath())
                                                              : QString();
    };
    switch (format) {
    case SimFormat::Pa3: {
        const QString aircraft = existing(settings.xplaneAircraft);
        return aircraft.isEmpty() ? QString()
                                  : withTrailingSeparator(simPath(aircraft, QStringLiteral("pa3\\gen_plans")));
    }
    case SimFormat::XPlaneFms: {
        const QString aircraft = existing(settings.xplaneAircraft);
        const QString xplane = aircraft.isEmpty() ? QString() : xplaneFolderAbove(aircraft);
        return xplane.isEmpty()
                   ? QString()
                   : withTrailingSeparator(simPath(withTrailingSeparator(xplane), QStringLiteral("Output\\FMS plans")));
    }
    case SimFormat::FlightGear:
        return existing(settings.flightGearRoutes);
    }
    return QString();
}

bool exportForSimulator(store::Session &session, SimFormat format, const QString &path, QObject *owner,
                        const QDate &today)
{
    BusyGuard busy(session.busy());
    Prompter &prompter = session.prompter();
    const store::Query &routes = session.QRoutes;
    if (routes.isEmpty() || routes.value(u"DateTime").isNull()) {
        prompter.error(owner, texts::notCalculated());
        return false;
    }
    SimRoute route;
    QString why;
    QString dbError;
    if (!readSimRoute(session, &route, &why, &dbError)) {
        prompter.error(owner, why.isEmpty() ? texts::pointsQueryFailed() + QStringLiteral("\r\n") + dbError
                                            : exportFailureText(path, why));
        return false;
    }
    FileFailure failure;
    if (!writeFileAtomically(path, contentOf(route, format, today), &failure)) {
        prompter.error(owner, exportFailureText(path, failure));
        return false;
    }
    prompter.info(owner, texts::withWrittenFile(texts::exportDone(), path));
    return true;
}

} // namespace kx::interchange
