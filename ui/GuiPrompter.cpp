#include "GuiPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace kx::ui {
namespace {

QWidget *ownerWidget(QObject *owner)
{
    if (auto *w = qobject_cast<QWidget *>(owner))
        return w->window();
    return QApplication::activeWindow();
}

// The program's texts break lines with CR LF (one import message with LF CR);
// a message box wants plain line feeds.
QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void show(QObject *owner, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QString::fromUtf16(kMessageTitle), displayText(text), QMessageBox::Ok, ownerWidget(owner));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void GuiPrompter::error(QObject *owner, const QString &text)
{
    show(owner, QMessageBox::Critical, text);
}

void GuiPrompter::info(QObject *owner, const QString &text)
{
    show(owner, QMessageBox::Information, text);
}

bool GuiPrompter::ask(QObject *owner, const QString &text, bool defaultYes)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf16(kMessageTitle), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, ownerWidget(owner));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace kx::ui
