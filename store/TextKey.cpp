#include "TextKey.h"

#include <QStringList>

namespace kx::store {
namespace {

// The capitals folded beyond Latin, each above its small letter.
constexpr char16_t kCapitals[] = u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ";
constexpr char16_t kSmall[] = u"абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў";
static_assert(std::size(kCapitals) == std::size(kSmall));

QString capitals()
{
    return QString::fromUtf16(kCapitals);
}

QString smallLetters()
{
    return QString::fromUtf16(kSmall);
}

} // namespace

QString textKeySql(const QString &expression, int cyrillicLength)
{
    const QString x = QStringLiteral("ifnull(%1, '')").arg(expression);
    // One character c: its small letter when it is one of the capitals, else
    // itself. Past the end c is empty and stays empty (instr finds an empty
    // text at 1, and length(c) then takes nothing).
    QStringList characters;
    for (int i = 1; i <= cyrillicLength; ++i) {
        const QString c = QStringLiteral("substr(%1, %2, 1)").arg(x).arg(i);
        characters << QStringLiteral("coalesce(substr('%1', nullif(instr('%2', %3), 0), length(%3)), %3)")
                          .arg(smallLetters(), capitals(), c);
    }
    characters << QStringLiteral("substr(%1, %2)").arg(x).arg(cyrillicLength + 1);
    // A text of one byte per character has no Cyrillic: lower() alone.
    return QStringLiteral("(CASE WHEN length(CAST(%1 AS BLOB)) = length(%1) THEN lower(%1) ELSE lower(%2) END)")
        .arg(x, characters.join(QStringLiteral(" || ")));
}

QString textKey(const QString &text, int cyrillicLength)
{
    static const QString upper = capitals();
    static const QString lower = smallLetters();
    QString key;
    key.reserve(text.size());
    int position = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isLowSurrogate()) {
            key.append(c); // the second half of a character already counted
            continue;
        }
        ++position;
        if (c >= u'A' && c <= u'Z') {
            key.append(QChar(c.unicode() + (u'a' - u'A')));
        } else if (const qsizetype at = upper.indexOf(c); at >= 0 && position <= cyrillicLength) {
            key.append(lower.at(at));
        } else {
            key.append(c);
        }
    }
    return key;
}

QString pastPrefix(const QString &prefix)
{
    QList<uint> codePoints = prefix.toUcs4();
    if (codePoints.isEmpty() || codePoints.last() >= 0x10FFFF)
        return {};
    uint &last = codePoints.last();
    last = last + 1 == 0xD800 ? 0xE000 : last + 1;
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()), codePoints.size());
}

} // namespace kx::store
