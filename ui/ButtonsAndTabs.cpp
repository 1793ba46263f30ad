#include "ButtonsAndTabs.h"

#include "PushButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QProxyStyle>
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

namespace {

// The application's style, but a drop-down list opens below its box with
// the box's number of rows rather than as a menu over it.
class DropDownStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void setDropDownRows(QComboBox *box, int rows)
{
    box->setMaxVisibleItems(rows);
    auto *style = new DropDownStyle;
    style->setParent(box);
    box->setStyle(style);
}

void skipByTab(QWidget *widget) { widget->setFocusPolicy(Qt::ClickFocus); }

QHBoxLayout *buttonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace kx::ui
