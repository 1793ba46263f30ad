#pragma once

#include "base/Progress.h"

#include <QColor>
#include <QFrame>
#include <QString>

namespace kx::ui {

// A status bar: a bevelled panel with a progress fill in lime green growing
// from the left, and a centred bold text over it on a background colour.
// It is the progress meter long work is given; every change of the position
// is painted at once, since that work runs without returning to the event loop.
class Meter : public QFrame, public Progress
{
    Q_OBJECT
public:
    explicit Meter(QWidget *parent = nullptr);

    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }

    void setText(const QString &text);
    void setTextColor(const QColor &color);
    void setBackground(const QColor &color);
    const QString &text() const { return m_text; }
    const QColor &textColor() const { return m_textColor; }
    const QColor &background() const { return m_background; }

    // The fill's colour.
    static QColor fillColor() { return QColor(0, 255, 0); }

    QSize sizeHint() const override;

signals:
    void positionChanged(int position);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void repaintNow();

    int m_maximum = 100;
    int m_position = 0;
    QString m_text;
    QColor m_textColor = Qt::black;
    QColor m_background = Qt::white;
};

} // namespace kx::ui
