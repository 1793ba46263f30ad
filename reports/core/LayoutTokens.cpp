#include "LayoutTokens.h"

#include "LayoutTexts.h"
#include "ReportTexts.h"

#include <QSet>

namespace kx::reports::layout {

bool Failure::at(int line, const QString &text)
{
    if (m_error) {
        // The reason goes into a message box: a value it quotes may be huge.
        constexpr qsizetype kLongest = 300;
        *m_error =
            line > 0 ? texts::atLine(line, text) : (text.size() <= kLongest ? text : text.left(kLongest - 1) + u'…');
    }
    return false;
}

bool tokenize(const QString &source, std::vector<Token> &tokens, Failure &fail)
{
    const QStringList lines = source.split(u'\n');
    for (int index = 0; index < lines.size(); ++index) {
        const int line = index + 1;
        QString text = lines.at(index);
        if (text.endsWith(u'\r'))
            text.chop(1);
        if (text.trimmed().startsWith(u'#')) {
            tokens.push_back({Token::Kind::Newline, QString(), line});
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
                    return fail.at(line, texts::quoteNotClosed());
                tokens.push_back({Token::Kind::Text, value, line});
            } else if (c == u'=') {
                tokens.push_back({Token::Kind::Equals, QStringLiteral("="), line});
                ++i;
            } else if (c == u'{') {
                tokens.push_back({Token::Kind::Open, QStringLiteral("{"), line});
                ++i;
            } else if (c == u'}') {
                tokens.push_back({Token::Kind::Close, QStringLiteral("}"), line});
                ++i;
            } else {
                const qsizetype start = i;
                while (i < n && !text.at(i).isSpace() && text.at(i) != u'=' && text.at(i) != u'"' && text.at(i) != u'{'
                       && text.at(i) != u'}')
                    ++i;
                tokens.push_back({Token::Kind::Word, text.mid(start, i - start), line});
            }
        }
        tokens.push_back({Token::Kind::Newline, QString(), line});
    }
    tokens.push_back({Token::Kind::End, QString(), static_cast<int>(lines.size())});
    return true;
}

bool TokenStream::readStatement(Statement &st, int positional)
{
    st = Statement();
    const Token &first = peek();
    st.line = first.line;
    if (first.kind != Token::Kind::Word)
        return m_fail.at(first.line, texts::keywordExpected(first.text));
    st.keyword = first.text;
    skip();
    // A set, not a search of the list: a line may hold a great many.
    QSet<QString> given;
    for (;;) {
        const Token &t = peek();
        if (t.kind == Token::Kind::Newline || t.kind == Token::Kind::End || t.kind == Token::Kind::Open
            || t.kind == Token::Kind::Close)
            return true;
        if (t.kind != Token::Kind::Word)
            return m_fail.at(t.line, texts::extraAfter(t.text, st.keyword));
        skip();
        if (peek().kind == Token::Kind::Equals) {
            skip();
            const Token &v = peek();
            if (v.kind != Token::Kind::Word && v.kind != Token::Kind::Text)
                return m_fail.at(t.line, texts::attributeWithoutValue(t.text));
            skip();
            if (given.contains(t.text))
                return m_fail.at(t.line, texts::attributeTwice(t.text));
            given.insert(t.text);
            st.attrs.append({t.text, v.text, true, t.line});
        } else if (st.args.size() < positional && st.attrs.isEmpty()) {
            st.args.append(t.text);
        } else {
            if (given.contains(t.text))
                return m_fail.at(t.line, texts::attributeTwice(t.text));
            given.insert(t.text);
            st.attrs.append({t.text, QString(), false, t.line});
        }
    }
}

} // namespace kx::reports::layout
