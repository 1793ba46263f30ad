#include "CsvTable.h"

#include <QFile>

namespace kx::dbbuild {

bool CsvTable::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QString parseError;
    if (!parse(text, &parseError)) {
        *error = QStringLiteral("%1: %2").arg(path, parseError);
        return false;
    }
    return true;
}

bool CsvTable::parse(const QString &text, QString *error)
{
    m_header.clear();
    m_rows.clear();
    m_lines.clear();

    QStringList fields;
    QString field;
    bool quoted = false;
    bool lineHasContent = false;
    int line = 1;
    int recordLine = 1;

    // Empty fields are empty texts, not null ones: the database gets '' (as the
    // program's own windows write an empty field), not Null.
    auto takeField = [&]() {
        fields.append(field.isNull() ? QString(QLatin1String("")) : field);
        field.clear();
    };
    auto endRecord = [&]() -> bool {
        if (lineHasContent) {
            takeField();
            if (m_header.isEmpty()) {
                m_header = fields;
            } else if (fields.size() != m_header.size()) {
                *error = QStringLiteral("line %1 has %2 fields, the header %3")
                             .arg(recordLine)
                             .arg(fields.size())
                             .arg(m_header.size());
                return false;
            } else {
                m_rows.append(fields);
                m_lines.append(recordLine);
            }
        }
        fields.clear();
        field.clear();
        lineHasContent = false;
        return true;
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field.append(c);
            }
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;
        if (c == u'\n' || c == u'\r') {
            if (!endRecord())
                return false;
            ++line;
            recordLine = line;
            continue;
        }
        lineHasContent = true;
        if (c == u'"' && field.isEmpty())
            quoted = true;
        else if (c == u',')
            takeField();
        else
            field.append(c);
    }
    if (quoted) {
        *error = QStringLiteral("line %1 leaves a quote open").arg(recordLine);
        return false;
    }
    if (!endRecord())
        return false;
    if (m_header.isEmpty()) {
        *error = QStringLiteral("no header row");
        return false;
    }
    return true;
}

} // namespace kx::dbbuild
