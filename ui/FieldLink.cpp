#include "FieldLink.h"

#include "store/Query.h"

#include <QLineEdit>
#include <QSpinBox>

namespace kx::ui {

FieldLink::FieldLink(QLineEdit *edit, store::Query &list, QString column, Display display, Parse parse)
    : QObject(edit), m_list(list), m_column(std::move(column)), m_edit(edit), m_display(std::move(display)),
      m_parse(std::move(parse))
{
    if (!m_display)
        m_display = [](const QVariant &v) { return v.isNull() ? QString() : v.toString(); };
    if (!m_parse)
        m_parse = [](const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); };
    connect(edit, &QLineEdit::textEdited, this, [this](const QString &text) { userChanged(m_parse(text)); });
    followList();
}

FieldLink::FieldLink(QSpinBox *spin, store::Query &list, QString column)
    : QObject(spin), m_list(list), m_column(std::move(column)), m_spin(spin)
{
    connect(spin, &QSpinBox::valueChanged, this, [this](int value) { userChanged(value); });
    followList();
}

void FieldLink::followList()
{
    connect(&m_list, &store::Query::currentRowChanged, this, &FieldLink::refresh);
    connect(&m_list, &store::Query::reset, this, &FieldLink::refresh);
    connect(&m_list, &store::Query::rowValuesChanged, this, [this](int row) {
        if (row == m_list.currentIndex())
            refresh();
    });
    refresh();
}

void FieldLink::refresh()
{
    if (m_updating)
        return;
    m_updating = true;
    const QVariant value = m_list.isEmpty() ? QVariant() : m_list.value(m_column);
    if (m_edit) {
        const QString text = m_display(value);
        if (m_edit->text() != text)
            m_edit->setText(text);
    } else if (m_spin) {
        m_spin->setValue(value.toInt());
    }
    m_updating = false;
}

void FieldLink::userChanged(const QVariant &value)
{
    if (m_updating || m_list.isEmpty())
        return;
    m_updating = true;
    if (m_list.edit())
        m_list.setValue(m_column, value);
    m_updating = false;
}

} // namespace kx::ui
