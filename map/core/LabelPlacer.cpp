#include "LabelPlacer.h"

#include <algorithm>
#include <cmath>

namespace kx::map::renderer {
namespace {

constexpr double kCell = 64;

QRect cellsOf(const QRectF &r)
{
    return QRect(QPoint(int(std::floor(r.left() / kCell)), int(std::floor(r.top() / kCell))),
                 QPoint(int(std::floor(r.right() / kCell)), int(std::floor(r.bottom() / kCell))));
}

qint64 cellKey(int x, int y)
{
    return qint64(y) << 32 | quint32(x);
}

} // namespace

std::optional<QPointF> LabelPlacer::place(QPointF anchor, QSizeF size, double ascent, double gap, bool mandatory)
{
    QList<QRectF> candidates;
    for (const double distance : {gap, gap * 2.2}) {
        const double w = size.width(), h = size.height();
        candidates << QRectF(anchor + QPointF(distance, -distance - h), size)
                   << QRectF(anchor + QPointF(distance, distance), size)
                   << QRectF(anchor + QPointF(-distance - w, -distance - h), size)
                   << QRectF(anchor + QPointF(-distance - w, distance), size)
                   << QRectF(anchor + QPointF(distance, -h / 2), size)
                   << QRectF(anchor + QPointF(-distance - w, -h / 2), size)
                   << QRectF(anchor + QPointF(-w / 2, -distance - h), size)
                   << QRectF(anchor + QPointF(-w / 2, distance), size);
        if (!mandatory)
            break;
    }
    const auto take = [&](const QRectF &r) {
        add(r);
        return r.topLeft() + QPointF(0, ascent);
    };
    for (const QRectF &r : std::as_const(candidates))
        if (free(r) && !coversKept(r))
            return take(r);
    if (!mandatory)
        return std::nullopt;
    for (const QRectF &r : std::as_const(candidates))
        if (!coversKept(r))
            return take(r);
    for (qsizetype i = 0; i < m_kept.size(); ++i)
        if (m_kept.at(i).intersects(candidates.first()))
            m_covered[i] = true;
    return take(candidates.first());
}

qsizetype LabelPlacer::keep(const QRectF &r)
{
    m_kept.append(r);
    m_covered.append(false);
    return m_kept.size() - 1;
}

void LabelPlacer::add(const QRectF &r)
{
    m_taken.append(r);
    const QRect cells = cellsOf(r);
    for (int y = cells.top(); y <= cells.bottom(); ++y)
        for (int x = cells.left(); x <= cells.right(); ++x)
            m_cells[cellKey(x, y)].append(m_taken.size() - 1);
}

bool LabelPlacer::free(const QRectF &r) const
{
    const QRect cells = cellsOf(r);
    for (int y = cells.top(); y <= cells.bottom(); ++y)
        for (int x = cells.left(); x <= cells.right(); ++x)
            for (const qsizetype i : m_cells.value(cellKey(x, y)))
                if (m_taken.at(i).intersects(r))
                    return false;
    return true;
}

bool LabelPlacer::coversKept(const QRectF &r) const
{
    return std::any_of(m_kept.cbegin(), m_kept.cend(), [&r](const QRectF &k) { return k.intersects(r); });
}

} // namespace kx::map::renderer
