#include "Fixture.h"
#include "RecordingPrompter.h"
#include "TestFolder.h"

#include "shell/Startup.h"
#include "base/Settings.h"
#include "store/InstanceLock.h"
#include "store/Session.h"

#include <QDir>
#include <QSqlQuery>
#include <QtTest>

using namespace kx;
using namespace kx::shell;
using Kind = test::RecordingPrompter::Kind;

namespace {

// Answers the chooser from a list of folders; an empty entry is "Отмена".
class ScriptedChooser : public FolderChooser
{
public:
    QStringList answers;
    QStringList shownAt;
    QString choose(const QString &current) override
    {
        shownAt.append(current);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

const QString kNotFound = QStringLiteral("Файл - справочник магнитных склонений\r\n%1 не найден!");
const QString kNotTable = QStringLiteral("Файл %1 не является справочником магнитных склонений MSFS2004!");

QString magdecOf(const QString &fs)
{
    return fs + QStringLiteral("Scenery/BASE/Scenery/magdec.bgl");
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noSettingsFileCreatesDefaultsAndAsks();
    void badRangeReadsAsDefaultAndIsWrittenBack();
    void damagedSettingsFileStartsWithDefaults_data();
    void damagedSettingsFileStartsWithDefaults();
    void presentTableIsNotTested();
    void chooserRepeatsUntilAValidTable();
    void cancelWritesEmptyFolderAndEnds();
    void quotedFolderInSettings();
    void missingDatabaseEnds();
    void damagedDatabaseEnds_data();
    void damagedDatabaseEnds();
    void leftoverScratchCopyIsRemoved();
    void secondCopyDoesNotCompact();
    void routeListFailureKeepsRunning();
    void commandLineWithoutChooser();
    void readOnlyProgramFolder();

private:
    StartupResult run(ScriptedChooser *chooser = nullptr);

    std::unique_ptr<test::TestFolder> m_folder;
    std::unique_ptr<test::RecordingPrompter> m_prompter;
    std::unique_ptr<store::Session> m_session;
};

void TestStartup::init()
{
    m_folder = std::make_unique<test::TestFolder>();
    m_prompter = std::make_unique<test::RecordingPrompter>();
    m_session = std::make_unique<store::Session>(m_folder->path(), *m_prompter);
}

void TestStartup::cleanup()
{
    m_session.reset();
    m_folder.reset();
}

StartupResult TestStartup::run(ScriptedChooser *chooser)
{
    StartupOptions options;
    options.chooser = chooser;
    return runStartup(*m_session, options);
}

void TestStartup::noSettingsFileCreatesDefaultsAndAsks()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    ScriptedChooser chooser;
    chooser.answers = {m_folder->fsPath()};
    QCOMPARE(run(&chooser), StartupResult::Running);
    QCOMPARE(chooser.shownAt, QStringList{QString()}); // opened at the empty folder
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_session->settings.fsPath, m_folder->fsPath());
    QCOMPARE(m_folder->readIni(),
             QStringLiteral("[SETUP]\r\nFSPath=%1\r\nPLNPath=\r\nL_RSBN=300\r\n").arg(m_folder->fsPath()));
    QVERIFY(m_session->ADOC.isOpen());
    QVERIFY(m_session->QRoutes.isOpen());
}

void TestStartup::badRangeReadsAsDefaultAndIsWrittenBack()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeIni(QStringLiteral("[Other]\r\nkeep=me\r\n[SETUP]\r\nFSPath=%1\r\nL_RSBN=3OO\r\n")
                                   .arg(m_folder->fsPath())));
    QCOMPARE(run(), StartupResult::Running);
    QCOMPARE(m_session->settings.rsbnRange, 300);
    QCOMPARE(m_folder->readIni(), QStringLiteral("[Other]\r\nkeep=me\r\n[SETUP]\r\nFSPath=%1\r\nL_RSBN=300\r\nPLNPath=\r\n")
                                      .arg(m_folder->fsPath()));
}

void TestStartup::damagedSettingsFileStartsWithDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in the middle of a key") << QByteArray("[SETUP]\r\nFSPa");
    QTest::newRow("cut in the section name") << QByteArray("[SET");
    QTest::newRow("another program's file") << QByteArray("\xEF\xBB\xBF[Window]\nLeft=10\n");
    QTest::newRow("binary") << QByteArray("\x00\x01\xFF\xFE=\r\r\n[\x00]", 12);
}

void TestStartup::damagedSettingsFileStartsWithDefaults()
{
    QFETCH(QByteArray, content);
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QFile ini(m_folder->file(QStringLiteral("kalyx.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(content);
    ini.close();
    ScriptedChooser chooser;
    chooser.answers = {m_folder->fsPath()};
    QCOMPARE(run(&chooser), StartupResult::Running);
    QCOMPARE(chooser.shownAt, QStringList{QString()});
    QCOMPARE(m_session->settings.rsbnRange, 300);
    QVERIFY(m_prompter->messages().isEmpty());
    // The settings are written back; whatever else the file held stays.
    const SettingsFile written = m_session->settingsFile();
    QCOMPARE(written.read().fsPath, m_folder->fsPath());
    QCOMPARE(written.read().rsbnRange, 300);
}

void TestStartup::presentTableIsNotTested()
{
    QVERIFY(m_folder->createDatabase());
    // A "table" of 200 bytes: every lookup reads 0, but a table that is present
    // at start-up is taken as it is.
    QDir().mkpath(m_folder->fsPath() + QStringLiteral("Scenery/BASE/Scenery"));
    QFile table(m_folder->magdecPath());
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write(QByteArray(200, 'x'));
    table.close();
    QVERIFY(m_folder->writeDefaultIni());
    ScriptedChooser chooser;
    QCOMPARE(run(&chooser), StartupResult::Running);
    QVERIFY(chooser.shownAt.isEmpty());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestStartup::chooserRepeatsUntilAValidTable()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->writeIni(QStringLiteral("[SETUP]\r\nFSPath=%1nowhere/\r\n").arg(m_folder->path())));
    // A folder without a table, one whose table reads 0 at the test position,
void TestStartup::quotedFolderInSettings()
{
    // A folder typed into the file by hand in quotes, as Windows reads it.
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeIni(QStringLiteral("[SETUP]\r\nFSPath=\"%1\"\r\nPLNPath='%2'\r\n")
                                   .arg(m_folder->fsPath(), m_folder->path())));
    ScriptedChooser chooser;
    QCOMPARE(run(&chooser), StartupResult::Running);
    QVERIFY(chooser.shownAt.isEmpty());
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_session->settings.fsPath, m_folder->fsPath());
    QCOMPARE(m_session->settings.plnPath, m_folder->path());
}

    // a chooser closed by its close button (folder unchanged), then the real one.
    const QString empty = m_folder->path() + QStringLiteral("Empty/");
    QDir().mkpath(empty);
    const QString zero = m_folder->path() + QStringLiteral("Zero/");
    QVERIFY(test::writeMagdec(magdecOf(zero), [](int, int) -> qint16 { return 0; }));
    QVERIFY(m_folder->createSimulator());
    ScriptedChooser chooser;
    chooser.answers = {empty, zero, zero, m_folder->fsPath()};
    QCOMPARE(run(&chooser), StartupResult::Running);
    QCOMPARE(chooser.shownAt,
             (QStringList{m_folder->path() + QStringLiteral("nowhere/"), empty, zero, zero}));
    QCOMPARE(m_prompter->texts(),
             (QStringList{kNotFound.arg(magdecOf(empty)), kNotTable.arg(magdecOf(zero)), kNotTable.arg(magdecOf(zero))}));
    for (const auto &m : m_prompter->messages())
        QCOMPARE(m.kind, Kind::Error);
    QCOMPARE(m_session->settings.fsPath, m_folder->fsPath());
}

void TestStartup::cancelWritesEmptyFolderAndEnds()
{
    QVERIFY(m_folder->createDatabase());
    ScriptedChooser chooser;
    chooser.answers = {QString()};
    QCOMPARE(run(&chooser), StartupResult::EndRequested);
    QVERIFY(m_prompter->messages().isEmpty());
    QVERIFY(m_folder->readIni().contains(QStringLiteral("\r\nFSPath=\r\n")));
    // The rest of the sequence still ran.
    QVERIFY(m_session->ADOC.isOpen());
}

void TestStartup::missingDatabaseEnds()
{
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QCOMPARE(run(), StartupResult::EndRequested);
    QCOMPARE(m_prompter->texts(),
             QStringList{QStringLiteral("Файл базы данных %1kalyxdb.kdb не найден!").arg(m_folder->path())});
    QVERIFY(!QFileInfo::exists(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
}

void TestStartup::damagedDatabaseEnds_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("cutTo"); // >0: a real database cut to this many bytes
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("not SQLite") << QByteArray("Standard Jet DB").repeated(100) << 0;
    QTest::newRow("truncated") << QByteArray() << 4096;
}

void TestStartup::damagedDatabaseEnds()
{
    QFETCH(QByteArray, content);
    QFETCH(int, cutTo);
    const QString db = m_folder->file(QStringLiteral("kalyxdb.kdb"));
    if (cutTo > 0) {
        QVERIFY(m_folder->createDatabase());
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadOnly));
        content = f.readAll().left(cutTo);
    }
    QFile f(db);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QCOMPARE(run(), StartupResult::EndRequested);
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка подключения к файлу базы данных!\r\n"
                                                             "Проверьте файл базы данных на целостность")});
    // The damaged file is left exactly as it was.
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
}

void TestStartup::leftoverScratchCopyIsRemoved()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QFile scratch(m_folder->file(QStringLiteral("temp.kdb")));
    QVERIFY(scratch.open(QIODevice::WriteOnly));
    scratch.write("left over");
    scratch.close();
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(!scratch.exists());
}

void TestStartup::secondCopyDoesNotCompact()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    store::InstanceLock first(m_folder->file(QStringLiteral("kalyxdb.kdb")));
    QVERIFY(first.tryLock());
    // The first copy may be writing its scratch copy right now: leave it.
    QFile scratch(m_folder->file(QStringLiteral("temp.kdb")));
    QVERIFY(scratch.open(QIODevice::WriteOnly));
    scratch.close();
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(scratch.exists());
    QVERIFY(!m_session->lock.isLocked());
    QVERIFY(m_session->QRoutes.isOpen());
}

void TestStartup::routeListFailureKeepsRunning()
{
    // A sound SQLite file that is not a route database.
    {
        store::Database db(QStringLiteral("other"));
        QFile f(m_folder->file(QStringLiteral("kalyxdb.kdb")));
        QVERIFY(m_folder->createDatabase());
        QVERIFY(db.open(f.fileName()));
        QSqlQuery q(db.sql());
        QVERIFY(q.exec(QStringLiteral("DROP TABLE Routes")));
    }
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QCOMPARE(run(), StartupResult::Running);
    QCOMPARE(m_prompter->texts(), QStringList{QStringLiteral("Ошибка открытия запроса [Routes]!")});
    QVERIFY(m_session->QRoutes.isEmpty());
}

void TestStartup::commandLineWithoutChooser()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeIni(QStringLiteral("[SETUP]\r\nFSPath=\r\n")));
    StartupOptions options;
    options.compact = false;
    options.writeSettings = false;
    // Without a chooser a missing table ends the start-up with its message.
    QCOMPARE(runStartup(*m_session, options), StartupResult::EndRequested);
    QCOMPARE(m_prompter->texts(), QStringList{kNotFound.arg(QStringLiteral("Scenery/BASE/Scenery/magdec.bgl"))});
    // A folder given for this run is used, and the settings file stays as it was.
    m_prompter->clear();
    options.fsOverride = m_folder->fsPath();
    QCOMPARE(runStartup(*m_session, options), StartupResult::Running);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_folder->readIni(), QStringLiteral("[SETUP]\r\nFSPath=\r\n"));
}

void TestStartup::readOnlyProgramFolder()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders; run as another user to check this");
#endif
    QVERIFY(m_folder->createDatabase());
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
        test::Fixture(db.sql()).addRoute(QStringLiteral("Only route"));
    }
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    const QString ini = m_folder->readIni();
    QVERIFY(QFile::setPermissions(m_folder->path(), QFile::ReadOwner | QFile::ExeOwner));
    // The program starts and shows its routes; nothing in the folder changes.
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_session->QRoutes.rowCount(), 1);
    QVERIFY(m_session->ADOC.isReadOnly());
    // A write fails as a write, it does not pretend to succeed.
    QVERIFY(m_session->QRoutes.edit());
    m_session->QRoutes.setValue(u"Name", QStringLiteral("Renamed"));
    QVERIFY(!m_session->QRoutes.post());
    m_session->QRoutes.cancel();
    QVERIFY(!m_session->writeSettings());
    QVERIFY(QFile::setPermissions(m_folder->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(m_folder->readIni(), ini);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files).size(), 2); // kalyxdb.kdb, kalyx.ini
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
