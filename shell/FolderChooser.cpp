#include "FolderChooser.h"

#include "base/SimPath.h"
#include "ui/ButtonsAndTabs.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kx::shell {

TF_Shell::TF_Shell(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_Shell"));
    setWindowTitle(QStringLiteral("Укажите каталог с FS9"));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setRootPath(QString()); // the computer: its drives, or "/"

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("Shell1"));
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_tree->setRootIndex(m_model->index(QString()));

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("Edit1"));
    m_path->setReadOnly(true);
    ui::skipByTab(m_path);

    auto *ok = ui::namedButton(this, "SpeedButton2", QStringLiteral("ОК"));
    auto *cancel = ui::namedButton(this, "SpeedButton1", QStringLiteral("Отмена"));

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { m_path->setText(selectedPath()); });
    connect(ok, &QPushButton::clicked, this, [this] {
        const QString path = selectedPath();
        m_folder = path.isEmpty() ? QString() : withTrailingSeparator(path);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_folder.clear();
        reject();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(m_path);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    ui::setTabOrder({m_tree, ok, cancel});
    resize(420, 460);
}

QString TF_Shell::selectedPath() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? QDir::toNativeSeparators(m_model->filePath(current)) : QString();
}

void TF_Shell::setFolder(const QString &folder)
{
    m_folder = folder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QModelIndex index = m_model->index(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
    if (!index.isValid())
        return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_tree->expand(index);
}

QString ShellFolderChooser::choose(const QString &current)
{
    TF_Shell dialog(m_parent);
    dialog.setFolder(current);
    dialog.exec();
    return dialog.folder();
}

} // namespace kx::shell
