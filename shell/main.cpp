#include "Application.h"
#include "ProgramIcon.h"
#include "U_Main.h"

#include "ui/CursorBusy.h"
#include "ui/GuiPrompter.h"
#include "ui/QtTranslation.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    kx::shell::Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kalyx"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.3 beta"));
    QGuiApplication::setWindowIcon(kx::shell::programIcon());
    kx::ui::installQtTranslation(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Kalyx - route calculator for the Tu-154 NVU in FS2004"));
    parser.addHelpOption();
    QCommandLineOption dirOption(QStringLiteral("dir"),
                                 QStringLiteral("Program folder holding kalyx.ini and kalyxdb.kdb (default: the executable's)."),
                                 QStringLiteral("folder"));
    parser.addOption(dirOption);
    QCommandLineOption secondCopyOption(
        QStringLiteral("allow-second-copy"),
        QStringLiteral("Start without asking when another copy of the program uses the same folder."));
    parser.addOption(secondCopyOption);
    parser.process(app);
    const QString folder = parser.isSet(dirOption) ? QDir(parser.value(dirOption)).absolutePath()
                                                   : QCoreApplication::applicationDirPath();

    kx::ui::GuiPrompter prompter;
    kx::ui::CursorBusy busy;
    app.setPrompter(&prompter);

    kx::shell::TF_Main mainWindow(folder, prompter, &busy);
    mainWindow.setAskAboutAnotherCopy(!parser.isSet(secondCopyOption));
    QObject::connect(&mainWindow, &kx::shell::TF_Main::endRequested, &app,
                     [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
    mainWindow.show();
    return QCoreApplication::exec();
}
