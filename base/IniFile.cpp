#include "IniFile.h"

#include "AtomicFile.h"
#include "CaseFold.h"
#include "Cp1251.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

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

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

TextFile decodeTextFile(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return {QString::fromUtf8(bytes.mid(kUtf8Bom.size())), TextEncoding::Utf8Bom};
    if (!isAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return {std::move(text), TextEncoding::Utf8};
    }
    return {fromCp1251(bytes), TextEncoding::Cp1251};
}

QByteArray encodeTextFile(const QString &text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf8Bom:
        return kUtf8Bom + text.toUtf8();
    case TextEncoding::Cp1251:
        break;
    }
    return toCp1251(text);
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

// Windows' profile functions drop one pair of quotes, double or single, that
// opens and closes a value; a lone quote, or quotes that do not match, stay.
QString withoutQuotes(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

IniFile::IniFile(const QString &text) : m_lines(splitTextLines(text))
{
    reindex();
}

void IniFile::reindex()
{
    m_sections.clear();
    m_sectionNames.clear();
    qsizetype current = -1;
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString &line = m_lines.at(i);
        if (isSectionLine(line, &name)) {
            const QString folded = caseFolded(name);
            // A later section of a name already seen is never read.
            current = -1;
            if (!m_sectionNames.contains(folded)) {
                current = static_cast<qsizetype>(m_sections.size());
                m_sectionNames.insert(folded, current);
                m_sections.push_back(Section{i, {}});
            }
        } else if (current >= 0 && entryKey(line, &name)) {
            QHash<QString, int> &keys = m_sections[static_cast<size_t>(current)].keys;
            const QString folded = caseFolded(name);
            if (!keys.contains(folded))
                keys.insert(folded, i);
        }
    }
}

bool IniFile::load(const QString &path)
{
    m_lines.clear();
    m_sections.clear();
    m_sectionNames.clear();
    m_encoding = TextEncoding::Cp1251;
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const TextFile decoded = decodeTextFile(file.readAll());
    m_lines = splitTextLines(decoded.text);
    m_encoding = decoded.encoding;
    reindex();
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
    return writeFileAtomically(path, encodeTextFile(toText(), m_encoding));
}

const IniFile::Section *IniFile::findSection(const QString &section) const
{
    const auto it = m_sectionNames.constFind(caseFolded(section));
    return it == m_sectionNames.constEnd() ? nullptr : &m_sections[static_cast<size_t>(it.value())];
}

int IniFile::findKey(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    return s ? s->keys.value(caseFolded(key), -1) : -1;
}

bool IniFile::hasSection(const QString &section) const
{
    return findSection(section) != nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int k = findKey(section, key);
    if (k < 0)
        return defaultValue;
    const QString &line = m_lines.at(k);
    return withoutQuotes(line.mid(line.indexOf(u'=') + 1).trimmed());
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return parseWholeNumber(readString(section, key), &value) ? value : defaultValue;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    const Section *found = findSection(section);
    if (!found) {
        m_lines.append(u'[' + section + u']');
        m_lines.append(entry);
        reindex();
        return;
    }
    const int s = found->header;
    const int k = findKey(section, key);
    if (k >= 0) {
        m_lines[k] = entry;
        reindex();
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
    reindex();
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

} // namespace kx
