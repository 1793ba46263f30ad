#include "base/Busy.h"
#include "ui/CoordinateEdit.h"
#include "ui/CursorBusy.h"
#include "ui/FileDialogs.h"
#include "ui/GuiPrompter.h"
#include "ui/QtTranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <optional>

using namespace kx;
using Kind = ui::GuiPrompter::Kind;

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(u'&');
}

// The texts of a box's buttons, in the box's order.
QStringList buttonTexts(QMessageBox &box)
{
    QStringList texts;
    for (QAbstractButton *button : box.buttons())
        texts << withoutMnemonic(button->text());
    texts.sort();
    return texts;
}

// The menu a right click on the widget opens.
QMenu *contextMenu(QWidget *widget)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), widget->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(widget, &event);
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

} // namespace

// The GUI's message boxes, and Qt's own texts in Russian.
class TestGuiPrompter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void boxesOfEachKind_data();
    void boxesOfEachKind();
    void boxShowsTheNormalCursorOverBusyWork_data();
    void boxShowsTheNormalCursorOverBusyWork();
    void editMenusAreRussianAndPasteStillWorks();
    void detailsOpenOnRequest();
    void fileDialogsListInRussian();
};

void TestGuiPrompter::initTestCase()
{
    QVERIFY2(ui::installQtTranslation(*qApp), "Qt's Russian translation (qt6-translations-l10n) is not installed");
}

void TestGuiPrompter::boxesOfEachKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("defaultYes");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::newRow("error") << int(Kind::Error) << false << int(QMessageBox::Critical) << QStringList{"OK"} << "OK";
    QTest::newRow("info") << int(Kind::Info) << false << int(QMessageBox::Information) << QStringList{"OK"} << "OK";
    QTest::newRow("question, No first") << int(Kind::Question) << false << int(QMessageBox::Question)
                                        << QStringList{"Да", "Нет"} << "Нет";
    QTest::newRow("question, Yes first") << int(Kind::Question) << true << int(QMessageBox::Question)
                                         << QStringList{"Да", "Нет"} << "Да";
}

void TestGuiPrompter::boxesOfEachKind()
{
    QFETCH(int, kind);
    QFETCH(bool, defaultYes);
    QFETCH(int, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QWidget owner;
    const auto box = ui::GuiPrompter::messageBox(Kind(kind), &owner, QStringLiteral("Строка 1\r\nСтрока 2"), defaultYes);
    QCOMPARE(box->windowTitle(), QStringLiteral("Трасмер"));
    QCOMPARE(int(box->icon()), icon);
    QCOMPARE(box->text(), QStringLiteral("Строка 1\nСтрока 2"));
    QCOMPARE(box->parentWidget(), &owner);
    QCOMPARE(buttonTexts(*box), buttons);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QCOMPARE(withoutMnemonic(box->defaultButton()->text()), defaultButton);
    if (Kind(kind) == Kind::Question) {
        QTest::keyClick(box.get(), Qt::Key_Escape);
        QCOMPARE(box->result(), int(QMessageBox::No));
    }
}

void TestGuiPrompter::boxShowsTheNormalCursorOverBusyWork_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("error") << int(Kind::Error);
    QTest::newRow("info") << int(Kind::Info);
    QTest::newRow("question") << int(Kind::Question);
}

void TestGuiPrompter::boxShowsTheNormalCursorOverBusyWork()
{
    // Work under the busy cursor (ui::CursorBusy, nested twice) asks or tells
    // the person something: the box has the normal cursor, and the work's busy
    // cursor is back once the box is closed.
    QFETCH(int, kind);
    ui::CursorBusy busy;
    BusyGuard outer(&busy);
    BusyGuard inner(&busy);
    ui::GuiPrompter prompter;
    std::optional<Qt::CursorShape> whileShown;
    // Escape closes the box on every way out, so that a failed check fails
    // the test instead of leaving the box waiting.
    const auto closeTheBox = [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Escape);
    };
    QTimer::singleShot(0, [&] {
        const auto close = qScopeGuard(closeTheBox);
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        if (QGuiApplication::overrideCursor())
            whileShown = QGuiApplication::overrideCursor()->shape();
    });
    switch (Kind(kind)) {
    case Kind::Error:
        prompter.error(nullptr, QStringLiteral("Ошибка"));
        break;
    case Kind::Info:
        prompter.info(nullptr, QStringLiteral("Сведения"));
        break;
    case Kind::Question:
        QVERIFY(!prompter.ask(nullptr, QStringLiteral("Вопрос?"), true));
        break;
    }
    QVERIFY(whileShown);
    QCOMPARE(*whileShown, Qt::ArrowCursor);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    inner.restoreNow();
    outer.restoreNow();
    QVERIFY(!QGuiApplication::overrideCursor());

    // Without busy work the box changes no cursor at all.
    bool normalCursor = false;
    QTimer::singleShot(0, [&] {
        const auto close = qScopeGuard(closeTheBox);
        QTRY_VERIFY(QApplication::activeModalWidget());
        normalCursor = !QGuiApplication::overrideCursor();
    });
    prompter.info(nullptr, QStringLiteral("Сведения"));
    QVERIFY(normalCursor);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestGuiPrompter::editMenusAreRussianAndPasteStillWorks()
{
    ui::CoordinateEdit edit(ui::CoordinateEdit::Axis::Latitude);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QGuiApplication::clipboard()->setText(QStringLiteral("N55* 58.27'"));
    QMenu *menu = contextMenu(&edit);
    QVERIFY(menu);
    QStringList texts;
    QAction *paste = nullptr;
    for (QAction *action : menu->actions()) {
        texts << withoutMnemonic(action->text().section(u'\t', 0, 0));
        if (action->text().contains(QStringLiteral("Ctrl+V")))
            paste = action;
    }
    QVERIFY2(!texts.contains(QStringLiteral("Paste")), qPrintable(texts.join(u'|')));
    QVERIFY2(texts.contains(QStringLiteral("Вставить")), qPrintable(texts.join(u'|')));
    QVERIFY(paste);
    while (menu->activeAction() != paste)
        QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(edit.fieldText(), QStringLiteral("N55*58.27"));
}

void TestGuiPrompter::detailsOpenOnRequest()
{
    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QString text;
    QString shown;
    bool hiddenFirst = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        auto *details = box->findChild<QTextEdit *>();
        hiddenFirst = details && !details->isVisible();
        // Qt's own button that shows them, in Russian.
        QAbstractButton *more = nullptr;
        for (QAbstractButton *button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                more = button;
        if (more)
            QTest::mouseClick(more, Qt::LeftButton);
        if (details && details->isVisible())
            shown = details->toPlainText();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    ui::GuiPrompter().infoWithDetails(&owner, QStringLiteral("Импорт выполнен.\r\n\r\nНе взято: 1"),
                                      QStringLiteral("Все случаи:\r\nrunways.csv, строка 10: ..."));
    QCOMPARE(text, QStringLiteral("Импорт выполнен.\n\nНе взято: 1"));
    QVERIFY(hiddenFirst);
    QCOMPARE(shown, QStringLiteral("Все случаи:\nrunways.csv, строка 10: ..."));
}

void TestGuiPrompter::fileDialogsListInRussian()
{
#ifdef Q_OS_WIN
    QSKIP("Windows shows its own file dialog, in the system's language");
#endif
    // The tests run under the C locale, as on an English system: Qt fills
    // the size, type and date columns in the system's language.
    ui::useRussianLocale();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDateTime written(QDate(2026, 12, 10), QTime(14, 5));
    for (const auto &[name, size] : {std::pair{"small.pln", 500}, std::pair{"large.pln", 1500}}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Планы")));

    QMap<QString, QStringList> rows; // name: size, type, date
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        // Closed on every way out: a failed check returns from here at once.
        const auto close = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        QAbstractProxyModel *list = dialog->proxyModel();
        QVERIFY(list);
        auto *files = qobject_cast<QFileSystemModel *>(list->sourceModel());
        QVERIFY(files);
        const QModelIndex folder = list->mapFromSource(files->index(dir.path()));
        QTRY_COMPARE(list->rowCount(folder), 3);
        for (int row = 0; row < 3; ++row) {
            QStringList columns;
            for (int column = 1; column < 4; ++column)
                columns << list->index(row, column, folder).data().toString();
            rows.insert(list->index(row, 0, folder).data().toString(), columns);
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    });
    ui::QtFileDialogs dialogs;
    QCOMPARE(dialogs.openFile(nullptr, dir.path(), QStringLiteral("Все файлы (*.*)")), QString());
    QCOMPARE(rows.value(QStringLiteral("small.pln")).at(0), QStringLiteral("500 байт"));
    QCOMPARE(rows.value(QStringLiteral("large.pln")).at(0), QStringLiteral("1,5 кБ"));
    QCOMPARE(rows.value(QStringLiteral("large.pln")).at(2), QStringLiteral("10.12.2026 14:05"));
    QCOMPARE(rows.value(QStringLiteral("Планы")).at(1), QStringLiteral("Папка"));
}

QTEST_MAIN(TestGuiPrompter)
#include "tst_guiprompter.moc"
