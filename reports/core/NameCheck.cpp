#include "NameCheck.h"

#include "LayoutParser.h"
#include "ReportTexts.h"

#include <optional>

namespace kx::reports {
namespace {

bool failText(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool containsName(const QStringList &names, const QString &name) { return names.contains(name, Qt::CaseInsensitive); }

// The static twin of RowScope::lookup: what a name can resolve to in a band
// whose data bands around it (innermost last) are datasets.
class NameCheck
{
public:
    NameCheck(const ReportInput &input, QString *error) : m_input(input), m_error(error) { }

    bool bands(const std::vector<Band> &bands, QStringList &scope, int level)
    {
        if (level > kMaxSubReportDepth + 1)
            return failText(m_error, texts::subReportsTooDeep(kMaxSubReportDepth));
        for (const Band &band : bands) {
            const bool data = band.kind == BandKind::Data;
            if (data) {
                if (findDataset(m_input.datasets, band.dataset) == m_input.datasets.constEnd())
                    return failText(m_error, texts::atLine(band.line, texts::noDataset(band.dataset)));
                scope.append(band.dataset);
            }
            const bool ok = objects(band, scope, level);
            if (data)
                scope.removeLast();
            if (!ok)
                return false;
        }
        return true;
    }

private:
    bool objects(const Band &band, QStringList &scope, int level)
    {
        for (const LayoutObject &object : band.objects) {
            if (const auto *text = std::get_if<TextObject>(&object)) {
                for (const Expression *e : text->text.expressions())
                    for (const QString &name : e->names())
                        if (!known(name, scope))
                            return failText(m_error, texts::atLine(text->line ? text->line : band.line,
                                                                   unknownNameMessage(name, e->text())));
            } else if (const auto *sub = std::get_if<SubReport>(&object)) {
                if (!bands(sub->bands, scope, level + 1))
                    return false;
            }
        }
        return true;
    }

    // A dataset's columns: as handed over, or else those its rows have;
    // nullopt when neither tells (no entry and no rows).
    std::optional<QStringList> fieldsOf(const QString &dataset) const
    {
        const auto named = findDataset(m_input.fields, dataset);
        if (named != m_input.fields.constEnd())
            return named.value();
        const auto rows = findDataset(m_input.datasets, dataset);
        if (rows == m_input.datasets.constEnd() || rows.value().isEmpty())
            return std::nullopt;
        QStringList out;
        for (const QVariantMap &row : rows.value())
            for (auto it = row.constBegin(); it != row.constEnd(); ++it)
                if (!out.contains(it.key()))
                    out.append(it.key());
        return out;
    }

    bool known(const QString &name, const QStringList &scope) const
    {
        for (const QString &dataset : scope) {
            const std::optional<QStringList> fields = fieldsOf(dataset);
            // Columns nobody told cannot be checked; the row, if any, will.
            if (!fields || containsName(*fields, name))
                return true;
        }
        for (const QString &dataset : scope)
            if (name.size() > dataset.size() + 1 && name.startsWith(dataset, Qt::CaseInsensitive)
                && name.at(dataset.size()) == u'.' && containsName(*fieldsOf(dataset), name.mid(dataset.size() + 1)))
                return true;
        for (auto it = m_input.variables.constBegin(); it != m_input.variables.constEnd(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

    const ReportInput &m_input;
    QString *m_error;
};

} // namespace

bool checkNames(const Layout &layout, const ReportInput &input, QString *error)
{
    QStringList scope;
    return NameCheck(input, error).bands(layout.bands, scope, 0);
}

} // namespace kx::reports
