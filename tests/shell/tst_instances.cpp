#include "Fixture.h"
#include "TestFolder.h"

#include "store/Compaction.h"
#include "store/Database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kx;

// Several copies of the program, windows and command line, on one program
// folder, as real processes: no copy may replace the database file (by its
// compaction) while another one has it open, and a copy killed outright
// leaves nothing behind that stops a later one. Whether a copy replaced the
// file shows in the file's inode. Linux only: a copy's open database is found
// among its open files in /proc.
class TestInstances : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowCopiesNeverReplaceTheFileUnderAnother();
    void commandLineCopyHoldsItsShareToo_data();
    void commandLineCopyHoldsItsShareToo();

private:
    // Starts the program's window on the folder and waits until it has its
    // database open, that is until its start-up is over.
    QProcess *startWindow();
    bool waitUntilOpen(QProcess *process);
    // The inode of the database file the copy has open; 0 when none.
    qulonglong openDatabaseInode(QProcess *process) const;
    // Whether some copy holds the exclusive instance lock; asks without locking.
    bool exclusiveLockHeld() const;
    qulonglong inode() const;
    void kill(QProcess *process);
    void makeRoomToGiveBack();

    std::unique_ptr<test::TestFolder> m_folder;
    QList<QProcess *> m_processes;
};

void TestInstances::init()
{
#ifndef Q_OS_LINUX
    QSKIP("finds a copy's open database through /proc");
#endif
    m_folder = std::make_unique<test::TestFolder>();
    QVERIFY(m_folder->createDatabase());
    QVERIFY(m_folder->createSimulator());
    QVERIFY(m_folder->writeDefaultIni());
    {
        store::Database db(QStringLiteral("fixture"));
        QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
        test::Fixture fix(db.sql());
        for (int i = 0; i < 50; ++i)
            fix.addRoute(QStringLiteral("Маршрут %1").arg(i));
    }
    makeRoomToGiveBack();
}

void TestInstances::makeRoomToGiveBack()
{
    // A copy compacts only a file with enough free pages to be worth it:
    // rows written and deleted again leave them.
    store::Database db(QStringLiteral("room"));
    QVERIFY(db.open(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
    QVERIFY(db.exec(QStringLiteral("INSERT INTO Routes (Name) SELECT printf('%.2000c', 'x') FROM Routes, Routes")));
    QVERIFY(db.exec(QStringLiteral("DELETE FROM Routes WHERE length(Name) = 2000")));
    db.close();
    QVERIFY(store::isWorthCompacting(m_folder->file(QStringLiteral("kalyxdb.kdb"))));
}

void TestInstances::cleanup()
{
    for (QProcess *p : std::as_const(m_processes))
        kill(p);
    qDeleteAll(m_processes);
    m_processes.clear();
    m_folder.reset();
}

QProcess *TestInstances::startWindow()
{
    auto *process = new QProcess;
    m_processes.append(process);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Each copy is told to go on beside the others without asking.
    process->start(QStringLiteral(KX_GUI),
                   {QStringLiteral("--dir"), m_folder->path(), QStringLiteral("--allow-second-copy")});
    return waitUntilOpen(process) ? process : nullptr;
}

bool TestInstances::waitUntilOpen(QProcess *process)
{
    if (!process->waitForStarted(30000))
        return false;
    // Its compaction has the file open too (under the exclusive lock, while
    // the scratch copy exists): the start-up is over once the copy has the
    // file under the database's name open, nobody compacts, and that stays so.
    const auto settled = [&] {
        const qulonglong open = openDatabaseInode(process);
        return open != 0 && open == inode() && !exclusiveLockHeld()
            && !QFileInfo::exists(m_folder->file(QStringLiteral("temp.kdb")));
    };
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer steady;
    // Bounded only so that a copy that never gets there fails the test.
    while (waited.elapsed() < 60000 && process->state() == QProcess::Running) {
        if (!settled())
            steady.invalidate();
        else if (!steady.isValid())
            steady.start();
        else if (steady.elapsed() > 500)
            return true;
        QThread::msleep(20);
    }
    qWarning("the copy did not open its database");
    return false;
}

qulonglong TestInstances::openDatabaseInode(QProcess *process) const
{
#ifdef Q_OS_LINUX
    const QString database = QFileInfo(m_folder->file(QStringLiteral("kalyxdb.kdb"))).canonicalFilePath();
    const QString fds = QStringLiteral("/proc/%1/fd").arg(process->processId());
    for (const QFileInfo &fd : QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        // A file renamed over keeps the name in the link, with " (deleted)".
        const QString target = fd.symLinkTarget();
        if (target != database && target != database + QStringLiteral(" (deleted)"))
            continue;
        struct stat st = {};
        if (::stat(QFile::encodeName(fd.filePath()).constData(), &st) == 0)
            return st.st_ino;
    }
#else
    Q_UNUSED(process);
#endif
    return 0;
}

bool TestInstances::exclusiveLockHeld() const
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(m_folder->file(QStringLiteral("kalyxdb.kdb.lock"))).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe = {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
#else
    return false;
#endif
}

qulonglong TestInstances::inode() const
{
#ifdef Q_OS_LINUX
    struct stat st = {};
    if (::stat(QFile::encodeName(m_folder->file(QStringLiteral("kalyxdb.kdb"))).constData(), &st) != 0)
        return 0;
    return st.st_ino;
#else
    return 0;
#endif
}

void TestInstances::kill(QProcess *process)
{
    if (process->state() != QProcess::NotRunning) {
        process->kill(); // SIGKILL: the copy gets no chance to clean up
        process->waitForFinished(30000);
    }
}

void TestInstances::windowCopiesNeverReplaceTheFileUnderAnother()
{
    const qulonglong shipped = inode();
    // A, alone, compacts: its file is a new one.
    QProcess *a = startWindow();
    QVERIFY(a);
    const qulonglong compacted = inode();
    QVERIFY(compacted != shipped);
    // B starts beside A; A dies; C starts beside B. Neither B nor C may
    // replace the file B and A have open.
    QProcess *b = startWindow();
    QVERIFY(b);
    QCOMPARE(inode(), compacted);
    kill(a);
    QProcess *c = startWindow();
    QVERIFY(c);
    QCOMPARE(inode(), compacted);
    QCOMPARE(openDatabaseInode(b), compacted); // B still works on the file it opened
    QCOMPARE(b->state(), QProcess::Running);
    QCOMPARE(c->state(), QProcess::Running);
    // Once every copy is gone, killed ones included, the next one is alone
    // again and compacts.
    kill(b);
    kill(c);
    makeRoomToGiveBack();
    QVERIFY(startWindow());
    QVERIFY(inode() != compacted);
}

void TestInstances::commandLineCopyHoldsItsShareToo_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("the command ends") << false;
    QTest::newRow("the command is killed") << true;
}

void TestInstances::commandLineCopyHoldsItsShareToo()
{
#ifdef Q_OS_LINUX
    QFETCH(bool, killed);
    // A command-line import that waits for its plan (a pipe the test writes
    // when it likes): a command that runs as long as the test needs it to.
    const QString plan = m_folder->file(QStringLiteral("plan.PLN"));
    QCOMPARE(::mkfifo(QFile::encodeName(plan).constData(), 0600), 0);
    QProcess cli;
    cli.start(QStringLiteral(KX_CLI), {QStringLiteral("--dir"), m_folder->path(), QStringLiteral("import"), plan});
    QVERIFY(cli.waitForStarted(30000));
    // Opening the pipe's other end succeeds once the command reads it, that
    // is after its start-up.
    int fd = -1;
    QElapsedTimer waited;
    waited.start();
    while (fd < 0 && waited.elapsed() < 60000 && cli.state() == QProcess::Running) {
        fd = ::open(QFile::encodeName(plan).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            QThread::msleep(20);
    }
    QVERIFY2(fd >= 0, qPrintable(QString::fromLocal8Bit(cli.readAllStandardError())));
    const qulonglong before = inode();

    // A window copy starts while the command runs; then the command ends.
    QProcess *window = startWindow();
    QVERIFY(window);
    QCOMPARE(inode(), before);
    if (killed) {
        kill(&cli);
        ::close(fd);
    } else {
        const QByteArray bytes("[flightplan]\r\ndeparture_id=UUEE\r\n"
                               "waypoint.0=UU, UUEE, , UUEE, A, N55* 58.36', E37* 24.88', +000622.00, \r\n"
                               "waypoint.1=UR, URSS, , URSS, A, N43* 26.99', E39* 56.48', +000089.00, \r\n");
        QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
    }

    // The window copy still runs, so a later one leaves the file alone.
    QVERIFY(startWindow());
    QCOMPARE(inode(), before);
    QCOMPARE(openDatabaseInode(window), before);
#endif
}

QTEST_GUILESS_MAIN(TestInstances)
#include "tst_instances.moc"
