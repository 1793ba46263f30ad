#include "PictureSpinBox.h"

#include "base/NumberPicture.h"

#include <QLocale>

#include <algorithm>

namespace kx::ui {
namespace {

// The digits of a typed text, the picture's blanks and separators left out.
QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits += c;
    return digits;
}

bool onlyDigitsAndBlanks(const QString &text)
{
    for (const QChar c : text)
        if (!c.isDigit() && !c.isSpace())
            return false;
    return true;
}

} // namespace

PictureSpinBox::PictureSpinBox(QString picture, QWidget *parent) : QSpinBox(parent), m_picture(std::move(picture)) {}

QString PictureSpinBox::textFromValue(int value) const
{
    return formatFloat(m_picture, value, QLocale().decimalPoint().at(0));
}

int PictureSpinBox::valueFromText(const QString &text) const
{
    const QString digits = digitsOf(text);
    if (digits.isEmpty())
        return minimum() > 0 ? minimum() : 0;
    // Many digits cannot overflow: anything beyond the range is its end.
    if (digits.size() > 10)
        return maximum();
    const qlonglong value = digits.toLongLong();
    return static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum()));
}

QValidator::State PictureSpinBox::validate(QString &input, int &) const
{
    return onlyDigitsAndBlanks(input) ? QValidator::Acceptable : QValidator::Invalid;
}

void PictureSpinBox::fixup(QString &input) const
{
    input = textFromValue(valueFromText(input));
}

} // namespace kx::ui
