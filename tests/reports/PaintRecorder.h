#pragma once

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QString>
#include <QTextItem>

#include <memory>

namespace kx::test {

// A paint device that keeps what the painter draws instead of pixels: every
// run of text with its place and advance, and every line with its pen, all in
// device units. What a page painter hands to a printer can be checked without
// fonts' rasterisation or a PDF reader in between.
class PaintRecorder : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF baseline; // left end of the run on its baseline
        double width = 0;
        double ascent = 0;
        double descent = 0;
        QFont font;

        double left() const { return baseline.x(); }
        double right() const { return baseline.x() + width; }
        double top() const { return baseline.y() - ascent; }
        double bottom() const { return baseline.y() + descent; }
    };
    struct Line
    {
        QLineF line;
        double penWidth = 0;
    };

    // A page of widthMm x heightMm at the given resolution (dots per inch).
    PaintRecorder(double widthMm, double heightMm, int dpi)
        : m_widthMm(widthMm), m_heightMm(heightMm), m_dpi(dpi), m_engine(std::make_unique<Engine>(this))
    {
    }
    ~PaintRecorder() override = default;

    QPaintEngine *paintEngine() const override { return m_engine.get(); }

    QList<Text> texts;
    QList<Line> lines;

    double dotsPerMm() const { return m_dpi / 25.4; }
    // The texts drawn, joined in drawing order (a text of several scripts
    // comes as several runs).
    QString allText() const
    {
        QString out;
        for (const Text &t : texts)
            out += t.text;
        return out;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return qRound(m_widthMm * dotsPerMm());
        case PdmHeight:
            return qRound(m_heightMm * dotsPerMm());
        case PdmWidthMM:
            return qRound(m_widthMm);
        case PdmHeightMM:
            return qRound(m_heightMm);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(PaintRecorder *device) : QPaintEngine(QPaintEngine::AllFeatures), m_device(device) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        Type type() const override { return QPaintEngine::User; }
        void updateState(const QPaintEngineState &changed) override
        {
            if (changed.state() & QPaintEngine::DirtyPen)
                m_pen = changed.pen();
            if (changed.state() & QPaintEngine::DirtyTransform)
                m_transform = changed.transform();
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        // Filled shapes (a map's land, its symbols) are not kept; without
        // this the engine's default would call itself for ever.
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_device->texts.append(
                {item.text(), m_transform.map(p), item.width(), item.ascent(), item.descent(), item.font()});
        }
        void drawLines(const QLineF *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_device->lines.append({m_transform.map(lines[i]), m_pen.widthF()});
        }
        void drawLines(const QLine *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_device->lines.append({m_transform.map(QLineF(lines[i])), m_pen.widthF()});
        }

    private:
        PaintRecorder *m_device;
        QPen m_pen;
        QTransform m_transform;
    };

    double m_widthMm;
    double m_heightMm;
    int m_dpi;
    std::unique_ptr<Engine> m_engine;
};

} // namespace kx::test
