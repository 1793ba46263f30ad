#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

namespace kx::reports {

// Where an expression finds the values of its names: the fields of the rows
// being printed and the report's variables.
class Scope
{
public:
    virtual ~Scope() = default;
    // false when no field or variable has that name.
    virtual bool lookup(const QString &name, QVariant &value) const = 0;
};

// A small expression of the layout file, the text between "[" and "]" in a
// text object: numbers (with "." as decimal point), texts in apostrophes ('it''s'),
// names of fields and variables (Name, Punkts.ID, or any text in angle
// brackets: <VH>, <S ост.>), + - * / with the usual precedence, unary minus,
// parentheses and the function abs(x).
//
// A Null value makes the whole result Null (an empty cell). "+" joins texts
// when either side is a text; the other operators need numbers (a text that
// reads as a number counts as one). Division by zero and unknown names are
// errors, so that a wrong layout fails instead of printing a wrong sheet.
class Expression
{
public:
    static std::optional<Expression> parse(const QString &text, QString *error = nullptr);

    bool evaluate(const Scope &scope, QVariant &result, QString *error = nullptr) const;
    const QString &text() const { return m_text; }

    struct Node;

private:
    Expression() = default;

    std::shared_ptr<const Node> m_root;
    QString m_text;
};

// True for Null values and invalid variants alike.
bool isNullValue(const QVariant &v);
// True for values that hold a number (not a text that looks like one).
bool isNumberValue(const QVariant &v);

} // namespace kx::reports
