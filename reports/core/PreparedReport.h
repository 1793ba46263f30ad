#pragma once

#include "Layout.h"

#include <QList>
#include <QString>

namespace kx::reports {

// One thing to draw on a prepared page, its position in millimetres from the
// top left corner of the printing area.
struct PageItem
{
    enum class Kind { Text, Box, Line };
    Kind kind = Kind::Text;
    QRectF rect;       // Text, Box
    QLineF line;       // Line
    QString text;      // Text: the final text, expressions evaluated
    TextStyle style;   // Text
    FrameSides frame;  // Text, Box
    double lineWidth = 0.5;
    QColor lineColor = QColor(0, 0, 0); // frame or line colour
    QColor fill;
};

struct PreparedPage
{
    QList<PageItem> items;
};

// The report laid out into pages, ready to be painted on a printer, a PDF
// writer or the preview. Preparing evaluates every text, so a report that was
// prepared paints without further failures.
struct PreparedReport
{
    PageSetup page; // the paper it is printed on
    QString title;
    QList<PreparedPage> pages;
    // Paper less wide than the layout's printing area takes the sheet made
    // smaller by this factor (positions, sizes and fonts; line widths stay
    // as given): the pages' millimetres are the layout's, times scale on paper.
    double scale = 1;

    // All texts of one page, in drawing order (for tests and searching).
    QStringList texts(int pageIndex) const;
};

} // namespace kx::reports
