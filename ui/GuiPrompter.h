#pragma once

#include "base/Prompter.h"

#include <memory>

class QMessageBox;

namespace kx::ui {

// Message boxes titled "Трасмер", owned by the window the core names (or the
// active window), with the icon of their kind.
class GuiPrompter : public Prompter
{
public:
    enum class Kind { Error, Info, Question };

    void error(QObject *owner, const QString &text) override;
    void info(QObject *owner, const QString &text) override;
    void infoWithDetails(QObject *owner, const QString &text, const QString &details) override;
    bool ask(QObject *owner, const QString &text, bool defaultYes) override;

    // The box each of the above shows, before it is shown.
    static std::unique_ptr<QMessageBox> messageBox(Kind kind, QObject *owner, const QString &text,
                                                   bool defaultYes = false);
};

} // namespace kx::ui
