#include "DialogParts.h"

#include "PushButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace kx::ui {

QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new PushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void setTabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void setDropDownRows(QComboBox *box, int rows)
{
    box->setMaxVisibleItems(rows);
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

void skipByTab(QWidget *widget)
{
    widget->setFocusPolicy(Qt::ClickFocus);
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
