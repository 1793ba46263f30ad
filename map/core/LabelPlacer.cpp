#include "LabelPlacer.h"

namespace kx::map::renderer {

std::optional<QPointF> LabelPlacer::place(QPointF anchor, QSizeF size, double ascent, double gap, bool mandatory)
{
    const QPointF offsets[] = {{gap, -gap - size.height()},
                               {gap, gap},
                               {-gap - size.width(), -gap - size.height()},
                               {-gap - size.width(), gap}};
    for (const QPointF &o : offsets) {
        const QRectF r(anchor + o, size);
        if (!free(r))
            continue;
        m_taken.append(r);
        return r.topLeft() + QPointF(0, ascent);
    }
    if (!mandatory)
        return std::nullopt;
    const QRectF r(anchor + offsets[0], size);
    m_taken.append(r);
    return r.topLeft() + QPointF(0, ascent);
}

bool LabelPlacer::free(const QRectF &r) const
{
    for (const QRectF &t : m_taken)
        if (t.intersects(r))
            return false;
    return true;
}

} // namespace kx::map::renderer
