#include "ReportBuilder.h"

#include "LayoutParser.h"
#include "NameCheck.h"
#include "ReportTexts.h"

#include <optional>
#include <utility>

namespace kx::reports {
namespace {

// Bands may end a hair below the usable area through rounding of the sizes.
constexpr double kTolerance = 0.001;

QVariant findKey(const QVariantMap &map, const QString &name, bool &found)
{
    auto it = map.constFind(name);
    if (it != map.constEnd()) {
        found = true;
        return it.value();
    }
    for (it = map.constBegin(); it != map.constEnd(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
            found = true;
            return it.value();
        }
    found = false;
    return {};
}

// Names resolve to the fields of the rows being printed (the innermost first),
// then to "dataset.field" of those rows, then to the variables.
class RowScope : public Scope
{
public:
    explicit RowScope(const QVariantMap &variables) : m_variables(variables) {}

    void push(const QString &dataset, const QVariantMap *row) { m_rows.emplace_back(dataset, row); }
    void pop() { m_rows.pop_back(); }

    bool lookup(const QString &name, QVariant &value) const override
    {
        bool found = false;
        for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it) {
            value = findKey(*it->second, name, found);
            if (found)
                return true;
        }
        for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it) {
            const QString &dataset = it->first;
            if (name.size() > dataset.size() + 1 && name.startsWith(dataset, Qt::CaseInsensitive)
                && name.at(dataset.size()) == u'.') {
                value = findKey(*it->second, name.mid(dataset.size() + 1), found);
                if (found)
                    return true;
            }
        }
        value = findKey(m_variables, name, found);
        return found;
    }

private:
    const QVariantMap &m_variables;
    std::vector<std::pair<QString, const QVariantMap *>> m_rows;
};

bool failText(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

class Builder
{
public:
    Builder(const Layout &layout, const ReportInput &input, const PageSetup &page, QString *error)
        : m_layout(layout), m_input(input), m_page(page), m_error(error), m_scope(input.variables)
    {
    }

    bool run(PreparedReport &out)
    {
        const Band *title = nullptr;
        std::vector<const Band *> body;
        for (const Band &band : m_layout.bands) {
            switch (band.kind) {
            case BandKind::Title:
                title = &band;
                break;
            case BandKind::PageHeader:
                m_pageHeader = &band;
                break;
            case BandKind::PageFooter:
                m_pageFooter = &band;
                break;
            default:
                body.push_back(&band);
            }
        }
        m_report.page = m_page;
        m_report.title = m_layout.title;
        m_bottom = m_page.printingArea().height() - (m_pageFooter ? m_pageFooter->height : 0);

        if (!startPage())
            return false;
        if (title && !flow(*title))
            return false;

        for (size_t i = 0; i < body.size(); ++i) {
            const Band &band = *body[i];
            if (band.kind == BandKind::Header && i + 1 < body.size() && body[i + 1]->kind == BandKind::Data) {
                if (!data(*body[i + 1], &band))
                    return false;
                ++i;
            } else if (band.kind == BandKind::Data) {
                if (!data(band, nullptr))
                    return false;
            } else if (!flow(band)) {
                return false;
            }
        }
        if (!finishPage())
            return false;
        out = std::move(m_report);
        return true;
    }

private:
    bool fail(int line, const QString &text) { return failText(m_error, texts::atLine(line, text)); }

    // Counts objects placed on pages, the work of laying objects out
    // (expression steps included) and the characters of the texts made,
    // against the limits; false (and the error set) beyond them.
    bool spend(qint64 items, qint64 work, qint64 chars)
    {
        m_items += items;
        m_work += work;
        m_chars += chars;
        if (m_items <= ReportLimits::kMaxItems && m_work <= ReportLimits::kMaxWork && m_chars <= ReportLimits::kMaxTextChars)
            return true;
        return failText(m_error, texts::reportTooLarge(ReportLimits::kMaxPages, ReportLimits::kMaxItems,
                                                       ReportLimits::kMaxTextChars));
    }

    const QList<QVariantMap> *rows(const Band &band)
    {
        const auto it = findDataset(m_input.datasets, band.dataset);
        if (it == m_input.datasets.constEnd()) {
            fail(band.line, texts::noDataset(band.dataset));
            return nullptr;
        }
        return &it.value();
    }

    // Lays a band out at (x, y) into items; height gets the space it takes:
    // its own height, or more where a subreport reaches further down.
    bool layOut(const Band &band, QPointF at, QList<PageItem> &items, double &height, int level = 0)
    {
        // The parser refuses deeper nesting; this keeps the recursion bounded
        // whatever layout it is given.
        if (level > kMaxSubReportDepth)
            return failText(m_error, texts::subReportsTooDeep(kMaxSubReportDepth));
        height = band.height;
        for (const LayoutObject &object : band.objects) {
            if (const auto *text = std::get_if<TextObject>(&object)) {
                qint64 steps = 1;
                for (const Expression *e : text->text.expressions())
                    steps += e->size();
                if (!spend(0, steps, 0))
                    return false;
                PageItem item;
                item.kind = PageItem::Kind::Text;
                item.rect = text->rect.translated(at);
                QString why;
                if (!text->text.render(m_scope, text->format, item.text, &why))
                    return fail(text->line ? text->line : band.line, why);
                if (!spend(0, 0, item.text.size()))
                    return false;
                item.style = text->style;
                item.frame = text->frame;
                item.lineWidth = text->lineWidth;
                item.lineColor = text->lineColor;
                item.fill = text->fill;
                items.append(item);
            } else if (const auto *box = std::get_if<BoxObject>(&object)) {
                if (!spend(0, 1, 0))
                    return false;
                PageItem item;
                item.kind = PageItem::Kind::Box;
                item.rect = box->rect.translated(at);
                item.frame = box->frame;
                item.lineWidth = box->lineWidth;
                item.lineColor = box->lineColor;
                item.fill = box->fill;
                items.append(item);
            } else if (const auto *line = std::get_if<LineObject>(&object)) {
                if (!spend(0, 1, 0))
                    return false;
                PageItem item;
                item.kind = PageItem::Kind::Line;
                item.line = line->line.translated(at);
                item.lineWidth = line->lineWidth;
                item.lineColor = line->color;
                items.append(item);
            } else if (const auto *sub = std::get_if<SubReport>(&object)) {
                double subHeight = 0;
                if (!layOutSubReport(*sub, at + sub->origin, items, subHeight, level + 1))
                    return false;
                height = qMax(height, sub->origin.y() + subHeight);
            }
        }
        return true;
    }

    // A subreport's bands one under the other, without page breaks.
    bool layOutSubReport(const SubReport &sub, QPointF at, QList<PageItem> &items, double &height, int level)
    {
        height = 0;
        for (const Band &band : sub.bands) {
            if (band.kind != BandKind::Data) {
                double h = 0;
                if (!layOut(band, at + QPointF(0, height), items, h, level))
                    return false;
                height += h;
                continue;
            }
            const QList<QVariantMap> *data = rows(band);
            if (!data)
                return false;
            for (const QVariantMap &row : *data) {
                m_scope.push(band.dataset, &row);
                double h = 0;
                const bool ok = layOut(band, at + QPointF(0, height), items, h, level);
                m_scope.pop();
                if (!ok)
                    return false;
                height += h;
            }
        }
        return true;
    }

    bool place(const QList<PageItem> &items, double height)
    {
        // A header repeated on every page takes room on every page (its texts
        // are shared, not copied).
        if (!spend(items.size(), 0, 0))
            return false;
        for (PageItem item : items) {
            item.rect.translate(0, m_y);
            item.line.translate(0, m_y);
            m_report.pages.last().items.append(item);
        }
        m_y += height;
        return true;
    }

    bool fits(double height) const { return m_y + height <= m_bottom + kTolerance || m_y <= m_contentTop + kTolerance; }

    // A band in the flow of the page: on this page when it fits, else on the next.
    bool flow(const Band &band)
    {
        QList<PageItem> items;
        double height = 0;
        if (!layOut(band, QPointF(), items, height))
            return false;
        if (!fits(height) && !newPage())
            return false;
        return place(items, height);
    }

    bool data(const Band &band, const Band *header)
    {
        const QList<QVariantMap> *data = rows(band);
        if (!data)
            return false;
        QList<PageItem> headerItems;
        double headerHeight = 0;
        if (header && !layOut(*header, QPointF(), headerItems, headerHeight))
            return false;

        for (qsizetype i = 0; i < data->size(); ++i) {
            m_scope.push(band.dataset, &data->at(i));
            QList<PageItem> items;
            double height = 0;
            const bool ok = layOut(band, QPointF(), items, height);
            m_scope.pop();
            if (!ok)
                return false;
            if (i == 0 && header) {
                // The header stays with the first row.
                if (!fits(headerHeight + height) && !newPage())
                    return false;
                if (!place(headerItems, headerHeight))
                    return false;
            } else if (!fits(height)) {
                if (!newPage())
                    return false;
                if (header && header->repeat && !place(headerItems, headerHeight))
                    return false;
            }
            if (!place(items, height))
                return false;
        }
        if (data->isEmpty() && header)
            return flowItems(headerItems, headerHeight);
        return true;
    }

    bool flowItems(const QList<PageItem> &items, double height)
    {
        if (!fits(height) && !newPage())
            return false;
        return place(items, height);
    }

    bool startPage()
    {
        if (m_report.pages.size() >= ReportLimits::kMaxPages)
            return failText(m_error, texts::reportTooLarge(ReportLimits::kMaxPages, ReportLimits::kMaxItems,
                                                           ReportLimits::kMaxTextChars));
        m_report.pages.append(PreparedPage());
        m_y = 0;
        m_contentTop = 0;
        if (m_pageHeader) {
            QList<PageItem> items;
            double height = 0;
            if (!layOut(*m_pageHeader, QPointF(), items, height) || !place(items, height))
                return false;
            m_contentTop = m_y;
        }
        return true;
    }

    bool finishPage()
    {
        if (!m_pageFooter)
            return true;
        QList<PageItem> items;
        double height = 0;
        if (!layOut(*m_pageFooter, QPointF(), items, height))
            return false;
        m_y = m_bottom;
        return place(items, height);
    }

    bool newPage() { return finishPage() && startPage(); }

    const Layout &m_layout;
    const ReportInput &m_input;
    PageSetup m_page;
    QString *m_error;
    RowScope m_scope;
    PreparedReport m_report;
    const Band *m_pageHeader = nullptr;
    const Band *m_pageFooter = nullptr;
    double m_y = 0;
    double m_contentTop = 0;
    double m_bottom = 0;
    qint64 m_items = 0;
    qint64 m_work = 0;
    qint64 m_chars = 0;
};

} // namespace

QStringList PreparedReport::texts(int pageIndex) const
{
    QStringList out;
    if (pageIndex < 0 || pageIndex >= pages.size())
        return out;
    for (const PageItem &item : pages.at(pageIndex).items)
        if (item.kind == PageItem::Kind::Text)
            out.append(item.text);
    return out;
}

bool prepareReport(const Layout &layout, const ReportInput &input, PreparedReport &out, QString *error)
{
    return prepareReport(layout, input, layout.page, out, error);
}

bool prepareReport(const Layout &layout, const ReportInput &input, const PageSetup &page, PreparedReport &out,
                   QString *error)
{
    const double available = page.printingArea().width();
    const double scale = available > 0 ? qMin(1.0, available / layout.page.printingArea().width()) : 1.0;
    // Laid out on the paper enlarged by the inverse of the scale, the pages
    // break where the smaller sheet fills the real paper.
    PageSetup laidOut = page;
    laidOut.width /= scale;
    laidOut.height /= scale;
    laidOut.margins /= scale;
    if (!checkNames(layout, input, error))
        return false;
    Builder builder(layout, input, laidOut, error);
    if (!builder.run(out))
        return false;
    out.page = page;
    out.scale = scale;
    return true;
}

} // namespace kx::reports
