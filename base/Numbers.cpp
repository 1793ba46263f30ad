#include "Numbers.h"

#include <cfenv>
#include <cmath>

namespace kx {

QString generalNumber(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
}

QString withDecimalComma(QString text)
{
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0)
        text[point] = u',';
    return text;
}

QString generalNumberComma(double value) { return withDecimalComma(generalNumber(value)); }

QString fixedNumberComma(double value, int decimals) { return withDecimalComma(QString::number(value, 'f', decimals)); }

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

double roundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which the program never changes
    // from the default round-to-nearest-even.
    return std::nearbyint(value);
}

} // namespace kx
