#include "CaseFold.h"

namespace kx {

QString caseFolded(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = text[i].unicode();
        // A lone surrogate stays itself, as Qt's comparison treats it.
        if (QChar::isHighSurrogate(unit) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            const char32_t c = QChar::toCaseFolded(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            if (QChar::requiresSurrogates(c)) {
                out += QChar(QChar::highSurrogate(c));
                out += QChar(QChar::lowSurrogate(c));
            } else {
                out += QChar(static_cast<char16_t>(c));
            }
            ++i;
        } else {
            out += QChar(static_cast<char16_t>(QChar::toCaseFolded(char32_t(unit))));
        }
    }
    return out;
}

} // namespace kx
