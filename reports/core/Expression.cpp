#include "Expression.h"

#include "LayoutTexts.h"
#include "NumberFormat.h"

#include "base/Numbers.h"

#include <cmath>
#include <vector>

namespace kx::reports {

struct Expression::Node
{
    enum class Kind { Literal, Name, Negate, Add, Subtract, Multiply, Divide, Abs };
    Kind kind = Kind::Literal;
    QVariant literal;
    QString name;
    std::vector<std::shared_ptr<const Node>> args;
    int depth = 1; // levels of nodes from here down, this one included
};

namespace {

using Node = Expression::Node;
using NodePtr = std::shared_ptr<const Node>;

struct Token
{
    enum class Kind { End, Number, Text, Name, Op };
    Kind kind = Kind::End;
    QString text;
    double number = 0;
    qsizetype position = 0;
};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// An expression as messages quote it: a hostile one may be megabytes long.
QString shown(const QString &text)
{
    constexpr qsizetype kLongest = 60;
    return text.size() <= kLongest ? text : text.left(kLongest - 1) + u'…';
}

QString tooDeep(const QString &text) { return texts::expressionTooDeep(shown(text), Expression::kMaxDepth); }

class Parser
{
public:
    explicit Parser(const QString &text) : m_text(text) {}

    NodePtr parse(QString *error)
    {
        if (!advance(error))
            return nullptr;
        NodePtr root = sum(error);
        if (!root)
            return nullptr;
        if (m_token.kind != Token::Kind::End) {
            fail(error, texts::extraInExpression(m_token.text, shown(m_text)));
            return nullptr;
        }
        return root;
    }

private:
    bool isNameStart(QChar c) const { return c.isLetter() || c == u'_'; }
    bool isNamePart(QChar c) const { return c.isLetterOrNumber() || c == u'_' || c == u'.'; }

    bool advance(QString *error)
    {
        const qsizetype n = m_text.size();
        while (m_pos < n && m_text.at(m_pos).isSpace())
            ++m_pos;
        m_token = Token();
        m_token.position = m_pos;
        if (m_pos >= n)
            return true;
        const QChar c = m_text.at(m_pos);
        if (c.isDigit() && c.unicode() < 128) {
            const qsizetype start = m_pos;
            while (m_pos < n && m_text.at(m_pos).unicode() < 128 && m_text.at(m_pos).isDigit())
                ++m_pos;
            if (m_pos < n && m_text.at(m_pos) == u'.') {
                ++m_pos;
                while (m_pos < n && m_text.at(m_pos).unicode() < 128 && m_text.at(m_pos).isDigit())
                    ++m_pos;
            }
            if (m_pos < n && (m_text.at(m_pos) == u'e' || m_text.at(m_pos) == u'E')) {
                qsizetype e = m_pos + 1;
                if (e < n && (m_text.at(e) == u'+' || m_text.at(e) == u'-'))
                    ++e;
                if (e < n && m_text.at(e).unicode() < 128 && m_text.at(e).isDigit()) {
                    m_pos = e;
                    while (m_pos < n && m_text.at(m_pos).unicode() < 128 && m_text.at(m_pos).isDigit())
                        ++m_pos;
                }
            }
            m_token.kind = Token::Kind::Number;
            m_token.text = m_text.mid(start, m_pos - start);
            bool ok = false;
            m_token.number = m_token.text.toDouble(&ok);
            return ok || fail(error, texts::badNumberInExpression(m_token.text, shown(m_text)));
        }
        if (c == u'\'') {
            QString value;
            ++m_pos;
            for (;;) {
                if (m_pos >= n)
                    return fail(error, texts::unclosedApostrophe(shown(m_text)));
                const QChar d = m_text.at(m_pos++);
                if (d == u'\'') {
                    if (m_pos < n && m_text.at(m_pos) == u'\'') {
                        value += u'\'';
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                value += d;
            }
            m_token.kind = Token::Kind::Text;
            m_token.text = value;
            return true;
        }
        if (c == u'<') {
            const qsizetype end = m_text.indexOf(u'>', m_pos + 1);
            if (end < 0)
                return fail(error, texts::noClosingAngle(shown(m_text)));
            QString name = m_text.mid(m_pos + 1, end - m_pos - 1).remove(u'"').trimmed();
            if (name.isEmpty())
                return fail(error, texts::emptyNameInExpression(shown(m_text)));
            m_pos = end + 1;
            m_token.kind = Token::Kind::Name;
            m_token.text = name;
            return true;
        }
        if (isNameStart(c)) {
            const qsizetype start = m_pos;
            while (m_pos < n && isNamePart(m_text.at(m_pos)))
                ++m_pos;
            m_token.kind = Token::Kind::Name;
            m_token.text = m_text.mid(start, m_pos - start);
            return true;
        }
        if (QStringLiteral("+-*/(),").contains(c)) {
            ++m_pos;
            m_token.kind = Token::Kind::Op;
            m_token.text = c;
            return true;
        }
        return fail(error, texts::badCharacterInExpression(QString(c), shown(m_text)));
    }

    bool isOp(const char *op) const { return m_token.kind == Token::Kind::Op && m_token.text == QLatin1String(op); }

    // A node over its arguments; null (and the error set) when the tree would
    // grow deeper than the limit, which keeps the evaluation's recursion, and
    // the tree's own destruction, within the stack.
    NodePtr node(Node::Kind kind, std::vector<NodePtr> args, QString *error)
    {
        if (!counted(error))
            return nullptr;
        auto n = std::make_shared<Node>();
        n->kind = kind;
        for (const NodePtr &a : args)
            n->depth = std::max(n->depth, a->depth + 1);
        n->args = std::move(args);
        if (n->depth > Expression::kMaxDepth) {
            fail(error, tooDeep(m_text));
            return nullptr;
        }
        return n;
    }

    // Every node counts towards the limit as it is made, so that a long text
    // is refused before it takes much memory.
    bool counted(QString *error)
    {
        return ++m_nodes <= Expression::kMaxSize
               || fail(error, texts::expressionTooLong(shown(m_text), Expression::kMaxSize));
    }

public:
    int nodes() const { return m_nodes; }

private:
    // Nesting of parentheses, functions and signs, which the parser follows by
    // recursion.
    struct Nesting
    {
        explicit Nesting(int &level) : m_level(level) { ++m_level; }
        ~Nesting() { --m_level; }
        int &m_level;
    };
    bool tooNested(QString *error) const
    {
        return m_nesting > Expression::kMaxDepth && !fail(error, tooDeep(m_text));
    }

    NodePtr sum(QString *error)
    {
        NodePtr left = product(error);
        while (left && (isOp("+") || isOp("-"))) {
            const Node::Kind kind = isOp("+") ? Node::Kind::Add : Node::Kind::Subtract;
            if (!advance(error))
                return nullptr;
            NodePtr right = product(error);
            if (!right)
                return nullptr;
            left = node(kind, {left, right}, error);
        }
        return left;
    }

    NodePtr product(QString *error)
    {
        NodePtr left = unary(error);
        while (left && (isOp("*") || isOp("/"))) {
            const Node::Kind kind = isOp("*") ? Node::Kind::Multiply : Node::Kind::Divide;
            if (!advance(error))
                return nullptr;
            NodePtr right = unary(error);
            if (!right)
                return nullptr;
            left = node(kind, {left, right}, error);
        }
        return left;
    }

    NodePtr unary(QString *error)
    {
        if (isOp("-") || isOp("+")) {
            const Nesting nesting(m_nesting);
            if (tooNested(error))
                return nullptr;
            const bool negate = isOp("-");
            if (!advance(error))
                return nullptr;
            NodePtr operand = unary(error);
            if (!operand || !negate)
                return operand;
            return node(Node::Kind::Negate, {operand}, error);
        }
        return primary(error);
    }

    NodePtr primary(QString *error)
    {
        const Token token = m_token;
        switch (token.kind) {
        case Token::Kind::End:
            fail(error, texts::unfinishedExpression(shown(m_text)));
            return nullptr;
        case Token::Kind::Number:
        case Token::Kind::Text: {
            if (!counted(error) || !advance(error))
                return nullptr;
            auto node = std::make_shared<Node>();
            node->literal = token.kind == Token::Kind::Number ? QVariant(token.number) : QVariant(token.text);
            return node;
        }
        case Token::Kind::Name: {
            if (!advance(error))
                return nullptr;
            if (!isOp("(")) {
                if (!counted(error))
                    return nullptr;
                auto node = std::make_shared<Node>();
                node->kind = Node::Kind::Name;
                node->name = token.text;
                return node;
            }
            if (token.text.compare(QLatin1String("abs"), Qt::CaseInsensitive) != 0) {
                fail(error, texts::unknownFunction(token.text, shown(m_text)));
                return nullptr;
            }
            const Nesting nesting(m_nesting);
            if (tooNested(error) || !advance(error))
                return nullptr;
            NodePtr argument = sum(error);
            if (!argument)
                return nullptr;
            if (!isOp(")")) {
                fail(error, texts::absTakesOneArgument(shown(m_text)));
                return nullptr;
            }
            if (!advance(error))
                return nullptr;
            return node(Node::Kind::Abs, {argument}, error);
        }
        case Token::Kind::Op:
            if (isOp("(")) {
                const Nesting nesting(m_nesting);
                if (tooNested(error) || !advance(error))
                    return nullptr;
                NodePtr inner = sum(error);
                if (!inner)
                    return nullptr;
                if (!isOp(")")) {
                    fail(error, texts::noClosingParenthesis(shown(m_text)));
                    return nullptr;
                }
                if (!advance(error))
                    return nullptr;
                return inner;
            }
            fail(error, texts::extraInExpression(token.text, shown(m_text)));
            return nullptr;
        }
        return nullptr;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    Token m_token;
    int m_nesting = 0;
    int m_nodes = 0;
};

bool toNumber(const QVariant &v, double &out)
{
    if (isNumberValue(v)) {
        out = v.toDouble();
        return true;
    }
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        out = v.toString().trimmed().replace(u',', u'.').toDouble(&ok);
        return ok;
    }
    return false;
}

QString asText(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return plainNumber(v.toDouble());
    return v.toString();
}

bool evaluateNode(const Node &node, const Scope &scope, const QString &text, QVariant &result, QString *error,
                  int level)
{
    // The parser builds no deeper tree; this keeps the recursion bounded
    // whatever tree it is given.
    if (level > Expression::kMaxDepth)
        return fail(error, tooDeep(text));
    switch (node.kind) {
    case Node::Kind::Literal:
        result = node.literal;
        return true;
    case Node::Kind::Name:
        if (!scope.lookup(node.name, result))
            return fail(error, unknownNameMessage(node.name, text));
        return true;
    default:
        break;
    }

    std::vector<QVariant> values(node.args.size());
    for (size_t i = 0; i < node.args.size(); ++i) {
        if (!evaluateNode(*node.args[i], scope, text, values[i], error, level + 1))
            return false;
        if (isNullValue(values[i])) {
            result = QVariant();
            return true;
        }
    }

    if (node.kind == Node::Kind::Add && (values[0].typeId() == QMetaType::QString || values[1].typeId() == QMetaType::QString)) {
        result = asText(values[0]) + asText(values[1]);
        return true;
    }

    std::vector<double> numbers(values.size());
    for (size_t i = 0; i < values.size(); ++i)
        if (!toNumber(values[i], numbers[i]))
            return fail(error, texts::notANumberInExpression(shown(asText(values[i])), shown(text)));

    switch (node.kind) {
    case Node::Kind::Negate:
        result = -numbers[0];
        return true;
    case Node::Kind::Abs:
        result = std::fabs(numbers[0]);
        return true;
    case Node::Kind::Add:
        result = numbers[0] + numbers[1];
        return true;
    case Node::Kind::Subtract:
        result = numbers[0] - numbers[1];
        return true;
    case Node::Kind::Multiply:
        result = numbers[0] * numbers[1];
        return true;
    case Node::Kind::Divide:
        if (numbers[1] == 0)
            return fail(error, texts::divisionByZero(shown(text)));
        result = numbers[0] / numbers[1];
        return true;
    default:
        return fail(error, texts::badExpression(shown(text)));
    }
}

} // namespace

bool isNullValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

bool isNumberValue(const QVariant &v)
{
    return isNumber(v);
}

std::optional<Expression> Expression::parse(const QString &text, QString *error)
{
    Parser parser(text);
    NodePtr root = parser.parse(error);
    if (!root)
        return std::nullopt;
    Expression e;
    e.m_root = std::move(root);
    e.m_text = text;
    e.m_size = parser.nodes();
    return e;
}

bool Expression::evaluate(const Scope &scope, QVariant &result, QString *error) const
{
    result = QVariant();
    if (!m_root)
        return fail(error, texts::emptyExpression());
    return evaluateNode(*m_root, scope, m_text, result, error, 1);
}

QStringList Expression::names() const
{
    QStringList out;
    // Depth-first without recursion.
    std::vector<const Node *> pending;
    if (m_root)
        pending.push_back(m_root.get());
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (n->kind == Node::Kind::Name && !out.contains(n->name))
            out.append(n->name);
        for (auto it = n->args.rbegin(); it != n->args.rend(); ++it)
            pending.push_back(it->get());
    }
    return out;
}

QString unknownNameMessage(const QString &name, const QString &expression)
{
    return texts::unknownName(shown(name), shown(expression));
}

} // namespace kx::reports
