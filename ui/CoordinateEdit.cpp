#include "CoordinateEdit.h"

#include <QKeyEvent>
#include <QValidator>

namespace kx::ui {
namespace {

constexpr QChar kBlank = u'_';

// Keeps the first position to the axis's two letters; the mask itself looks
// after the digits.
class HemisphereValidator : public QValidator
{
public:
    HemisphereValidator(QChar positive, QChar negative, QObject *parent)
        : QValidator(parent), m_positive(positive), m_negative(negative)
    {
    }

    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Intermediate;
        const QChar letter = input.front().toUpper();
        return letter == m_positive || letter == m_negative ? Acceptable : Invalid;
    }

private:
    QChar m_positive;
    QChar m_negative;
};

} // namespace

CoordinateEdit::CoordinateEdit(Axis axis, QWidget *parent) : QLineEdit(parent), m_axis(axis)
{
    // ">" capitals, "A" the letter, "0" a digit that may stay unfilled; "*"
    // and "." are fixed. Blanks show as "_".
    setInputMask(axis == Axis::Latitude ? QStringLiteral(">A00*00.00;_") : QStringLiteral(">A000*00.00;_"));
    setValidator(new HemisphereValidator(positiveLetter(), negativeLetter(), this));
    clearDigits();
    setToolTip(axis == Axis::Latitude ? QStringLiteral("N или S; «-» меняет полушарие")
                                      : QStringLiteral("E или W; «-» меняет полушарие"));
}

QString CoordinateEdit::fieldText() const
{
    QString text = displayText();
    text.replace(kBlank, u' ');
    return text;
}

void CoordinateEdit::setFieldText(const QString &text)
{
    QString masked = text;
    for (qsizetype i = 1; i < masked.size(); ++i)
        if (masked.at(i) == u' ')
            masked[i] = kBlank;
    if (masked.isEmpty() || (masked.front().toUpper() != positiveLetter() && masked.front().toUpper() != negativeLetter()))
        masked.prepend(positiveLetter()); // keeps the letter position filled
    setText(masked);
}

void CoordinateEdit::clearDigits()
{
    setText(QString(positiveLetter()));
}

QChar CoordinateEdit::hemisphere() const
{
    const QString text = displayText();
    return text.isEmpty() ? positiveLetter() : text.front();
}

void CoordinateEdit::setHemisphere(QChar letter)
{
    letter = letter.toUpper();
    if ((letter != positiveLetter() && letter != negativeLetter()) || letter == hemisphere())
        return;
    const int cursor = cursorPosition();
    QString text = fieldText();
    text[0] = letter;
    setFieldText(text);
    setCursorPosition(cursor);
}

void CoordinateEdit::toggleHemisphere()
{
    setHemisphere(hemisphere() == positiveLetter() ? negativeLetter() : positiveLetter());
}

void CoordinateEdit::keyPressEvent(QKeyEvent *event)
{
    if (!isReadOnly() && event->modifiers().testFlag(Qt::ControlModifier) == false) {
        const QString typed = event->text().toUpper();
        if (typed.size() == 1) {
            const QChar c = typed.front();
            const bool letter = c == positiveLetter() || c == negativeLetter();
            if (letter || c == u'-') {
                const QChar before = hemisphere();
                if (letter)
                    setHemisphere(c);
                else
                    toggleHemisphere();
                if (hemisphere() != before) {
                    setModified(true);
                    emit textEdited(text());
                }
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace kx::ui
