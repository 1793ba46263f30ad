#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace kx {

// Splits text into lines the way a line-by-line reader sees them: CR LF, LF or
// a lone CR end a line, and a terminator at the very end does not start a
// further, empty line.
QStringList splitTextLines(const QString &text);

// How a text file of the program is encoded on disk.
enum class TextEncoding {
    Cp1251,  // windows-1251, what the program itself writes
    Utf8,    // UTF-8 without a byte-order mark, as editors save it today
    Utf8Bom, // UTF-8 after a byte-order mark, as Notepad saves "UTF-8 with BOM"
};

// Reads whole text files of the program: a UTF-8 byte-order mark selects UTF-8;
// so does text that is valid UTF-8 and holds a byte above 127 (windows-1251
// Cyrillic is never valid UTF-8: its letters are lead bytes that are not
// followed by continuation bytes); anything else is windows-1251, which reads
// plain ASCII the same.
struct TextFile
{
    QString text;
    TextEncoding encoding = TextEncoding::Cp1251;
};
TextFile decodeTextFile(const QByteArray &bytes);
// The text in the given encoding (with the byte-order mark for Utf8Bom).
QByteArray encodeTextFile(const QString &text, TextEncoding encoding);

// An initialisation file (sections in square brackets, key=value lines) read and
// written with the rules of Windows' profile functions as this program uses them:
// - section and key names match without regard to letter case, the first match wins;
// - a value is the text after the first "=", leading and trailing blanks removed,
//   then a pair of matching quotes around it (" or ') removed, as a value
//   typed by hand as FSPath="D:\FS9\" reads D:\FS9\ in Windows;
// - a missing key reads as the default; a whole number that is not a whole number
//   reads as the default;
// - writing replaces the key's line in place, or adds the key at the end of its
//   section, or adds the section at the end of the file; every other line is kept.
// On disk the file has CR LF line ends and keeps the encoding it was read in
// (a file saved as UTF-8 by hand stays UTF-8); a new file, and one of plain
// ASCII, is windows-1251.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QString &text);

    // A missing file loads as empty and returns true; false when the file exists
    // but cannot be read.
    bool load(const QString &path);
    // Writes the whole file to a temporary name and renames it over the target.
    bool save(const QString &path) const;

    bool hasSection(const QString &section) const;
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    const QStringList &lines() const { return m_lines; }
    QString toText() const;
    TextEncoding encoding() const { return m_encoding; }

private:
    // Where a section's header and entries are, by folded name; only the first
    // section of a name and the first entry of a key count. Built once from
    // the lines and again after each write, so that reading every key of a
    // long file stays linear.
    struct Section
    {
        int header = -1;
        QHash<QString, int> keys; // folded key → index of the entry line
    };

    void reindex();
    const Section *findSection(const QString &section) const;
    int findKey(const QString &section, const QString &key) const; // index of the entry line, or -1

    QStringList m_lines;
    std::vector<Section> m_sections;
    QHash<QString, qsizetype> m_sectionNames; // folded name → index into m_sections
    TextEncoding m_encoding = TextEncoding::Cp1251;
};

// Reads a whole decimal number with an optional sign into *value; false for
// anything else (blanks inside, fractions, overflow), leaving *value untouched.
bool parseWholeNumber(const QString &text, int *value);

} // namespace kx
