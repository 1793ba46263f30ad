#include "NumberFormat.h"

#include "LayoutTexts.h"

#include "base/NumberPicture.h"
#include "base/Numbers.h"

#include <cmath>

namespace kx::reports {
namespace {

constexpr int kMaxDecimals = 15;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString withComma(QString text)
{
    return text.replace(u'.', u',');
}

} // namespace

std::optional<NumberFormat> NumberFormat::parse(const QString &pattern, QString *error)
{
    NumberFormat f;
    f.m_pattern = pattern;
    const qsizetype n = pattern.size();

    if (!pattern.contains(u'%')) {
        // A picture without a digit placeholder would print the same text for
        // every number: certainly a mistake in the layout.
        if (!pattern.contains(u'0') && !pattern.contains(u'#')) {
            setError(error, texts::formatWithoutDigits(pattern));
            return std::nullopt;
        }
        f.m_kind = Kind::Picture;
        return f;
    }

    f.m_kind = Kind::Printf;
    bool seen = false;
    QString *literal = &f.m_prefix;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%') {
            *literal += c;
            continue;
        }
        if (i + 1 < n && pattern.at(i + 1) == u'%') {
            *literal += u'%';
            ++i;
            continue;
        }
        if (seen) {
            setError(error, texts::formatWithTwoConversions(pattern));
            return std::nullopt;
        }
        seen = true;
        ++i;
        if (i < n && pattern.at(i) == u'-') {
            f.m_leftJustify = true;
            ++i;
        }
        const auto isDigit = [&](qsizetype k) { return k < n && pattern.at(k) >= u'0' && pattern.at(k) <= u'9'; };
        while (isDigit(i))
            f.m_width = qMin(f.m_width * 10 + pattern.at(i++).digitValue(), 999);
        if (i < n && pattern.at(i) == u'.') {
            ++i;
            f.m_precision = 0;
            while (isDigit(i))
                f.m_precision = qMin(f.m_precision * 10 + pattern.at(i++).digitValue(), kMaxDecimals);
        }
        const QChar conv = i < n ? pattern.at(i) : QChar();
        if (conv.isNull() || !QStringLiteral("fFgGeEdD").contains(conv)) {
            setError(error, texts::unknownConversion(pattern));
            return std::nullopt;
        }
        f.m_conversion = conv.toLower().unicode();
        literal = &f.m_suffix;
    }
    if (!seen) {
        setError(error, texts::formatWithoutConversion(pattern));
        return std::nullopt;
    }
    return f;
}

QString NumberFormat::format(double value) const
{
    if (m_kind == Kind::Picture)
        return formatFloat(m_pattern, value, u',');

    QString text;
    switch (m_conversion) {
    case u'f': {
        // The picture "0.00" rounds exactly as the grids do.
        const int decimals = m_precision < 0 ? 2 : m_precision;
        text = formatFloat(decimals > 0 ? QStringLiteral("0.") + QString(decimals, u'0') : QStringLiteral("0"), value, u',');
        break;
    }
    case u'd':
        text = formatFloat(u"0", value, u',');
        break;
    case u'e':
        text = withComma(QString::number(value, 'e', m_precision < 0 ? 6 : m_precision));
        break;
    default: // g
        text = m_precision < 0 ? generalNumberComma(value) : withComma(QString::number(value, 'g', qMax(1, m_precision)));
        break;
    }
    if (text.size() < m_width) {
        const QString pad(m_width - text.size(), u' ');
        text = m_leftJustify ? text + pad : pad + text;
    }
    return m_prefix + text + m_suffix;
}

QString formatNumber(double value, const QString &pattern)
{
    const std::optional<NumberFormat> f = NumberFormat::parse(pattern);
    return f ? f->format(value) : plainNumber(value);
}

QString plainNumber(double value)
{
    return generalNumberComma(value);
}

} // namespace kx::reports
