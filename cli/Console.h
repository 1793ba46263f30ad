#pragma once

#include <QIODevice>
#include <QTextStream>

#include <cstdio>

namespace kx::cli {

// Standard output or standard error of kalyx-cli. Text reaches a console
// window as characters (Russian reads right in cmd.exe whatever its code
// page); a file, a pipe or a terminal gets it as UTF-8 bytes.
class ConsoleDevice : public QIODevice
{
public:
    explicit ConsoleDevice(FILE *stream);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    FILE *m_stream;
};

// A text stream over one of them, flushed when it goes: use it as a
// QTextStream, e.g. ConsoleStream(stdout) << text << '\n'.
class ConsoleStream : public QTextStream
{
public:
    explicit ConsoleStream(FILE *stream);
    ~ConsoleStream() override;
    ConsoleStream(const ConsoleStream &) = delete;
    ConsoleStream &operator=(const ConsoleStream &) = delete;

private:
    ConsoleDevice m_device;
};

} // namespace kx::cli
