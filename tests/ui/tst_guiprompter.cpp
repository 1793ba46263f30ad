#include "ui/CoordinateEdit.h"
#include "ui/GuiPrompter.h"
#include "ui/QtTranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

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
    void editMenusAreRussianAndPasteStillWorks();
    void detailsOpenOnRequest();
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

QTEST_MAIN(TestGuiPrompter)
#include "tst_guiprompter.moc"
