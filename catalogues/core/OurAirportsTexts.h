#pragma once

#include <QString>

// The texts of the import from OurAirports: its menu entry, its progress, its
// summary and its messages. Every message ends by saying that the catalogue
// was left as it was, since that is what a person needs to know after it.
namespace kx::catalogues::texts {

inline QString importMenuEntry() { return QStringLiteral("Импорт из OurAirports..."); }
inline QString importCaption() { return QStringLiteral("Импорт из OurAirports"); }
inline QString importFolderCaption() { return QStringLiteral("Папка с файлами OurAirports"); }
inline QString readingStage() { return QStringLiteral("Чтение файлов OurAirports..."); }
inline QString writingStage() { return QStringLiteral("Запись в каталог пунктов..."); }
inline QString cancellingStage() { return QStringLiteral("Отмена импорта..."); }
inline QString catalogueUnchanged() { return QStringLiteral("Каталог пунктов не изменен."); }

// A fault in a file, with where it is: "Файл airports.csv, строка 12: ...".
inline QString fileLineProblem(const QString &file, int line, const QString &what)
{
    return QStringLiteral("Файл %1, строка %2: %3").arg(file).arg(line).arg(what);
}
inline QString fileProblem(const QString &file, const QString &what)
{
    return QStringLiteral("Файл %1: %2").arg(file, what);
}

// Faults of the file's form.
inline QString filesMissing(const QString &folder, const QString &names)
{
    return QStringLiteral("В папке %1 нет файлов OurAirports: %2").arg(folder, names);
}
inline QString fileUnreadable(const QString &reason) { return QStringLiteral("не удалось прочитать (%1)").arg(reason); }
inline QString isFolder() { return QStringLiteral("это папка"); }
inline QString notRegularFile() { return QStringLiteral("это не обычный файл"); }
inline QString fileTooLarge(qint64 megabytes, qint64 limit)
{
    return QStringLiteral("слишком велик (%1 МБ, файлы OurAirports меньше %2 МБ)").arg(megabytes).arg(limit);
}
inline QString noHeader() { return QStringLiteral("нет строки заголовка"); }
inline QString columnMissing(const QString &column)
{
    return QStringLiteral("в строке заголовка нет столбца «%1»").arg(column);
}
inline QString recordTooLong(int kilobytes) { return QStringLiteral("запись длиннее %1 КБ").arg(kilobytes); }
inline QString notText() { return QStringLiteral("не текст: двоичные данные"); }
inline QString notUtf8() { return QStringLiteral("не текст в кодировке UTF-8"); }
inline QString quoteLeftOpen() { return QStringLiteral("кавычка не закрыта до конца файла"); }
inline QString textAfterQuote() { return QStringLiteral("после закрывающей кавычки нет запятой"); }
inline QString quoteInsideField() { return QStringLiteral("кавычка внутри поля без кавычек"); }
inline QString fieldCount(int fields, int headerFields)
{
    return QStringLiteral("полей %1, а в строке заголовка %2").arg(fields).arg(headerFields);
}

// Faults of a value: "широта не число: «abc»".
inline QString badValue(const QString &what, const QString &value)
{
    return QStringLiteral("%1: «%2»").arg(what, value);
}
inline QString badLatitude() { return QStringLiteral("неправильная широта"); }
inline QString badLongitude() { return QStringLiteral("неправильная долгота"); }
inline QString badElevation() { return QStringLiteral("неправильное превышение"); }
inline QString badFrequency() { return QStringLiteral("неправильная частота"); }
inline QString badHeading() { return QStringLiteral("неправильный истинный курс"); }
inline QString badClosed() { return QStringLiteral("признак закрытой ВПП не 0 и не 1"); }
inline QString badIdent() { return QStringLiteral("неправильный идентификатор (нужно от 1 до 10 знаков)"); }
inline QString badRowId() { return QStringLiteral("номер строки (id) не число"); }
inline QString sameIdentity(int line)
{
    return QStringLiteral("аэропорт этого кода уже взят из строки %1").arg(line);
}
inline QString badCountry(const QString &entry)
{
    return QStringLiteral("Код страны не из двух латинских букв: «%1»").arg(entry);
}
inline QString badAirportType(const QString &entry, const QString &known)
{
    return QStringLiteral("Неизвестный тип аэропорта: «%1» (известны %2)").arg(entry, known);
}
inline QString badRunway() { return QStringLiteral("неправильное обозначение ВПП (нужно до 10 знаков)"); }

// A row or value a read left out: "airports.csv, строка 12: неправильная
// широта: «abc»; строка пропущена".
inline QString issueLine(const QString &file, int line, const QString &what)
{
    return QStringLiteral("%1, строка %2: %3").arg(file).arg(line).arg(what);
}
inline QString rowSkipped(const QString &why) { return why + QStringLiteral("; строка пропущена"); }
inline QString valueDropped(const QString &why) { return why + QStringLiteral("; значение не взято"); }
inline QString leftOutHead() { return QStringLiteral("Не взято из файлов:"); }
inline QString leftOutLine(const QString &file, int rows, int values)
{
    return QStringLiteral("%1: пропущено строк %2, не взято значений %3").arg(file).arg(rows).arg(values);
}
inline QString firstIssuesHead(int shown, int total)
{
    return shown < total ? QStringLiteral("Первые %1 из %2:").arg(shown).arg(total) : QStringLiteral("Все случаи:");
}

// The import's own outcome.
inline QString importCancelled()
{
    return QStringLiteral("Импорт из OurAirports отменен.\r\n") + catalogueUnchanged();
}
inline QString importWriteFailed(const QString &table, const QString &detail)
{
    return QStringLiteral("Ошибка записи в таблицу [%1]!\r\n%2\r\n").arg(table, detail) + catalogueUnchanged();
}
inline QString importReadFailed(const QString &problem) { return problem + QStringLiteral("\r\n") + catalogueUnchanged(); }
inline QString countsLine(const QString &what, int added, int updated, int unchanged)
{
    return QStringLiteral("%1: новых %2, обновлено %3, без изменений %4").arg(what).arg(added).arg(updated).arg(unchanged);
}
inline QString importDoneHead() { return QStringLiteral("Импорт из OurAirports выполнен."); }
inline QString airportsWord() { return QStringLiteral("Аэропорты"); }
inline QString runwaysWord() { return QStringLiteral("ВПП"); }
inline QString navaidsWord() { return QStringLiteral("Радиомаяки VOR и NDB"); }
inline QString routesMarked(int routes)
{
    return QStringLiteral("Аэропорты сдвинуты более чем на 1 км, маршрутов через них отмечено как не расчитанные: %1")
        .arg(routes);
}

} // namespace kx::catalogues::texts
