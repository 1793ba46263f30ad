#pragma once

#include "interchange/InterchangeTexts.h"
#include "store/StoreTexts.h"

#include <QString>

// The route editor's own texts: messages, questions, captions and statuses.
namespace kx::editor::texts {

using interchange::texts::notCalculated;
inline QString calculatedPrefix() { return QStringLiteral("Маршрут расчитан "); }
inline QString calculating() { return QStringLiteral("Расчет маршрута..."); }

inline QString pointListOpenFailed() { return QStringLiteral("Ошибка открытия запроса! [Points]!"); }
inline QString tooFewPoints() { return QStringLiteral("Маршрут должен содержать не менее двух пунктов!"); }
inline QString routesWriteFailed() { return store::texts::tableWriteFailed(QStringLiteral("Routes")); }
inline QString emptyRouteQuestion() { return QStringLiteral("В маршруте нет ни одного ППМ.\r\nУдалить шапку маршрута?"); }
inline QString routePointsDeleteFailed() { return QStringLiteral("Не удалось удалить ППМ маршрута!"); }
inline QString routeListFailed() { return store::texts::queryOpenFailed(QStringLiteral("Routes")); }
inline QString routeDeleteFailed() { return QStringLiteral("Не удалось удалить маршрут!"); }

inline QString pointsStatementFailed() { return store::texts::queryFailed(QStringLiteral("Points")); }
inline QString pointAppendFailed() { return QStringLiteral("Ошибка добавления записи [Points]!"); }
inline QString pointUpdateFailed() { return QStringLiteral("Ошибка выполнения запроса обновления [Points]!"); }
inline QString deletePointQuestion(int number, const QString &id)
{
    return QStringLiteral("Удалить пункт ") + QString::number(number) + QStringLiteral(" - ") + id
        + QStringLiteral(" из маршрута?");
}
inline QString addPointCaption() { return QStringLiteral("Добавление ППМ"); }
inline QString waypointListFailed() { return store::texts::queryFailed(QStringLiteral("PPMSel")); }
// The waypoint picker's column of the distance from the route's current point, km.
inline QString distanceColumn() { return QStringLiteral("Расст., км"); }

inline QString candidatesClearFailed() { return QStringLiteral("Ошибка очистки таблицы [RSBNSelect]!"); }
inline QString beaconsReadFailed() { return store::texts::queryFailed(QStringLiteral("RSBN")); }
inline QString candidateInsertFailed() { return store::texts::queryFailed(QStringLiteral("RSBNSelect")); }
inline QString noBeaconsInRange(int range)
{
    return QStringLiteral("Маяков в пределах дальности ") + QString::number(range) + QStringLiteral(" км не найдено!");
}
inline QString removeBeaconQuestion() { return QStringLiteral("Удалить коррекцию по маяку РСБН для данного пункта?"); }
inline QString beaconListFailed() { return store::texts::queryFailed(QStringLiteral("RSBNSel")); }

} // namespace kx::editor::texts
