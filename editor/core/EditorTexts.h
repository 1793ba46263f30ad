#pragma once

#include "interchange/InterchangeTexts.h"
#include "store/StoreTexts.h"

#include <QString>
#include <QStringList>

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

// The steps of the undo stack, as the popup menu names them after "Отменить"
// and "Повторить".
inline QString insertStep(int number, const QString &id)
{
    return QStringLiteral("вставка ППМ ") + QString::number(number) + u' ' + id;
}
inline QString replaceStep(int number, const QString &id)
{
    return QStringLiteral("замена ППМ ") + QString::number(number) + QStringLiteral(" на ") + id;
}
inline QString deleteStep(int number, const QString &id)
{
    return QStringLiteral("удаление ППМ ") + QString::number(number) + u' ' + id;
}
inline QString ownPointStep(int number, const QString &id)
{
    return QStringLiteral("новый пункт ППМ ") + QString::number(number) + u' ' + id;
}
inline QString undoCaption() { return QStringLiteral("Отменить"); }
inline QString redoCaption() { return QStringLiteral("Повторить"); }
inline QString withStep(const QString &caption, const QString &step)
{
    return step.isEmpty() ? caption : caption + QStringLiteral(": ") + step;
}
inline QString waypointListFailed() { return store::texts::queryFailed(QStringLiteral("PPMSel")); }
// The waypoint picker's column of the distance from the route's current point, km.
inline QString distanceColumn() { return QStringLiteral("Расст., км"); }

// The point commands of the command line, which check what the editor's
// buttons allow.
inline QString noSuchPoint(int number)
{
    return QStringLiteral("В маршруте нет ППМ с номером ") + QString::number(number) + u'!';
}
inline QString cannotInsertAfterLast() { return QStringLiteral("После последнего ППМ маршрута пункт не вставляется!"); }
inline QString cannotChangeEnds() { return QStringLiteral("Первый и последний ППМ маршрута не заменяются и не удаляются!"); }
inline QString waypointNotFound(const QString &id)
{
    return QStringLiteral("Пункт ") + id + QStringLiteral(" не найден в каталоге!");
}
inline QString waypointAmbiguous(const QString &id, const QStringList &candidates)
{
    return QStringLiteral("Пунктов ") + id + QStringLiteral(" в каталоге несколько, уточните тип (--type) и регион (--region):")
        + QStringLiteral("\r\n") + candidates.join(QStringLiteral("\r\n"));
}
inline QString unknownWaypointType(const QString &type)
{
    return QStringLiteral("Неизвестный тип пункта: ") + type + QStringLiteral(" (A, N, V или I)");
}

// A new route.
inline QString newRouteCaption() { return QStringLiteral("Новый маршрут"); }
inline QString routeNameMissing() { return QStringLiteral("Не заполнено поле [Наименование]!"); }
inline QString airportMissing(bool departure)
{
    return departure ? QStringLiteral("Не заполнено поле [АП вылета]!") : QStringLiteral("Не заполнено поле [АП посадки]!");
}
inline QString airportNotFound(const QString &id)
{
    return QStringLiteral("Аэропорт ") + id + QStringLiteral(" не найден в каталоге!");
}
inline QString airportLookupFailed() { return store::texts::queryFailed(QStringLiteral("Punkts")); }
inline QString levelOutOfRange() { return QStringLiteral("Эшелон должен быть от 0 до 99 999 м!"); }
inline QString departureCaption() { return QStringLiteral("Аэропорт вылета"); }
inline QString arrivalCaption() { return QStringLiteral("Аэропорт посадки"); }
inline QString notAnAirport(const QString &id)
{
    return QStringLiteral("Пункт ") + id + QStringLiteral(" не является аэропортом!");
}

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
