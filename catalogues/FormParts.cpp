#include "FormParts.h"

#include "UpperCaseValidator.h"

#include "store/Query.h"
#include "ui/DialogParts.h"
#include "ui/FieldLink.h"
#include "ui/GridView.h"
#include "ui/Navigator.h"
#include "ui/NumberEdit.h"
#include "ui/SearchEdit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::catalogues::form {

ui::SearchEdit *identSearch(QWidget *parent)
{
    auto *search = new ui::SearchEdit(parent);
    search->setObjectName(QStringLiteral("PID"));
    search->setMaxLength(10);
    search->setUpperCase(true);
    return search;
}

ui::Navigator *navigator(QWidget *parent, store::Query &list)
{
    auto *bar = new ui::Navigator(parent);
    bar->setObjectName(QStringLiteral("DBNavigator1"));
    bar->setList(list);
    return bar;
}

void closableGroup(QDialog *window, QGroupBox *group)
{
    auto *close = ui::namedButton(window, "BClose", QStringLiteral("Закрыть"));
    QObject::connect(close, &QPushButton::clicked, window, &QDialog::accept);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(group, 1);
    layout->addLayout(ui::buttonRow({close}));
}

void labelledRows(QGroupBox *group, std::initializer_list<std::pair<QString, QWidget *>> rows)
{
    auto *layout = new QGridLayout(group);
    int row = 0;
    for (const auto &[text, field] : rows) {
        layout->addWidget(label(group, text, field), row, 0);
        layout->addWidget(field, row, 1);
        ++row;
    }
}

void findOnEnter(store::Query &list, QStringView column, store::Locate mode, QLineEdit *search, ui::GridView *grid)
{
    const QString text = search->text();
    if (!text.isEmpty() && list.locate(column, text, mode)) {
        grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    search->selectAll();
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

RowColours rowColours(int row, bool selected, const QColor &tint)
{
    if (selected)
        return {selectedRow(), Qt::white};
    // Row numbers count from 1: the first row is an odd one.
    return {row % 2 == 0 ? tint : QColor(Qt::white), Qt::black};
}

} // namespace kx::catalogues::form
