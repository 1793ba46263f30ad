#pragma once

#include "store/StoreTexts.h"

#include <QString>

// The route sheet's texts: its messages and the reasons added below them.
namespace kx::reports::texts {

// The layout cannot be loaded or the sheet cannot be prepared; the reason
// follows on the next line.
inline QString layoutFailed() { return QStringLiteral("Ошибка открытия формы отчета pp.fr3!"); }
// The route editor's point list cannot be opened for the sheet.
inline QString pointsQueryFailed() { return store::texts::queryFailed(QStringLiteral("QP")); }
inline QString noCurrentRoute() { return QStringLiteral("нет текущего маршрута"); }
inline QString routeWithoutPoints() { return QStringLiteral("в маршруте нет пунктов"); }

// A layout's fault at its line, quoted no longer than a message box takes.
inline QString atLine(int line, const QString &text)
{
    constexpr qsizetype kLongest = 300;
    return QStringLiteral("строка %1: %2")
        .arg(line)
        .arg(text.size() <= kLongest ? text : text.left(kLongest - 1) + u'…');
}
inline QString noDataset(const QString &name) { return QStringLiteral("нет набора данных %1").arg(name); }
inline QString subReportsTooDeep(int levels)
{
    return QStringLiteral("вложенные отчеты вложены глубже %1 уровней").arg(levels);
}
inline QString reportTooLarge(int pages, qint64 items, qint64 characters)
{
    return QStringLiteral("отчет слишком велик (больше %1 страниц, %2 объектов или %3 знаков текста)")
        .arg(pages)
        .arg(items)
        .arg(characters);
}

// The preview's note under its tools for a sheet made smaller to fit the
// paper's width.
inline QString sheetScaledDown(int percent)
{
    return QStringLiteral("Лист уменьшен до %1 %, чтобы уместиться по ширине страницы").arg(percent);
}

// A page device (printer, PDF) that refused the painter's request.
inline QString pageDeviceNotPaintable() { return QStringLiteral("на устройстве страниц нельзя рисовать"); }
inline QString newPageFailed() { return QStringLiteral("не удалось начать новую страницу"); }
inline QString pagesNotFinished() { return QStringLiteral("не удалось завершить страницы"); }
inline QString pageSizeFailed() { return QStringLiteral("не удалось задать размер страницы"); }

} // namespace kx::reports::texts
