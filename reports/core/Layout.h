#pragma once

#include "NumberFormat.h"
#include "TextTemplate.h"

#include <QColor>
#include <QLineF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace kx::reports {

// The model of a report layout as the layout file describes it. All positions
// and sizes are millimetres; objects are placed relative to their band's top
// left corner, which lies on the left edge of the printing area. Line widths
// are points, font sizes points.

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

struct FrameSides
{
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;

    bool any() const { return left || top || right || bottom; }
    static FrameSides all() { return {true, true, true, true}; }
    bool operator==(const FrameSides &) const = default;
};

struct TextStyle
{
    QString fontFamily = QStringLiteral("Arial");
    double fontSize = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = QColor(0, 0, 0);
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Center;
    bool wrap = false; // otherwise one line, cut at the cell's edge
};

struct TextObject
{
    int line = 0; // where it is written in the layout file
    QRectF rect;
    TextTemplate text;
    std::optional<NumberFormat> format;
    TextStyle style;
    FrameSides frame;
    double lineWidth = 0.5;
    QColor lineColor = QColor(0, 0, 0);
    QColor fill; // invalid: not filled
};

struct BoxObject
{
    QRectF rect;
    FrameSides frame = FrameSides::all();
    double lineWidth = 0.5;
    QColor lineColor = QColor(0, 0, 0);
    QColor fill;
};

struct LineObject
{
    QLineF line;
    double lineWidth = 0.5;
    QColor color = QColor(0, 0, 0);
};

struct Band;

// Bands of their own printed inside a band at a position (the runway tables
// under the airport boxes). The band that holds it grows to take it in.
struct SubReport
{
    QPointF origin;
    double width = 0;
    std::vector<Band> bands;
};

using LayoutObject = std::variant<TextObject, BoxObject, LineObject, SubReport>;

enum class BandKind {
    Title,      // once, at the top of the first page
    PageHeader, // at the top of every page
    Header,     // before its data band; with repeat, again on every page the data continues on
    Data,       // once per row of its dataset
    Summary,    // once, after the data
    PageFooter, // at the bottom of every page
};

struct Band
{
    BandKind kind = BandKind::Data;
    double height = 0;
    QString dataset;
    bool repeat = false;
    std::vector<LayoutObject> objects;
    int line = 0; // where the band starts in the layout file
};

struct PageSetup
{
    double width = 210;
    double height = 297;
    QMarginsF margins{10, 10, 10, 10};

    QPageLayout pageLayout() const;
    static PageSetup fromPageLayout(const QPageLayout &layout);
    QSizeF printingArea() const { return {width - margins.left() - margins.right(), height - margins.top() - margins.bottom()}; }
};

struct Layout
{
    PageSetup page;
    QString title;
    std::vector<Band> bands;
};

QString bandKindName(BandKind kind);

} // namespace kx::reports
