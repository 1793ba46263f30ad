#include "CsvReader.h"

#include "OurAirportsTexts.h"

#include <QByteArrayView>
#include <QFileInfo>

namespace kx::catalogues {
namespace {

constexpr qint64 kBlockBytes = 1024 * 1024;
constexpr qint64 kMegabyte = 1024 * 1024;

// A byte no text file of this kind holds outside a quoted line break.
bool isControl(unsigned char byte)
{
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// Bytes that only add to the field they are in.
bool isOrdinaryUnquoted(unsigned char byte)
{
    return byte >= 0x20 ? byte != ',' && byte != '"' : byte == '\t';
}

bool isOrdinaryQuoted(unsigned char byte)
{
    return byte >= 0x20 ? byte != '"' : byte == '\t' || byte == '\r';
}

} // namespace

CsvReader::CsvReader(QString path, QString shownName, qint64 maxFileBytes)
    : m_path(std::move(path)), m_name(std::move(shownName)), m_maxFileBytes(maxFileBytes)
{
    m_record.reserve(1024);
}

bool CsvReader::open(QString *error)
{
    const QFileInfo info(m_path);
    m_file.setFileName(m_path);
    if (!info.isFile() || !m_file.open(QIODevice::ReadOnly)) {
        const QString why = info.isDir()                     ? texts::isFolder()
                            : info.exists() && !info.isFile() ? texts::notRegularFile()
                                                              : m_file.errorString();
        *error = texts::fileProblem(m_name, texts::fileUnreadable(why));
        return false;
    }
    m_size = m_file.size();
    if (m_size > m_maxFileBytes) {
        *error = texts::fileProblem(m_name, texts::fileTooLarge((m_size + kMegabyte - 1) / kMegabyte,
                                                                m_maxFileBytes / kMegabyte));
        return false;
    }
    if (!readRecord(error)) {
        if (error->isEmpty())
            *error = texts::fileProblem(m_name, texts::noHeader());
        return false;
    }
    m_header.clear();
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i)
        m_header.append(text(i).trimmed());
    return true;
}

int CsvReader::column(QStringView name) const
{
    for (int i = 0; i < m_header.size(); ++i)
        if (m_header.at(i) == name)
            return i;
    return -1;
}

bool CsvReader::next(QString *error)
{
    error->clear();
    if (!readRecord(error))
        return false;
    if (static_cast<int>(m_fields.size()) != m_header.size())
        return fault(m_recordLine, texts::fieldCount(static_cast<int>(m_fields.size()), m_header.size()), error);
    return true;
}

QString CsvReader::text(int column) const
{
    return QString::fromUtf8(bytes(column));
}

QByteArrayView CsvReader::bytes(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_fields.size()))
        return {};
    const auto [offset, length] = m_fields[static_cast<size_t>(column)];
    return QByteArrayView(m_record.constData() + offset, length);
}

QString CsvReader::problem(const QString &what) const
{
    return texts::fileLineProblem(m_name, m_recordLine, what);
}

bool CsvReader::fault(int line, const QString &what, QString *error) const
{
    *error = texts::fileLineProblem(m_name, line, what);
    return false;
}

bool CsvReader::nextByte(char *byte)
{
    if (m_blockPos >= m_block.size()) {
        m_block = m_file.read(kBlockBytes);
        m_blockPos = 0;
        if (m_atStart) {
            m_atStart = false;
            if (m_block.startsWith("\xEF\xBB\xBF")) {
                m_blockPos = 3;
                m_consumed += 3;
            }
        }
        if (m_blockPos >= m_block.size())
            return false;
    }
    *byte = m_block.at(m_blockPos++);
    ++m_consumed;
    return true;
}

// One record into m_record and m_fields. False with *error empty at the end
// of the file, with *error set at a fault.
bool CsvReader::readRecord(QString *error)
{
    m_record.clear();
    m_fields.clear();
    State state = State::FieldStart;
    int fieldStart = 0;
    bool content = false;
    m_recordLine = m_line;
    const auto endField = [&] {
        m_fields.emplace_back(fieldStart, static_cast<int>(m_record.size()) - fieldStart);
        fieldStart = static_cast<int>(m_record.size());
    };
    const auto endRecord = [&]() -> bool {
        endField();
        if (!QByteArrayView(m_record).isValidUtf8())
            return fault(m_recordLine, texts::notUtf8(), error);
        return true;
    };

    char c = 0;
    for (;;) {
        // The bytes of a field's text are taken in runs: only a delimiter, a
        // quote, a line break or a control byte needs a look of its own.
        if (!m_pendingCr && (state == State::Unquoted || state == State::Quoted) && m_blockPos < m_block.size()) {
            const char *begin = m_block.constData() + m_blockPos;
            const char *end = m_block.constData() + m_block.size();
            const char *p = begin;
            if (state == State::Unquoted)
                while (p < end && isOrdinaryUnquoted(static_cast<unsigned char>(*p)))
                    ++p;
            else
                while (p < end && isOrdinaryQuoted(static_cast<unsigned char>(*p)))
                    ++p;
            if (p > begin) {
                const qsizetype run = p - begin;
                m_record.append(begin, run);
                m_blockPos += run;
                m_consumed += run;
                if (m_consumed > m_maxFileBytes)
                    return fault(m_line, texts::fileTooLarge(m_consumed / kMegabyte, m_maxFileBytes / kMegabyte), error);
                if (m_record.size() > kMaxRecordBytes)
                    return fault(m_recordLine, texts::recordTooLong(kMaxRecordBytes / 1024), error);
                continue;
            }
        }
        if (!nextByte(&c))
            break;
        if (m_consumed > m_maxFileBytes) // the file grew while it was read
            return fault(m_line, texts::fileTooLarge(m_consumed / kMegabyte, m_maxFileBytes / kMegabyte), error);
        if (m_record.size() > kMaxRecordBytes)
            return fault(m_recordLine, texts::recordTooLong(kMaxRecordBytes / 1024), error);
        const auto byte = static_cast<unsigned char>(c);
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == '\n')
                continue;
        }
        if (isControl(byte))
            return fault(m_line, texts::notText(), error);

        if (state == State::Quoted) {
            if (c == '"') {
                state = State::QuoteInQuoted;
            } else {
                if (c == '\n')
                    ++m_line;
                m_record.append(c);
            }
            continue;
        }
        if (state == State::QuoteInQuoted && c == '"') {
            m_record.append('"');
            state = State::Quoted;
            continue;
        }
        if (c == '\n' || c == '\r') {
            m_pendingCr = c == '\r';
            ++m_line;
            if (!content) { // a blank line
                m_recordLine = m_line;
                continue;
            }
            return endRecord();
        }
        content = true;
        if (c == ',') {
            endField();
            state = State::FieldStart;
            continue;
        }
        if (state == State::QuoteInQuoted)
            return fault(m_line, texts::textAfterQuote(), error);
        if (c == '"') {
            if (state == State::Unquoted)
                return fault(m_line, texts::quoteInsideField(), error);
            state = State::Quoted;
            continue;
        }
        state = State::Unquoted;
        m_record.append(c);
    }
    if (m_file.error() != QFileDevice::NoError)
        return fault(m_line, texts::fileUnreadable(m_file.errorString()), error);
    if (state == State::Quoted)
        return fault(m_recordLine, texts::quoteLeftOpen(), error);
    if (!content)
        return false;
    return endRecord();
}

} // namespace kx::catalogues
