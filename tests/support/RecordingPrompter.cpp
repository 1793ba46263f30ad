#include "RecordingPrompter.h"

#include <QObject>

namespace kx::test {

void RecordingPrompter::record(Kind kind, QObject *owner, const QString &text, bool defaultYes)
{
    m_messages.append({kind, owner ? owner->objectName() : QString(), text, defaultYes, {}});
}

void RecordingPrompter::error(QObject *owner, const QString &text)
{
    record(Kind::Error, owner, text);
}

void RecordingPrompter::info(QObject *owner, const QString &text)
{
    record(Kind::Info, owner, text);
}

void RecordingPrompter::infoWithDetails(QObject *owner, const QString &text, const QString &details)
{
    record(Kind::Info, owner, text);
    m_messages.last().details = details;
}

bool RecordingPrompter::ask(QObject *owner, const QString &text, bool defaultYes)
{
    record(Kind::Question, owner, text, defaultYes);
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        return false;
    }
    return m_answers.takeFirst();
}

void RecordingPrompter::clear()
{
    m_messages.clear();
    m_answers.clear();
    m_unexpected = 0;
}

QStringList RecordingPrompter::texts() const
{
    QStringList out;
    for (const Message &m : m_messages)
        out.append(m.text);
    return out;
}

} // namespace kx::test
