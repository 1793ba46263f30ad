#pragma once

#include <QAbstractItemView>
#include <QColor>
#include <QImage>
#include <QRect>

namespace kx::test {

// What a widget really painted, read from its grabbed image.

// How many pixels inside rect have exactly this colour: the solid parts of a
// text's glyphs in that colour, or a fill.
inline int pixelsOf(const QImage &image, const QRect &rect, const QColor &colour)
{
    int count = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

// An item view's cell as painted on its viewport, less the grid lines.
inline QRect paintedCell(const QAbstractItemView *view, int row, int column)
{
    return view->visualRect(view->model()->index(row, column)).adjusted(1, 1, -2, -2);
}

} // namespace kx::test
