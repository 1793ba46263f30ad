#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kx::dbbuild {

// A comma-separated file with a header row, as the catalogue files are kept:
// UTF-8, a field in double quotes when it holds a comma (a doubled quote inside
// stands for one), LF or CR LF line ends, blank lines skipped.
class CsvTable
{
public:
    // False with *error set when the file cannot be read, a quote is left
    // open, or a row has another number of fields than the header.
    [[nodiscard]] bool load(const QString &path, QString *error);
    [[nodiscard]] bool parse(const QString &text, QString *error);

    const QStringList &header() const { return m_header; }
    qsizetype rowCount() const { return m_rows.size(); }
    const QStringList &row(qsizetype index) const { return m_rows.at(index); }
    // Index of a header column, -1 when there is none.
    int column(const QString &name) const { return static_cast<int>(m_header.indexOf(name)); }
    // The file line a row came from (1 = header), for messages.
    int lineOf(qsizetype index) const { return m_lines.at(index); }

private:
    QStringList m_header;
    QList<QStringList> m_rows;
    QList<int> m_lines;
};

} // namespace kx::dbbuild
