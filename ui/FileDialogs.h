#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace kx::ui {

// The open-file, save-file and folder dialogs, behind an interface so that
// tests can answer them. Filters use Qt's form, "name (*.pln);;name (*.*)".
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen file's full path; empty when the user cancelled.
    virtual QString openFile(QWidget *owner, const QString &folder, const QString &filters) = 0;
    // proposedName: the file name the dialog starts with, in folder.
    virtual QString saveFile(QWidget *owner, const QString &folder, const QString &proposedName,
                             const QString &filters) = 0;
    // The chosen folder's full path, opened at folder; empty when the user
    // cancelled.
    virtual QString chooseFolder(QWidget *owner, const QString &folder, const QString &caption) = 0;
};

// A file's size as the dialogs show it, in the program's Russian whatever the
// system's language: "512 байт", "1,4 кБ", "2,3 МБ".
QString fileSizeText(qint64 bytes);

// Makes Qt's own file dialog list sizes, types and dates in the program's
// locale: Qt fills those columns in the system's language ("bytes", "Folder",
// "11 Dec 2026"), which on an English system mixes with the Russian rest.
void useProgramLocale(QFileDialog &dialog);

// The platform's dialogs.
class QtFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *owner, const QString &folder, const QString &filters) override;
    QString saveFile(QWidget *owner, const QString &folder, const QString &proposedName,
                     const QString &filters) override;
    QString chooseFolder(QWidget *owner, const QString &folder, const QString &caption) override;
};

} // namespace kx::ui
