#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <optional>

namespace kx::ui {

// The masked edit of a latitude (N00*00.00) or a longitude (E000*00.00): a
// hemisphere letter, then digit positions around the fixed "*" and ".".
// Unfilled digit positions show as "_" and read as blanks, in place, so that
// digits never shift. The letter is N or S (E or W): typing one of them
// anywhere in the edit sets it, "-" turns it to the other hemisphere. Typing,
// deleting or cutting over a selection clears the digits it covers and never
// the letter; a coordinate pasted or dropped in a common form
// ("N55* 58.27'", "55 58.27") fills the field, and a whole position
// ("N55°58.36' E037°24.88'", "55.9727 37.4147") fills it and its partner.
class CoordinateEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class Axis { Latitude, Longitude };

    explicit CoordinateEdit(Axis axis, QWidget *parent = nullptr);

    Axis axis() const { return m_axis; }

    // The edit's text with every unfilled position as a blank ("N5 *3 .  "),
    // the form the coordinate checks read.
    QString fieldText() const;
    // Puts a coordinate text ("N57*20.00") or a field text with blanks into
    // the edit, each character in its position.
    void setFieldText(const QString &text);
    // Leaves only the letter: "N  *  .  " ("E   *  .  ").
    void clearDigits();

    QChar hemisphere() const;
    // Sets the letter (one of the axis's two; anything else is ignored).
    void setHemisphere(QChar letter);
    void toggleHemisphere();

    // The latitude and the longitude edit of one position: a whole position
    // pasted into either fills both.
    static void pair(CoordinateEdit *latitude, CoordinateEdit *longitude);

    // Pastes as the person's Ctrl+V does: a whole position fills this field
    // and its partner, a coordinate replaces the field, anything else is typed
    // in at the cursor.
    void pasteText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QChar positiveLetter() const { return m_axis == Axis::Latitude ? u'N' : u'E'; }
    QChar negativeLetter() const { return m_axis == Axis::Latitude ? u'S' : u'W'; }
    // Takes the letter out of the selection, so that what follows (a digit
    // typed, Delete, Ctrl+X) clears only digits; returns whether digits are
    // still selected. The cursor ends at the selection's first digit.
    bool selectOnlyDigits();
    // Sets the field as typed: the change is the person's (modified, textEdited).
    void setEditedText(const QString &fieldText);

    // The field's text from a whole position, for this edit's axis.
    std::optional<QString> ownHalf(const QString &text) const;

    Axis m_axis;
    QPointer<CoordinateEdit> m_partner;
};

} // namespace kx::ui
