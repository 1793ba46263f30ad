#pragma once

#include <QString>

// The messages of the exports for X-Plane and FlightGear, of their plan
// readers and of the comparison of an aircraft's RSBN list, exactly as the
// user sees them; the frame of each (the file named, the reading or writing
// failed) is that of the flight plans' messages (InterchangeTexts.h).
namespace kx::interchange::texts {

// A calculated route whose legs cannot be read (a database changed by hand).
inline QString legNotCalculated(int number, const QString &from, const QString &to)
{
    return QStringLiteral("Участок %1 (%2-%3) не рассчитан: нет длины или ЗПУ.").arg(number).arg(from, to);
}
inline QString pointWithoutPosition(int number, const QString &id)
{
    return QStringLiteral("У ППМ %1 (%2) нет координат.").arg(number).arg(id);
}
inline QString routeTooShort() { return QStringLiteral("В маршруте меньше двух ППМ."); }

// The dialog.
inline QString simDialogCaption() { return QStringLiteral("Экспорт для других симуляторов"); }
inline QString simMenuItem() { return QStringLiteral("Экспорт для других симуляторов…"); }
inline QString fmsFormatCaption() { return QStringLiteral("X-Plane: план FMS 1100 (*.fms), папка Output/FMS plans"); }
inline QString flightGearFormatCaption() { return QStringLiteral("FlightGear: маршрут (*.xml) для Route Manager"); }
inline QString pa3FormatCaption() { return QStringLiteral("X-Plane Ту-154Б2: план планшета ПА-3 (*.json)"); }
inline QString xplaneFolderCaption() { return QStringLiteral("Папка самолёта Ту-154Б2 в X-Plane"); }
inline QString flightGearFolderCaption() { return QStringLiteral("Папка маршрутов FlightGear"); }
inline QString fmsFilter() { return QStringLiteral("Планы X-Plane (*.fms);;Все файлы (*.*)"); }
inline QString flightGearFilter() { return QStringLiteral("Маршруты FlightGear (*.xml);;Все файлы (*.*)"); }
inline QString pa3Filter() { return QStringLiteral("Планы ПА-3 (*.json);;Все файлы (*.*)"); }

// Reading the plans of X-Plane and FlightGear: why a file is no such plan
// (after "Ошибка чтения файла ... !"), what is wrong with a waypoint, and
// how messages name a waypoint.
inline QString notFmsFile()
{
    return QStringLiteral("Это не план X-Plane: нет строк \"I\" или \"A\" и \"… Version\".");
}
inline QString unsupportedFmsVersion(const QString &version)
{
    return QStringLiteral("Версия плана X-Plane %1 не поддерживается (только 3 и 1100).").arg(version);
}
inline QString fmsBadWaypoint(const QString &line)
{
    return QStringLiteral("Неправильная строка ППМ \"%1\"").arg(line);
}
inline QString fmsCountMismatch(int promised, int found)
{
    return QStringLiteral("NUMENR обещает %1 ППМ, а в файле %2.").arg(promised).arg(found);
}
inline QString fmsNoCount() { return QStringLiteral("Нет строки NUMENR с числом ППМ"); }
inline QString fmsNoEntryNumbers() { return QStringLiteral("Нет двух чисел после строки версии"); }
inline QString fmsWaypoint(int line, const QString &ident)
{
    return QStringLiteral("%1 (строка %2)").arg(ident).arg(line);
}
inline QString notFlightGearRoute()
{
    return QStringLiteral("Это не маршрут FlightGear: нет <PropertyList> с <route>.");
}
inline QString unsupportedFlightGearVersion(const QString &version)
{
    return QStringLiteral("Версия маршрута FlightGear %1 не поддерживается (только 2).").arg(version);
}
inline QString flightGearWaypoint(int number, const QString &ident)
{
    return ident.isEmpty() ? QStringLiteral("wp %1").arg(number) : QStringLiteral("wp %1 (%2)").arg(number).arg(ident);
}
inline QString badIdent(const QString &text) { return QStringLiteral("Неверный идентификатор \"%1\"").arg(text); }
inline QString tooManyPoints(int limit) { return QStringLiteral("Больше %1 ППМ").arg(limit); }

// The comparison of an aircraft's rsbn.dat with the beacon catalogue.
inline QString rsbnNoStations() { return QStringLiteral("В файле нет ни одной станции РСБН."); }
inline QString rsbnFileTooLarge(qint64 megabytes)
{
    return QStringLiteral("файл больше %1 МБ, а список станций РСБН намного меньше").arg(megabytes);
}
inline QString rsbnDiffers(const QString &channel, const QString &station, const QString &distance, const QString &ours,
                           const QString &theirs)
{
    return QStringLiteral("Канал %1  %2: положение расходится на %3 км (в каталоге %4, в файле %5)")
        .arg(channel, station, distance, ours, theirs);
}
inline QString rsbnMissingInCatalogue(const QString &channel, const QString &station, const QString &position)
{
    return QStringLiteral("Канал %1  %2: нет в каталоге программы (в файле %3)").arg(channel, station, position);
}
inline QString rsbnMissingInFile(const QString &channel, const QString &station, const QString &position)
{
    return QStringLiteral("Канал %1  %2: нет в файле (в каталоге %3)").arg(channel, station, position);
}
inline QString rsbnOtherIdent(const QString &ident) { return QStringLiteral(" (в файле %1)").arg(ident); }
inline QString rsbnSummary(int inFile, int inCatalogue, int same, int differ, int notInCatalogue, int notInFile)
{
    return QStringLiteral("Станций в файле: %1, в каталоге: %2. Совпадают: %3, расходятся: %4, "
                          "нет в каталоге: %5, нет в файле: %6.")
        .arg(inFile)
        .arg(inCatalogue)
        .arg(same)
        .arg(differ)
        .arg(notInCatalogue)
        .arg(notInFile);
}
inline QString rsbnSkippedLines(int count, int firstLine)
{
    return QStringLiteral("Пропущено строк файла: %1 (первая: строка %2).").arg(count).arg(firstLine);
}
inline QString rsbnCatalogueFailed() { return QStringLiteral("Ошибка открытия запроса! [RSBN]"); }

} // namespace kx::interchange::texts
