#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/Settings.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using namespace kx;

Q_DECLARE_METATYPE(kx::TextEncoding)

namespace {

// The reading rules, line by line from the top for every key: slow, and plain
// enough to check the reader's index against.
std::optional<QString> readByScanning(const QStringList &lines, const QString &section, const QString &key)
{
    const auto sectionName = [](const QString &line) -> std::optional<QString> {
        const QString t = line.trimmed();
        if (!t.startsWith(u'['))
            return std::nullopt;
        const qsizetype close = t.indexOf(u']');
        return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    };
    qsizetype i = 0;
    for (bool found = false; !found; ++i) {
        if (i == lines.size())
            return std::nullopt;
        const std::optional<QString> name = sectionName(lines.at(i));
        found = name && name->compare(section, Qt::CaseInsensitive) == 0;
    }
    for (; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (sectionName(line))
            return std::nullopt;
        const QString t = line.trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (t.isEmpty() || t.startsWith(u';') || eq < 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void quotedValues_data();
    void quotedValues();
    void wholeNumbers_data();
    void wholeNumbers();
    void writingKeepsOtherLines();
    void writingAddsKeyAndSection();
    void lineSplitting_data();
    void lineSplitting();
    void cp1251RoundTrip();
    void encodings_data();
    void encodings();
    void settingsFileInItsOwnEncoding_data();
    void settingsFileInItsOwnEncoding();
    void settingsWrittenKeyByKey();
    void settingsDefaultsAndBadRange();
    void settingsWriteKeepsForeignSections();
    void settingsUnwritableFolder();
    void damagedFilesReadAsWindowsReadsThem();
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

void TestIniFile::quotedValues_data()
{
    QTest::addColumn<QString>("value"); // as typed after "FSPath="
    QTest::addColumn<QString>("expected");
    // Windows' profile functions drop one pair of quotes, double or single,
    // that opens and closes the value once the blanks around it are gone.
    QTest::newRow("double quotes") << "\"D:\\FS9\\\"" << "D:\\FS9\\";
    QTest::newRow("single quotes") << "'D:\\FS9\\'" << "D:\\FS9\\";
    QTest::newRow("blanks outside the quotes") << "  \"D:\\FS 9\\\"  " << "D:\\FS 9\\";
    QTest::newRow("blanks inside the quotes stay") << "\" D:\\ \"" << " D:\\ ";
    QTest::newRow("empty quotes") << "\"\"" << "";
    QTest::newRow("only the outer pair") << "\"\"x\"\"" << "\"x\"";
    QTest::newRow("quotes inside stay") << "D:\\\"FS9\"\\" << "D:\\\"FS9\"\\";
    QTest::newRow("quotes that do not match stay") << "\"D:\\FS9\\'" << "\"D:\\FS9\\'";
    QTest::newRow("an opening quote alone stays") << "\"D:\\FS9\\" << "\"D:\\FS9\\";
    QTest::newRow("a lone quote stays") << "\"" << "\"";
}

void TestIniFile::quotedValues()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const IniFile ini(QStringLiteral("[SETUP]\r\nFSPath=") + value + QStringLiteral("\r\nL_RSBN='250'\r\n"));
    QCOMPARE(ini.readString(QStringLiteral("SETUP"), QStringLiteral("FSPath")), expected);
    // Whole numbers are read through the same text.
    QCOMPARE(ini.readInteger(QStringLiteral("SETUP"), QStringLiteral("L_RSBN"), 300), 250);
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
}

void TestIniFile::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextEncoding>("encoding");
    const QString cyrillic = QStringLiteral("k=C:\\users\\Пилот\\ Ёё №");
    QTest::newRow("windows-1251") << toCp1251(cyrillic) << cyrillic << TextEncoding::Cp1251;
    QTest::newRow("UTF-8") << cyrillic.toUtf8() << cyrillic << TextEncoding::Utf8;
    QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + cyrillic.toUtf8() << cyrillic
                                                  << TextEncoding::Utf8Bom;
    QTest::newRow("UTF-8, letters windows-1251 lacks") << QStringLiteral("Łukasz 日本 😀").toUtf8()
                                                       << QStringLiteral("Łukasz 日本 😀") << TextEncoding::Utf8;
    QTest::newRow("plain ASCII") << QByteArray("[SETUP]\r\nFSPath=C:\\FS9\\") << QStringLiteral("[SETUP]\r\nFSPath=C:\\FS9\\")
                                 << TextEncoding::Cp1251;
    // Bytes that are not UTF-8 after all: windows-1251, as the program writes.
    QTest::newRow("a lead byte at the very end") << QByteArray("ab\xD0") << QStringLiteral("abР") << TextEncoding::Cp1251;
    QTest::newRow("an overlong form") << QByteArray("\xC0\xAF") << QStringLiteral("АЇ") << TextEncoding::Cp1251;
    QTest::newRow("a surrogate") << QByteArray("\xED\xA0\x80") << QStringLiteral("н\u00A0Ђ") << TextEncoding::Cp1251;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QStringLiteral("фђЂЂ")
                                     << TextEncoding::Cp1251;
}

void TestIniFile::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(TextEncoding, encoding);
    const TextFile file = decodeTextFile(bytes);
    QCOMPARE(file.text, text);
    QCOMPARE(file.encoding, encoding);
    // Written back in its own encoding, byte for byte.
    QCOMPARE(encodeTextFile(file.text, file.encoding), bytes);
}

void TestIniFile::settingsFileInItsOwnEncoding_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("fsPath");
    const QString fs9 = QStringLiteral("[SETUP]\r\nFSPath=C:\\Игры\\Flight Simulator 9\\\r\nL_RSBN=250\r\n");
    const QString games = QStringLiteral("C:\\Игры\\Flight Simulator 9\\");
    QTest::newRow("windows-1251") << fs9 << TextEncoding::Cp1251 << games;
    QTest::newRow("UTF-8, as Notepad saves it today") << fs9 << TextEncoding::Utf8 << games;
    QTest::newRow("UTF-8 with a byte-order mark") << fs9 << TextEncoding::Utf8Bom << games;
    // Text windows-1251 has no letters for: nothing of it is lost.
    QTest::newRow("UTF-8 with a byte-order mark, letters windows-1251 lacks")
        << QStringLiteral("[Заметки]\r\nПилот=Łukasz 日本\r\n[SETUP]\r\nFSPath=D:\\FS9\\\r\nL_RSBN=250\r\n")
        << TextEncoding::Utf8Bom << QStringLiteral("D:\\FS9\\");
}

void TestIniFile::settingsFileInItsOwnEncoding()
{
    // The README's advice followed: FSPath typed by hand, the file saved in
    // the editor's encoding. Read right, and written back in it.
    QFETCH(QString, typed);
    QFETCH(TextEncoding, encoding);
    QFETCH(QString, fsPath);
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("kalyx.ini")));
    {
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write(encodeTextFile(typed, encoding));
    }
    Settings s = file.read();
    QCOMPARE(s.fsPath, fsPath);
    QCOMPARE(s.rsbnRange, 250);
    s.plnPath = QStringLiteral("C:\\users\\Пилот\\Планы\\");
    QVERIFY(file.write(s));
    QFile raw(file.path());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), encodeTextFile(typed + QStringLiteral("PLNPath=C:\\users\\Пилот\\Планы\\\r\n"), encoding));
    QCOMPARE(file.read().plnPath, s.plnPath);
}

void TestIniFile::settingsWrittenKeyByKey()
{
    // Two copies of the program on one folder, each with what it read at its
    // start: each writes what it changed, and nothing it did not.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kalyx.ini"));
    SettingsFile first(path);
    SettingsFile second(path);
    QVERIFY(first.createDefaults());
    Settings a = first.read();
    Settings b = second.read();
    b.plnPath = QStringLiteral("/plans/");
    QVERIFY(second.write(b));
    a.fsPath = QStringLiteral("/fs9/");
    QVERIFY(first.write(a));
    QCOMPARE(first.read(), (Settings{QStringLiteral("/fs9/"), QStringLiteral("/plans/"), 300}));
    // A copy that changed nothing since leaves the file as it is, byte for
    // byte, a range typed in by hand meanwhile included.
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadWrite));
    const QByteArray edited = raw.readAll().replace("L_RSBN=300", "L_RSBN=120");
    QVERIFY(raw.resize(0) && raw.seek(0) && raw.write(edited) == edited.size());
    raw.close();
    QVERIFY(second.write(b));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll(), edited);
    // Keys the file lost, or holds unreadably, are written again.
    raw.close();
    QVERIFY(raw.open(QIODevice::WriteOnly));
    raw.write("[SETUP]\r\nPLNPath=/plans/\r\nL_RSBN=many\r\n");
    raw.close();
    QVERIFY(second.write(b));
    QCOMPARE(second.read(), b);
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
    QTemporaryDir dir;
    // A "folder" that is a file takes no kalyx.ini on any system, whoever asks.
    const QString notAFolder = dir.filePath(QStringLiteral("FS9"));
    QFile plain(notAFolder);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    SettingsFile inFile(notAFolder + QStringLiteral("/kalyx.ini"));
    QVERIFY(!inFile.createDefaults());
    QCOMPARE(inFile.read().rsbnRange, 300);

    // A folder without the right to write, where the system keeps it: a folder's
    // read-only bit means nothing to Windows, and root writes anywhere.
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        return;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    SettingsFile file(dir.filePath(QStringLiteral("kalyx.ini")));
    QVERIFY(!file.createDefaults());
    QCOMPARE(file.read().rsbnRange, 300);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
}

void TestIniFile::damagedFilesReadAsWindowsReadsThem()
{
    // Random and mutated files, read through the reader's index and by
    // scanning: every key of every section reads the same, also after writes.
    QRandomGenerator random(20261210);
    const QString alphabet = QStringLiteral("[]=;\"' \t\r\nAaSsKkЖжЁ.\\") + QChar(0) + QChar(0x212A);
    const QStringList names{"SETUP", "setup", "FSPath", "fspath", "PLNPath", "L_RSBN", "a", "A", "Ж", "ж", "", " k "};
    const QByteArray settings("[Other]\r\nkeep=me\r\n[SETUP]\r\nFSPath=\"C:\\FS9\\\"\r\nPLNPath='D:\\'\r\nL_RSBN=300\r\n");
    const auto pick = [&](const QStringList &list) { return list.at(random.bounded(list.size())); };
    for (int round = 0; round < 400; ++round) {
        QString text;
        switch (round % 4) {
        case 0: // noise over a small alphabet with the usual names
            for (int i = random.bounded(300); i > 0; --i)
                text += random.bounded(4) ? QString(alphabet.at(random.bounded(alphabet.size()))) : pick(names);
            break;
        case 1: { // the settings file with bytes changed, cut or doubled
            QByteArray bytes = settings;
            for (int i = random.bounded(6); i > 0; --i)
                bytes[random.bounded(bytes.size())] = char(random.bounded(256));
            bytes = bytes.left(random.bounded(bytes.size() + 1)) + (random.bounded(2) ? bytes : QByteArray());
            text = decodeTextFile(bytes).text;
            break;
        }
        case 2: { // raw bytes, with or without a UTF-8 byte-order mark
            QByteArray bytes(random.bounded(400), '\0');
            for (char &b : bytes)
                b = char(random.bounded(256));
            text = decodeTextFile((random.bounded(2) ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + bytes).text;
            break;
        }
        default: // many sections and keys of few names, in every letter case
            for (int i = random.bounded(200); i > 0; --i)
                text += random.bounded(5) ? pick(names) + u'=' + pick(names) + u'\n' : u'[' + pick(names) + QStringLiteral("]\n");
            break;
        }
        IniFile ini(text);
        QStringList sections = names;
        for (int w = 0; w < 3; ++w) {
            for (const QString &section : std::as_const(sections))
                for (const QString &key : names) {
                    const std::optional<QString> expected = readByScanning(ini.lines(), section, key);
                    QCOMPARE(ini.readString(section, key, QStringLiteral("<none>")), expected.value_or(QStringLiteral("<none>")));
                }
            ini.writeString(pick(names), pick(names), pick(names));
        }
    }
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
