#pragma once

#include <QString>

// The messages of the program's start and of the simulator folder chooser.
namespace kx::shell::texts {

inline QString databaseNotFound(const QString &path)
{
    return QStringLiteral("Файл базы данных %1 не найден!").arg(path);
}
inline QString connectionFailed()
{
    return QStringLiteral("Ошибка подключения к файлу базы данных!\r\nПроверьте файл базы данных на целостность");
}
// The path is the simulator folder followed by the table's relative path, so
// the message names both the folder tried and the file it lacks.
inline QString variationTableNotFound(const QString &path)
{
    return QStringLiteral("Файл - справочник магнитных склонений\r\n%1 не найден!").arg(path);
}
inline QString notAVariationTable(const QString &path)
{
    return QStringLiteral("Файл %1 не является справочником магнитных склонений MSFS2004!").arg(path);
}

// A second window of the program on a program folder that one already uses.
inline QString anotherCopyRunning(const QString &folder)
{
    return QStringLiteral("Kalyx уже запущен с этой папкой:\r\n%1\r\n\r\n"
                          "Обе копии будут работать с одной базой данных и одним файлом настроек kalyx.ini.\r\n"
                          "Продолжить запуск? (Нет — выйти)")
        .arg(folder);
}

// The simulator folder chooser.
inline QString chooserCaption() { return QStringLiteral("Укажите каталог с FS9"); }
inline QString chooserHint()
{
    return QStringLiteral("Выберите папку Microsoft Flight Simulator 2004 — ту, в которой лежит fs9.exe. "
                          "Путь можно вписать или вставить в поле под списком.");
}
inline QString chooserMenuItem() { return QStringLiteral("Папка FS9…"); }

} // namespace kx::shell::texts
