#include "NameWords.h"

#include <QString>

namespace kx::store {

bool hasWordStartingWith(QStringView name, QStringView text)
{
    if (text.isEmpty())
        return true;
    for (qsizetype i = 0; i + text.size() <= name.size(); ++i) {
        const bool starts = (i == 0 || isWordSeparator(name.at(i - 1))) && !isWordSeparator(name.at(i));
        if (starts && name.mid(i, text.size()).compare(text, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace kx::store
