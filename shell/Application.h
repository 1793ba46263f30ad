#pragma once

#include <QApplication>

namespace kx {
class Prompter;
}

namespace kx::shell {

// The application object. An error that escapes a command's own handling and
// reaches the event loop is shown by the general error display with its own
// text, and the program keeps running.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    bool notify(QObject *receiver, QEvent *event) override;

private:
    Prompter *m_prompter = nullptr;
};

} // namespace kx::shell
