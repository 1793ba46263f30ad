#pragma once

#include <QSpinBox>
#include <QString>

namespace kx::ui {

// A whole-number spin box that shows its value through a number picture of
// base/NumberPicture.h ("### ### ###": digits grouped by three with blanks).
// The user types digits only (the picture's blanks may stay); a number outside
// the range becomes the nearest end of the range.
class PictureSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit PictureSpinBox(QString picture, QWidget *parent = nullptr);

    const QString &picture() const { return m_picture; }

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString &text) const override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    QString m_picture;
};

} // namespace kx::ui
