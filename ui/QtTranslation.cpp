#include "QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kx::ui {

bool installQtTranslation(QCoreApplication &app)
{
    const QStringList folders{QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    auto *translator = new QTranslator(&app);
    for (const QString &folder : folders) {
        if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                             folder)
            && QCoreApplication::installTranslator(translator))
            return true;
    }
    delete translator;
    return false;
}

void useRussianLocale() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

} // namespace kx::ui
