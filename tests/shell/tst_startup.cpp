#include "Fixture.h"
#include "RecordingPrompter.h"
#include "ScriptedChooser.h"
#include "TestFolder.h"

#include "shell/core/Startup.h"
#include "base/Settings.h"
#include "store/Compaction.h"
#include "store/InstanceLock.h"
#include "store/Schema.h"
#include "store/Session.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QtTest>

#include <tuple>

using namespace kx;
using namespace kx::shell;
using Kind = test::RecordingPrompter::Kind;

namespace {

const QString kNotFound = QStringLiteral("Файл - справочник магнитных склонений\r\n%1 не найден!");
const QString kNotTable = QStringLiteral("Файл %1 не является справочником магнитных склонений MSFS2004!");

// The table's path as the program names it: the simulator folder as stored,
// the rest with the system's separators.
QString magdecOf(const QString &fs)
{
    return fs + QDir::toNativeSeparators(QStringLiteral("Scenery/BASE/Scenery/magdec.bgl"));
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
    void quotedFolderInSettings();
    void chooserRepeatsUntilAValidTable();
    void cancelWritesNothingAndEnds_data();
    void cancelWritesNothingAndEnds();
    void twoCopiesKeepEachOthersSettings();
    void missingDatabaseEnds();
    void damagedDatabaseEnds_data();
    void damagedDatabaseEnds();
    void leftoverScratchCopyIsRemoved_data();
    void leftoverScratchCopyIsRemoved();
    void secondCopyDoesNotCompact();
    void firstSchemaIsUpgradedByTheOnlyCopy();
    void newerSchemaEnds();
    void routeListFailureKeepsRunning();
    void damagedDatabaseFilesNeverCrash();
    void commandLineWithoutChooser();
    void readOnlyProgramFolder();

private:
    StartupResult run(test::ScriptedChooser *chooser = nullptr);

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

StartupResult TestStartup::run(test::ScriptedChooser *chooser)
{
    StartupOptions options;
    options.chooser = chooser;
    return runStartup(*m_session, options);
}

void TestStartup::noSettingsFileCreatesDefaultsAndAsks()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    test::ScriptedChooser chooser;
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
    test::ScriptedChooser chooser;
    chooser.answers = {m_folder->fsPath()};
    QCOMPARE(run(&chooser), StartupResult::Running);
    QCOMPARE(chooser.shownAt, QStringList{QString()});
    QCOMPARE(m_session->settings.rsbnRange, 300);
    QVERIFY(m_prompter->messages().isEmpty());
    // The settings are written back; whatever else the file held stays.
    SettingsFile written = m_session->settingsFile();
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
    test::ScriptedChooser chooser;
    QCOMPARE(run(&chooser), StartupResult::Running);
    QVERIFY(chooser.shownAt.isEmpty());
    QVERIFY(m_prompter->messages().isEmpty());
}

void TestStartup::quotedFolderInSettings()
{
    // A folder typed into the file by hand in quotes, as Windows reads it.
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeIni(QStringLiteral("[SETUP]\r\nFSPath=\"%1\"\r\nPLNPath='%2'\r\n")
                                   .arg(m_folder->fsPath(), m_folder->path())));
    test::ScriptedChooser chooser;
    QCOMPARE(run(&chooser), StartupResult::Running);
    QVERIFY(chooser.shownAt.isEmpty());
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_session->settings.fsPath, m_folder->fsPath());
    QCOMPARE(m_session->settings.plnPath, m_folder->path());
}

void TestStartup::chooserRepeatsUntilAValidTable()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->writeIni(QStringLiteral("[SETUP]\r\nFSPath=%1nowhere/\r\n").arg(m_folder->path())));
    // A folder without a table, one whose table reads 0 at the test position,
    // a chooser closed by its close button (folder unchanged), then the real one.
    const QString empty = m_folder->path() + QStringLiteral("Empty/");
    QDir().mkpath(empty);
    const QString zero = m_folder->path() + QStringLiteral("Zero/");
    QVERIFY(test::writeMagdec(magdecOf(zero), [](int, int) -> qint16 { return 0; }));
    QVERIFY(m_folder->createSimulator());
    test::ScriptedChooser chooser;
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

void TestStartup::cancelWritesNothingAndEnds_data()
{
    QTest::addColumn<QByteArray>("ini"); // empty: no kalyx.ini at all
    QTest::newRow("first start, no kalyx.ini") << QByteArray();
    QTest::newRow("a folder that is gone") << QByteArray("[SETUP]\r\nFSPath=C:\\old FS9\\\r\nL_RSBN=250\r\n");
    QTest::newRow("a file edited by hand") << QByteArray("; mine\n[setup]\nfspath = D:\\FS9\\\n");
}

void TestStartup::cancelWritesNothingAndEnds()
{
    QFETCH(QByteArray, ini);
    QVERIFY(m_folder->createDatabase());
    const QString path = m_folder->file(QStringLiteral("kalyx.ini"));
    if (!ini.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }
    test::ScriptedChooser chooser;
    chooser.answers = {QString()};
    QCOMPARE(run(&chooser), StartupResult::EndRequested);
    QCOMPARE(chooser.shownAt.size(), 1);
    QVERIFY(m_prompter->messages().isEmpty());
    // Nothing was chosen, so nothing is written: no file where there was
    // none, and a file that was there stays byte for byte.
    if (ini.isEmpty()) {
        QVERIFY(!QFileInfo::exists(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ini);
    }
    // The rest of the sequence still ran.
    QVERIFY(m_session->ADOC.isOpen());
}

void TestStartup::twoCopiesKeepEachOthersSettings()
{
    // Two copies on one program folder, each with the settings it read at its
    // start: what one writes, the other does not undo.
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QCOMPARE(run(), StartupResult::Running);
    test::RecordingPrompter otherPrompter;
    store::Session other(m_folder->path(), otherPrompter);
    StartupOptions options;
    options.compact = false;
    QCOMPARE(runStartup(other, options), StartupResult::Running);

    // The other copy imports a plan from another folder; this one is told a
    // new range by hand in the file, then changes its simulator folder.
    other.settings.plnPath = QStringLiteral("/plans/");
    QVERIFY(other.writeSettings());
    QVERIFY(m_folder->writeIni(m_folder->readIni().replace(QStringLiteral("L_RSBN=300"), QStringLiteral("L_RSBN=150"))));
    const QString before = m_folder->readIni();
    // Writing what it has not changed leaves the file as it is.
    QVERIFY(m_session->writeSettings());
    QCOMPARE(m_folder->readIni(), before);
    const QString elsewhere = m_folder->path() + QStringLiteral("FS9 copy/");
    m_session->settings.fsPath = elsewhere;
    QVERIFY(m_session->writeSettings());
    QCOMPARE(m_folder->readIni(),
             QStringLiteral("[SETUP]\r\nFSPath=%1\r\nPLNPath=/plans/\r\nL_RSBN=150\r\n").arg(elsewhere));
    // And the other copy, ending, keeps this one's folder.
    QVERIFY(other.writeSettings());
    QVERIFY(m_folder->readIni().contains(QStringLiteral("FSPath=%1\r\n").arg(elsewhere)));
}

void TestStartup::missingDatabaseEnds()
{
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    QCOMPARE(run(), StartupResult::EndRequested);
    QCOMPARE(m_prompter->texts(),
             QStringList{QStringLiteral("Файл базы данных %1 не найден!")
                             .arg(QDir::toNativeSeparators(m_folder->file(QStringLiteral("kalyxdb.kdb"))))});
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

void TestStartup::leftoverScratchCopyIsRemoved_data()
{
    QTest::addColumn<bool>("room"); // the file has free pages worth giving back
    QTest::newRow("compacted") << true;
    QTest::newRow("not worth compacting") << false;
}

void TestStartup::leftoverScratchCopyIsRemoved()
{
    QFETCH(bool, room);
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    const QString path = m_folder->file(QStringLiteral("kalyxdb.kdb"));
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(path));
        test::Fixture(db.sql()).addRoute(QStringLiteral("Москва - Сочи"), 1400.0);
        // Rows written and deleted again leave free pages behind.
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Punkts (Name) SELECT printf('%.3000c', 'x') FROM Routes")));
        for (int i = 0; room && i < 9; ++i)
            QVERIFY(db.exec(QStringLiteral("INSERT INTO Punkts (Name) SELECT Name FROM Punkts")));
        QVERIFY(db.exec(QStringLiteral("DELETE FROM Punkts")));
    }
    QCOMPARE(store::isWorthCompacting(path), room);
    const qint64 size = QFileInfo(path).size();
    const QDateTime written = QFileInfo(path).lastModified();
    QFile scratch(m_folder->file(QStringLiteral("temp.kdb")));
    QVERIFY(scratch.open(QIODevice::WriteOnly));
    scratch.write("left over");
    scratch.close();
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(!scratch.exists());
    // A file with room to give back is copied smaller; any other is left as
    // it is, not copied whole at every start.
    if (room) {
        QVERIFY(QFileInfo(path).size() < size / 4);
    } else {
        QCOMPARE(QFileInfo(path).size(), size);
        QCOMPARE(QFileInfo(path).lastModified(), written);
    }
    QCOMPARE(m_session->QRoutes.rowCount(), 1);
}

void TestStartup::secondCopyDoesNotCompact()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    store::InstanceLock first(m_folder->file(QStringLiteral("kalyxdb.kdb")));
    QVERIFY(first.lockShared());
    // The first copy may be writing its scratch copy right now: leave it.
    QFile scratch(m_folder->file(QStringLiteral("temp.kdb")));
    QVERIFY(scratch.open(QIODevice::WriteOnly));
    scratch.close();
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(scratch.exists());
    // This copy shares the lock for its whole run, so that no later copy
    // replaces the file under it.
    QCOMPARE(m_session->lock.mode(), FileLock::Mode::Shared);
    QVERIFY(m_session->QRoutes.isOpen());
}

void TestStartup::firstSchemaIsUpgradedByTheOnlyCopy()
{
    QVERIFY(m_folder->createFirstSchemaDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    const QString path = m_folder->file(QStringLiteral("kalyxdb.kdb"));
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(path));
        test::Fixture(db.sql()).addRoute(QStringLiteral("Москва - Сочи"), 1400.0);
    }
    const auto version = [&] {
        store::Database db(QStringLiteral("check"));
        return db.open(path) ? store::schemaVersion(db) : -1;
    };
    // Another copy is running: the file stays as it is, and this copy works on it.
    {
        store::InstanceLock other(path);
        QVERIFY(other.lockShared());
        QCOMPARE(run(), StartupResult::Running);
        QCOMPARE(m_session->QRoutes.rowCount(), 1);
        m_session->closeAll();
        QCOMPARE(version(), 0);
        m_session = std::make_unique<store::Session>(m_folder->path(), *m_prompter);
    }
    // Alone, it upgrades the file; the route is still there.
    QCOMPARE(run(), StartupResult::Running);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_session->QRoutes.rowCount(), 1);
    QCOMPARE(m_session->QRoutes.value(u"Name").toString(), QStringLiteral("Москва - Сочи"));
    QCOMPARE(m_session->lock.mode(), FileLock::Mode::Shared);
    QCOMPARE(version(), store::kSchemaVersion);
}

void TestStartup::newerSchemaEnds()
{
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    const QString path = m_folder->file(QStringLiteral("kalyxdb.kdb"));
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(path));
        test::Fixture(db.sql()).addRoute(QStringLiteral("Route of a newer program"));
        QSqlQuery q(db.sql());
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = %1").arg(store::kSchemaVersion + 1)));
    }
    QCOMPARE(run(), StartupResult::EndRequested);
    QCOMPARE(m_prompter->texts(),
             QStringList{QStringLiteral("Файл базы данных %1 создан более новой версией программы (версия схемы %2, "
                                        "эта версия программы знает версии до %3).\r\nОбновите программу.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(store::kSchemaVersion + 1)
                             .arg(store::kSchemaVersion)});
    QCOMPARE(m_prompter->messages().first().kind, Kind::Error);
    QVERIFY(!m_session->ADOC.isOpen());
    // The file is neither compacted nor changed.
    store::Database db(QStringLiteral("check"));
    QVERIFY(db.open(path));
    QCOMPARE(store::schemaVersion(db), store::kSchemaVersion + 1);
    QCOMPARE(test::Fixture(db.sql()).count("Routes"), 1);
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

void TestStartup::damagedDatabaseFilesNeverCrash()
{
    // A database with rows in every list, damaged in many ways: the start-up
    // (compaction included) and the first reads and writes give the program's
    // messages, never a crash.
    QVERIFY(m_folder->createDatabase());
    const QString path = m_folder->file(QStringLiteral("kalyxdb.kdb"));
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(path));
        test::Fixture fix(db.sql());
        QVERIFY(db.begin());
        for (int i = 0; i < 60; ++i) {
            const qint64 route = fix.addRoute(QStringLiteral("Маршрут %1").arg(i), 100.0 + i);
            for (int n = 1; n <= 5; ++n)
                fix.addPoint(route, n, fix.addPunkt(QStringLiteral("W%1X%2").arg(i).arg(n), QStringLiteral("N55*00.00"),
                                                    QStringLiteral("E037*00.00")));
        }
        QVERIFY(db.commit());
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();
    QVERIFY(original.size() > 8 * 4096);
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());

    const QString connectionFailed = QStringLiteral("Ошибка подключения к файлу базы данных!\r\n"
                                                    "Проверьте файл базы данных на целостность");
    QRandomGenerator random(20261210);
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes = original;
        switch (round % 4) {
        case 0: // bytes changed past the header
            for (int i = random.bounded(1, 20); i > 0; --i)
                bytes[100 + random.bounded(bytes.size() - 100)] = char(random.bounded(256));
            break;
        case 1: // cut anywhere
            bytes.truncate(random.bounded(bytes.size()));
            break;
        case 2: { // a whole page overwritten
            const int page = random.bounded(1, bytes.size() / 4096);
            for (int i = 0; i < 4096; ++i)
                bytes[page * 4096 + i] = random.bounded(2) ? char(0) : char(random.bounded(256));
            break;
        }
        default: // bytes of the header changed
            for (int i = random.bounded(1, 4); i > 0; --i)
                bytes[random.bounded(100)] = char(random.bounded(256));
            break;
        }
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        m_prompter->clear();
        m_session = std::make_unique<store::Session>(m_folder->path(), *m_prompter);
        const StartupResult result = run();
        for (const QString &text : m_prompter->texts())
            QVERIFY2(text == connectionFailed || text == QStringLiteral("Ошибка открытия запроса [Routes]!")
                         || text.startsWith(QStringLiteral("Файл базы данных ")),
                     qPrintable(text));
        if (result != StartupResult::Running || !m_session->ADOC.isOpen())
            continue;
        store::Query &routes = m_session->QRoutes;
        for (routes.first(); !routes.eof(); routes.next())
            routes.value(u"Name");
        // Whatever these find in a damaged file, they must answer, not crash.
        store::Query q(m_session->ADOC, QStringLiteral("Q"));
        std::ignore = q.open(
            QStringLiteral("SELECT * FROM Punkts ORDER BY ID COLLATE KALYX_NOCASE, Region COLLATE KALYX_NOCASE"));
        q.close();
        std::ignore = q.exec(QStringLiteral("INSERT INTO Routes (Name) VALUES (?)"), {QStringLiteral("после")});
        std::ignore = q.exec(QStringLiteral("DELETE FROM Points WHERE Route = ?"), {1});
    }
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
    QCOMPARE(m_prompter->texts(), QStringList{kNotFound.arg(magdecOf(QString()))});
    // A folder given for this run is used, and the settings file stays as it was.
    m_prompter->clear();
    options.fsOverride = m_folder->fsPath();
    QCOMPARE(runStartup(*m_session, options), StartupResult::Running);
    QVERIFY(m_prompter->messages().isEmpty());
    QCOMPARE(m_folder->readIni(), QStringLiteral("[SETUP]\r\nFSPath=\r\n"));
}

void TestStartup::readOnlyProgramFolder()
{
#ifdef Q_OS_WIN
    QSKIP("a folder's read-only attribute does not keep Windows from writing into it");
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
    QString why;
    QVERIFY2(test::setFolderWritable(m_folder->path(), false, &why), qPrintable(why));
    const auto writableAgain = qScopeGuard([this] { test::setFolderWritable(m_folder->path(), true, nullptr); });
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
    m_session->settings.plnPath = QStringLiteral("/plans/");
    QVERIFY(!m_session->writeSettings());
    QCOMPARE(m_folder->readIni(), ini);
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files).size(), 2); // kalyxdb.kdb, kalyx.ini
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
