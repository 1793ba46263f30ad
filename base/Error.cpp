#include "Error.h"

namespace kx {

QString errorText(const std::exception &e)
{
    if (const auto *own = dynamic_cast<const Error *>(&e))
        return own->text();
    return QString::fromLocal8Bit(e.what());
}

} // namespace kx
