#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace kx::ui {

QString QtFileDialogs::openFile(QWidget *owner, const QString &folder, const QString &filters)
{
    QFileDialog dialog(owner, QString(), folder, filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString QtFileDialogs::saveFile(QWidget *owner, const QString &folder, const QString &proposedName,
                                const QString &filters)
{
    QFileDialog dialog(owner, QString(), folder, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks about replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString QtFileDialogs::chooseFolder(QWidget *owner, const QString &folder, const QString &caption)
{
    QFileDialog dialog(owner, caption, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace kx::ui
