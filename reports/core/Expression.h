#pragma once

#include <QString>
#include <QStringList>
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
    // Nesting beyond this (parentheses, abs, signs, or a chain of operators
    // that deep) is refused: a hostile layout must not exhaust the stack.
    static constexpr int kMaxDepth = 100;
    // More operands and operators than this in one expression are refused:
    // each is evaluated for every row printed.
    static constexpr int kMaxSize = 1000;

    static std::optional<Expression> parse(const QString &text, QString *error = nullptr);

    bool evaluate(const Scope &scope, QVariant &result, QString *error = nullptr) const;
    const QString &text() const { return m_text; }
    // The names the expression reads, each once, in the order written.
    QStringList names() const;
    // Its operands and operators: the work of one evaluation.
    int size() const { return m_size; }

    struct Node;

private:
    Expression() = default;

    std::shared_ptr<const Node> m_root;
    QString m_text;
    int m_size = 0;
};

// "неизвестное имя \"SO2\" в выражении \"SO2 / 2\"": what an unknown name in
// an expression is reported as, at evaluation and when a layout is checked.
QString unknownNameMessage(const QString &name, const QString &expression);

// True for Null values and invalid variants alike.
bool isNullValue(const QVariant &v);
// True for values that hold a number (not a text that looks like one).
bool isNumberValue(const QVariant &v);

} // namespace kx::reports
