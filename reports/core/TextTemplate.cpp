#include "TextTemplate.h"

namespace kx::reports {

std::optional<TextTemplate> TextTemplate::parse(const QString &text, QString *error)
{
    TextTemplate t;
    t.m_source = text;
    QString literal;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u']') {
            if (error)
                *error = QStringLiteral("\"]\" без \"[\" в тексте \"%1\"").arg(text);
            return std::nullopt;
        }
        if (c != u'[') {
            literal += c;
            continue;
        }
        // The expression ends at the first "]" outside a quoted text.
        qsizetype end = i + 1;
        bool quoted = false;
        while (end < n && (quoted || text.at(end) != u']')) {
            if (text.at(end) == u'\'')
                quoted = !quoted;
            ++end;
        }
        if (end >= n) {
            if (error)
                *error = QStringLiteral("\"[\" без \"]\" в тексте \"%1\"").arg(text);
            return std::nullopt;
        }
        std::optional<Expression> e = Expression::parse(text.mid(i + 1, end - i - 1), error);
        if (!e)
            return std::nullopt;
        if (!literal.isEmpty()) {
            t.m_parts.push_back(Part{literal, std::nullopt});
            literal.clear();
        }
        t.m_parts.push_back(Part{QString(), std::move(e)});
        i = end;
    }
    if (!literal.isEmpty())
        t.m_parts.push_back(Part{literal, std::nullopt});
    return t;
}

std::vector<const Expression *> TextTemplate::expressions() const
{
    std::vector<const Expression *> out;
    for (const Part &p : m_parts)
        if (p.expression)
            out.push_back(&*p.expression);
    return out;
}

bool TextTemplate::hasExpressions() const
{
    for (const Part &p : m_parts)
        if (p.expression)
            return true;
    return false;
}

bool TextTemplate::render(const Scope &scope, const std::optional<NumberFormat> &format, QString &out,
                          QString *error) const
{
    out.clear();
    for (const Part &p : m_parts) {
        if (!p.expression) {
            out += p.literal;
            continue;
        }
        QVariant value;
        if (!p.expression->evaluate(scope, value, error))
            return false;
        out += displayValue(value, format);
    }
    return true;
}

QString displayValue(const QVariant &value, const std::optional<NumberFormat> &format)
{
    if (isNullValue(value))
        return QString();
    if (isNumberValue(value)) {
        if (format)
            return format->format(value.toDouble());
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return plainNumber(value.toDouble());
        return value.toString();
    }
    return value.toString();
}

} // namespace kx::reports
