#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>

class QLineEdit;
class QSpinBox;

namespace kx::store {
class Query;
}

namespace kx::ui {

// Binds an edit to a column of a list's current row: the edit shows the row's
// value and follows every move and change of the list; what the user types
// puts the row into editing and sets the column, to be stored when the row is
// next posted.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    using Display = std::function<QString(const QVariant &)>;
    using Parse = std::function<QVariant(const QString &)>;

    // A text edit; display and parse default to the value as text (empty text: Null).
    FieldLink(QLineEdit *edit, store::Query &list, QString column, Display display = {}, Parse parse = {});
    // A whole-number spin box (empty: 0).
    FieldLink(QSpinBox *spin, store::Query &list, QString column);

    // Shows the current row's value again.
    void refresh();

private:
    void followList();
    void userChanged(const QVariant &value);

    store::Query &m_list;
    QString m_column;
    QPointer<QLineEdit> m_edit;
    QPointer<QSpinBox> m_spin;
    Display m_display;
    Parse m_parse;
    bool m_updating = false;
};

} // namespace kx::ui
