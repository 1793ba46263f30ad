#pragma once

#include "base/BaseTexts.h"
#include "store/StoreTexts.h"

#include <QDir>
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
inline QString pointsWriteFailed(const QString &detail)
{
    return store::texts::queryFailed(QStringLiteral("Points")) + QStringLiteral("\r\n") + detail;
}
inline QString catalogueReadFailed(const QString &detail)
{
    return store::texts::queryFailed(QStringLiteral("Punkts")) + QStringLiteral("\r\n") + detail;
}

// What is wrong in a plan, and where: "Неверная широта "N91* 00.00'" в строке
// waypoint.3 файла plan.PLN".
inline QString planProblem(const QString &problem, const QString &where, const QString &fileName)
{
    return QStringLiteral("%1 в строке %2 файла %3").arg(problem, where, fileName);
}
inline QString controlCharacter(int code)
{
    return QStringLiteral("Недопустимый управляющий символ (код %1)").arg(code);
}
inline QString badPlanLatitude(const QString &field) { return QStringLiteral("Неверная широта \"%1\"").arg(field); }
inline QString badPlanLongitude(const QString &field) { return QStringLiteral("Неверная долгота \"%1\"").arg(field); }
inline QString badPlanAltitude(const QString &field) { return QStringLiteral("Неверная высота \"%1\"").arg(field); }
inline QString badPlanPosition(const QString &field)
{
    return QStringLiteral("Неверные координаты \"%1\"").arg(field);
}
inline QString planFileUnopened(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось открыть файл %1\r\n%2").arg(path, reason);
}
inline QString planFileUnread(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось прочитать файл %1\r\n%2").arg(path, reason);
}
inline QString planFileTooLarge(qint64 megabytes)
{
    return QStringLiteral("файл больше %1 МБ, а план полета намного меньше").arg(megabytes);
}

// An XML plan the import cannot take: the message of an unreadable plan, then why.
inline QString xmlPlanUnreadable(const QString &fileName, const QString &why)
{
    return fileReadFailed(fileName) + QStringLiteral("\r\n") + why;
}
inline QString xmlAtLine(qint64 line, const QString &what) { return QStringLiteral("строка %1: %2").arg(line).arg(what); }
inline QString xmlMalformed() { return QStringLiteral("это не правильно составленный XML"); }
inline QString xmlTruncated() { return QStringLiteral("файл обрывается, документ не закончен"); }
inline QString xmlDeclarations() { return QStringLiteral("объявления DTD и сущностей в плане не допускаются"); }
inline QString xmlTooDeep(int depth) { return QStringLiteral("элементы вложены глубже %1 уровней").arg(depth); }
inline QString xmlNoFlightPlan() { return QStringLiteral("нет элемента FlightPlan.FlightPlan"); }
inline QString xmlNoIdent() { return QStringLiteral("Нет идентификатора (ни ICAOIdent, ни атрибута id)"); }
// What is wrong in an XML plan, and where: "Неверные координаты "..." в
// ATCWaypoint 4 (HOC) файла plan.PLN", "... в DepartureName файла plan.PLN".
inline QString xmlPointProblem(const QString &problem, const QString &where, const QString &fileName)
{
    return QStringLiteral("%1 в %2 файла %3").arg(problem, where, fileName);
}
// "ATCWaypoint 4 (HOC)": how a message names a waypoint of an XML plan.
inline QString xmlWaypoint(int number, const QString &ident)
{
    return ident.isEmpty() ? QStringLiteral("ATCWaypoint %1").arg(number)
                           : QStringLiteral("ATCWaypoint %1 (%2)").arg(number).arg(ident);
}
// A waypoint without a position that the catalogue does not hold either.
inline QString waypointNotInCatalogue(const QString &where, const QString &fileName)
{
    return QStringLiteral("Точка %1 файла %2 не найдена в каталоге пунктов, а ее координат в файле нет.\r\n"
                          "Добавьте ее в каталог пунктов и повторите импорт.")
        .arg(where, fileName);
}

inline QString notCalculated() { return QStringLiteral("Маршрут не расчитан!"); }
inline QString exportDone() { return QStringLiteral("Экспорт произведен успешно"); }
inline QString replaceFileQuestion(const QString &path)
{
    return QStringLiteral("Файл ") + path + QStringLiteral(" уже существует.") + QStringLiteral("\r\n")
        + QStringLiteral("Заменить существующий файл?");
}
inline QString routeQueryFailed() { return store::texts::queryFailed(QStringLiteral("Routes")); }
inline QString routeListFailed(const QString &detail) { return routeQueryFailed() + QStringLiteral("\r\n") + detail; }
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
// A success message followed by the file that was written, so that the pilot
// knows where to look.
inline QString withWrittenFile(const QString &message, const QString &path)
{
    return message + QStringLiteral("\r\n") + QDir::toNativeSeparators(path);
}

// "Ошибка записи в файл!", then the file and why it could not be written.
inline QString exportWriteFailed(const QString &path, const QString &reason)
{
    return fileWriteFailed() + QStringLiteral("\r\n") + path + QStringLiteral("\r\n") + reason;
}
// For a file Windows refused inside a folder it protects.
inline QString protectedFolderAdvice()
{
    return QStringLiteral("Windows не разрешает программам без прав администратора записывать в папку Program Files. "
                          "Запустите Трасмер от имени администратора или установите FS9 вне папки Program Files.");
}
inline QString gaugeFileWithoutPpm() { return QStringLiteral("В файле нет строки, содержащей \"[ppm\"."); }
inline QString routeValuesUnusable()
{
    return QStringLiteral("Эшелон, тип маршрута или превышение точки маршрута не число.");
}

// What the cell chooser says of a cell, under the date of its file.
inline QString cellMissing() { return QStringLiteral("пусто"); }
inline QString cellWithoutRoute() { return QStringLiteral("без маршрута"); }
inline QString cellNotRecognised() { return QStringLiteral("неизвестный формат"); }
inline QString cellPoints(int points) { return QStringLiteral("ППМ: ") + QString::number(points); }

// Captions and filters of the dialogs.
inline QString planOpenFilters()
{
    return QStringLiteral("Планы полетов MSFS2004 (*.pln);;Планы X-Plane (*.fms);;Маршруты FlightGear (*.xml);;"
                          "Все файлы (*.*)");
}
inline QString planSaveFilter() { return QStringLiteral("Файлы планов полетов FS2004 (*.PLN)"); }

} // namespace kx::interchange::texts
