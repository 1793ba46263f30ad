#pragma once

#include <QString>
#include <stdexcept>

namespace kx {

// How a failure travels, in every layer:
//
// 1. Readers, writers and the database wrapper below the commands never speak
//    to a person. They return false (or an empty std::optional) and, where a
//    person may need the reason, give it through a QString *error argument.
//    Such a result is the only word of the failure, so these functions are
//    [[nodiscard]]: a caller that lets one go (a settings file a read-only
//    folder cannot take) says so with std::ignore and a comment.
// 2. A command (the work of one button, one menu item or one kalyx-cli
//    command) reports each failure it handles where it happens, with its own
//    message through the Prompter, and returns false (or 0 for "no row");
//    its caller shows nothing more, and may go on as it would anyway.
// 3. A failure a command does not handle (a waypoint whose position cannot be
//    read in the middle of a calculation, a database error in a step that has
//    no message of its own) is thrown as kx::Error with a text for a person.
//    runGuarded (Guard.h), the general error display, shows it; the program
//    runs on.
//
// A step may well do both 2 and 3: the calculation answers a Points table it
// cannot open with its message, and a row it cannot put into editing with an
// Error, because only the first has a message of its own. An outcome a caller
// expects (a beacon whose position cannot be read is no candidate) is not a
// failure at all: it is read with an optional (geo::readCoordinate), never
// caught as an exception.

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
