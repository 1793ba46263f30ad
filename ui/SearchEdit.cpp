#include "SearchEdit.h"

#include <QKeyEvent>

namespace kx::ui {

SearchEdit::SearchEdit(QWidget *parent) : QLineEdit(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!text().isEmpty())
            emit settled(text());
    });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &typed) {
        if (m_upper && typed != typed.toUpper()) {
            const int cursor = cursorPosition();
            setText(typed.toUpper());
            setCursorPosition(cursor);
        }
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            setNotFound(false);
        if (m_timer.interval() > 0)
            m_timer.start();
    });
}

void SearchEdit::setNotFound(bool notFound)
{
    if (notFound == m_notFound)
        return;
    m_notFound = notFound;
    if (!notFound) {
        setPalette(QPalette()); // the style's again
        return;
    }
    QPalette red = palette();
    red.setColor(QPalette::Base, QColor(0xFF, 0xC0, 0xC0));
    setPalette(red);
}

void SearchEdit::setDelay(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

void SearchEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit upPressed();
        return;
    case Qt::Key_Down:
        emit downPressed();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void SearchEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_clearOnFocusOut)
        clear();
}

} // namespace kx::ui
