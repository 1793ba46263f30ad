#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPoint>
#include <QScopeGuard>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace kx::test {

// Types text key by key, Cyrillic included (QTest::keyClicks knows only ASCII).
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

// A double click as a person makes it: a click, then the double click on the
// same place (item views emit doubleClicked only after a press there).
inline void doubleClick(QWidget *widget, const QPoint &where)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, where);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, where);
}

// Drags the right border of a grid's column by dx in its header, as a person
// widens (dx > 0) or narrows a column.
inline void dragColumnBorder(QTableView *grid, int column, int dx)
{
    QHeaderView *header = grid->horizontalHeader();
    const QPoint border(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                        header->height() / 2);
    const QPoint to = border + QPoint(dx, 0);
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, border);
    // QTest's own move carries no pressed button, which the header needs.
    QMouseEvent move(QEvent::MouseMove, QPointF(to), header->viewport()->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, to);
}

// The controls the focus visits while Tab is pressed where the focus is, by
// objectName (start with the focus where the walk begins).
inline QStringList tabWalk(int presses)
{
    QStringList visited;
    for (int i = 0; i < presses; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus)
            break;
        QTest::keyClick(focus, Qt::Key_Tab);
        visited << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    return visited;
}

// Whether window is the active one and holds the keyboard focus. A system
// that activates windows on its own time (Windows) makes a window active a
// moment before the focus moves into it; keys typed between go elsewhere.
inline bool hasKeyboard(const QWidget *window)
{
    const QWidget *focus = QApplication::focusWidget();
    return window->isActiveWindow() && (!focus || focus->window() == window);
}

// Runs action once the modal dialog that the next call opens is on screen.
// The dialog is closed on every way out, should the action have stopped
// half-way or the dialog never have become active: a failed check returns
// from here at once, and a dialog left open would hold the test in its
// exec() until CTest gives up on it. The wait for the dialog is a plain one:
// QTRY_VERIFY would wait twice as long again after its time is out, only to
// say how long would have been enough.
inline void whenOpen(QDialog *dialog, const std::function<void()> &action)
{
    QTimer::singleShot(0, dialog, [dialog, action] {
        const auto close = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        dialog->activateWindow();
        QVERIFY2(QTest::qWaitFor([dialog] { return hasKeyboard(dialog); }),
                 qPrintable(QStringLiteral("the dialog \"%1\" never became active").arg(dialog->objectName())));
        action();
    });
}

} // namespace kx::test
