#pragma once

#include <QString>

// The catalogue windows' own texts: messages, questions and captions.
namespace kx::catalogues::texts {

// The waypoint catalogue.
inline QString punktsOpenFailed() { return QStringLiteral("Ошибка открытия запроса!\r\n[Punkts]"); }
inline QString usingRoutesFailed() { return QStringLiteral("Ошибка открытия запроса!\r\n[Points]"); }
inline QString deletionRefusedHead()
{
    return QStringLiteral("Удаление невозможно, так как\r\nссылки на этот ППМ присутствуют в маршрутах:");
}
inline QString deleteQuestion(const QString &id, const QString &name)
{
    return QStringLiteral("Удалить ППМ [") + id + u' ' + name + QStringLiteral("]?");
}
inline QString deleteFailed() { return QStringLiteral("Ошибка удаления!\r\nНачните заново"); }

// The waypoint editor.
inline QString editCaption() { return QStringLiteral("Правка/просмотр ППМ"); }
inline QString newCaption() { return QStringLiteral("Новый ППМ"); }
inline QString regionMissing() { return QStringLiteral("Не заполнено поле [Регион]!"); }
inline QString identMissing() { return QStringLiteral("Не заполнено поле [Пункт]!"); }
inline QString coordinatesMissing() { return QStringLiteral("Неправильно заполнены координаты!"); }
inline QString duplicate() { return QStringLiteral("Такой пункт уже существует в базе данных!"); }
inline QString saveFailed() { return QStringLiteral("Ошибка сохранения в таблице [Punkts]!"); }
// Failures the editor reports in its own words: the check for duplicates
// could not run, or the waypoint was stored but what follows from it was not.
inline QString duplicateCheckFailed()
{
    return QStringLiteral("Не удалось проверить, нет ли такого пункта в базе данных!\r\nППМ не сохранен. [Punkts]");
}
inline QString routesNotMarked()
{
    return QStringLiteral("ППМ сохранен, но маршруты, проходящие через него, не удалось отметить как не "
                          "расчитанные!\r\nСохраните ППМ еще раз. [Routes]");
}
inline QString runwaysNotDeleted()
{
    return QStringLiteral("ППМ сохранен, но не удалось удалить его ВПП!\r\nСохраните ППМ еще раз. [Runways]");
}
inline QString listNotReread() { return QStringLiteral("ППМ сохранен, но список пунктов не удалось перечитать! [Punkts]"); }

// The airport window and the runway dialog.
inline QString airportCaption() { return QStringLiteral("Аэропорт"); }
inline QString noRunways() { return QStringLiteral("Для этого аэропорта не указаны ВПП"); }
inline QString runwaysOpenFailed() { return QStringLiteral("Ошибка выполения запроса [QAP]"); }
inline QString beaconsOpenFailed() { return QStringLiteral("Ошибка выполения запроса [QRSBN]"); }
inline QString airportStoreFailed() { return QStringLiteral("Не удалось сохранить запись [QPunkts]"); }
inline QString runwayStoreFailed() { return QStringLiteral("Не удалось сохранить запись [QAP]"); }
inline QString runwayDeleteQuestion() { return QStringLiteral("Удалить ВПП?"); }
inline QString runwayDeleteFailed() { return QStringLiteral("Не удалось удалить запись [QAP]"); }
inline QString addRunwayCaption() { return QStringLiteral("Добавить полосу"); }
inline QString editRunwayCaption() { return QStringLiteral("Свойства полосы"); }

// The beacon catalogue.
inline QString rsbnCaption() { return QStringLiteral("Маяки РСБН"); }
inline QString rsbnOpenFailed() { return QStringLiteral("Ошибка открытия запроса! [RSBN]"); }

} // namespace kx::catalogues::texts
