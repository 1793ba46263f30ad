#include "NumberPicture.h"

#include "Numbers.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace kx {
namespace {

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

QString formatSection(QStringView section, double magnitude, QChar decimalPoint)
{
    if (std::none_of(section.begin(), section.end(), isPlaceholder))
        return section.toString();
    const qsizetype point = section.indexOf(u'.');
    const QStringView intPart = point < 0 ? section : section.left(point);
    const QStringView fracPart = point < 0 ? QStringView() : section.mid(point + 1);

    int minFrac = 0;
    int maxFrac = 0;
    QString suffix; // literals after the decimal placeholders
    for (const QChar c : fracPart) {
        if (c == u'0')
            minFrac = ++maxFrac;
        else if (c == u'#')
            ++maxFrac;
        else
            suffix += c;
    }
    // Exact decimal ties of the binary value round away from zero (2.25 -> 2.3),
    // as number pictures always have.
    const QString fixed = QString::number(magnitude, 'f', maxFrac);
    const qsizetype fixedPoint = fixed.indexOf(u'.');
    QString intDigits = fixedPoint < 0 ? fixed : fixed.left(fixedPoint);
    QString fracDigits = fixedPoint < 0 ? QString() : fixed.mid(fixedPoint + 1);
    while (fracDigits.size() > minFrac && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == u"0" && !intPart.contains(u'0'))
        intDigits.clear();

    // Lay the integer digits into the picture from the right.
    QString out;
    qsizetype digit = intDigits.size();
    for (qsizetype i = intPart.size() - 1; i >= 0; --i) {
        const QChar c = intPart.at(i);
        if (isPlaceholder(c)) {
            if (digit > 0)
                out.prepend(intDigits.at(--digit));
            else if (c == u'0')
                out.prepend(u'0');
        } else {
            // A literal stands only between digits that are written.
            const bool zeroFurtherLeft = intPart.left(i).contains(u'0');
            if (digit > 0 || zeroFurtherLeft)
                out.prepend(c);
        }
    }
    out.prepend(intDigits.left(digit));
    if (!fracDigits.isEmpty())
        out += decimalPoint + fracDigits;
    return out + suffix;
}

} // namespace

QString formatFloat(QStringView picture, double value, QChar decimalPoint)
{
    const QList<QStringView> sections = picture.split(u';');
    const QStringView positive = sections.value(0);
    const QStringView negative = sections.size() > 1 ? sections.at(1) : QStringView();
    const QStringView zero = sections.size() > 2 ? sections.at(2) : QStringView();

    QStringView section = positive;
    bool sign = false;
    if (value < 0) {
        if (!negative.isEmpty())
            section = negative;
        else
            sign = true;
    } else if (value == 0 && !zero.isEmpty()) {
        section = zero;
    }
    QString text;
    if (section.isEmpty()) {
        text = generalNumber(std::fabs(value));
        text.replace(u'.', decimalPoint);
    } else {
        text = formatSection(section, std::fabs(value), decimalPoint);
    }
    // No "-0" for a negative value that rounds to nothing.
    if (sign && std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        text.prepend(u'-');
    return text;
}

QString formatValue(QStringView picture, const QVariant &value, QChar decimalPoint)
{
    if (value.isNull() || !value.isValid())
        return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? formatFloat(picture, number, decimalPoint) : QString();
}

} // namespace kx
