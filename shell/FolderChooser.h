#pragma once

#include "shell/core/Startup.h"

#include <QDialog>

class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace kx::shell {

// The simulator folder chooser: a line that says what to choose, a tree of
// the file system's folders rooted at the computer, the folder's path (shown
// as the tree's selection changes, and open to a path typed or pasted into
// it), "ОК" and "Отмена".
class TF_Shell : public QDialog
{
    Q_OBJECT
public:
    explicit TF_Shell(QWidget *parent = nullptr);

    // Opens the tree at this folder. When it cannot be selected (empty, or
    // gone), at the folder where the simulator is usually installed, when
    // there is one; else the tree stays at its root.
    void setFolder(const QString &folder);
    // The simulator folder after the dialog closed: the chosen folder with a
    // trailing separator ("ОК": the path in the field), empty ("Отмена"), or
    // the folder given to setFolder (closed by the window's close button).
    const QString &folder() const { return m_folder; }
    QString selectedPath() const;

private:
    // Selects a folder in the tree; false when the tree has no such folder.
    bool selectInTree(const QString &folder);
    // The field's path as typed or pasted: blanks and quotes around it
    // (Explorer's "Copy as path") removed, native separators.
    QString typedPath() const;

    QFileSystemModel *m_model;
    QTreeView *m_tree;
    QLineEdit *m_path;
    QString m_folder;
    bool m_typing = false;
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
