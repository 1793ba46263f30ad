#include "PagePainter.h"

#include "base/FileError.h"

#include <QDir>

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kx::reports {
namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

QFont fontFor(const TextStyle &style)
{
    QFont font(style.fontFamily);
    font.setPointSizeF(style.fontSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    // The same glyph widths at every zoom of the preview as on paper.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// overflows: a single-line text wider than its cell starts at the cell's left
// edge, so that the cut takes its end rather than its beginning.
int alignment(const TextStyle &style, bool overflows)
{
    int flags = 0;
    switch (overflows && !style.wrap ? HAlign::Left : style.align) {
    case HAlign::Left:
        flags |= Qt::AlignLeft;
        break;
    case HAlign::Center:
        flags |= Qt::AlignHCenter;
        break;
    case HAlign::Right:
        flags |= Qt::AlignRight;
        break;
    }
    switch (style.valign) {
    case VAlign::Top:
        flags |= Qt::AlignTop;
        break;
    case VAlign::Center:
        flags |= Qt::AlignVCenter;
        break;
    case VAlign::Bottom:
        flags |= Qt::AlignBottom;
        break;
    }
    flags |= style.wrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    return flags;
}

QPen pen(const QColor &color, double widthPoints, double dotsPerMm, Qt::PenCapStyle cap)
{
    QPen p(color);
    p.setWidthF(widthPoints * kMmPerPoint * dotsPerMm);
    p.setCapStyle(cap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void drawFrame(QPainter &painter, const QRectF &r, const FrameSides &frame, const QPen &pen)
{
    if (!frame.any() || pen.widthF() <= 0)
        return;
    painter.setPen(pen);
    if (frame.top)
        painter.drawLine(r.topLeft(), r.topRight());
    if (frame.bottom)
        painter.drawLine(r.bottomLeft(), r.bottomRight());
    if (frame.left)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (frame.right)
        painter.drawLine(r.topRight(), r.bottomRight());
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

void paintPage(QPainter &painter, const PreparedPage &page, double dotsPerMmX, double dotsPerMmY)
{
    const auto toDevice = [&](const QRectF &mm) {
        return QRectF(mm.x() * dotsPerMmX, mm.y() * dotsPerMmY, mm.width() * dotsPerMmX, mm.height() * dotsPerMmY);
    };
    const double dotsPerMm = (dotsPerMmX + dotsPerMmY) / 2;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PageItem &item : page.items) {
        switch (item.kind) {
        case PageItem::Kind::Text: {
            const QRectF r = toDevice(item.rect);
            if (item.fill.isValid())
                painter.fillRect(r, item.fill);
            if (!item.text.isEmpty()) {
                // Without Qt::TextDontClip, drawText cuts the text at the rectangle.
                painter.setFont(fontFor(item.style));
                painter.setPen(item.style.color);
                const bool overflows = painter.fontMetrics().horizontalAdvance(item.text) > r.width();
                painter.drawText(r, alignment(item.style, overflows), item.text);
            }
            drawFrame(painter, r, item.frame, pen(item.lineColor, item.lineWidth, dotsPerMm, Qt::SquareCap));
            break;
        }
        case PageItem::Kind::Box: {
            const QRectF r = toDevice(item.rect);
            if (item.fill.isValid())
                painter.fillRect(r, item.fill);
            drawFrame(painter, r, item.frame, pen(item.lineColor, item.lineWidth, dotsPerMm, Qt::SquareCap));
            break;
        }
        case PageItem::Kind::Line:
            if (item.lineWidth > 0) {
                painter.setPen(pen(item.lineColor, item.lineWidth, dotsPerMm, Qt::FlatCap));
                painter.drawLine(QPointF(item.line.x1() * dotsPerMmX, item.line.y1() * dotsPerMmY),
                                 QPointF(item.line.x2() * dotsPerMmX, item.line.y2() * dotsPerMmY));
            }
            break;
        }
    }
    painter.restore();
}

bool paintReport(const PreparedReport &report, QPagedPaintDevice &device, QString *error)
{
    QPainter painter;
    if (!painter.begin(&device))
        return fail(error, QStringLiteral("на устройстве страниц нельзя рисовать"));
    const double dotsPerMmX = device.logicalDpiX() / 25.4;
    const double dotsPerMmY = device.logicalDpiY() / 25.4;
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return fail(error, QStringLiteral("не удалось начать новую страницу"));
        }
        paintPage(painter, report.pages.at(i), dotsPerMmX, dotsPerMmY);
    }
    if (!painter.end())
        return fail(error, QStringLiteral("не удалось завершить страницы"));
    return true;
}

bool writePdf(const PreparedReport &report, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), fileErrorText(file, FileAccess::Write)));
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Kalyx"));
        writer.setTitle(report.title);
        if (!writer.setPageLayout(report.page.pageLayout())) {
            file.cancelWriting();
            return fail(error, QStringLiteral("не удалось задать размер страницы"));
        }
        if (!paintReport(report, writer, error)) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit())
        return fail(error, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), fileErrorText(file, FileAccess::Write)));
    return true;
}

} // namespace kx::reports
