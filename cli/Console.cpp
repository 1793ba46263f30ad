#include "Console.h"

#include "base/Platform.h"

namespace kx::cli {

ConsoleDevice::ConsoleDevice(FILE *stream) : m_stream(stream)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ConsoleDevice::writeData(const char *data, qint64 size)
{
    // A text stream hands over whole encoded texts, so no character is split
    // between two writes.
    const auto which = m_stream == stderr ? platform::StandardStream::Error : platform::StandardStream::Output;
    if (!platform::writeToConsole(which, QString::fromUtf8(data, size))) {
        if (std::fwrite(data, 1, static_cast<size_t>(size), m_stream) != static_cast<size_t>(size))
            return -1;
        std::fflush(m_stream);
    }
    return size;
}

ConsoleStream::ConsoleStream(FILE *stream) : m_device(stream)
{
    setDevice(&m_device);
}

ConsoleStream::~ConsoleStream()
{
    setDevice(nullptr); // flushes into the device, which goes before the stream
}

} // namespace kx::cli
