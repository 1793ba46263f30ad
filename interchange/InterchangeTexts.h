#pragma once

#include "base/BaseTexts.h"
#include "store/StoreTexts.h"

#include <QString>

// The messages of the flight plan import and of the three exports, exactly as
// the user sees them.
namespace kx::interchange::texts {

// The line feed comes before the carriage return here, as the program has
// always written this message.
inline QString routesWriteFailed()
{
    return QStringLiteral("Ошибка записи в таблицу [Routes]!\n\rВозможно, файл имеет неподдерживаемый формат");
}
inline QString fileReadFailed(const QString &fileName)
{
    return QStringLiteral("Ошибка чтения файла ") + fileName + QStringLiteral(" !");
}
inline QString wrongFileFormat(const QString &fileName)
{
    return QStringLiteral("Неправильный формат файла ") + fileName + QStringLiteral(" !");
}
inline QString punktsWriteFailed() { return store::texts::tableWriteFailed(QStringLiteral("Punkts")); }

inline QString notCalculated() { return QStringLiteral("Маршрут не расчитан!"); }
inline QString exportDone() { return QStringLiteral("Экспорт произведен успешно"); }
inline QString replaceFileQuestion(const QString &path)
{
    return QStringLiteral("Файл ") + path + QStringLiteral(" уже существует.") + QStringLiteral("\r\n")
        + QStringLiteral("Заменить существующий файл?");
}
inline QString routeQueryFailed() { return store::texts::queryFailed(QStringLiteral("Routes")); }
using kx::texts::fileWriteFailed;

inline QString folderNotFound(const QString &folder)
{
    return QStringLiteral("Не найдена папка [") + folder + QStringLiteral("] !") + QStringLiteral("\r\n")
        + QStringLiteral("Экспорт невозможен");
}
inline QString fileNotFound(const QString &path) { return QStringLiteral("Не найден файл ") + path + QStringLiteral("!"); }
// "выполения" is the program's long-standing spelling of this one message.
inline QString pointsQueryFailed() { return QStringLiteral("Ошибка выполения запроса [QPrint]"); }
inline QString assignmentFailed() { return QStringLiteral("Ошибка присвоения!"); }
inline QString cellExportDone(int cell)
{
    return QStringLiteral("Экспорт в ячейку ") + QString::number(cell) + QStringLiteral(" произведен успешно");
}

// What the cell chooser says of a cell, under the date of its file.
inline QString cellMissing() { return QStringLiteral("пусто"); }
inline QString cellWithoutRoute() { return QStringLiteral("без маршрута"); }
inline QString cellNotRecognised() { return QStringLiteral("неизвестный формат"); }
inline QString cellPoints(int points) { return QStringLiteral("ППМ: ") + QString::number(points); }

// Captions and filters of the dialogs.
inline QString planOpenFilters()
{
    return QStringLiteral("Планы полетов MSFS2004 (*.pln);;Все файлы (*.*)");
}
inline QString planSaveFilter() { return QStringLiteral("Файлы планов полетов FS2004 (*.PLN)"); }

} // namespace kx::interchange::texts
