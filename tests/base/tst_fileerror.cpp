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
};

void TestFileError::reasons_data()
{
    QTest::addColumn<QString>("path"); // under a temporary folder holding the file "plan.pln" and the folder "FS9"
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << "none.pln" << false << "Файл не найден.";
    QTest::newRow("missing folder, reading") << "gone/none.pln" << false << "Папка не найдена.";
    QTest::newRow("a folder, reading") << "FS9" << false << "Это папка, а не файл.";
    QTest::newRow("missing folder, writing") << "gone/out.pln" << true << "Папка не найдена.";
    QTest::newRow("a folder, writing") << "FS9" << true << "Это папка, а не файл.";
}

void TestFileError::reasons()
{
    QFETCH(QString, path);
    QFETCH(bool, write);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("FS9")));
    const QString full = dir.filePath(path);
    if (write) {
        QSaveFile file(full);
        QVERIFY(!file.open(QIODevice::WriteOnly));
        QCOMPARE(fileErrorText(file, FileAccess::Write), reason);
    } else {
        QFile file(full);
        QVERIFY(!file.open(QIODevice::ReadOnly));
        QCOMPARE(fileErrorText(file, FileAccess::Read), reason);
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

QTEST_GUILESS_MAIN(TestFileError)
#include "tst_fileerror.moc"
