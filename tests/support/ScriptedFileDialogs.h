#pragma once

#include "ui/FileDialogs.h"

#include <QList>
#include <QStringList>

namespace kx::test {

// Open, save and folder dialogs answered from a script: each call takes the
// next answer (a full path, or empty for "cancelled"; cancelled when the script
// is used up) and is recorded with what the dialog was given.
class ScriptedFileDialogs : public ui::FileDialogs
{
public:
    struct Call
    {
        bool save = false;
        QString folder;
        QString name; // the proposed file name of a save dialog, the caption of a folder dialog
        QString filters;
        bool chooseFolder = false;
    };

    QString openFile(QWidget *, const QString &folder, const QString &filters) override
    {
        calls.append({false, folder, QString(), filters});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString saveFile(QWidget *, const QString &folder, const QString &proposedName, const QString &filters) override
    {
        calls.append({true, folder, proposedName, filters});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString chooseFolder(QWidget *, const QString &folder, const QString &caption) override
    {
        calls.append({false, folder, caption, QString(), true});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    QStringList answers;
    QList<Call> calls;
};

} // namespace kx::test
