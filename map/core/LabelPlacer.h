#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace kx::map::renderer {

// Labels already placed; a new one goes where it overlaps none, or nowhere
// when it may be left out.
class LabelPlacer
{
public:
    explicit LabelPlacer(QSizeF size) : m_bounds(QPointF(0, 0), size) { }

    // Tries the four corners around anchor at distance gap; returns the
    // baseline position, or nothing.
    std::optional<QPointF> place(QPointF anchor, QSizeF size, double ascent, double gap, bool mandatory);
    // Keeps labels out of a part of the picture (where the scale bar stands).
    void reserve(const QRectF &r) { m_taken.append(r); }

private:
    bool free(const QRectF &r) const;

    QRectF m_bounds;
    QList<QRectF> m_taken;
};

} // namespace kx::map::renderer
