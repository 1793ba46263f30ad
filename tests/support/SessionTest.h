#pragma once

#include "Fixture.h"
#include "RecordingPrompter.h"
#include "TestFolder.h"

#include "store/Session.h"

#include <QObject>

#include <memory>

namespace kx::test {

// What a test's program folder holds besides the empty database.
struct SessionSetup
{
    bool simulator = false;        // a simulator folder, made the session's FS9 folder
    MagdecEntry variation;         // its variation table (the default field when empty)
    BusyIndicator *busy = nullptr; // the session's busy cursor

    static SessionSetup withSimulator(const MagdecEntry &variation = {})
    {
        SessionSetup setup;
        setup.simulator = true;
        setup.variation = variation;
        return setup;
    }
    SessionSetup &withBusy(BusyIndicator *indicator)
    {
        busy = indicator;
        return *this;
    }
};

// The base of the tests that work on an open session: a fresh program folder
// with an empty database, a recording prompter, the session with its
// connection open, and a fixture writer on that connection. openSession() in
// init(), closeSession() in cleanup().
class SessionTest : public QObject
{
protected:
    // False, with the reason as a warning, when the folder or the connection
    // could not be made.
    bool openSession(const SessionSetup &setup = {});
    // Drops the fixture, the session, the prompter and the folder, in that order.
    void closeSession();

    // Runs one statement on the session's connection with its values bound; a
    // statement that fails fails the test, with the driver's reason.
    void exec(const QString &sql, const QVariantList &values = {});
    // One value of one row, e.g. dbValue("Points", code, "IPU").
    QVariant dbValue(const QString &table, qint64 code, const QString &column) const;

    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<RecordingPrompter> m_prompter;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<Fixture> m_fix;
};

} // namespace kx::test
