#include "Dialog.h"

#include "WindowMemory.h"

#include <QShowEvent>

#include <tuple>

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

void Dialog::setVisible(bool visible)
{
    // A place given here also keeps QDialog from centring the window on its
    // owner; a window never saved is still centred.
    if (visible && m_memory && !m_placed) {
        m_memory->restore(m_iniPath);
        m_placed = true;
    }
    QDialog::setVisible(visible);
}

void Dialog::done(int result)
{
    // A program folder that cannot be written keeps the place it had; the
    // window closes all the same.
    if (m_memory)
        std::ignore = m_memory->save(m_iniPath);
    QDialog::done(result);
}

void Dialog::rememberPlace(QSize openingSize, QString iniPath, const QString &prefix, QTableView *grid,
                           QList<int> nameColumns)
{
    setMinimumSize(openingSize);
    resize(openingSize);
    m_iniPath = std::move(iniPath);
    m_memory = std::make_unique<WindowMemory>(this, prefix);
    m_memory->addGrid(grid, std::move(nameColumns));
}

} // namespace kx::ui
