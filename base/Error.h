#pragma once

#include <QString>
#include <stdexcept>

namespace kx {

// An error that a command does not handle itself. It travels up to the general
// error display, which shows text() and lets the program run on.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const noexcept { return m_text; }

private:
    QString m_text;
};

// The text of any exception, for the general error display.
QString errorText(const std::exception &e);

} // namespace kx
