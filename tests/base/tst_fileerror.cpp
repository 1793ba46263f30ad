#include "ImmutableFolder.h"

#include "base/FileError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>


using namespace kx;

// The reasons a person reads when a file cannot be read or written.
class TestFileError : public QObject
{
    Q_OBJECT
private slots:
    void reasons_data();
    void reasons();
    void fullDisk();
    void unwritableFolderForRoot();
    void protectedFolders_data();
    void protectedFolders();
};

void TestFileError::reasons_data()
{
    QTest::addColumn<QString>("path"); // under a temporary folder holding the file "plan.pln" and the folder "FS9"
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("problem");
    QTest::newRow("missing file") << "none.pln" << false << "Файл не найден." << int(FileProblem::NotFound);
    QTest::newRow("missing folder, reading") << "gone/none.pln" << false << "Папка не найдена."
                                             << int(FileProblem::FolderMissing);
    QTest::newRow("a folder, reading") << "FS9" << false << "Это папка, а не файл." << int(FileProblem::IsFolder);
    QTest::newRow("missing folder, writing") << "gone/out.pln" << true << "Папка не найдена."
                                             << int(FileProblem::FolderMissing);
    QTest::newRow("a folder, writing") << "FS9" << true << "Это папка, а не файл." << int(FileProblem::IsFolder);
}

void TestFileError::reasons()
{
    QFETCH(QString, path);
    QFETCH(bool, write);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("FS9")));
    const QString full = dir.filePath(path);
    QFETCH(int, problem);
    if (write) {
        QSaveFile file(full);
        QVERIFY(!file.open(QIODevice::WriteOnly));
        QCOMPARE(fileErrorText(file, FileAccess::Write), reason);
        QCOMPARE(int(fileFailure(file, FileAccess::Write).problem), problem);
    } else {
        QFile file(full);
        QVERIFY(!file.open(QIODevice::ReadOnly));
        QCOMPARE(fileErrorText(file, FileAccess::Read), reason);
        QCOMPARE(int(fileFailure(file, FileAccess::Read).problem), problem);
    }
}

void TestFileError::fullDisk()
{
#ifdef Q_OS_LINUX
    // /dev/full refuses every write as a full disk does.
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        QSKIP("/dev/full cannot be opened here");
    QCOMPARE(full.write("route"), qint64(-1));
    QCOMPARE(fileErrorText(full, FileAccess::Write), QStringLiteral("На диске нет места."));
#else
    QSKIP("needs /dev/full");
#endif
}

void TestFileError::unwritableFolderForRoot()
{
#ifdef Q_OS_WIN
    QSKIP("a folder's read-only attribute does not stop writing on Windows");
#endif
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Gauges"));
    QVERIFY(QDir().mkpath(folder));
    test::ImmutableFolder readOnly(folder);
    QVERIFY2(readOnly.isSet(), qPrintable(readOnly.error()));
    QSaveFile file(folder + QStringLiteral("/nvu_dat_1.dat"));
    QVERIFY(!file.open(QIODevice::WriteOnly));
    const FileFailure failure = fileFailure(file, FileAccess::Write);
    QCOMPARE(failure.text, QStringLiteral("Нет доступа к папке."));
    QCOMPARE(failure.problem, FileProblem::NoAccess);
}

void TestFileError::protectedFolders_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value"); // "%1" is the temporary folder
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("protectedFolder");

    QTest::newRow("inside Program Files") << "ProgramFiles" << "%1/Program Files" << "%1/Program Files/FS9/x.dat" << true;
    QTest::newRow("inside Program Files (x86), other letter case")
        << "ProgramFiles(x86)" << "%1/Program Files (x86)" << "%1/PROGRAM FILES (X86)/Microsoft Games/x.dat" << true;
    QTest::newRow("inside the Windows folder") << "SystemRoot" << "%1/Windows" << "%1/Windows/x.dat" << true;
    QTest::newRow("beside Program Files") << "ProgramFiles" << "%1/Program Files" << "%1/Program Files FS9/x.dat"
                                          << false;
    QTest::newRow("elsewhere") << "ProgramFiles" << "%1/Program Files" << "%1/Games/FS9/x.dat" << false;
    QTest::newRow("no such variable") << "" << "" << "%1/Program Files/FS9/x.dat" << false;
}

void TestFileError::protectedFolders()
{
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QFETCH(QString, path);
    QTemporaryDir dir;
    const QStringList names{"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot"};
    QMap<QString, QByteArray> saved;
    for (const QString &name : names) {
        saved.insert(name, qgetenv(qPrintable(name)));
        qunsetenv(qPrintable(name));
    }
    const auto restore = qScopeGuard([&] {
        for (const QString &name : names)
            if (saved.value(name).isNull())
                qunsetenv(qPrintable(name));
            else
                qputenv(qPrintable(name), saved.value(name));
    });
    if (!variable.isEmpty())
        qputenv(qPrintable(variable), QDir::toNativeSeparators(value.arg(dir.path())).toLocal8Bit());
    QTEST(isInProtectedFolder(QDir::toNativeSeparators(path.arg(dir.path()))), "protectedFolder");
}

QTEST_GUILESS_MAIN(TestFileError)
#include "tst_fileerror.moc"
