#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace kx::reports {

// What a report is filled with: named variables and named datasets, each a
// list of rows (column name → value; Null stays Null). fields names each
// dataset's columns, so that a layout's names can be checked even when a
// dataset has no rows; a dataset without an entry there has the columns its
// rows have. The route sheet's (RouteSheetData.h) is one.
struct ReportInput
{
    QVariantMap variables;
    QMap<QString, QList<QVariantMap>> datasets;
    QMap<QString, QStringList> fields;
};

// The entry of a map by a dataset's name as a layout writes it: exactly, or
// else without regard to letter case; the map's end when there is none.
template<typename Map>
auto findDataset(const Map &map, const QString &name)
{
    auto it = map.constFind(name);
    if (it == map.constEnd())
        for (it = map.constBegin(); it != map.constEnd(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                break;
    return it;
}

} // namespace kx::reports
