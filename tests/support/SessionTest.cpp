#include "SessionTest.h"

#include "store/Statement.h"

#include <QTest>

namespace kx::test {

bool SessionTest::openSession(const SessionSetup &setup)
{
    closeSession();
    m_folder = std::make_unique<TestFolder>();
    if (!m_folder->createDatabase() || (setup.simulator && !m_folder->createSimulator(setup.variation))) {
        qWarning("the test folder could not be made");
        return false;
    }
    m_prompter = std::make_unique<RecordingPrompter>();
    m_session = std::make_unique<store::Session>(m_folder->path(), *m_prompter, setup.busy);
    if (setup.simulator)
        m_session->settings.fsPath = m_folder->fsPath();
    if (!m_session->ADOC.open(m_session->databasePath())) {
        qWarning("%s", qPrintable(m_session->ADOC.lastError()));
        return false;
    }
    m_fix = std::make_unique<Fixture>(m_session->ADOC.sql());
    return true;
}

void SessionTest::closeSession()
{
    m_fix.reset();
    m_session.reset();
    m_prompter.reset();
    m_folder.reset();
}

void SessionTest::exec(const QString &sql, const QVariantList &values)
{
    store::Statement statement(m_session->ADOC, sql);
    QVERIFY2(statement.exec(values), qPrintable(statement.lastError()));
}

QVariant SessionTest::dbValue(const QString &table, qint64 code, const QString &column) const
{
    return m_fix->value(table, code, column);
}

} // namespace kx::test
