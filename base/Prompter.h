#pragma once

#include <QString>

class QObject;

namespace kx {

// The one seam through which the program talks to a person. Every message box
// of the program goes through it, titled "Трасмер". The owner is the window the
// message belongs to (a QWidget in the GUI); the core passes it through without
// knowing what it is.
class Prompter
{
public:
    virtual ~Prompter() = default;

    virtual void error(QObject *owner, const QString &text) = 0;
    virtual void info(QObject *owner, const QString &text) = 0;
    // Information with details a person may want to read, or may not (what
    // an import left out, line by line): the window shows them in a section
    // of the message that opens on request. By default they follow the text.
    virtual void infoWithDetails(QObject *owner, const QString &text, const QString &details)
    {
        info(owner, details.isEmpty() ? text : text + QStringLiteral("\r\n\r\n") + details);
    }
    // A Yes/No question; defaultYes chooses the preselected button.
    virtual bool ask(QObject *owner, const QString &text, bool defaultYes) = 0;
};

inline constexpr char16_t kMessageTitle[] = u"Трасмер";

} // namespace kx
