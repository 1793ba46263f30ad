#include "base/SimPath.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace kx;

class TestSimPath : public QObject
{
    Q_OBJECT
private slots:
    void keepsTheFolderAsStored();
    void findsFoldersOfAnotherCase();
    void trailingSeparator();
};

void TestSimPath::keepsTheFolderAsStored()
{
    // An empty simulator folder gives the relative path.
    QCOMPARE(simPath(QString(), QStringLiteral("Scenery\\BASE\\Scenery\\magdec.bgl")),
             QDir::toNativeSeparators(QStringLiteral("Scenery/BASE/Scenery/magdec.bgl")));
    // A folder without trailing separator is used as a plain prefix; the folder
    // itself is kept exactly as stored, only the relative part is made native.
    QCOMPARE(simPath(QStringLiteral("/nowhere/fs9"), QStringLiteral("Scenery\\x")),
             QStringLiteral("/nowhere/fs9") + QDir::toNativeSeparators(QStringLiteral("Scenery/x")));
    // A leading separator doubles the folder's trailing one, as the gauge paths do.
    QCOMPARE(simPath(QStringLiteral("/nowhere/"), QStringLiteral("\\Gauges\\i21_cfg")),
             QStringLiteral("/nowhere/") + QDir::toNativeSeparators(QStringLiteral("/Gauges/i21_cfg")));
    QCOMPARE(simPath(QStringLiteral("C:\\FS9\\"), QStringLiteral("\\Gauges\\i21_cfg")),
             QStringLiteral("C:\\FS9\\") + QDir::toNativeSeparators(QStringLiteral("/Gauges/i21_cfg")));
}

void TestSimPath::findsFoldersOfAnotherCase()
{
#ifdef Q_OS_WIN
    QSKIP("Windows ignores letter case by itself");
#endif
    QTemporaryDir dir;
    const QString fs = dir.path() + u'/';
    QVERIFY(QDir().mkpath(fs + QStringLiteral("scenery/base/SCENERY")));
    QFile f(fs + QStringLiteral("scenery/base/SCENERY/MagDec.BGL"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString found = simPath(fs, QStringLiteral("Scenery\\BASE\\Scenery\\magdec.bgl"));
    QCOMPARE(found, fs + QStringLiteral("scenery/base/SCENERY/MagDec.BGL"));
    QVERIFY(QFileInfo::exists(found));
    // A missing part keeps its spelling.
    QCOMPARE(simPath(fs, QStringLiteral("Gauges\\Tu154_cfg\\")), fs + QStringLiteral("Gauges/Tu154_cfg/"));
}

void TestSimPath::trailingSeparator()
{
    QCOMPARE(withTrailingSeparator(QStringLiteral("/a/b")), QDir::toNativeSeparators(QStringLiteral("/a/b/")));
    QCOMPARE(withTrailingSeparator(QStringLiteral("/")), QDir::toNativeSeparators(QStringLiteral("/")));
}

QTEST_GUILESS_MAIN(TestSimPath)
#include "tst_simpath.moc"
