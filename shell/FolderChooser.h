#pragma once

#include "shell/core/Startup.h"

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace kx::shell {

// The simulator folder chooser: a tree of the file system's folders rooted at
// the computer, the selected folder's path, "ОК" and "Отмена".
class TF_Shell : public QDialog
{
    Q_OBJECT
public:
    explicit TF_Shell(QWidget *parent = nullptr);

    // Opens the tree at this folder; stays at the root when it cannot be selected.
    void setFolder(const QString &folder);
    // The simulator folder after the dialog closed: the selected folder with a
    // trailing separator ("ОК"), empty ("Отмена"), or the folder given to
    // setFolder (closed by the window's close button).
    const QString &folder() const { return m_folder; }
    QString selectedPath() const;

private:
    QFileSystemModel *m_model;
    QTreeView *m_tree;
    QLineEdit *m_path;
    QString m_folder;
};

// The GUI's chooser: a TF_Shell made for each showing and destroyed after it.
class ShellFolderChooser : public FolderChooser
{
public:
    explicit ShellFolderChooser(QWidget *parent) : m_parent(parent) {}
    QString choose(const QString &current) override;

private:
    QWidget *m_parent;
};

} // namespace kx::shell
