#include "CliPrompter.h"
#include "Console.h"

#include <cstdio>

namespace kx::cli {

QString terminalText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void CliPrompter::error(QObject *, const QString &text)
{
    ++m_errors;
    m_lastError = text;
    ConsoleStream(stderr) << terminalText(text) << Qt::endl;
}

void CliPrompter::info(QObject *, const QString &text)
{
    if (!m_quiet)
        ConsoleStream(stdout) << terminalText(text) << Qt::endl;
}

bool CliPrompter::ask(QObject *, const QString &text, bool)
{
    ConsoleStream(stderr) << terminalText(text) << (m_yes ? " -> yes" : " -> no (use --yes to answer yes)") << Qt::endl;
    return m_yes;
}

} // namespace kx::cli
