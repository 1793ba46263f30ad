#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// Reading a layout's text (docs/pp.fr3.md): the tokens of its lines and the
// statements they make.
namespace kx::reports::layout {

// Where the reading of a layout failed, whichever part of the reader found it:
// one line of text with the layout's line number.
class Failure
{
public:
    explicit Failure(QString *error) : m_error(error) { }
    // Records the fault; always false, so that a reader can return it.
    bool at(int line, const QString &text);

private:
    QString *m_error;
};

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

// The text as tokens, line by line: bare words, texts in quotes (a quote or
// a backslash inside one escaped by a backslash), "=", "{", "}", the end of
// every line and the end of the text. A line whose first visible character
// is "#" is a comment.
[[nodiscard]] bool tokenize(const QString &source, std::vector<Token> &tokens, Failure &fail);

// The tokens, read statement by statement.
class TokenStream
{
public:
    TokenStream(std::vector<Token> tokens, Failure &fail) : m_tokens(std::move(tokens)), m_fail(fail) { }

    const Token &peek() const { return m_tokens[m_pos]; }
    void skip() { ++m_pos; }
    void skipNewlines()
    {
        while (peek().kind == Token::Kind::Newline)
            skip();
    }
    // Reads "keyword positional... name=value flag ..." up to the end of the
    // line or a brace. positional: how many bare words after the keyword are
    // arguments rather than flags.
    [[nodiscard]] bool readStatement(Statement &st, int positional);
    // After a statement: true when a "{" opens a block (consumed).
    bool opensBlock()
    {
        if (peek().kind != Token::Kind::Open)
            return false;
        skip();
        return true;
    }

private:
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    Failure &m_fail;
};

} // namespace kx::reports::layout
