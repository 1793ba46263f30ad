#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace kx::ui {

// One column of a grid over a list: the list's field, the title, the alignment
// of the cells, and how a value is shown (as stored, a number picture of
// base/NumberPicture.h in the user's decimal separator, or a function).
struct GridColumn
{
    QString field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString picture;                                 // empty: shown as stored
    std::function<QString(const QVariant &)> text;   // overrides picture when set
    bool hidden = false;

    static GridColumn left(QString field, QString title);
    static GridColumn centred(QString field, QString title, QString picture = {});
};

using GridColumns = QList<GridColumn>;

} // namespace kx::ui
