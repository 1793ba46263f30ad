#include "NumberEdit.h"

#include "base/NumberPicture.h"

#include <QLocale>
#include <QValidator>

#include <algorithm>
#include <cmath>

namespace kx::ui {
namespace {

QChar userDecimalPoint()
{
    return QLocale().decimalPoint().at(0);
}

bool isSeparator(QChar c)
{
    return c == u',' || c == u'.' || c == userDecimalPoint();
}

// Digits with at most one separator and at most `decimals` digits after it;
// either separator typed becomes the user's.
class NumberValidator : public QValidator
{
public:
    NumberValidator(int decimals, QObject *parent) : QValidator(parent), m_decimals(decimals) {}

    State validate(QString &input, int &) const override
    {
        int separators = 0;
        int fraction = 0;
        for (QChar &c : input) {
            if (c >= u'0' && c <= u'9') {
                if (separators > 0 && ++fraction > m_decimals)
                    return Invalid;
            } else if (isSeparator(c)) {
                if (m_decimals == 0 || ++separators > 1)
                    return Invalid;
                c = userDecimalPoint();
            } else {
                return Invalid;
            }
        }
        return Acceptable;
    }

private:
    int m_decimals;
};

// Adds one to a string of decimal digits.
QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}

QString defaultPicture(int decimals)
{
    return decimals > 0 ? QStringLiteral("0.") + QString(decimals, u'0') : QStringLiteral("0");
}

} // namespace

NumberEdit::NumberEdit(int decimals, double minimum, double maximum, QWidget *parent)
    : QLineEdit(parent), m_decimals(std::max(decimals, 0)), m_minimum(minimum), m_maximum(maximum),
      m_picture(defaultPicture(m_decimals))
{
    setValidator(new NumberValidator(m_decimals, this));
}

QVariant NumberEdit::valueOf(const QString &text) const
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    // The edit shows stored values, which may be negative; typing cannot make one.
    const bool negative = t.startsWith(u'-');
    QString whole;
    QString fraction;
    bool afterPoint = false;
    for (const QChar c : QStringView(t).mid(negative ? 1 : 0)) {
        if (c >= u'0' && c <= u'9')
            (afterPoint ? fraction : whole) += c;
        else if (isSeparator(c) && !afterPoint)
            afterPoint = true;
        else
            return {};
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return {};

    // Round the decimal text itself, so that a tie is a tie in decimal, not in
    // its binary neighbour.
    if (fraction.size() > m_decimals) {
        const QString rest = fraction.mid(m_decimals);
        fraction.truncate(m_decimals);
        QString kept = whole + fraction;
        if (kept.isEmpty())
            kept = QStringLiteral("0");
        bool up = rest.at(0) > u'5';
        if (rest.at(0) == u'5') {
            const bool beyondHalf = std::any_of(rest.begin() + 1, rest.end(), [](QChar c) { return c != u'0'; });
            up = beyondHalf || (kept.back().unicode() - u'0') % 2 == 1;
        }
        if (up)
            kept = incremented(kept);
        while (kept.size() < m_decimals + 1)
            kept.prepend(u'0');
        whole = kept.left(kept.size() - m_decimals);
        fraction = kept.right(m_decimals);
    }

    while (whole.size() > 1 && whole.front() == u'0')
        whole.remove(0, 1);
    double number = 0.0;
    if (whole.size() > 15) {
        number = negative ? m_minimum : m_maximum; // beyond any range an edit has
    } else {
        number = (QString(whole.isEmpty() ? QStringLiteral("0") : whole) + u'.' + fraction + u'0').toDouble();
        if (negative)
            number = -number;
    }
    number = std::clamp(number, m_minimum, m_maximum);
    if (m_decimals == 0)
        return QVariant::fromValue(static_cast<qlonglong>(std::llround(number)));
    return number;
}

QString NumberEdit::textOf(const QVariant &value) const
{
    return formatValue(m_picture, value, userDecimalPoint());
}

void NumberEdit::takeValue()
{
    const QVariant v = value();
    const QString shown = textOf(v);
    if (shown != text())
        setText(shown);
    emit valueTaken(v);
}

void NumberEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    takeValue();
}

} // namespace kx::ui
