#pragma once

#include <QLineEdit>
#include <QString>
#include <QVariant>

namespace kx::ui {

// An edit for a non-negative number with a fixed number of decimals (0: whole
// numbers only). Typing accepts digits and one decimal separator, "," or "."
// alike (shown as the user's separator), with at most the edit's decimals
// after it. When the typed text is taken as a value it is rounded to the
// decimals (halves to even) and a value outside the range becomes the nearest
// end of the range; leaving the edit puts that value back as its text.
class NumberEdit : public QLineEdit
{
    Q_OBJECT
public:
    NumberEdit(int decimals, double minimum, double maximum, QWidget *parent = nullptr);

    int decimals() const { return m_decimals; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    // How a value is shown (a number picture of base/NumberPicture.h); by
    // default "0" followed by the decimals as zeros ("0.00").
    void setPicture(const QString &picture) { m_picture = picture; }
    const QString &picture() const { return m_picture; }

    // The value of a text as the edit takes it: Null for an empty text, else
    // rounded and brought into the range; a whole number (qlonglong) when the
    // edit has no decimals, a double otherwise.
    QVariant valueOf(const QString &text) const;
    QVariant value() const { return valueOf(text()); }
    // The text a value is shown as; empty for Null.
    QString textOf(const QVariant &value) const;
    void setValue(const QVariant &value) { setText(textOf(value)); }

    // Rewrites the typed text as the value it stands for.
    void takeValue();

signals:
    // The text was rewritten by takeValue (the user left the edit).
    void valueTaken(const QVariant &value);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_decimals;
    double m_minimum;
    double m_maximum;
    QString m_picture;
};

} // namespace kx::ui
