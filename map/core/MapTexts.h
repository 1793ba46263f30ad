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
// The scale bar's length, its number already written.
inline QString scaleBar(const QString &km) { return km + QStringLiteral(" км"); }
// The north mark's letter, "С" for север.
inline QString northLetter() { return QStringLiteral("С"); }
// What the route's name is followed by in the file names proposed for the map.
inline QString pdfSuffix() { return QStringLiteral(" - карта.pdf"); }
inline QString pngSuffix() { return QStringLiteral(" - карта.png"); }
// The status line under the cursor: its position, then its distance and true
// course from the current point (decimal comma, one decimal).
inline QString cursorFromPoint(const QString &position, const QString &point, const QString &distance,
                               const QString &course)
{
    return position + QStringLiteral("    от ППМ ") + point + QStringLiteral(": S = ") + distance
           + QStringLiteral(" км, ИПУ = ") + course + u'°';
}

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
