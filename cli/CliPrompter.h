#pragma once

#include "base/Prompter.h"

#include <QTextStream>

namespace kx::cli {

// Messages of a command-line run: errors on stderr, information on stdout,
// questions answered by the --yes flag (No otherwise), each shown on stderr.
class CliPrompter : public Prompter
{
public:
    explicit CliPrompter(bool answerYes = false) : m_yes(answerYes) {}

    void error(QObject *owner, const QString &text) override;
    void info(QObject *owner, const QString &text) override;
    // The text on stdout as info's, the details on stderr.
    void infoWithDetails(QObject *owner, const QString &text, const QString &details) override;
    bool ask(QObject *owner, const QString &text, bool defaultYes) override;

    int errorCount() const { return m_errors; }
    const QString &lastError() const { return m_lastError; }
    void setQuiet(bool quiet) { m_quiet = quiet; }

private:
    bool m_yes;
    bool m_quiet = false;
    int m_errors = 0;
    QString m_lastError;
};

// A message's text for a terminal: the program's CR LF breaks become line feeds.
QString terminalText(QString text);

} // namespace kx::cli
