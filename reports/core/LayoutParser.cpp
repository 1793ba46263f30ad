#include "LayoutParser.h"

#include "LayoutAttributes.h"
#include "LayoutTexts.h"
#include "LayoutTokens.h"
#include "ReportTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace kx::reports {
namespace {

using namespace layout;

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

struct SubReportLevel
{
    explicit SubReportLevel(int &level) : m_level(level) { ++m_level; }
    ~SubReportLevel() { --m_level; }
    int &m_level;
};

// The grammar of a layout: its statements, bands and objects, read from the
// tokens (LayoutTokens.h) with their attributes (LayoutAttributes.h).
class Parser
{
public:
    Parser(std::vector<Token> tokens, Failure &fail)
        : m_fail(fail)
        , m_tokens(std::move(tokens), fail)
        , m_attributes(fail)
    { }

    bool run(Layout &out)
    {
        Layout layout;
        if (!parseRoot(layout))
            return false;
        out = std::move(layout);
        return true;
    }

private:
    bool fail(int line, const QString &text) { return m_fail.at(line, text); }

    bool parseRoot(Layout &layout)
    {
        bool header = false;
        bool page = false;
        bool onlyOnce[static_cast<int>(BandKind::PageFooter) + 1] = {};
        for (;;) {
            m_tokens.skipNewlines();
            const Token &t = m_tokens.peek();
            if (t.kind == Token::Kind::End)
                break;
            if (t.kind == Token::Kind::Close)
                return fail(t.line, texts::closeWithoutOpen());
            Statement st;
            const bool positionalOne = t.text == u"kalyx-report" || t.text == u"band" || t.text == u"style";
            if (!m_tokens.readStatement(st, positionalOne ? 1 : 0))
                return false;
            if (!header) {
                if (st.keyword != u"kalyx-report")
                    return fail(st.line, texts::notALayout());
                if (st.args != QStringList{QStringLiteral("1")} || !st.attrs.isEmpty())
                    return fail(st.line, texts::unsupportedLayoutVersion());
                header = true;
                if (!endOfStatement(st))
                    return false;
                continue;
            }
            if (st.keyword == u"page") {
                if (page)
                    return fail(st.line, texts::statementTwice(QStringLiteral("page")));
                page = true;
                if (!parsePage(st, layout) || !endOfStatement(st))
                    return false;
            } else if (st.keyword == u"defaults") {
                if (!m_attributes.checkStyleAttrs(st) || !endOfStatement(st))
                    return false;
                m_attributes.addDefaults(st.attrs);
            } else if (st.keyword == u"style") {
                if (st.args.size() != 1)
                    return fail(st.line, texts::styleWithoutName());
                if (m_attributes.hasStyle(st.args.first()))
                    return fail(st.line, texts::styleTwice(st.args.first()));
                if (!m_attributes.checkStyleAttrs(st) || !endOfStatement(st))
                    return false;
                m_attributes.addStyle(st.args.first(), st.attrs);
            } else if (st.keyword == u"band") {
                Band band;
                if (!parseBand(st, band, false))
                    return false;
                if (band.kind == BandKind::Title || band.kind == BandKind::PageHeader || band.kind == BandKind::PageFooter) {
                    bool &seen = onlyOnce[static_cast<int>(band.kind)];
                    if (seen)
                        return fail(st.line, texts::bandOnlyOnce(bandKindName(band.kind)));
                    seen = true;
                }
                layout.bands.push_back(std::move(band));
            } else if (st.keyword == u"kalyx-report") {
                return fail(st.line, texts::statementTwice(QStringLiteral("kalyx-report")));
            } else {
                return fail(st.line, texts::unknownStatement(st.keyword));
            }
        }
        if (!header)
            return fail(0, texts::emptyLayout());
        if (!page)
            return fail(0, texts::noPageStatement());
        return true;
    }

    // A statement that takes no block must end its line.
    bool endOfStatement(const Statement &st)
    {
        if (m_tokens.peek().kind == Token::Kind::Open)
            return fail(st.line, texts::noBlockAllowed(st.keyword));
        if (m_tokens.peek().kind == Token::Kind::Close && m_depth == 0)
            return fail(st.line, texts::closeWithoutOpen());
        return true;
    }

    bool parsePage(const Statement &st, Layout &layout)
    {
        PageSetup page;
        bool width = false, height = false;
        for (const Attr &a : st.attrs) {
            if (a.name == u"width") {
                if (!m_attributes.number(a, page.width, 10))
                    return false;
                width = true;
            } else if (a.name == u"height") {
                if (!m_attributes.number(a, page.height, 10))
                    return false;
                height = true;
            } else if (a.name == u"margins") {
                const QStringList parts = a.value.split(u',');
                if (parts.size() != 1 && parts.size() != 4)
                    return fail(a.line, texts::marginsCount());
                double m[4];
                for (int i = 0; i < 4; ++i) {
                    bool ok = false;
                    m[i] = parts.at(parts.size() == 1 ? 0 : i).trimmed().toDouble(&ok);
                    if (!ok || !std::isfinite(m[i]) || m[i] < 0)
                        return fail(a.line, texts::badMargins(a.value));
                }
                page.margins = QMarginsF(m[0], m[1], m[2], m[3]);
            } else if (a.name == u"title") {
                layout.title = a.value;
            } else {
                return fail(a.line, texts::unknownAttributeOf(a.name, QStringLiteral("page")));
            }
        }
        if (!width || !height)
            return fail(st.line, texts::pageWithoutSize());
        const QSizeF area = page.printingArea();
        if (area.width() <= 0 || area.height() <= 0)
            return fail(st.line, texts::noRoomToPrint());
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
            return fail(st.line, texts::bandWithoutKind());
        band.kind = kinds.value(st.args.first());
        if (inSubReport && band.kind != BandKind::Header && band.kind != BandKind::Data && band.kind != BandKind::Summary)
            return fail(st.line, texts::subReportBandKinds());
        bool hasHeight = false;
        for (const Attr &a : st.attrs) {
            if (a.name == u"height") {
                if (!m_attributes.number(a, band.height, 0))
                    return false;
                hasHeight = true;
            } else if (a.name == u"dataset" && band.kind == BandKind::Data) {
                band.dataset = a.value.trimmed();
            } else if (a.name == u"repeat" && band.kind == BandKind::Header) {
                if (!m_attributes.flag(a, band.repeat))
                    return false;
            } else {
                return fail(a.line, texts::unknownBandAttribute(a.name, bandKindName(band.kind)));
            }
        }
        if (!hasHeight)
            return fail(st.line, texts::attributeMissing(QStringLiteral("band"), QStringLiteral("height")));
        if (band.kind == BandKind::Data && band.dataset.isEmpty())
            return fail(st.line, texts::dataBandWithoutDataset());
        if (!m_tokens.opensBlock())
            return endOfStatement(st);

        ++m_depth;
        for (;;) {
            m_tokens.skipNewlines();
            const Token &t = m_tokens.peek();
            if (t.kind == Token::Kind::End)
                return fail(band.line, texts::bandNotClosed());
            if (t.kind == Token::Kind::Close) {
                m_tokens.skip();
                break;
            }
            Statement obj;
            if (!m_tokens.readStatement(obj, 0))
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
                return fail(obj.line, texts::unknownObject(obj.keyword));
            }
        }
        --m_depth;
        return true;
    }

    bool parseText(const Statement &st, TextObject &text)
    {
        QHash<QString, Attr> found;
        Props props;
        if (!m_attributes.rect(st, found, text.rect) || !m_attributes.resolveProps(st, Target::Text, props))
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
        if (!m_attributes.rect(st, found, box.rect) || !m_attributes.resolveProps(st, Target::Box, props))
            return false;
        if (found.contains(QStringLiteral("text")))
            return fail(st.line, texts::boxWithoutText());
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
        if (!m_attributes.geometry(st, names, found, names) || !m_attributes.resolveProps(st, Target::Line, props))
            return false;
        double v[4];
        for (int i = 0; i < 4; ++i)
            if (!m_attributes.number(found.value(names.at(i)), v[i]))
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
                return fail(a.line, texts::unknownAttributeOf(a.name, QStringLiteral("subreport")));
        if (!m_attributes.geometry(st, {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("w")}, found,
                                   {QStringLiteral("x"), QStringLiteral("y")}))
            return false;
        double x = 0, y = 0;
        if (!m_attributes.number(found.value(QStringLiteral("x")), x)
            || !m_attributes.number(found.value(QStringLiteral("y")), y))
            return false;
        if (found.contains(QStringLiteral("w"))
            && !m_attributes.number(found.value(QStringLiteral("w")), sub.width, 0, true))
            return false;
        sub.origin = QPointF(x, y);
        if (!m_tokens.opensBlock())
            return fail(st.line, texts::subReportWithoutBlock());
        // The parser, the layout and the layout's own destruction follow
        // subreports by recursion.
        if (m_subReports >= kMaxSubReportDepth)
            return fail(st.line, texts::subReportsTooDeep(kMaxSubReportDepth));
        const SubReportLevel level(m_subReports);
        ++m_depth;
        for (;;) {
            m_tokens.skipNewlines();
            const Token &t = m_tokens.peek();
            if (t.kind == Token::Kind::End)
                return fail(st.line, texts::subReportNotClosed());
            if (t.kind == Token::Kind::Close) {
                m_tokens.skip();
                break;
            }
            Statement bandSt;
            if (!m_tokens.readStatement(bandSt, 1))
                return false;
            if (bandSt.keyword != u"band")
                return fail(bandSt.line, texts::onlyBandsInSubReport());
            Band band;
            if (!parseBand(bandSt, band, true))
                return false;
            sub.bands.push_back(std::move(band));
        }
        --m_depth;
        if (sub.bands.empty())
            return fail(st.line, texts::subReportWithoutBands());
        return true;
    }

    Failure &m_fail;
    TokenStream m_tokens;
    AttributeReader m_attributes;
    int m_depth = 0;
    int m_subReports = 0; // subreports open around the statement being read
};

} // namespace

bool parseLayout(const QString &text, Layout &layout, QString *error)
{
    Failure fail(error);
    std::vector<Token> tokens;
    if (!tokenize(text, tokens, fail))
        return false;
    Parser parser(std::move(tokens), fail);
    return parser.run(layout);
}

bool loadLayout(const QString &path, Layout &layout, QString *error)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = texts::layoutFileNotFound(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = texts::layoutFileTooLarge(name);
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
            *error = texts::layoutFileNotUtf8(name);
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
