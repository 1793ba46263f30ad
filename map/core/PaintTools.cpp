#include "PaintTools.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>

namespace kx::map::renderer {

QColor ink() { return QColor(26, 26, 26); }

// A thin line's pen. On a screen or an image a one-pixel cosmetic pen draws
// many times faster than a pen of a width in between, at no loss the eye can
// see; on paper, where the painter is scaled, the width is kept.
QPen thinPen(const QPainter &painter, const QColor &colour, double width)
{
    const int type = painter.device()->devType();
    const bool raster = (type == QInternal::Image || type == QInternal::Widget || type == QInternal::Pixmap)
                        && painter.transform().type() <= QTransform::TxTranslate;
    QPen pen(colour, raster ? 1 : width);
    pen.setCosmetic(raster);
    return pen;
}

QFont font(double pixels, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

// Text on a pale ground, so that it reads over lines and land alike (one
// rectangle costs far less than a halo of text drawn around it).
void haloText(QPainter &painter, QPointF baseline, const QString &text, const QColor &colour)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF box(baseline.x() - 1, baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text) + 2,
                     metrics.height());
    painter.fillRect(box, QColor(255, 255, 255, 170));
    painter.setPen(colour);
    painter.drawText(baseline, text);
}

} // namespace kx::map::renderer
