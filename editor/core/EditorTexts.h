#pragma once

#include <QString>

// The route editor's own texts: messages, questions, captions and statuses.
namespace kx::editor::texts {

inline QString notCalculated() { return QStringLiteral("Маршрут не расчитан!"); }
inline QString calculatedPrefix() { return QStringLiteral("Маршрут расчитан "); }
inline QString calculating() { return QStringLiteral("Расчет маршрута..."); }

inline QString pointListOpenFailed() { return QStringLiteral("Ошибка открытия запроса! [Points]!"); }
inline QString tooFewPoints() { return QStringLiteral("Маршрут должен содержать не менее двух пунктов!"); }
inline QString routesWriteFailed() { return QStringLiteral("Ошибка записи в таблицу [Routes]!"); }
inline QString emptyRouteQuestion() { return QStringLiteral("В маршруте нет ни одного ППМ.\r\nУдалить шапку маршрута?"); }
inline QString routePointsDeleteFailed() { return QStringLiteral("Не удалось удалить ППМ маршрута!"); }
inline QString routeListFailed() { return QStringLiteral("Ошибка открытия запроса [Routes]!"); }
inline QString routeDeleteFailed() { return QStringLiteral("Не удалось удалить маршрут!"); }

inline QString pointsStatementFailed() { return QStringLiteral("Ошибка выполнения запроса [Points]!"); }
inline QString pointAppendFailed() { return QStringLiteral("Ошибка добавления записи [Points]!"); }
inline QString pointUpdateFailed() { return QStringLiteral("Ошибка выполнения запроса обновления [Points]!"); }
inline QString deletePointQuestion(int number, const QString &id)
{
    return QStringLiteral("Удалить пункт ") + QString::number(number) + QStringLiteral(" - ") + id
        + QStringLiteral(" из маршрута?");
}
inline QString addPointCaption() { return QStringLiteral("Добавление ППМ"); }
inline QString waypointListFailed() { return QStringLiteral("Ошибка выполнения запроса [PPMSel]!"); }

inline QString candidatesClearFailed() { return QStringLiteral("Ошибка очистки таблицы [RSBNSelect]!"); }
inline QString beaconsReadFailed() { return QStringLiteral("Ошибка выполнения запроса [RSBN]!"); }
inline QString candidateInsertFailed() { return QStringLiteral("Ошибка выполнения запроса [RSBNSelect]!"); }
inline QString noBeaconsInRange(int range)
{
    return QStringLiteral("Маяков в пределах дальности ") + QString::number(range) + QStringLiteral(" км не найдено!");
}
inline QString removeBeaconQuestion() { return QStringLiteral("Удалить коррекцию по маяку РСБН для данного пункта?"); }
inline QString beaconListFailed() { return QStringLiteral("Ошибка выполнения запроса [RSBNSel]!"); }

} // namespace kx::editor::texts
