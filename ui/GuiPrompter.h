#pragma once

#include "base/Prompter.h"

namespace kx::ui {

// Message boxes titled "Трасмер", owned by the window the core names (or the
// active window), with the icon of their kind.
class GuiPrompter : public Prompter
{
public:
    void error(QObject *owner, const QString &text) override;
    void info(QObject *owner, const QString &text) override;
    bool ask(QObject *owner, const QString &text, bool defaultYes) override;
};

} // namespace kx::ui
