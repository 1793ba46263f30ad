#include "Fixture.h"
#include "TestFolder.h"

#include "store/Compaction.h"
#include "store/Database.h"
#include "store/InstanceLock.h"
#include "store/Schema.h"

#include <QSqlQuery>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kx;
using namespace kx::store;

class TestCompaction : public QObject
{
    Q_OBJECT
private slots:
    void compactsAndKeepsEveryRow();
    void removesLeftoverScratchCopy();
    void leavesDamagedDatabaseAlone();
    void neverReplacesUnderAnotherConnection();
    void failedRenameKeepsOriginal();
    void refusesACopyThatLostRows();
    void fileOpenElsewhereIsReplacedWholeOrNotAtAll();
    void secondInstanceDoesNotGetTheLock();
    void keepsAccessRightsAndOwner_data();
    void keepsAccessRightsAndOwner();
    void keepsTheSchemaVersion();

private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void fill(const QString &path, int routes)
    {
        Database db(QStringLiteral("fill"));
        QVERIFY(db.open(path));
        test::Fixture fix(db.sql());
        for (int i = 0; i < routes; ++i)
            fix.addRoute(QStringLiteral("Маршрут %1 with a long name to take room on the pages").arg(i));
        QSqlQuery q(db.sql());
        QVERIFY(q.exec(QStringLiteral("DELETE FROM Routes WHERE Code % 2 = 0")));
    }
};

void TestCompaction::compactsAndKeepsEveryRow()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    const QString scratch = folder.file(QStringLiteral("temp.kdb"));
    fill(db, 3000);
    const qint64 before = QFileInfo(db).size();
    QVERIFY(compactDatabase(db, scratch));
    QVERIFY(!QFileInfo::exists(scratch));
    QVERIFY(QFileInfo(db).size() < before);
    Database check(QStringLiteral("check"));
    QVERIFY(check.open(db));
    test::Fixture fix(check.sql());
    QCOMPARE(fix.count("Routes"), 1500);
    // The keys keep counting from where they were.
    QSqlQuery q(check.sql());
    QVERIFY(q.exec(QStringLiteral("INSERT INTO Routes (Name) VALUES ('new')")));
    QCOMPARE(q.lastInsertId().toLongLong(), 3001);
}

void TestCompaction::removesLeftoverScratchCopy()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString scratch = folder.file(QStringLiteral("temp.kdb"));
    QFile left(scratch);
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write("half a copy from a run that died");
    left.close();
    QVERIFY(compactDatabase(folder.file(QStringLiteral("kalyxdb.kdb")), scratch));
    QVERIFY(!QFileInfo::exists(scratch));
}

void TestCompaction::leavesDamagedDatabaseAlone()
{
    test::TestFolder folder;
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    const QString scratch = folder.file(QStringLiteral("temp.kdb"));
    for (const QByteArray &content : {QByteArray(), QByteArray("garbage").repeated(500)}) {
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QVERIFY(!compactDatabase(db, scratch));
        QCOMPARE(readAll(db), content);
        QVERIFY(!QFileInfo::exists(scratch));
    }
    QVERIFY(!compactDatabase(folder.file(QStringLiteral("missing.kdb")), scratch));
}

void TestCompaction::neverReplacesUnderAnotherConnection()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    Database other(QStringLiteral("other"));
    QVERIFY(other.open(db));
    test::Fixture(other.sql()).addRoute(QStringLiteral("written by another copy"));
    const QByteArray before = readAll(db);
    QVERIFY(!compactDatabase(db, folder.file(QStringLiteral("temp.kdb"))));
    QCOMPARE(readAll(db), before);
    QCOMPARE(test::Fixture(other.sql()).count("Routes"), 1);
}

void TestCompaction::failedRenameKeepsOriginal()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    {
        // The program's connection puts the file into WAL mode once, which
        // changes its header; the bytes after that are what must stay.
        Database first(QStringLiteral("first"));
        QVERIFY(first.open(db));
    }
    // A scratch copy that cannot be written (its folder does not exist).
    const QByteArray before = readAll(db);
    QVERIFY(!compactDatabase(db, folder.file(QStringLiteral("no/such/folder/temp.kdb"))));
    QCOMPARE(readAll(db), before);
    Database check(QStringLiteral("check"));
    QVERIFY(check.open(db));
}

void TestCompaction::refusesACopyThatLostRows()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    fill(db, 20);
    const QByteArray before = readAll(db);
    const QString scratch = folder.file(QStringLiteral("temp.kdb"));
    // A copy with one route less (as a copy taken while another program wrote
    // would be), or with a table missing, never takes the database's place.
    for (const char *spoil : {"DELETE FROM Routes WHERE Code = (SELECT max(Code) FROM Routes)", "DROP TABLE Runways"}) {
        bool spoiled = false;
        QVERIFY(!compactDatabase(db, scratch, [&](const QString &copy) {
            Database c(QStringLiteral("spoil"));
            QVERIFY(c.open(copy));
            QSqlQuery q(c.sql());
            spoiled = q.exec(QString::fromLatin1(spoil));
        }));
        QVERIFY(spoiled);
        QCOMPARE(readAll(db), before);
        QVERIFY(!QFileInfo::exists(scratch));
    }
    // Left alone, the same copy is taken.
    QVERIFY(compactDatabase(db, scratch));
    Database check(QStringLiteral("check"));
    QVERIFY(check.open(db));
    QSqlQuery q(check.sql());
    QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Routes")) && q.next());
    QCOMPARE(q.value(0).toInt(), 10);
}

// A file held open by some other program (a backup, a database browser that
// has not read it yet): Linux renames the copy over it and the holder keeps
// the old file; Windows renames nothing over a file opened without leave to
// delete it, so the database stays as it was. Nothing is half done either way.
void TestCompaction::fileOpenElsewhereIsReplacedWholeOrNotAtAll()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    const QString scratch = folder.file(QStringLiteral("temp.kdb"));
    fill(db, 3000);
    const QByteArray before = readAll(db);
    QFile holder(db);
    QVERIFY(holder.open(QIODevice::ReadOnly));
    const bool replaced = compactDatabase(db, scratch);
    QVERIFY(!QFileInfo::exists(scratch));
    QCOMPARE(holder.readAll(), before);
    holder.close();
#ifdef Q_OS_WIN
    QVERIFY(!replaced);
    QCOMPARE(readAll(db), before);
#else
    QVERIFY(replaced);
    QVERIFY(readAll(db).size() < before.size());
#endif
    Database check(QStringLiteral("check"));
    QVERIFY(check.open(db));
    QCOMPARE(test::Fixture(check.sql()).count("Routes"), 1500);
}

void TestCompaction::secondInstanceDoesNotGetTheLock()
{
    test::TestFolder folder;
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    InstanceLock first(db);
    InstanceLock second(db);
    QVERIFY(first.tryLockExclusive());
    QVERIFY(first.tryLockExclusive()); // holding it already
    QVERIFY(!second.tryLockExclusive());
    // Exchanged for the shared lock in one step; any number of copies share it,
    // and none of them gets the exclusive one while another holds it.
    QVERIFY(first.lockShared());
    QVERIFY(!second.tryLockExclusive());
    QVERIFY(second.lockShared());
    QCOMPARE(first.mode(), FileLock::Mode::Shared);
    QCOMPARE(second.mode(), FileLock::Mode::Shared);
    first.unlock();
    second.unlock();
    QVERIFY(second.tryLockExclusive());
    // The lock file stays: removing it could let two copies lock two files.
    second.unlock();
    QVERIFY(QFileInfo::exists(db + QStringLiteral(".lock")));
}

void TestCompaction::keepsAccessRightsAndOwner_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("owner only") << 0600;
    QTest::newRow("group reads") << 0640;
    QTest::newRow("group writes") << 0660;
}

void TestCompaction::keepsAccessRightsAndOwner()
{
#ifndef Q_OS_UNIX
    QSKIP("access rights as mode bits are a POSIX matter");
#else
    QFETCH(int, mode);
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    fill(db, 200);
    const QByteArray name = QFile::encodeName(db);
    QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
    // Only the superuser may give a file away; then the owner must stay too.
    const bool giveAway = ::geteuid() == 0;
    if (giveAway)
        QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    struct stat before = {};
    QCOMPARE(::stat(name.constData(), &before), 0);
    QVERIFY(compactDatabase(db, folder.file(QStringLiteral("temp.kdb"))));
    struct stat after = {};
    QCOMPARE(::stat(name.constData(), &after), 0);
    QVERIFY(after.st_ino != before.st_ino); // it was replaced by the copy
    QCOMPARE(int(after.st_mode & 07777), mode);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
#endif
}

void TestCompaction::keepsTheSchemaVersion()
{
    test::TestFolder folder;
    QVERIFY(folder.createDatabase());
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    QVERIFY(compactDatabase(db, folder.file(QStringLiteral("temp.kdb"))));
    Database check(QStringLiteral("check"));
    QVERIFY(check.open(db));
    QCOMPARE(schemaVersion(check), kSchemaVersion);
    // A file of a newer schema is left exactly as it is.
    QSqlQuery q(check.sql());
    QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1)));
    check.close();
    const QByteArray newer = readAll(db);
    QVERIFY(!compactDatabase(db, folder.file(QStringLiteral("temp.kdb"))));
    QCOMPARE(readAll(db), newer);
}

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_compaction.moc"
