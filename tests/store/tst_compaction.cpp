#include "Fixture.h"
#include "TestFolder.h"

#include "store/Compaction.h"
#include "store/Database.h"
#include "store/InstanceLock.h"

#include <QSqlQuery>
#include <QtTest>

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
    void secondInstanceDoesNotGetTheLock();

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

void TestCompaction::secondInstanceDoesNotGetTheLock()
{
    test::TestFolder folder;
    const QString db = folder.file(QStringLiteral("kalyxdb.kdb"));
    InstanceLock first(db);
    InstanceLock second(db);
    QVERIFY(first.tryLock());
    QVERIFY(first.tryLock()); // holding it already
    QVERIFY(!second.tryLock());
    first.unlock();
    QVERIFY(second.tryLock());
}

QTEST_GUILESS_MAIN(TestCompaction)
#include "tst_compaction.moc"
