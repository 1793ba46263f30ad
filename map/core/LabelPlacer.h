#pragma once

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace kx::map::renderer {

// Labels already placed; a new one goes where it overlaps none, or nowhere
// when it may be left out. Labels are placed most important first, so a
// less important one gives way.
class LabelPlacer
{
public:
    // Tries the places around anchor at distance gap (the four corners, then
    // beside, above and below; a label that must be shown also farther out);
    // returns the baseline position, or nothing. A label that must be shown
    // and finds no free place goes where it covers no kept text, or, should
    // there be no such place either, where it was meant to go, and the kept
    // texts it covers are not drawn.
    std::optional<QPointF> place(QPointF anchor, QSizeF size, double ascent, double gap, bool mandatory);
    // A place no label may take (the scale bar, the north mark).
    void reserve(const QRectF &r) { add(r); }
    // A text that stays readable (a graticule label): labels keep off it as
    // long as they have anywhere else to go. Returns its number for isCovered.
    qsizetype keep(const QRectF &r);
    bool isCovered(qsizetype kept) const { return m_covered.at(kept); }
    bool isFree(const QRectF &r) const { return free(r); }

private:
    void add(const QRectF &r);
    bool free(const QRectF &r) const;
    bool coversKept(const QRectF &r) const;

    QList<QRectF> m_taken;
    // Taken places are kept in cells of the picture, so that a test looks at
    // the few labels nearby, not at all of them.
    QHash<qint64, QList<qsizetype>> m_cells;
    QList<QRectF> m_kept;
    QList<bool> m_covered;
};

} // namespace kx::map::renderer
