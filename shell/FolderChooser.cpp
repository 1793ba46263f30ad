#include "FolderChooser.h"

#include "core/ShellTexts.h"

#include "base/Platform.h"
#include "base/SimPath.h"
#include "ui/DialogParts.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kx::shell {

TF_Shell::TF_Shell(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_Shell"));
    setWindowTitle(texts::chooserCaption());

    auto *hint = new QLabel(texts::chooserHint(), this);
    hint->setObjectName(QStringLiteral("LHint"));
    hint->setWordWrap(true);

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
    m_path->setClearButtonEnabled(true);

    auto *ok = ui::namedButton(this, "SpeedButton2", QStringLiteral("ОК"));
    auto *cancel = ui::namedButton(this, "SpeedButton1", QStringLiteral("Отмена"));
    ok->setDefault(true); // Enter in the path field takes the path

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_typing)
            m_path->setText(selectedPath());
    });
    // A typed or pasted path that names a folder opens it in the tree; the
    // field keeps the text as it is.
    connect(m_path, &QLineEdit::textEdited, this, [this] {
        const QString path = typedPath();
        if (!path.isEmpty() && QFileInfo(path).isDir()) {
            m_typing = true;
            selectInTree(path);
            m_typing = false;
        }
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        const QString path = typedPath();
        m_folder = path.isEmpty() ? QString() : withTrailingSeparator(path);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_folder.clear();
        reject();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_tree);
    layout->addWidget(m_path);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    ui::setTabOrder({m_tree, m_path, ok, cancel});
    resize(420, 500);
}

QString TF_Shell::selectedPath() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? QDir::toNativeSeparators(m_model->filePath(current)) : QString();
}

QString TF_Shell::typedPath() const
{
    QString path = m_path->text().trimmed();
    if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"')
        path = path.mid(1, path.size() - 2).trimmed();
    return QDir::toNativeSeparators(path);
}

bool TF_Shell::selectInTree(const QString &folder)
{
    const QModelIndex index = m_model->index(QDir::cleanPath(QDir::fromNativeSeparators(folder)));
    if (!index.isValid())
        return false;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_tree->expand(index);
    return true;
}

void TF_Shell::setFolder(const QString &folder)
{
    m_folder = folder;
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && selectInTree(folder))
        return;
    const QString usual = platform::usualSimulatorParent();
    if (QFileInfo(usual).isDir())
        selectInTree(usual);
}

QString ShellFolderChooser::choose(const QString &current)
{
    TF_Shell dialog(m_parent);
    dialog.setFolder(current);
    dialog.exec();
    return dialog.folder();
}

} // namespace kx::shell
