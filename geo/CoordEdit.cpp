#include "CoordEdit.h"

#include "CoordText.h"

#include "base/Prompter.h"

namespace kx::geo {

namespace {

// A digit group read as a whole number; -1 unless it is exactly `width` digits.
int readGroup(const QString &group, int width)
{
    if (group.size() != width)
        return -1;
    int value = 0;
    for (const QChar c : group) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

EditCheck checkEdit(const QString &fieldText, QChar positive, QChar negative, int degreeDigits, int limit)
{
    const QString text = BlanksToZeros(fieldText);
    QChar letter = text.isEmpty() ? QChar() : text.front().toUpper();
    const bool letterValid = letter == positive || letter == negative;
    if (!letterValid)
        letter = positive;

    // Groups are taken by position; the separators between them are not read.
    const QString rest = text.mid(1);
    const QString degreesText = rest.mid(0, degreeDigits);
    const QString minutesText = rest.mid(degreeDigits + 1, 2);
    const QString hundredthsText = rest.mid(degreeDigits + 4, 2);

    const int degrees = readGroup(degreesText, degreeDigits);
    const int minutes = readGroup(minutesText, 2);
    const int hundredths = readGroup(hundredthsText, 2);

    bool valid = letterValid && degrees >= 0 && minutes >= 0 && hundredths >= 0;
    if (valid) {
        if (degrees > limit || minutes > 60 || (minutes == 60 && hundredths > 0))
            valid = false;
        else if (degrees == limit && (minutes > 0 || hundredths > 0))
            valid = false;
    }
    return {letter + degreesText + u'*' + minutesText + u'.' + hundredthsText, valid};
}

bool report(const EditCheck &check, const QString &message, Prompter &prompter, QObject *owner)
{
    if (!check.valid)
        prompter.error(owner, message);
    return check.valid;
}

} // namespace

EditCheck CheckLatEdit(const QString &fieldText)
{
    return checkEdit(fieldText, u'N', u'S', 2, 90);
}

EditCheck CheckLonEdit(const QString &fieldText)
{
    return checkEdit(fieldText, u'E', u'W', 3, 180);
}

QString latEditErrorText()
{
    return QStringLiteral("Ошибка ввода широты!");
}

QString lonEditErrorText()
{
    return QStringLiteral("Ошибка ввода долготы!");
}

bool reportLatEdit(const EditCheck &check, Prompter &prompter, QObject *owner)
{
    return report(check, latEditErrorText(), prompter, owner);
}

bool reportLonEdit(const EditCheck &check, Prompter &prompter, QObject *owner)
{
    return report(check, lonEditErrorText(), prompter, owner);
}

} // namespace kx::geo
