#include "Meter.h"

#include <QPainter>

#include <algorithm>

namespace kx::ui {

Meter::Meter(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

QSize Meter::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 2 * frameWidth() + 6);
}

void Meter::setMaximum(int maximum)
{
    m_maximum = maximum;
    repaintNow();
}

void Meter::setPosition(int position)
{
    m_position = position;
    repaintNow();
    emit positionChanged(position);
}

void Meter::setText(const QString &text)
{
    m_text = text;
    repaintNow();
}

void Meter::setTextColor(const QColor &color)
{
    m_textColor = color;
    repaintNow();
}

void Meter::setBackground(const QColor &color)
{
    m_background = color;
    repaintNow();
}

void Meter::repaintNow()
{
    if (isVisible())
        repaint();
}

void Meter::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const QRect inside = contentsRect();
        painter.fillRect(inside, m_background);
        if (m_maximum > 0 && m_position > 0) {
            const int shown = std::min(m_position, m_maximum);
            const int width = static_cast<int>(static_cast<long long>(inside.width()) * shown / m_maximum);
            painter.fillRect(QRect(inside.topLeft(), QSize(width, inside.height())), fillColor());
        }
        painter.setPen(m_textColor);
        painter.setFont(font());
        painter.drawText(inside, Qt::AlignCenter, m_text);
    }
    QFrame::paintEvent(event); // the bevel, over the fill
}

} // namespace kx::ui
