#pragma once

#include "Expression.h"
#include "NumberFormat.h"

#include <QString>

#include <optional>
#include <vector>

namespace kx::reports {

// The text of a text object: plain text with expressions in square brackets,
// "[Name] ([AP_V] - [AP_P])". Every expression's value is shown with the
// object's number format when it is a number; a Null value shows as nothing.
class TextTemplate
{
public:
    TextTemplate() = default;

    static std::optional<TextTemplate> parse(const QString &text, QString *error = nullptr);

    [[nodiscard]] bool render(const Scope &scope, const std::optional<NumberFormat> &format, QString &out,
                              QString *error = nullptr) const;

    const QString &source() const { return m_source; }
    bool hasExpressions() const;
    // The text's expressions in the order written.
    std::vector<const Expression *> expressions() const;

private:
    struct Part
    {
        QString literal;                  // used when expression is empty
        std::optional<Expression> expression;
    };
    std::vector<Part> m_parts;
    QString m_source;
};

// How a value appears in a cell: numbers with the format (or in the shortest
// general form without one), texts as they are, Null as nothing.
QString displayValue(const QVariant &value, const std::optional<NumberFormat> &format);

} // namespace kx::reports
