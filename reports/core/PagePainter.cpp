#include "PagePainter.h"

#include "ReportTexts.h"

#include "base/FileError.h"

#include <QDir>

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

namespace kx::reports {
namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;

QFont fontFor(const TextStyle &style, double scale)
{
    QFont font(style.fontFamily);
    font.setPointSizeF(style.fontSize * scale);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    // The same glyph widths at every zoom of the preview as on paper.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Letters keep this far from the sides of their cell, so that none touches or
// crosses a frame line (half of a 0.5 pt line lies inside the cell).
constexpr double kInnerMarginMm = 0.4;

const QString kEllipsis = QStringLiteral("\u2026");

Qt::Alignment horizontal(HAlign align)
{
    switch (align) {
    case HAlign::Left:
        return Qt::AlignLeft;
    case HAlign::Center:
        return Qt::AlignHCenter;
    case HAlign::Right:
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

Qt::Alignment vertical(VAlign align)
{
    switch (align) {
    case VAlign::Top:
        return Qt::AlignTop;
    case VAlign::Center:
        return Qt::AlignVCenter;
    case VAlign::Bottom:
        return Qt::AlignBottom;
    }
    return Qt::AlignVCenter;
}

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// The lines of a wrapped text as they fit the width, broken at word
// boundaries (inside a word only when the word alone is too wide). Only the
// lines that fit the height whole are kept; when some are left over, the last
// kept line ends in an ellipsis.
QStringList wrappedLines(const QString &text, const QFont &font, QPaintDevice *device, const QSizeF &room)
{
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<QPair<int, int>> spans;
    double height = 0;
    bool cut = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room.width());
        if (!spans.isEmpty() && height + line.height() > room.height()) {
            cut = true;
            break;
        }
        height += line.height();
        spans.append({line.textStart(), line.textLength()});
    }
    layout.endLayout();

    QStringList lines;
    for (const auto &[start, length] : spans)
        lines.append(withoutTrailingBlanks(text.mid(start, length)));
    if (cut && !lines.isEmpty()) {
        const QFontMetricsF metrics(font, device);
        const QString rest = withoutTrailingBlanks(text.mid(spans.last().first)) + kEllipsis;
        lines.last() = metrics.elidedText(rest.simplified(), Qt::ElideRight, room.width());
    }
    return lines;
}

// A text inside its cell: one line shortened with an ellipsis when it is too
// wide, or wrapped lines that stop where the cell does. The painter's clip is
// a last guard against a font whose glyphs reach beyond their advance.
void drawCellText(QPainter &painter, const QRectF &cell, const QString &text, const TextStyle &style, double marginX)
{
    const QRectF room = cell.adjusted(marginX, 0, -marginX, 0);
    if (room.width() <= 0)
        return;
    painter.setPen(style.color);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const Qt::Alignment h = horizontal(style.align);
    const Qt::Alignment v = vertical(style.valign);
    if (!style.wrap) {
        const QString shown = metrics.elidedText(text, Qt::ElideRight, room.width());
        painter.drawText(room, int(h | v | Qt::TextSingleLine), shown);
        return;
    }
    const QStringList lines = wrappedLines(text, painter.font(), painter.device(), room.size());
    const double lineHeight = metrics.height();
    const double height = lines.size() * lineHeight;
    double y = room.top();
    if (v == Qt::AlignVCenter)
        y += (room.height() - height) / 2;
    else if (v == Qt::AlignBottom)
        y += room.height() - height;
    for (const QString &line : lines) {
        const QRectF lineRect(room.left(), y, room.width(), lineHeight);
        painter.drawText(lineRect, int(h | Qt::AlignVCenter | Qt::TextSingleLine), line);
        y += lineHeight;
    }
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

void paintPage(QPainter &painter, const PreparedPage &page, double dotsPerMmX, double dotsPerMmY, double scale)
{
    const double x = dotsPerMmX * scale;
    const double y = dotsPerMmY * scale;
    const auto toDevice = [&](const QRectF &mm) {
        return QRectF(mm.x() * x, mm.y() * y, mm.width() * x, mm.height() * y);
    };
    // Lines keep their width on a sheet made smaller: thinner ones would fade.
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
                painter.setFont(fontFor(item.style, scale));
                drawCellText(painter, r, item.text, item.style, kInnerMarginMm * x);
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
                painter.drawLine(QPointF(item.line.x1() * x, item.line.y1() * y),
                                 QPointF(item.line.x2() * x, item.line.y2() * y));
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
        return fail(error, texts::pageDeviceNotPaintable());
    const double dotsPerMmX = device.logicalDpiX() / 25.4;
    const double dotsPerMmY = device.logicalDpiY() / 25.4;
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return fail(error, texts::newPageFailed());
        }
        paintPage(painter, report.pages.at(i), dotsPerMmX, dotsPerMmY, report.scale);
    }
    if (!painter.end())
        return fail(error, texts::pagesNotFinished());
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
            return fail(error, texts::pageSizeFailed());
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
