#include "DialogParts.h"

#include "PushButton.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace kx::ui {

QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new PushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace kx::ui
