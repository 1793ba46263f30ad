#pragma once

#include <QString>

namespace kx::store {

// An SQL identifier in double quotes (table and column names are fixed texts of
// the program; values are always bound, never spliced).
inline QString quoteIdentifier(const QString &identifier)
{
    return u'"' + QString(identifier).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace kx::store
