#include "PlnText.h"

namespace kx::interchange {
namespace {

// Shared by the two flight-plan converters: positive/negative are the two
// hemisphere letters, degreeDigits the padded width of the degrees.
QString plnToText(const QString &text, QChar positive, QChar negative, int degreeDigits)
{
    QString s = text;
    s.remove(u'\'');
    s.remove(u' ');
    s.remove(u'\t');

    QChar letter = positive;
    for (const QChar c : std::as_const(s)) {
        if (c == positive || c == negative) {
            letter = c;
            break;
        }
    }
    s.remove(positive);
    s.remove(negative);
    s.replace(u',', u'.');

    const qsizetype star = s.indexOf(u'*');
    QString degrees = star < 0 ? s : s.left(star);
    const QString rest = star < 0 ? QString() : s.mid(star + 1);
    const qsizetype point = rest.indexOf(u'.');
    QString minutes = point < 0 ? rest : rest.left(point);
    QString fraction = point < 0 ? QString() : rest.mid(point + 1);

    if (degreeDigits == 3 && degrees.size() == 2)
        degrees.prepend(u'0');
    if (degrees.size() == 1)
        degrees.prepend(degreeDigits == 3 ? QStringLiteral("00") : QStringLiteral("0"));
    if (minutes.size() == 1)
        minutes.prepend(u'0');
    // Whole minutes without a fraction ("N55* 58'") still make a well-formed
    // coordinate text.
    if (fraction.isEmpty())
        fraction = QStringLiteral("00");
    else if (fraction.size() == 1)
        fraction.append(u'0');

    return letter + degrees + u'*' + minutes + u'.' + fraction;
}

} // namespace

QString PlnLatToText(const QString &text) { return plnToText(text, u'N', u'S', 2); }

QString PlnLonToText(const QString &text) { return plnToText(text, u'E', u'W', 3); }

QString SpaceAfterDegree(const QString &text)
{
    QString result = text;
    const qsizetype star = result.indexOf(u'*');
    if (star >= 0)
        result.insert(star + 1, u' ');
    return result;
}

QString TrimLonZero(const QString &text)
{
    if (text.startsWith(QStringLiteral("E0")) || text.startsWith(QStringLiteral("W0")))
        return text.left(1) + text.mid(2);
    return text;
}

QString ReplaceAll(const QString &text, const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return text;
    if (replacement.contains(search)) {
        QString once = text;
        return once.replace(search, replacement);
    }
    QString result = text;
    qsizetype from = 0;
    for (qsizetype at; (at = result.indexOf(search, from)) >= 0;) {
        result.replace(at, search.size(), replacement);
        // Nothing before the replaced stretch changed, so the next occurrence
        // cannot start earlier than this.
        from = qMax<qsizetype>(0, at - search.size() + 1);
    }
    return result;
}

QString FieldBeforeComma(const QString &text)
{
    const qsizetype comma = text.indexOf(u',');
    return comma < 0 ? text : text.left(comma);
}

QString SkipFields(const QString &text, int n)
{
    QString result = text;
    for (int i = 0; i < n; ++i) {
        const qsizetype comma = result.indexOf(u',');
        if (comma < 0)
            break;
        result.remove(0, comma + 1);
    }
    return result;
}

QString AltitudeText(qint64 feet)
{
    const quint64 magnitude = feet < 0 ? 0 - static_cast<quint64>(feet) : static_cast<quint64>(feet);
    return (feet < 0 ? QStringLiteral("-") : QStringLiteral("+")) + QString::number(magnitude).rightJustified(6, u'0')
           + QStringLiteral(".00");
}

} // namespace kx::interchange
