#include "RouteStatus.h"

#include "EditorTexts.h"

#include <QRegularExpression>

namespace kx::editor {

QDateTime storedDateTime(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

QString dateTimeText(const QDateTime &moment, const QLocale &locale)
{
    QString text = locale.toString(moment.date(), QLocale::ShortFormat);
    if (moment.time() == QTime(0, 0))
        return text;
    // Qt's long time format names the time zone ("t"); the program's does not.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    format.remove(QRegularExpression(QStringLiteral("^\\s*t+\\s*")));
    return text + u' ' + locale.toString(moment.time(), format);
}

QString routeStatusText(const QVariant &dateTime, const QLocale &locale)
{
    if (dateTime.isNull())
        return texts::notCalculated();
    const QDateTime moment = storedDateTime(dateTime);
    return texts::calculatedPrefix() + (moment.isValid() ? dateTimeText(moment, locale) : dateTime.toString());
}

} // namespace kx::editor
