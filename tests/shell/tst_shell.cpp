#include "WidgetInput.h"

#include "base/Platform.h"
#include "shell/FolderChooser.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
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
    void noFolderOpensWhereTheSimulatorUsuallyIs_data();
    void noFolderOpensWhereTheSimulatorUsuallyIs();
    void aTypedOrPastedPath_data();
    void aTypedOrPastedPath();

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
    QVERIFY(!path->isReadOnly());
    QCOMPARE(path->text(), native("FS9"));
    // A line above the tree says what to choose.
    auto *hint = dialog.findChild<QLabel *>(QStringLiteral("LHint"));
    QVERIFY(hint && hint->isVisible());
    QVERIFY(hint->text().contains(QStringLiteral("fs9.exe")));
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("Shell1"));
    QVERIFY(hint->geometry().bottom() < tree->geometry().top());
    tree->setFocus();
    QCOMPARE(test::tabWalk(4), (QStringList{"Edit1", "SpeedButton2", "SpeedButton1", "Shell1"}));
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

void TestShell::noFolderOpensWhereTheSimulatorUsuallyIs_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("first start: none yet") << QString();
    QTest::newRow("a folder that is gone") << "gone";
}

void TestShell::noFolderOpensWhereTheSimulatorUsuallyIs()
{
    QFETCH(QString, folder);
    TF_Shell dialog;
    open(dialog, folder.isEmpty() ? folder : native(folder));
    // Microsoft Games under the 32-bit programs folder on Windows, the home
    // folder elsewhere; where that folder is missing, the tree stays at the top.
    const QString usual = platform::usualSimulatorParent();
    auto *tree = dialog.findChild<QTreeView *>(QStringLiteral("Shell1"));
    if (QFileInfo(usual).isDir()) {
        QCOMPARE(QDir(dialog.selectedPath()), QDir(usual));
    } else {
        const QModelIndex current = tree->currentIndex();
        QVERIFY(!current.isValid() || current.parent() == tree->rootIndex());
    }
    QVERIFY(!dialog.selectedPath().startsWith(QDir::toNativeSeparators(m_dir.path())));
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(), dialog.selectedPath());
}

void TestShell::aTypedOrPastedPath_data()
{
    QTest::addColumn<QString>("text");    // typed over the field's text; {} stands for the test's folder
    QTest::addColumn<bool>("paste");      // pasted from the clipboard rather than typed
    QTest::addColumn<QString>("chosen");  // the folder the dialog gives; {} as above
    QTest::addColumn<bool>("inTree");     // the tree has gone to it
    QTest::newRow("typed") << "{}/Other" << false << "{}/Other/" << true;
    QTest::newRow("pasted as Explorer copies it, in quotes") << "\"{}/Other\"" << true << "{}/Other/" << true;
    QTest::newRow("with its separator and blanks") << "  {}/FS9/  " << true << "{}/FS9/" << true;
    QTest::newRow("a folder that is not there: the start says so") << "{}/Нет такой" << true << "{}/Нет такой/" << false;
}

void TestShell::aTypedOrPastedPath()
{
    QFETCH(QString, text);
    QFETCH(bool, paste);
    QFETCH(QString, chosen);
    QFETCH(bool, inTree);
    const QString root = m_dir.path();
    text.replace(QStringLiteral("{}"), root);
    chosen = QDir::toNativeSeparators(chosen.replace(QStringLiteral("{}"), root));
    TF_Shell dialog;
    open(dialog, native("FS9"));
    auto *path = dialog.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    path->setFocus();
    QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
    if (paste) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(path, Qt::Key_V, Qt::ControlModifier);
    } else {
        test::typeText(path, text);
    }
    QCOMPARE(path->text(), text);
    if (inTree)
        QCOMPARE(QDir(dialog.selectedPath()), QDir(QDir::fromNativeSeparators(chosen)));
    else
        QCOMPARE(dialog.selectedPath(), native("FS9"));
    // Enter takes the path in the field.
    QTest::keyClick(path, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.folder(), chosen);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
