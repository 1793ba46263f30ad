#include "CaseFold.h"

namespace kx {

QString caseFolded(QStringView text)
{
    const qsizetype n = text.size();
    // Idents and coordinates are ASCII, whose fold is its lower case: an
    // import folds hundreds of thousands of them.
    QString out(n, Qt::Uninitialized);
    char16_t *ascii = reinterpret_cast<char16_t *>(out.data());
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= 0x80)
            break;
        ascii[i] = unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
    }
    if (i == n)
        return out;
    out.clear();
    out.reserve(n);
    for (i = 0; i < n; ++i) {
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
