#include "FormParts.h"

#include "ButtonsAndTabs.h"
#include "FieldLink.h"
#include "Navigator.h"
#include "NumberEdit.h"
#include "SearchEdit.h"
#include "UpperCaseValidator.h"

#include "store/Query.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx::ui::form {

SearchEdit *identSearch(QWidget *parent)
{
    auto *search = new SearchEdit(parent);
    search->setObjectName(QStringLiteral("PID"));
    search->setMaxLength(10);
    search->setUpperCase(true);
    return search;
}

Navigator *navigator(QWidget *parent, store::Query &list)
{
    auto *bar = new Navigator(parent);
    bar->setObjectName(QStringLiteral("DBNavigator1"));
    bar->setList(list);
    return bar;
}

void closableGroup(QDialog *window, QGroupBox *group)
{
    auto *close = namedButton(window, "BClose", QStringLiteral("Закрыть"));
    QObject::connect(close, &QPushButton::clicked, window, &QDialog::accept);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(group, 1);
    layout->addLayout(buttonRow({close}));
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

void findOnEnter(store::Query &list, QStringView column, store::Locate mode, QLineEdit *search, GridView *grid)
{
    const QString text = search->text();
    if (!text.isEmpty() && list.locate(column, text, mode)) {
        grid->setFocus(Qt::OtherFocusReason);
        return;
    }
    search->selectAll();
}

void findAsTyped(SearchEdit *search, store::Query &list, GridView *grid, std::function<bool(const QString &)> find)
{
    search->setDelay(kSearchDelay);
    const auto run = [search, find](const QString &text) {
        const bool found = find(text);
        search->setNotFound(!found);
        return found;
    };
    QObject::connect(search, &SearchEdit::settled, search, run);
    QObject::connect(search, &SearchEdit::enterPressed, search, [search, grid, run] {
        search->stopWaiting();
        // With nothing typed there is nothing to find: on to the list.
        if (search->text().isEmpty() || run(search->text()))
            grid->setFocus(Qt::OtherFocusReason);
        else
            search->selectAll();
    });
    QObject::connect(search, &SearchEdit::upPressed, &list, [&list] { list.prior(); });
    QObject::connect(search, &SearchEdit::downPressed, &list, [&list] { list.next(); });
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

NumberEdit *numberEdit(QWidget *parent, const char *name, int decimals, double minimum, double maximum)
{
    auto *e = new NumberEdit(decimals, minimum, maximum, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAlignment(Qt::AlignRight);
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
    new FieldLink(edit, list, column);
}

void bind(NumberEdit *edit, store::Query &list, const QString &column)
{
    new FieldLink(
        edit, list, column, [edit](const QVariant &v) { return edit->textOf(v); },
        [edit](const QString &text) { return edit->valueOf(text); });
}

CellColors stripedRow(const RowScheme &scheme, int row, bool selected, bool focused)
{
    if (selected) {
        const bool unfocused = !focused && scheme.selectedUnfocused.isValid();
        return {unfocused ? scheme.selectedUnfocused : scheme.selected, Qt::white};
    }
    // Row numbers count from 1: the first row is an odd one.
    return {row % 2 == 0 ? scheme.tint : QColor(Qt::white), Qt::black};
}

} // namespace kx::ui::form
