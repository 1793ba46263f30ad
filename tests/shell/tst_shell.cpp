#include "WidgetInput.h"

#include "shell/FolderChooser.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace kx;
using namespace kx::shell;

// The simulator folder chooser, driven as a person drives it.
class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void looksAsItShould();
    void choosingAFolder();
    void aRootKeepsItsOneSeparator();
    void cancelAndClose_data();
    void cancelAndClose();
    void aMissingFolderLeavesTheTreeAtItsRoot();

private:
    void open(TF_Shell &dialog, const QString &folder);
    QString native(const QString &name) const { return QDir::toNativeSeparators(m_dir.filePath(name)); }

    QTemporaryDir m_dir;
};

void TestShell::init()
{
    QVERIFY(m_dir.isValid());
    for (const char *name : {"FS9", "Other"})
        QVERIFY(QDir(m_dir.path()).mkpath(QString::fromLatin1(name)));
}

void TestShell::open(TF_Shell &dialog, const QString &folder)
{
    dialog.setFolder(folder);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

void TestShell::looksAsItShould()
{
    TF_Shell dialog;
    open(dialog, native("FS9"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Укажите каталог с FS9"));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("SpeedButton2"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("SpeedButton1"));
    QCOMPARE(ok->text(), QStringLiteral("\u041E\u041A")); // Cyrillic О and К
    QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
    auto *path = dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    QVERIFY(path->isReadOnly());
    QCOMPARE(path->text(), native("FS9"));
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("Shell1"));
    tree->setFocus();
    QCOMPARE(test::tabWalk(3), (QStringList{"SpeedButton2", "SpeedButton1", "Shell1"}));
}

void TestShell::choosingAFolder()
{
    TF_Shell dialog;
    open(dialog, native("FS9"));
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("Shell1"));
    auto *path = dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    tree->setFocus();
    // The next folder down is "Other" once the folder's listing has come in.
    QTRY_VERIFY(tree->indexBelow(tree->currentIndex()).data().toString() == QLatin1String("Other"));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(path->text(), native("Other"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.folder(), native("Other") + QDir::separator());
}

void TestShell::aRootKeepsItsOneSeparator()
{
    TF_Shell dialog;
    open(dialog, QDir::rootPath());
    QCOMPARE(dialog.selectedPath(), QDir::toNativeSeparators(QDir::rootPath()));
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("SpeedButton2"));
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.folder(), QDir::toNativeSeparators(QDir::rootPath()));
}

void TestShell::cancelAndClose_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("keeps");
    QTest::newRow("Отмена empties the folder") << "cancel" << false;
    QTest::newRow("the close button keeps it") << "close" << true;
    QTest::newRow("Esc keeps it") << "escape" << true;
}

void TestShell::cancelAndClose()
{
    QFETCH(QString, how);
    QFETCH(bool, keeps);
    TF_Shell dialog;
    const QString current = native("FS9") + QDir::separator();
    open(dialog, current);
    if (how == u"cancel")
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("SpeedButton1")), Qt::LeftButton);
    else if (how == u"close")
        dialog.close(); // what the window's close button asks
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.folder(), keeps ? current : QString());
}

void TestShell::aMissingFolderLeavesTheTreeAtItsRoot()
{
    TF_Shell dialog;
    open(dialog, native("gone"));
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("Shell1"));
    // Nothing below the top level (the drives, or "/") is current or open.
    const QModelIndex current = tree->currentIndex();
    QVERIFY(!current.isValid() || current.parent() == tree->rootIndex());
    QVERIFY(!dialog.selectedPath().startsWith(QDir::toNativeSeparators(m_dir.path())));
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(), dialog.selectedPath());
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
