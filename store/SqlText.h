#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace kx::store {

// An SQL identifier in double quotes (table and column names are fixed texts of
// the program; values are always bound, never spliced).
inline QString quoteIdentifier(const QString &identifier)
{
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A value as it is bound: date-times as local time text, the form SQLite's own
// date functions read.
inline QVariant forBinding(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime && !v.isNull())
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    return v;
}

} // namespace kx::store
