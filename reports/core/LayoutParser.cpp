#include "LayoutParser.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <cmath>

namespace kx::reports {
namespace {

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

struct Token
{
    enum class Kind { Word, Text, Equals, Open, Close, Newline, End };
    Kind kind = Kind::End;
    QString text;
    int line = 0;
};

struct Attr
{
    QString name;
    QString value;
    bool hasValue = false;
    int line = 0;
};

struct Statement
{
    QString keyword;
    QStringList args;
    QList<Attr> attrs;
    int line = 0;
};

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

const QStringList &styleAttributes()
{
    static const QStringList names{
        QStringLiteral("font"),      QStringLiteral("size"),       QStringLiteral("bold"),
        QStringLiteral("italic"),    QStringLiteral("underline"),  QStringLiteral("color"),
        QStringLiteral("align"),     QStringLiteral("valign"),     QStringLiteral("wrap"),
        QStringLiteral("frame"),     QStringLiteral("line-width"), QStringLiteral("line-color"),
        QStringLiteral("fill"),      QStringLiteral("format"),
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

struct SubReportLevel
{
    explicit SubReportLevel(int &level) : m_level(level) { ++m_level; }
    ~SubReportLevel() { --m_level; }
    int &m_level;
};

class Parser
{
public:
    Parser(const QString &text, QString *error) : m_source(text), m_error(error) {}

    bool run(Layout &out)
    {
        if (!tokenize())
            return false;
        Layout layout;
        if (!parseRoot(layout))
            return false;
        out = std::move(layout);
        return true;
    }

private:
    // --- reporting --------------------------------------------------------
    bool fail(int line, const QString &text)
    {
        // The reason goes into a message box: a value it quotes may be huge.
        constexpr qsizetype kLongest = 300;
        const QString shown = text.size() <= kLongest ? text : text.left(kLongest - 1) + u'…';
        if (m_error)
            *m_error = line > 0 ? QStringLiteral("строка %1: %2").arg(line).arg(shown) : shown;
        return false;
    }

    // --- tokens -----------------------------------------------------------
    bool tokenize()
    {
        const QStringList lines = m_source.split(u'\n');
        for (int index = 0; index < lines.size(); ++index) {
            const int line = index + 1;
            QString text = lines.at(index);
            if (text.endsWith(u'\r'))
                text.chop(1);
            if (text.trimmed().startsWith(u'#')) {
                m_tokens.push_back({Token::Kind::Newline, QString(), line});
                continue;
            }
            const qsizetype n = text.size();
            qsizetype i = 0;
            while (i < n) {
                const QChar c = text.at(i);
                if (c.isSpace()) {
                    ++i;
                } else if (c == u'"') {
                    QString value;
                    ++i;
                    bool closed = false;
                    while (i < n) {
                        const QChar d = text.at(i++);
                        if (d == u'\\' && i < n && (text.at(i) == u'"' || text.at(i) == u'\\')) {
                            value += text.at(i++);
                        } else if (d == u'"') {
                            closed = true;
                            break;
                        } else {
                            value += d;
                        }
                    }
                    if (!closed)
                        return fail(line, QStringLiteral("текст в кавычках не закрыт"));
                    m_tokens.push_back({Token::Kind::Text, value, line});
                } else if (c == u'=') {
                    m_tokens.push_back({Token::Kind::Equals, QStringLiteral("="), line});
                    ++i;
                } else if (c == u'{') {
                    m_tokens.push_back({Token::Kind::Open, QStringLiteral("{"), line});
                    ++i;
                } else if (c == u'}') {
                    m_tokens.push_back({Token::Kind::Close, QStringLiteral("}"), line});
                    ++i;
                } else {
                    const qsizetype start = i;
                    while (i < n && !text.at(i).isSpace() && text.at(i) != u'=' && text.at(i) != u'"'
                           && text.at(i) != u'{' && text.at(i) != u'}')
                        ++i;
                    m_tokens.push_back({Token::Kind::Word, text.mid(start, i - start), line});
                }
            }
            m_tokens.push_back({Token::Kind::Newline, QString(), line});
        }
        m_tokens.push_back({Token::Kind::End, QString(), static_cast<int>(lines.size())});
        return true;
    }

    const Token &peek() const { return m_tokens[m_pos]; }
    void skipNewlines()
    {
        while (peek().kind == Token::Kind::Newline)
            ++m_pos;
    }

    // Reads "keyword positional... name=value flag ..." up to the end of the
    // line or a brace. positional: how many bare words after the keyword are
    // arguments rather than flags.
    bool readStatement(Statement &st, int positional)
    {
        st = Statement();
        const Token &first = peek();
        st.line = first.line;
        if (first.kind != Token::Kind::Word)
            return fail(first.line, QStringLiteral("ожидалось ключевое слово, а не \"%1\"").arg(first.text));
        st.keyword = first.text;
        ++m_pos;
        // A set, not a search of the list: a line may hold a great many.
        QSet<QString> given;
        for (;;) {
            const Token &t = peek();
            if (t.kind == Token::Kind::Newline || t.kind == Token::Kind::End || t.kind == Token::Kind::Open
                || t.kind == Token::Kind::Close)
                return true;
            if (t.kind != Token::Kind::Word)
                return fail(t.line, QStringLiteral("лишнее \"%1\" после %2").arg(t.text, st.keyword));
            ++m_pos;
            if (peek().kind == Token::Kind::Equals) {
                ++m_pos;
                const Token &v = peek();
                if (v.kind != Token::Kind::Word && v.kind != Token::Kind::Text)
                    return fail(t.line, QStringLiteral("у атрибута %1 нет значения").arg(t.text));
                ++m_pos;
                if (given.contains(t.text))
                    return fail(t.line, QStringLiteral("атрибут %1 задан дважды").arg(t.text));
                given.insert(t.text);
                st.attrs.append({t.text, v.text, true, t.line});
            } else if (st.args.size() < positional && st.attrs.isEmpty()) {
                st.args.append(t.text);
            } else {
                if (given.contains(t.text))
                    return fail(t.line, QStringLiteral("атрибут %1 задан дважды").arg(t.text));
                given.insert(t.text);
                st.attrs.append({t.text, QString(), false, t.line});
            }
        }
    }

    // After a statement: true when a "{" opens a block (consumed).
    bool opensBlock()
    {
        if (peek().kind == Token::Kind::Open) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // --- values -----------------------------------------------------------
    bool number(const Attr &a, double &out, double minimum = -1e9, bool strictlyAbove = false)
    {
        bool ok = false;
        const double v = a.value.toDouble(&ok);
        if (!a.hasValue || !ok || !std::isfinite(v))
            return fail(a.line, QStringLiteral("%1: нужно число, а не \"%2\"").arg(a.name, a.value));
        if (v < minimum || (strictlyAbove && v == minimum))
            return fail(a.line, QStringLiteral("%1 вне допустимых пределов: %2").arg(a.name, a.value));
        out = v;
        return true;
    }

    bool flag(const Attr &a, bool &out)
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
        return fail(a.line, QStringLiteral("%1: нужно yes или no, а не \"%2\"").arg(a.name, a.value));
    }

    bool color(const Attr &a, QColor &out)
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
                    return fail(a.line, QStringLiteral("неверный цвет \"%1\"").arg(v));
            }
            out = QColor(parts[0], parts[1], parts[2]);
            return true;
        }
        const QColor c = QColor::fromString(v);
        if (!a.hasValue || !c.isValid())
            return fail(a.line, QStringLiteral("неверный цвет \"%1\"").arg(v));
        out = c;
        return true;
    }

    bool frame(const Attr &a, FrameSides &out)
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
                return fail(a.line, QStringLiteral("стороны рамки: left, top, right, bottom, all или none, а не \"%1\"").arg(s));
        }
        out = f;
        return true;
    }

    bool applyStyleAttr(const Attr &a, Props &p)
    {
        const QString &n = a.name;
        if (n == u"font") {
            if (a.value.trimmed().isEmpty())
                return fail(a.line, QStringLiteral("у font нет имени шрифта"));
            p.style.fontFamily = a.value.trimmed();
            return true;
        }
        if (n == u"size")
            return number(a, p.style.fontSize, 0, true) && (p.style.fontSize <= 500 || fail(a.line, QStringLiteral("size вне допустимых пределов")));
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
        if (n == u"align") {
            const QString v = a.value.toLower();
            if (v == u"left")
                p.style.align = HAlign::Left;
            else if (v == u"center")
                p.style.align = HAlign::Center;
            else if (v == u"right")
                p.style.align = HAlign::Right;
            else
                return fail(a.line, QStringLiteral("align: left, center или right, а не \"%1\"").arg(a.value));
            return true;
        }
        if (n == u"valign") {
            const QString v = a.value.toLower();
            if (v == u"top")
                p.style.valign = VAlign::Top;
            else if (v == u"center")
                p.style.valign = VAlign::Center;
            else if (v == u"bottom")
                p.style.valign = VAlign::Bottom;
            else
                return fail(a.line, QStringLiteral("valign: top, center или bottom, а не \"%1\"").arg(a.value));
            return true;
        }
        if (n == u"format") {
            if (a.value.isEmpty()) {
                p.format.reset();
                return true;
            }
            QString why;
            p.format = NumberFormat::parse(a.value, &why);
            return p.format.has_value() || fail(a.line, why);
        }
        return fail(a.line, QStringLiteral("неизвестный атрибут %1").arg(n));
    }

    // Defaults, then the named styles in order, then the object's own style attributes.
    bool resolveProps(const Statement &st, Target target, Props &props)
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
                    return fail(a.line, QStringLiteral("неизвестный стиль %1").arg(name));
                mergeAttrs(inherited, *it);
            }
        }
        for (const Attr &a : std::as_const(inherited))
            if (appliesTo(a.name, target) && !applyStyleAttr(a, props))
                return false;
        for (const Attr &a : st.attrs)
            if (styleAttributes().contains(a.name) || a.name == u"color") {
                if (!appliesTo(a.name, target))
                    return fail(a.line, QStringLiteral("%1 не применим к %2").arg(a.name, st.keyword));
                if (!applyStyleAttr(a, props))
                    return false;
            }
        return true;
    }

    // Later attributes of a name replace earlier ones: each sets its own part
    // of the style, so only the last of a name matters, and the lists stay as
    // short as the attribute names are few however often they are repeated.
    static void mergeAttrs(QList<Attr> &into, const QList<Attr> &more)
    {
        for (const Attr &a : more) {
            into.removeIf([&](const Attr &old) { return old.name == a.name; });
            into.append(a);
        }
    }

    // The object's own geometry attributes; anything not a style attribute or
    // one of these is an error.
    bool geometry(const Statement &st, const QStringList &names, QHash<QString, Attr> &found, const QStringList &required)
    {
        for (const Attr &a : st.attrs) {
            if (a.name == u"style" || styleAttributes().contains(a.name))
                continue;
            if (!names.contains(a.name))
                return fail(a.line, QStringLiteral("неизвестный атрибут %1 у %2").arg(a.name, st.keyword));
            found.insert(a.name, a);
        }
        for (const QString &r : required)
            if (!found.contains(r))
                return fail(st.line, QStringLiteral("у %1 нет %2").arg(st.keyword, r));
        return true;
    }

    bool rect(const Statement &st, QHash<QString, Attr> &found, QRectF &out)
    {
        if (!geometry(st, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w"), QStringLiteral("h"), QStringLiteral("text")},
                      found, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w"), QStringLiteral("h")}))
            return false;
        double x = 0, y = 0, w = 0, h = 0;
        if (!number(found.value(QStringLiteral("x")), x) || !number(found.value(QStringLiteral("y")), y)
            || !number(found.value(QStringLiteral("w")), w, 0, true) || !number(found.value(QStringLiteral("h")), h, 0, true))
            return false;
        out = QRectF(x, y, w, h);
        return true;
    }

    // --- statements -------------------------------------------------------
    bool parseRoot(Layout &layout)
    {
        bool header = false;
        bool page = false;
        bool onlyOnce[static_cast<int>(BandKind::PageFooter) + 1] = {};
        for (;;) {
            skipNewlines();
            const Token &t = peek();
            if (t.kind == Token::Kind::End)
                break;
            if (t.kind == Token::Kind::Close)
                return fail(t.line, QStringLiteral("\"}\" без \"{\""));
            Statement st;
            const bool positionalOne = t.text == u"kalyx-report" || t.text == u"band" || t.text == u"style";
            if (!readStatement(st, positionalOne ? 1 : 0))
                return false;
            if (!header) {
                if (st.keyword != u"kalyx-report")
                    return fail(st.line, QStringLiteral("это не макет отчета Kalyx (первая строка должна быть \"kalyx-report 1\")"));
                if (st.args != QStringList{QStringLiteral("1")} || !st.attrs.isEmpty())
                    return fail(st.line, QStringLiteral("неподдерживаемая версия макета"));
                header = true;
                if (!endOfStatement(st))
                    return false;
                continue;
            }
            if (st.keyword == u"page") {
                if (page)
                    return fail(st.line, QStringLiteral("page задан дважды"));
                page = true;
                if (!parsePage(st, layout) || !endOfStatement(st))
                    return false;
            } else if (st.keyword == u"defaults") {
                if (!checkStyleAttrs(st) || !endOfStatement(st))
                    return false;
                mergeAttrs(m_defaults, st.attrs);
            } else if (st.keyword == u"style") {
                if (st.args.size() != 1)
                    return fail(st.line, QStringLiteral("у style нет имени"));
                if (m_styles.contains(st.args.first()))
                    return fail(st.line, QStringLiteral("стиль %1 определен дважды").arg(st.args.first()));
                if (!checkStyleAttrs(st) || !endOfStatement(st))
                    return false;
                m_styles.insert(st.args.first(), st.attrs);
            } else if (st.keyword == u"band") {
                Band band;
                if (!parseBand(st, band, false))
                    return false;
                if (band.kind == BandKind::Title || band.kind == BandKind::PageHeader || band.kind == BandKind::PageFooter) {
                    bool &seen = onlyOnce[static_cast<int>(band.kind)];
                    if (seen)
                        return fail(st.line, QStringLiteral("полоса %1 может быть только одна").arg(bandKindName(band.kind)));
                    seen = true;
                }
                layout.bands.push_back(std::move(band));
            } else if (st.keyword == u"kalyx-report") {
                return fail(st.line, QStringLiteral("kalyx-report задан дважды"));
            } else {
                return fail(st.line, QStringLiteral("неизвестная инструкция %1").arg(st.keyword));
            }
        }
        if (!header)
            return fail(0, QStringLiteral("это не макет отчета Kalyx (файл пуст)"));
        if (!page)
            return fail(0, QStringLiteral("в макете нет инструкции page"));
        return true;
    }

    // A statement that takes no block must end its line.
    bool endOfStatement(const Statement &st)
    {
        if (peek().kind == Token::Kind::Open)
            return fail(st.line, QStringLiteral("у %1 не бывает блока").arg(st.keyword));
        if (peek().kind == Token::Kind::Close && m_depth == 0)
            return fail(st.line, QStringLiteral("\"}\" без \"{\""));
        return true;
    }

    bool checkStyleAttrs(const Statement &st)
    {
        Props dummy;
        for (const Attr &a : st.attrs) {
            if (!styleAttributes().contains(a.name))
                return fail(a.line, QStringLiteral("неизвестный атрибут %1 у %2").arg(a.name, st.keyword));
            if (!applyStyleAttr(a, dummy))
                return false;
        }
        return true;
    }

    bool parsePage(const Statement &st, Layout &layout)
    {
        PageSetup page;
        bool width = false, height = false;
        for (const Attr &a : st.attrs) {
            if (a.name == u"width") {
                if (!number(a, page.width, 10))
                    return false;
                width = true;
            } else if (a.name == u"height") {
                if (!number(a, page.height, 10))
                    return false;
                height = true;
            } else if (a.name == u"margins") {
                const QStringList parts = a.value.split(u',');
                if (parts.size() != 1 && parts.size() != 4)
                    return fail(a.line, QStringLiteral("margins: одно число или четыре (left, top, right, bottom)"));
                double m[4];
                for (int i = 0; i < 4; ++i) {
                    bool ok = false;
                    m[i] = parts.at(parts.size() == 1 ? 0 : i).trimmed().toDouble(&ok);
                    if (!ok || !std::isfinite(m[i]) || m[i] < 0)
                        return fail(a.line, QStringLiteral("неверные margins \"%1\"").arg(a.value));
                }
                page.margins = QMarginsF(m[0], m[1], m[2], m[3]);
            } else if (a.name == u"title") {
                layout.title = a.value;
            } else {
                return fail(a.line, QStringLiteral("неизвестный атрибут %1 у page").arg(a.name));
            }
        }
        if (!width || !height)
            return fail(st.line, QStringLiteral("у page нет width и height"));
        const QSizeF area = page.printingArea();
        if (area.width() <= 0 || area.height() <= 0)
            return fail(st.line, QStringLiteral("поля не оставляют места для печати"));
        layout.page = page;
        return true;
    }

    bool parseBand(const Statement &st, Band &band, bool inSubReport)
    {
        static const QHash<QString, BandKind> kinds{
            {QStringLiteral("title"), BandKind::Title},         {QStringLiteral("page-header"), BandKind::PageHeader},
            {QStringLiteral("header"), BandKind::Header},       {QStringLiteral("data"), BandKind::Data},
            {QStringLiteral("summary"), BandKind::Summary},     {QStringLiteral("page-footer"), BandKind::PageFooter},
        };
        band.line = st.line;
        if (st.args.size() != 1 || !kinds.contains(st.args.first()))
            return fail(st.line, QStringLiteral("у band нет вида: title, page-header, header, data, summary или page-footer"));
        band.kind = kinds.value(st.args.first());
        if (inSubReport && band.kind != BandKind::Header && band.kind != BandKind::Data && band.kind != BandKind::Summary)
            return fail(st.line, QStringLiteral("во вложенном отчете бывают только полосы header, data и summary"));
        bool hasHeight = false;
        for (const Attr &a : st.attrs) {
            if (a.name == u"height") {
                if (!number(a, band.height, 0))
                    return false;
                hasHeight = true;
            } else if (a.name == u"dataset" && band.kind == BandKind::Data) {
                band.dataset = a.value.trimmed();
            } else if (a.name == u"repeat" && band.kind == BandKind::Header) {
                if (!flag(a, band.repeat))
                    return false;
            } else {
                return fail(a.line, QStringLiteral("неизвестный атрибут %1 у полосы %2").arg(a.name, bandKindName(band.kind)));
            }
        }
        if (!hasHeight)
            return fail(st.line, QStringLiteral("у band нет height"));
        if (band.kind == BandKind::Data && band.dataset.isEmpty())
            return fail(st.line, QStringLiteral("у полосы data нет dataset"));
        if (!opensBlock())
            return endOfStatement(st);

        ++m_depth;
        for (;;) {
            skipNewlines();
            const Token &t = peek();
            if (t.kind == Token::Kind::End)
                return fail(band.line, QStringLiteral("полоса не закрыта \"}\""));
            if (t.kind == Token::Kind::Close) {
                ++m_pos;
                break;
            }
            Statement obj;
            if (!readStatement(obj, 0))
                return false;
            if (obj.keyword == u"text") {
                TextObject text;
                if (!parseText(obj, text) || !endOfStatement(obj))
                    return false;
                band.objects.emplace_back(std::move(text));
            } else if (obj.keyword == u"box") {
                BoxObject box;
                if (!parseBox(obj, box) || !endOfStatement(obj))
                    return false;
                band.objects.emplace_back(std::move(box));
            } else if (obj.keyword == u"line") {
                LineObject line;
                if (!parseLine(obj, line) || !endOfStatement(obj))
                    return false;
                band.objects.emplace_back(std::move(line));
            } else if (obj.keyword == u"subreport") {
                SubReport sub;
                if (!parseSubReport(obj, sub))
                    return false;
                band.objects.emplace_back(std::move(sub));
            } else {
                return fail(obj.line, QStringLiteral("неизвестный объект %1 (text, box, line или subreport)").arg(obj.keyword));
            }
        }
        --m_depth;
        return true;
    }

    bool parseText(const Statement &st, TextObject &text)
    {
        QHash<QString, Attr> found;
        Props props;
        if (!rect(st, found, text.rect) || !resolveProps(st, Target::Text, props))
            return false;
        QString why;
        std::optional<TextTemplate> t = TextTemplate::parse(found.value(QStringLiteral("text")).value, &why);
        if (!t)
            return fail(st.line, why);
        text.text = std::move(*t);
        text.line = st.line;
        text.style = props.style;
        text.format = props.format;
        text.frame = props.frame.value_or(FrameSides());
        text.lineWidth = props.lineWidth;
        text.lineColor = props.lineColor;
        text.fill = props.fill;
        return true;
    }

    bool parseBox(const Statement &st, BoxObject &box)
    {
        QHash<QString, Attr> found;
        Props props;
        if (!rect(st, found, box.rect) || !resolveProps(st, Target::Box, props))
            return false;
        if (found.contains(QStringLiteral("text")))
            return fail(st.line, QStringLiteral("у box нет текста; используйте объект text"));
        box.frame = props.frame.value_or(FrameSides::all());
        box.lineWidth = props.lineWidth;
        box.lineColor = props.lineColor;
        box.fill = props.fill;
        return true;
    }

    bool parseLine(const Statement &st, LineObject &line)
    {
        QHash<QString, Attr> found;
        Props props;
        const QStringList names{QStringLiteral("x1"), QStringLiteral("y1"), QStringLiteral("x2"), QStringLiteral("y2")};
        if (!geometry(st, names, found, names) || !resolveProps(st, Target::Line, props))
            return false;
        double v[4];
        for (int i = 0; i < 4; ++i)
            if (!number(found.value(names.at(i)), v[i]))
                return false;
        line.line = QLineF(v[0], v[1], v[2], v[3]);
        line.lineWidth = props.lineWidth;
        line.color = props.style.color;
        return true;
    }

    bool parseSubReport(const Statement &st, SubReport &sub)
    {
        QHash<QString, Attr> found;
        for (const Attr &a : st.attrs)
            if (a.name == u"style" || styleAttributes().contains(a.name))
                return fail(a.line, QStringLiteral("неизвестный атрибут %1 у subreport").arg(a.name));
        if (!geometry(st, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w")}, found,
                      {QStringLiteral("x"), QStringLiteral("y")}))
            return false;
        double x = 0, y = 0;
        if (!number(found.value(QStringLiteral("x")), x) || !number(found.value(QStringLiteral("y")), y))
            return false;
        if (found.contains(QStringLiteral("w")) && !number(found.value(QStringLiteral("w")), sub.width, 0, true))
            return false;
        sub.origin = QPointF(x, y);
        if (!opensBlock())
            return fail(st.line, QStringLiteral("у subreport нет блока полос"));
        // The parser, the layout and the layout's own destruction follow
        // subreports by recursion.
        if (m_subReports >= kMaxSubReportDepth)
            return fail(st.line, QStringLiteral("вложенные отчеты вложены глубже %1 уровней").arg(kMaxSubReportDepth));
        const SubReportLevel level(m_subReports);
        ++m_depth;
        for (;;) {
            skipNewlines();
            const Token &t = peek();
            if (t.kind == Token::Kind::End)
                return fail(st.line, QStringLiteral("subreport не закрыт \"}\""));
            if (t.kind == Token::Kind::Close) {
                ++m_pos;
                break;
            }
            Statement bandSt;
            if (!readStatement(bandSt, 1))
                return false;
            if (bandSt.keyword != u"band")
                return fail(bandSt.line, QStringLiteral("в subreport бывают только полосы"));
            Band band;
            if (!parseBand(bandSt, band, true))
                return false;
            sub.bands.push_back(std::move(band));
        }
        --m_depth;
        if (sub.bands.empty())
            return fail(st.line, QStringLiteral("subreport без полос"));
        return true;
    }

    const QString &m_source;
    QString *m_error;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_depth = 0;
    int m_subReports = 0; // subreports open around the statement being read
    QList<Attr> m_defaults;
    QHash<QString, QList<Attr>> m_styles;
};

} // namespace

bool parseLayout(const QString &text, Layout &layout, QString *error)
{
    Parser parser(text, error);
    return parser.run(layout);
}

bool loadLayout(const QString &path, Layout &layout, QString *error)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("%1: файл не найден").arg(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("%1: файл слишком велик для макета").arg(name);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        if (error)
            *error = QStringLiteral("%1: файл не в кодировке UTF-8").arg(name);
        return false;
    }
    QString why;
    if (!parseLayout(text, layout, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, why);
        return false;
    }
    return true;
}

} // namespace kx::reports
