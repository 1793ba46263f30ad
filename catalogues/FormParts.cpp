#include "FormParts.h"

#include "UpperCaseValidator.h"

#include "ui/FieldLink.h"
#include "ui/NumberEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kx::catalogues::form {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &title)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

QLineEdit *edit(QWidget *parent, const char *name, int maxLength, bool capitals)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    if (capitals)
        e->setValidator(new UpperCaseValidator(e));
    return e;
}

QLabel *label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

void bind(QLineEdit *edit, store::Query &list, const QString &column)
{
    new ui::FieldLink(edit, list, column);
}

void bind(ui::NumberEdit *edit, store::Query &list, const QString &column)
{
    new ui::FieldLink(
        edit, list, column, [edit](const QVariant &v) { return edit->textOf(v); },
        [edit](const QString &text) { return edit->valueOf(text); });
}

void tabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void skipByTab(QWidget *widget)
{
    widget->setFocusPolicy(Qt::ClickFocus);
}

RowColours rowColours(int row, bool selected, const QColor &tint)
{
    if (selected)
        return {selectedRow(), Qt::white};
    // Row numbers count from 1: the first row is an odd one.
    return {row % 2 == 0 ? tint : QColor(Qt::white), Qt::black};
}

} // namespace kx::catalogues::form
