#pragma once

#include "base/Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kx::test {

// A prompter for tests: records every message with its kind, owner and text,
// and answers questions from a script. A question beyond the script is
// recorded, answered No and counted in unexpectedQuestions.
class RecordingPrompter : public Prompter
{
public:
    enum class Kind { Error, Info, Question };
    struct Message
    {
        Kind kind;
        QString owner; // the owner's objectName, empty for none
        QString text;
        bool defaultYes = false;
        QString details; // of infoWithDetails
    };

    void error(QObject *owner, const QString &text) override;
    void info(QObject *owner, const QString &text) override;
    void infoWithDetails(QObject *owner, const QString &text, const QString &details) override;
    bool ask(QObject *owner, const QString &text, bool defaultYes) override;

    void answer(bool yes) { m_answers.append(yes); }
    void clear();

    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    int unexpectedQuestions() const { return m_unexpected; }
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }

private:
    void record(Kind kind, QObject *owner, const QString &text, bool defaultYes = false);

    QList<Message> m_messages;
    QList<bool> m_answers;
    int m_unexpected = 0;
};

} // namespace kx::test
