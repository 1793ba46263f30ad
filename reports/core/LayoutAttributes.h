#pragma once

#include "Layout.h"
#include "LayoutTokens.h"
#include "NumberFormat.h"

#include <QColor>
#include <QHash>
#include <QRectF>

#include <initializer_list>
#include <optional>
#include <utility>

// Reading a layout's attributes: numbers, flags, colours, frames, and the
// styles an object takes from the defaults, its named styles and its own.
namespace kx::reports::layout {

// Everything a style can set; objects take what applies to them.
struct Props
{
    TextStyle style;
    std::optional<NumberFormat> format;
    std::optional<FrameSides> frame;
    double lineWidth = 0.5;
    QColor lineColor = QColor(0, 0, 0);
    QColor fill;
};

enum class Target { Style, Text, Box, Line };

// The names of the attributes a style may set.
const QStringList &styleAttributes();
// Whether a style attribute applies to an object of this kind.
bool appliesTo(const QString &name, Target target);

class AttributeReader
{
public:
    explicit AttributeReader(Failure &fail) : m_fail(fail) { }

    [[nodiscard]] bool number(const Attr &a, double &out, double minimum = -1e9, bool strictlyAbove = false);
    [[nodiscard]] bool flag(const Attr &a, bool &out);
    [[nodiscard]] bool color(const Attr &a, QColor &out);
    [[nodiscard]] bool frame(const Attr &a, FrameSides &out);
    [[nodiscard]] bool applyStyleAttr(const Attr &a, Props &p);
    // Every attribute of a "defaults" or "style" statement is a valid style attribute.
    [[nodiscard]] bool checkStyleAttrs(const Statement &st);

    void addDefaults(const QList<Attr> &attrs) { mergeAttrs(m_defaults, attrs); }
    bool hasStyle(const QString &name) const { return m_styles.contains(name); }
    void addStyle(const QString &name, const QList<Attr> &attrs) { m_styles.insert(name, attrs); }

    // Defaults, then the named styles in order, then the object's own style attributes.
    [[nodiscard]] bool resolveProps(const Statement &st, Target target, Props &props);
    // The object's own geometry attributes; anything not a style attribute or
    // one of these is an error.
    [[nodiscard]] bool geometry(const Statement &st, const QStringList &names, QHash<QString, Attr> &found,
                                const QStringList &required);
    // x, y, w and h (and text) of a text or a box.
    [[nodiscard]] bool rect(const Statement &st, QHash<QString, Attr> &found, QRectF &out);

private:
    // One of the names (letter case ignored), as its value.
    template<typename Value>
    bool choice(const Attr &a, std::initializer_list<std::pair<QStringView, Value>> names, Value &out);
    static void mergeAttrs(QList<Attr> &into, const QList<Attr> &more);
    bool fail(int line, const QString &text) { return m_fail.at(line, text); }

    Failure &m_fail;
    QList<Attr> m_defaults;
    QHash<QString, QList<Attr>> m_styles;
};

} // namespace kx::reports::layout
