#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace kx::editor {

// Routes.DateTime as stored (local date and time, "yyyy-MM-ddTHH:mm:ss");
// invalid for Null or a text that is not a date and time.
QDateTime storedDateTime(const QVariant &value);

// A moment as the user's regional settings write it: the short date, a blank
// and the long time (without a time zone); the time is left out at exactly
// midnight.
QString dateTimeText(const QDateTime &moment, const QLocale &locale = QLocale());

// The editor's status text for a route's DateTime: texts::notCalculated for
// Null, otherwise texts::calculatedPrefix and the date and time. A stored text
// that cannot be read as a date follows the prefix as it stands.
QString routeStatusText(const QVariant &dateTime, const QLocale &locale = QLocale());

} // namespace kx::editor
