#include "FileDialogs.h"

#include "UiTexts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace kx::ui {
namespace {

// The file dialog's list with its size, type and date columns written anew.
class ProgramLocaleColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        switch (index.column()) {
        case kSize:
            return files->isDir(source) ? QString() : fileSizeText(files->size(source));
        case kType:
            return files->isDir(source) ? texts::folderType() : QIdentityProxyModel::data(index, role);
        case kModified:
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }

private:
    // QFileSystemModel's columns.
    static constexpr int kSize = 1;
    static constexpr int kType = 2;
    static constexpr int kModified = 3;
};

} // namespace

QString fileSizeText(qint64 bytes)
{
    if (bytes < 1024)
        return texts::bytes(bytes);
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

void useProgramLocale(QFileDialog &dialog) { dialog.setProxyModel(new ProgramLocaleColumns(&dialog)); }

QString QtFileDialogs::openFile(QWidget *owner, const QString &folder, const QString &filters)
{
    QFileDialog dialog(owner, QString(), folder, filters);
    useProgramLocale(dialog);
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
    useProgramLocale(dialog);
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
    useProgramLocale(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace kx::ui
