#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/Settings.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace kx;

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void wholeNumbers_data();
    void wholeNumbers();
    void writingKeepsOtherLines();
    void writingAddsKeyAndSection();
    void lineSplitting_data();
    void lineSplitting();
    void cp1251RoundTrip();
    void settingsDefaultsAndBadRange();
    void settingsWriteKeepsForeignSections();
    void settingsUnwritableFolder();
};

void TestIniFile::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString plan = QStringLiteral("[flightplan]\r\ntitle=UUEE to URSS\r\n  Departure_ID = UUEE, N55* 58.33'  \r\n"
                                        "[other]\r\ntitle=not this one\r\n");
    QTest::newRow("exact") << plan << "flightplan" << "title" << "UUEE to URSS";
    QTest::newRow("case-insensitive section and key, trimmed value")
        << plan << "FLIGHTPLAN" << "departure_id" << "UUEE, N55* 58.33'";
    QTest::newRow("missing key") << plan << "flightplan" << "cruising_altitude" << "";
    QTest::newRow("missing section") << plan << "SETUP" << "title" << "";
    QTest::newRow("value keeps later equals signs") << QStringLiteral("[a]\nk=x=y\n") << "a" << "k" << "x=y";
    QTest::newRow("first section wins") << QStringLiteral("[a]\nk=1\n[A]\nk=2\n") << "a" << "k" << "1";
    QTest::newRow("comment is not a key") << QStringLiteral("[a]\n;k=1\nk=2\n") << "a" << "k" << "2";
    QTest::newRow("key of another section is not read") << QStringLiteral("[a]\n[b]\nk=2\n") << "a" << "k" << "";
}

void TestIniFile::reading()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(IniFile(text).readString(section, key), expected);
}

void TestIniFile::wholeNumbers_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "250" << 250;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("blanks around are trimmed") << "  42 " << 42;
    QTest::newRow("fraction") << "300.5" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("trailing letters") << "12km" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("overflow") << "99999999999" << -1;
}

void TestIniFile::wholeNumbers()
{
    QFETCH(QString, value);
    QFETCH(int, expected);
    const IniFile ini(QStringLiteral("[SETUP]\r\nL_RSBN=") + value + QStringLiteral("\r\n"));
    QCOMPARE(ini.readInteger(QStringLiteral("SETUP"), QStringLiteral("L_RSBN"), -1), expected);
}

void TestIniFile::writingKeepsOtherLines()
{
    IniFile ini(QStringLiteral("; my notes\r\n[Other]\r\nx=1\r\n\r\n[setup]\r\nfspath=C:\\old\\\r\nExtra=keep\r\n"));
    ini.writeString(QStringLiteral("SETUP"), QStringLiteral("FSPath"), QStringLiteral("C:\\FS9\\"));
    QCOMPARE(ini.toText(),
             QStringLiteral("; my notes\r\n[Other]\r\nx=1\r\n\r\n[setup]\r\nFSPath=C:\\FS9\\\r\nExtra=keep\r\n"));
}

void TestIniFile::writingAddsKeyAndSection()
{
    IniFile ini(QStringLiteral("[SETUP]\r\nFSPath=x\r\n\r\n[Next]\r\na=b\r\n"));
    ini.writeInteger(QStringLiteral("setup"), QStringLiteral("L_RSBN"), 300);
    ini.writeString(QStringLiteral("New"), QStringLiteral("k"), QString());
    QCOMPARE(ini.toText(), QStringLiteral("[SETUP]\r\nFSPath=x\r\nL_RSBN=300\r\n\r\n[Next]\r\na=b\r\n[New]\r\nk=\r\n"));
}

void TestIniFile::lineSplitting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf with final terminator") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("no final terminator") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("empty line at the end") << "a\r\n\r\n" << QStringList{"a", ""};
    QTest::newRow("lf only") << "a\nb\n" << QStringList{"a", "b"};
    QTest::newRow("lone cr") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestIniFile::lineSplitting()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(splitTextLines(text), lines);
}

void TestIniFile::cp1251RoundTrip()
{
    const QString text = QStringLiteral("Москва Шереметьево ёЁ №");
    const QByteArray bytes = toCp1251(text);
    QCOMPARE(bytes.size(), text.size());
    QCOMPARE(static_cast<unsigned char>(bytes.at(0)), 0xCC); // М
    QCOMPARE(fromCp1251(bytes), text);
    QCOMPARE(toCp1251(QStringLiteral("日")), QByteArray("?"));

    // A UTF-8 file with a byte-order mark is read as UTF-8.
    const TextFile utf8 = decodeTextFile(QByteArray("\xEF\xBB\xBF") + QStringLiteral("[a]\nk=Ж\n").toUtf8());
    QVERIFY(utf8.utf8);
    QCOMPARE(IniFile(utf8.text).readString(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("Ж"));
}

void TestIniFile::settingsDefaultsAndBadRange()
{
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("kalyx.ini")));
    QVERIFY(!file.exists());
    QVERIFY(file.createDefaults());
    QFile raw(file.path());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), QByteArray("[SETUP]\r\nFSPath=\r\nPLNPath=\r\nL_RSBN=300\r\n"));
    raw.close();

    QVERIFY(raw.open(QIODevice::WriteOnly));
    raw.write(toCp1251(QStringLiteral("[SETUP]\r\nPLNPath=C:\\Планы\\\r\nL_RSBN=много\r\n")));
    raw.close();
    Settings s = file.read();
    QCOMPARE(s.fsPath, QString());
    QCOMPARE(s.plnPath, QStringLiteral("C:\\Планы\\"));
    QCOMPARE(s.rsbnRange, 300);
    QVERIFY(file.write(s));
    QCOMPARE(file.read().rsbnRange, 300);
    QVERIFY(IniFile(fromCp1251([&] { QFile f(file.path()); f.open(QIODevice::ReadOnly); return f.readAll(); }()))
                .lines().contains(QStringLiteral("L_RSBN=300")));
}

void TestIniFile::settingsWriteKeepsForeignSections()
{
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("kalyx.ini")));
    {
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write("[Window]\nLeft=10\n[SETUP]\nFSPath=/fs9\nL_RSBN=150\n");
    }
    Settings s = file.read();
    QCOMPARE(s.fsPath, QStringLiteral("/fs9")); // kept as written, no separator added
    QCOMPARE(s.rsbnRange, 150);
    s.plnPath = QStringLiteral("/plans/");
    QVERIFY(file.write(s));
    QFile raw(file.path());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), QByteArray("[Window]\r\nLeft=10\r\n[SETUP]\r\nFSPath=/fs9\r\nL_RSBN=150\r\nPLNPath=/plans/\r\n"));
}

void TestIniFile::settingsUnwritableFolder()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders");
#endif
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    SettingsFile file(dir.filePath(QStringLiteral("kalyx.ini")));
    QVERIFY(!file.createDefaults());
    QCOMPARE(file.read().rsbnRange, 300);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
