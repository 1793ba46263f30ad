#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace kx::catalogues {

// Reads a comma-separated file with a header row one record at a time, the way
// OurAirports publishes its data: UTF-8 (a byte order mark is skipped), text
// fields in double quotes (a doubled quote inside stands for one, line breaks
// inside are part of the field), LF or CR LF line ends, blank lines skipped.
// The file is read in blocks, so its size costs no memory.
//
// Whatever bytes the file holds give records or a fault, never more: a file
// larger than maxFileBytes, a record longer than kMaxRecordBytes, a control
// character or a NUL byte outside a quoted line break, bytes that are not
// UTF-8, a quote left open, text after a closing quote, a quote inside an
// unquoted field, or a record with another number of fields than the header.
// Each fault names the file (by the name it was given for messages) and the
// line its record starts on.
class CsvReader
{
public:
    static constexpr int kMaxRecordBytes = 64 * 1024;

    // shownName: the file as messages name it.
    CsvReader(QString path, QString shownName, qint64 maxFileBytes);

    const QString &shownName() const { return m_name; }

    // Opens the file and reads its header row; false with *error.
    bool open(QString *error);
    const QStringList &header() const { return m_header; }
    // The index of a header column, -1 when there is none.
    int column(QStringView name) const;

    // Reads the next record; false at the end of the file (*error left empty)
    // or at a fault (*error set).
    bool next(QString *error);
    // A field of the current record as text; empty for column -1.
    QString text(int column) const;
    // The line of the file the current record starts on (the header is line 1
    // unless blank lines precede it).
    int line() const { return m_recordLine; }
    // "Файл NAME, строка N: " + problem, for a fault in the current record.
    QString problem(const QString &what) const;

    qint64 size() const { return m_size; }
    qint64 position() const { return m_consumed; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    bool readRecord(QString *error);
    bool fault(int line, const QString &what, QString *error) const;
    bool nextByte(char *byte);

    QString m_path;
    QString m_name;
    qint64 m_maxFileBytes;
    QFile m_file;
    qint64 m_size = 0;
    qint64 m_consumed = 0;

    QByteArray m_block;
    qsizetype m_blockPos = 0;
    bool m_atStart = true;
    bool m_pendingCr = false; // a line ended with CR: an LF right after it is part of that end

    QStringList m_header;
    QByteArray m_record;                      // the fields' bytes, one after another
    std::vector<std::pair<int, int>> m_fields; // offset and length in m_record
    int m_line = 1;
    int m_recordLine = 1;
};

} // namespace kx::catalogues
