#include "IniFile.h"

#include "Cp1251.h"

#include <QFile>
#include <QSaveFile>

namespace kx {

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

TextFile decodeTextFile(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return {QString::fromUtf8(bytes.mid(bom.size())), true};
    return {fromCp1251(bytes), false};
}

bool parseWholeNumber(const QString &text, int *value)
{
    if (text.isEmpty())
        return false;
    qsizetype i = 0;
    if (text.at(0) == u'+' || text.at(0) == u'-')
        i = 1;
    if (i == text.size())
        return false;
    for (qsizetype j = i; j < text.size(); ++j)
        if (text.at(j) < u'0' || text.at(j) > u'9')
            return false;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok)
        return false;
    *value = v;
    return true;
}

namespace {

bool isSectionLine(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return false;
    const qsizetype close = t.indexOf(u']');
    *name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return true;
}

bool entryKey(const QString &line, QString *key)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    return true;
}

} // namespace

IniFile::IniFile(const QString &text) : m_lines(splitTextLines(text)) {}

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    m_utf8 = false;
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const TextFile decoded = decodeTextFile(file.readAll());
    m_lines = splitTextLines(decoded.text);
    m_utf8 = decoded.utf8;
    return true;
}

QString IniFile::toText() const
{
    QString text;
    for (const QString &line : m_lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

bool IniFile::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString text = toText();
    const QByteArray bytes = m_utf8 ? QByteArray("\xEF\xBB\xBF") + text.toUtf8() : toCp1251(text);
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

int IniFile::findSection(const QString &section) const
{
    QString name;
    for (int i = 0; i < m_lines.size(); ++i)
        if (isSectionLine(m_lines.at(i), &name) && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IniFile::findKey(int sectionLine, const QString &key) const
{
    QString name;
    for (int i = sectionLine + 1; i < m_lines.size(); ++i) {
        if (isSectionLine(m_lines.at(i), &name))
            break;
        if (entryKey(m_lines.at(i), &name) && name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int s = findSection(section);
    if (s < 0)
        return defaultValue;
    const int k = findKey(s, key);
    if (k < 0)
        return defaultValue;
    const QString &line = m_lines.at(k);
    return line.mid(line.indexOf(u'=') + 1).trimmed();
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return parseWholeNumber(readString(section, key), &value) ? value : defaultValue;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    const int s = findSection(section);
    if (s < 0) {
        m_lines.append(u'[' + section + u']');
        m_lines.append(entry);
        return;
    }
    const int k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = entry;
        return;
    }
    // After the section's last non-blank line, so blank lines that separate it
    // from the next section stay where they are.
    int insertAt = s + 1;
    QString name;
    for (int i = s + 1; i < m_lines.size() && !isSectionLine(m_lines.at(i), &name); ++i)
        if (!m_lines.at(i).trimmed().isEmpty())
            insertAt = i + 1;
    m_lines.insert(insertAt, entry);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

} // namespace kx
