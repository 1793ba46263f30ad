#include "LayoutAttributes.h"

#include "LayoutTexts.h"

#include <QSet>

#include <cmath>

namespace kx::reports::layout {

const QStringList &styleAttributes()
{
    static const QStringList names{
        QStringLiteral("font"),   QStringLiteral("size"),       QStringLiteral("bold"),
        QStringLiteral("italic"), QStringLiteral("underline"),  QStringLiteral("color"),
        QStringLiteral("align"),  QStringLiteral("valign"),     QStringLiteral("wrap"),
        QStringLiteral("frame"),  QStringLiteral("line-width"), QStringLiteral("line-color"),
        QStringLiteral("fill"),   QStringLiteral("format"),
    };
    return names;
}

bool appliesTo(const QString &name, Target target)
{
    switch (target) {
    case Target::Style:
    case Target::Text:
        return styleAttributes().contains(name);
    case Target::Box:
        return name == u"frame" || name == u"line-width" || name == u"line-color" || name == u"fill";
    case Target::Line:
        return name == u"line-width" || name == u"color";
    }
    return false;
}

bool AttributeReader::number(const Attr &a, double &out, double minimum, bool strictlyAbove)
{
    bool ok = false;
    const double v = a.value.toDouble(&ok);
    if (!a.hasValue || !ok || !std::isfinite(v))
        return fail(a.line, texts::numberExpected(a.name, a.value));
    if (v < minimum || (strictlyAbove && v == minimum))
        return fail(a.line, texts::valueOutOfRange(a.name, a.value));
    out = v;
    return true;
}

bool AttributeReader::flag(const Attr &a, bool &out)
{
    if (!a.hasValue) {
        out = true;
        return true;
    }
    const QString v = a.value.toLower();
    if (v == u"yes" || v == u"true" || v == u"1") {
        out = true;
        return true;
    }
    if (v == u"no" || v == u"false" || v == u"0") {
        out = false;
        return true;
    }
    return fail(a.line, texts::yesOrNoExpected(a.name, a.value));
}

bool AttributeReader::color(const Attr &a, QColor &out)
{
    const QString v = a.value.trimmed();
    if (v.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        out = QColor();
        return true;
    }
    const QStringList rgb = v.split(u',');
    if (rgb.size() == 3) {
        int parts[3];
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            parts[i] = rgb.at(i).trimmed().toInt(&ok);
            if (!ok || parts[i] < 0 || parts[i] > 255)
                return fail(a.line, texts::badColour(v));
        }
        out = QColor(parts[0], parts[1], parts[2]);
        return true;
    }
    const QColor c = QColor::fromString(v);
    if (!a.hasValue || !c.isValid())
        return fail(a.line, texts::badColour(v));
    out = c;
    return true;
}

bool AttributeReader::frame(const Attr &a, FrameSides &out)
{
    FrameSides f;
    const QString v = a.value.trimmed().toLower();
    if (!a.hasValue || v == u"all") {
        out = FrameSides::all();
        return true;
    }
    if (v == u"none") {
        out = f;
        return true;
    }
    for (const QString &side : v.split(u',')) {
        const QString s = side.trimmed();
        if (s == u"left")
            f.left = true;
        else if (s == u"top")
            f.top = true;
        else if (s == u"right")
            f.right = true;
        else if (s == u"bottom")
            f.bottom = true;
        else
            return fail(a.line, texts::badFrameSide(s));
    }
    out = f;
    return true;
}

template<typename Value>
bool AttributeReader::choice(const Attr &a, std::initializer_list<std::pair<QStringView, Value>> names, Value &out)
{
    const QString v = a.value.toLower();
    QStringList allowed;
    for (const auto &[name, value] : names) {
        if (v == name) {
            out = value;
            return true;
        }
        allowed << name.toString();
    }
    const QString last = allowed.takeLast();
    return fail(a.line, texts::notOneOf(a.name, allowed, last, a.value));
}

bool AttributeReader::applyStyleAttr(const Attr &a, Props &p)
{
    const QString &n = a.name;
    if (n == u"font") {
        if (a.value.trimmed().isEmpty())
            return fail(a.line, texts::fontWithoutName());
        p.style.fontFamily = a.value.trimmed();
        return true;
    }
    if (n == u"size")
        return number(a, p.style.fontSize, 0, true)
               && (p.style.fontSize <= 500 || fail(a.line, texts::fontSizeOutOfRange()));
    if (n == u"bold")
        return flag(a, p.style.bold);
    if (n == u"italic")
        return flag(a, p.style.italic);
    if (n == u"underline")
        return flag(a, p.style.underline);
    if (n == u"wrap")
        return flag(a, p.style.wrap);
    if (n == u"color")
        return color(a, p.style.color);
    if (n == u"line-color")
        return color(a, p.lineColor);
    if (n == u"fill")
        return color(a, p.fill);
    if (n == u"line-width")
        return number(a, p.lineWidth, 0);
    if (n == u"frame") {
        FrameSides f;
        if (!frame(a, f))
            return false;
        p.frame = f;
        return true;
    }
    if (n == u"align")
        return choice(a, {{u"left", HAlign::Left}, {u"center", HAlign::Center}, {u"right", HAlign::Right}},
                      p.style.align);
    if (n == u"valign")
        return choice(a, {{u"top", VAlign::Top}, {u"center", VAlign::Center}, {u"bottom", VAlign::Bottom}},
                      p.style.valign);
    if (n == u"format") {
        if (a.value.isEmpty()) {
            p.format.reset();
            return true;
        }
        QString why;
        p.format = NumberFormat::parse(a.value, &why);
        return p.format.has_value() || fail(a.line, why);
    }
    return fail(a.line, texts::unknownAttribute(n));
}

bool AttributeReader::checkStyleAttrs(const Statement &st)
{
    Props unused;
    for (const Attr &a : st.attrs) {
        if (!styleAttributes().contains(a.name))
            return fail(a.line, texts::unknownAttributeOf(a.name, st.keyword));
        if (!applyStyleAttr(a, unused))
            return false;
    }
    return true;
}

// Defaults, then the named styles in order, then the object's own style attributes.
bool AttributeReader::resolveProps(const Statement &st, Target target, Props &props)
{
    props = Props();
    QList<Attr> inherited = m_defaults;
    for (const Attr &a : st.attrs) {
        if (a.name != u"style")
            continue;
        // A style named again counts where it is named last: applying it
        // earlier too changes nothing, and a long list stays cheap.
        QStringList names;
        const QStringList written = a.value.split(u',', Qt::SkipEmptyParts);
        QSet<QString> seen;
        for (auto it = written.crbegin(); it != written.crend(); ++it) {
            const QString name = it->trimmed();
            if (!seen.contains(name)) {
                seen.insert(name);
                names.prepend(name);
            }
        }
        for (const QString &name : std::as_const(names)) {
            const auto it = m_styles.constFind(name);
            if (it == m_styles.constEnd())
                return fail(a.line, texts::unknownStyle(name));
            mergeAttrs(inherited, *it);
        }
    }
    for (const Attr &a : std::as_const(inherited))
        if (appliesTo(a.name, target) && !applyStyleAttr(a, props))
            return false;
    for (const Attr &a : st.attrs)
        if (styleAttributes().contains(a.name) || a.name == u"color") {
            if (!appliesTo(a.name, target))
                return fail(a.line, texts::notApplicable(a.name, st.keyword));
            if (!applyStyleAttr(a, props))
                return false;
        }
    return true;
}

// Later attributes of a name replace earlier ones: each sets its own part
// of the style, so only the last of a name matters, and the lists stay as
// short as the attribute names are few however often they are repeated.
void AttributeReader::mergeAttrs(QList<Attr> &into, const QList<Attr> &more)
{
    for (const Attr &a : more) {
        into.removeIf([&](const Attr &old) { return old.name == a.name; });
        into.append(a);
    }
}

// The object's own geometry attributes; anything not a style attribute or
// one of these is an error.
bool AttributeReader::geometry(const Statement &st, const QStringList &names, QHash<QString, Attr> &found,
                               const QStringList &required)
{
    for (const Attr &a : st.attrs) {
        if (a.name == u"style" || styleAttributes().contains(a.name))
            continue;
        if (!names.contains(a.name))
            return fail(a.line, texts::unknownAttributeOf(a.name, st.keyword));
        found.insert(a.name, a);
    }
    for (const QString &r : required)
        if (!found.contains(r))
            return fail(st.line, texts::attributeMissing(st.keyword, r));
    return true;
}

bool AttributeReader::rect(const Statement &st, QHash<QString, Attr> &found, QRectF &out)
{
    if (!geometry(st,
                  {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w"), QStringLiteral("h"),
                   QStringLiteral("text")},
                  found, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w"), QStringLiteral("h")}))
        return false;
    double x = 0, y = 0, w = 0, h = 0;
    if (!number(found.value(QStringLiteral("x")), x) || !number(found.value(QStringLiteral("y")), y)
        || !number(found.value(QStringLiteral("w")), w, 0, true)
        || !number(found.value(QStringLiteral("h")), h, 0, true))
        return false;
    out = QRectF(x, y, w, h);
    return true;
}

} // namespace kx::reports::layout
