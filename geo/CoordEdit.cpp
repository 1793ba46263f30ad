#include "CoordEdit.h"

#include "CoordText.h"
#include "DecimalCoord.h"
#include "GeoTexts.h"

#include "base/Prompter.h"

#include <QRegularExpression>

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

std::optional<QString> pasted(const QString &text, QChar positive, QChar negative, int degreeDigits,
                              QChar currentLetter)
{
    // Letter before or after (not both), degrees, a separator of "*", a degree
    // sign or blanks, minutes with an optional fraction, an optional minute sign.
    static const QRegularExpression form(QStringLiteral(
        "^\\s*([A-Za-z])?\\s*([0-9]{1,3})\\s*(?:[*\\x{00B0}\\x{00BA}]\\s*|\\s+)([0-9]{1,2})(?:[.,]([0-9]*))?\\s*['\\x{2032}]?\\s*([A-Za-z])?\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString before = match.captured(1).toUpper();
    const QString after = match.captured(5).toUpper();
    if (!before.isEmpty() && !after.isEmpty())
        return std::nullopt;
    QChar letter = currentLetter;
    const QString named = before.isEmpty() ? after : before;
    if (!named.isEmpty()) {
        letter = named.front();
        if (letter != positive && letter != negative)
            return std::nullopt;
    }
    QString degrees = match.captured(2);
    while (degrees.size() > degreeDigits && degrees.front() == u'0')
        degrees.remove(0, 1);
    if (degrees.size() > degreeDigits)
        return std::nullopt;
    const QString fraction = (match.captured(4) + QStringLiteral("00")).left(2);
    return letter + degrees.rightJustified(degreeDigits, u'0') + u'*' + match.captured(3).rightJustified(2, u'0')
           + u'.' + fraction;
}

// Signed decimal degrees, or with a hemisphere letter instead of the sign.
std::optional<PastedPosition> pastedDecimal(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([NS])?\\s*([+-]?[0-9]{1,3}(?:[.,][0-9]+)?)\\s*\\x{00B0}?\\s*([NS])?"
                       "\\s*(?:[,;]\\s*|\\s+)"
                       "([EW])?\\s*([+-]?[0-9]{1,3}(?:[.,][0-9]+)?)\\s*\\x{00B0}?\\s*([EW])?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    // One number each, with its letter before or after it, or none.
    const auto signedDegrees = [&](int before, int number, int after, QChar negative) -> std::optional<QString> {
        const QString letters = (match.captured(before) + match.captured(after)).toUpper();
        QString degrees = match.captured(number);
        degrees.replace(u',', u'.');
        if (letters.size() > 1 || (!letters.isEmpty() && (degrees.front() == u'-' || degrees.front() == u'+')))
            return std::nullopt;
        if (degrees.front() == u'+')
            degrees.remove(0, 1);
        if (letters == QString(negative))
            degrees.prepend(u'-');
        return degrees;
    };
    const auto lat = signedDegrees(1, 2, 3, u'S');
    const auto lon = signedDegrees(4, 5, 6, u'W');
    if (!lat || !lon)
        return std::nullopt;
    const auto hasFraction = [&](int number) {
        return match.captured(number).contains(u'.') || match.captured(number).contains(u',');
    };
    const bool fractions = hasFraction(2) && hasFraction(5);
    const bool letters =
        !(match.captured(1) + match.captured(3)).isEmpty() && !(match.captured(4) + match.captured(6)).isEmpty();
    if (!fractions && !letters)
        return std::nullopt;
    const std::optional<QString> latText = latitudeFromDecimal(*lat);
    const std::optional<QString> lonText = longitudeFromDecimal(*lon);
    if (!latText || !lonText)
        return std::nullopt;
    return PastedPosition{*latText, *lonText};
}

// Two coordinates in degrees and minutes: the text is cut at each blank,
// comma or semicolon in turn until both halves read.
std::optional<PastedPosition> pastedDegreesMinutes(const QString &text, QChar latLetter, QChar lonLetter)
{
    static const QRegularExpression separators(QStringLiteral("^[\\s,;]+|[\\s,;]+$"));
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!c.isSpace() && c != u',' && c != u';')
            continue;
        QString left = text.left(i);
        QString right = text.mid(i + 1);
        left.remove(separators);
        right.remove(separators);
        const std::optional<QString> lat = PastedLat(left, latLetter);
        if (!lat)
            continue;
        if (const std::optional<QString> lon = PastedLon(right, lonLetter))
            return PastedPosition{*lat, *lon};
    }
    return std::nullopt;
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

std::optional<QString> PastedLat(const QString &text, QChar currentLetter)
{
    return pasted(text, u'N', u'S', 2, currentLetter);
}

std::optional<QString> PastedLon(const QString &text, QChar currentLetter)
{
    return pasted(text, u'E', u'W', 3, currentLetter);
}

std::optional<PastedPosition> PastedLatLon(const QString &text, QChar latLetter, QChar lonLetter)
{
    if (const std::optional<PastedPosition> decimal = pastedDecimal(text))
        return decimal;
    return pastedDegreesMinutes(text, latLetter, lonLetter);
}

bool reportLatEdit(const EditCheck &check, Prompter &prompter, QObject *owner)
{
    return report(check, texts::latEditError(), prompter, owner);
}

bool reportLonEdit(const EditCheck &check, Prompter &prompter, QObject *owner)
{
    return report(check, texts::lonEditError(), prompter, owner);
}

} // namespace kx::geo
