#include "Dialog.h"

#include <QShowEvent>

namespace kx::ui {
namespace {

Qt::WindowFlags flagsOf(Dialog::Frame frame)
{
    const Qt::WindowFlags caption = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    switch (frame) {
    case Dialog::Frame::Fixed:
        return caption | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    case Dialog::Frame::Caption:
        return caption;
    case Dialog::Frame::Closable:
        return caption | Qt::WindowCloseButtonHint;
    case Dialog::Frame::SizableCaption:
        // A double click on the caption still maximises it.
        return caption | Qt::WindowMaximizeButtonHint;
    case Dialog::Frame::Sizable:
        return caption | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    }
    return caption;
}

} // namespace

Dialog::Dialog(const char *objectName, Frame frame, QWidget *parent) : QDialog(parent, flagsOf(frame))
{
    setObjectName(QString::fromLatin1(objectName));
    setModal(true);
}

Dialog::~Dialog()
{
    const QList<QWidget *> widgets = findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        widget->blockSignals(true);
}

void Dialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        shown();
}

} // namespace kx::ui
