#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace kx::ui {

// One column of a grid over a list: the list's field, the title, the alignment
// of the cells, and how a value is shown (as stored, a number picture of
// base/NumberPicture.h in the user's decimal separator, or a function), or a
// column computed from the whole row.
struct GridColumn
{
    QString field;
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString picture;                                 // empty: shown as stored
    std::function<QString(const QVariant &)> text;   // overrides picture when set
    std::function<QVariant(int row)> rowValue;        // a value of the row's own, instead of the field's
    bool hidden = false;

    static GridColumn left(QString field, QString title);
    static GridColumn centred(QString field, QString title, QString picture = {});
    // A column whose value is computed from the list's row (0-based) rather
    // than read from one field; shown as a field's value is.
    static GridColumn computed(QString title, Qt::Alignment alignment, QString picture,
                               std::function<QVariant(int row)> rowValue);
};

using GridColumns = QList<GridColumn>;

} // namespace kx::ui
