#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPoint>
#include <QString>
#include <QTest>
#include <QWidget>

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

} // namespace kx::test
