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

} // namespace

std::unique_ptr<QMessageBox> GuiPrompter::messageBox(Kind kind, QObject *owner, const QString &text, bool defaultYes)
{
    const QMessageBox::Icon icon = kind == Kind::Error  ? QMessageBox::Critical
                                   : kind == Kind::Info ? QMessageBox::Information
                                                        : QMessageBox::Question;
    const QMessageBox::StandardButtons buttons =
        kind == Kind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    auto box = std::make_unique<QMessageBox>(icon, QString::fromUtf16(kMessageTitle), displayText(text), buttons,
                                             ownerWidget(owner));
    box->setTextFormat(Qt::PlainText);
    if (kind == Kind::Question) {
        box->setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setDefaultButton(QMessageBox::Ok);
    }
    return box;
}

void GuiPrompter::error(QObject *owner, const QString &text)
{
    messageBox(Kind::Error, owner, text)->exec();
}

void GuiPrompter::info(QObject *owner, const QString &text)
{
    messageBox(Kind::Info, owner, text)->exec();
}

void GuiPrompter::infoWithDetails(QObject *owner, const QString &text, const QString &details)
{
    const std::unique_ptr<QMessageBox> box = messageBox(Kind::Info, owner, text);
    if (!details.isEmpty())
        box->setDetailedText(displayText(details));
    box->exec();
}

bool GuiPrompter::ask(QObject *owner, const QString &text, bool defaultYes)
{
    return messageBox(Kind::Question, owner, text, defaultYes)->exec() == QMessageBox::Yes;
}

} // namespace kx::ui
