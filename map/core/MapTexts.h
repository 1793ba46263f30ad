#pragma once

#include <QString>

// The texts the route map shows to a person.
namespace kx::map::texts {

inline QString windowTitle() { return QStringLiteral("Карта маршрута"); }
inline QString dataMissing(const QString &path)
{
    return QStringLiteral("Файл картографической основы ") + path
        + QStringLiteral(" не найден!\r\nКарта показана без суши, берегов и границ.");
}
inline QString dataDamaged(const QString &path)
{
    return QStringLiteral("Файл картографической основы ") + path
        + QStringLiteral(" поврежден!\r\nКарта показана без суши, берегов и границ.");
}
inline QString noBaseNote() { return QStringLiteral("Без картографической основы"); }
inline QString noPointsNote() { return QStringLiteral("В маршруте нет ни одного ППМ"); }
inline QString unlocatedNote(const QStringList &points)
{
    return QStringLiteral("Без координат: ") + points.join(QStringLiteral(", "));
}
inline QString notCalculated() { return QStringLiteral("маршрут не расчитан"); }

// Editing the route on the map.
inline QString insertAfter(int number)
{
    return QStringLiteral("Вставить после ППМ ") + QString::number(number);
}
inline QString deletePoint() { return QStringLiteral("Удалить ППМ"); }
inline QString newPointHere() { return QStringLiteral("Новый пункт здесь"); }
inline QString newPointCaption() { return QStringLiteral("Новый пункт"); }
inline QString newPointLabel(const QString &lat, const QString &lon)
{
    return QStringLiteral("Пересечение в ") + lat + u' ' + lon + QStringLiteral(".\nПункт:");
}
inline QString identMissing() { return QStringLiteral("Не заполнено поле [Пункт]!"); }

} // namespace kx::map::texts
