#pragma once

#include "base/Numbers.h"
#include "store/StoreTexts.h"

#include <QString>

// The route calculation's texts: its messages, and the texts of the errors it
// leaves to the caller's general error display.
namespace kx::calc::texts {

inline QString queryOpenFailed() { return QStringLiteral("Ошибка открытия запроса!"); }
inline QString tooFewPoints() { return QStringLiteral("Маршрут должен содержать не менее двух ППМ!"); }
inline QString pointsOpenFailed() { return QStringLiteral("Ошибка открытия таблицы [Points]!"); }
inline QString pointsWriteFailed() { return store::texts::tableWriteFailed(QStringLiteral("Points")); }
inline QString routesWriteFailed() { return store::texts::tableWriteFailed(QStringLiteral("Routes")); }
inline QString pointsQueryOpenFailed() { return store::texts::queryOpenFailed(QStringLiteral("Points")); }
// A point's row deleted (by another copy of the program) while its route was
// being calculated.
inline QString pointGone(const QString &number)
{
    return QStringLiteral("ППМ № ") + number + QStringLiteral(" удален из маршрута во время расчета!");
}

inline QString waypointMissing(const QString &number)
{
    return QStringLiteral("ППМ № ") + number + QStringLiteral(" маршрута нет в справочнике ППМ!");
}
inline QString variationMissing(const QString &id)
{
    return QStringLiteral("У ППМ ") + id + QStringLiteral(" не задано магнитное склонение!");
}
inline QString waypointWhat(const QString &id) { return QStringLiteral("ППМ ") + id; }
inline QString beaconWhat(const QString &id) { return QStringLiteral("маяка РСБН ") + id; }
// what: waypointWhat or beaconWhat.
inline QString coordinatesMissing(const QString &what)
{
    return QStringLiteral("У ") + what + QStringLiteral(" не заданы координаты!");
}
inline QString badCoordinate(const QString &what, const QString &text)
{
    return QStringLiteral("Неверная координата ") + what + QStringLiteral(": \"") + text + QStringLiteral("\"!");
}

// A failure text with the driver's reason on its next line.
inline QString withReason(const QString &message, const QString &reason)
{
    return message + QStringLiteral("\r\n") + reason;
}

inline QString summary(double distance, double fork)
{
    return QStringLiteral("Расчет выполнен.\r\n\r\nРасстояние = ") + generalNumberComma(distance)
           + QStringLiteral(" км\r\nВилка = ") + generalNumberComma(fork) + QStringLiteral(" град.");
}

} // namespace kx::calc::texts
