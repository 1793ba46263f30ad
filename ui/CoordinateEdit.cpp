#include "CoordinateEdit.h"

#include "geo/CoordEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>

#include <algorithm>

namespace kx::ui {
namespace {

constexpr QChar kBlank = u'_';

// Keeps the first position to the axis's two letters; the mask looks after
// the digits. Removing a selection that starts at the letter blanks the letter
// too, and the line edit would then refuse the whole change (so that no key
// but Home seemed to work after a check had selected the field): the letter
// the field had is put back instead, and the digits are cleared as asked.
class HemisphereValidator : public QValidator
{
public:
    HemisphereValidator(QChar positive, QChar negative, QObject *parent)
        : QValidator(parent), m_positive(positive), m_negative(negative), m_last(positive)
    {
    }

    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Intermediate;
        const QChar letter = input.front().toUpper();
        if (letter == m_positive || letter == m_negative) {
            m_last = letter;
            return Acceptable;
        }
        if (letter == kBlank || letter == u' ') {
            input[0] = m_last;
            return Acceptable;
        }
        return Invalid;
    }

private:
    QChar m_positive;
    QChar m_negative;
    mutable QChar m_last; // the letter of the last accepted text
};

} // namespace

CoordinateEdit::CoordinateEdit(Axis axis, QWidget *parent) : QLineEdit(parent), m_axis(axis)
{
    // ">" capitals, "A" the letter, "0" a digit that may stay unfilled; "*"
    // and "." are fixed. Blanks show as "_".
    setInputMask(axis == Axis::Latitude ? QStringLiteral(">A00*00.00;_") : QStringLiteral(">A000*00.00;_"));
    setValidator(new HemisphereValidator(positiveLetter(), negativeLetter(), this));
    clearDigits();
    setToolTip(axis == Axis::Latitude ? QStringLiteral("N или S; «-» меняет полушарие")
                                      : QStringLiteral("E или W; «-» меняет полушарие"));
}

QString CoordinateEdit::fieldText() const
{
    QString text = displayText();
    text.replace(kBlank, u' ');
    return text;
}

void CoordinateEdit::setFieldText(const QString &text)
{
    QString masked = text;
    for (qsizetype i = 1; i < masked.size(); ++i)
        if (masked.at(i) == u' ')
            masked[i] = kBlank;
    if (masked.isEmpty() || (masked.front().toUpper() != positiveLetter() && masked.front().toUpper() != negativeLetter()))
        masked.prepend(positiveLetter()); // keeps the letter position filled
    setText(masked);
}

void CoordinateEdit::clearDigits()
{
    setText(QString(positiveLetter()));
}

QChar CoordinateEdit::hemisphere() const
{
    const QString text = displayText();
    return text.isEmpty() ? positiveLetter() : text.front();
}

void CoordinateEdit::setHemisphere(QChar letter)
{
    letter = letter.toUpper();
    if ((letter != positiveLetter() && letter != negativeLetter()) || letter == hemisphere())
        return;
    const int cursor = cursorPosition();
    QString text = fieldText();
    text[0] = letter;
    setFieldText(text);
    setCursorPosition(cursor);
}

void CoordinateEdit::toggleHemisphere()
{
    setHemisphere(hemisphere() == positiveLetter() ? negativeLetter() : positiveLetter());
}

void CoordinateEdit::setEditedText(const QString &fieldText)
{
    setFieldText(fieldText);
    setModified(true);
    emit textEdited(text());
}

void CoordinateEdit::pair(CoordinateEdit *latitude, CoordinateEdit *longitude)
{
    Q_ASSERT(latitude->axis() == Axis::Latitude && longitude->axis() == Axis::Longitude);
    latitude->m_partner = longitude;
    longitude->m_partner = latitude;
}

std::optional<QString> CoordinateEdit::ownHalf(const QString &text) const
{
    const bool latitude = m_axis == Axis::Latitude;
    const QChar latLetter = latitude ? hemisphere() : (m_partner ? m_partner->hemisphere() : u'N');
    const QChar lonLetter = latitude ? (m_partner ? m_partner->hemisphere() : u'E') : hemisphere();
    const std::optional<geo::PastedPosition> position = geo::PastedLatLon(text, latLetter, lonLetter);
    if (!position)
        return std::nullopt;
    return latitude ? position->lat : position->lon;
}

void CoordinateEdit::pasteText(const QString &text)
{
    if (isReadOnly())
        return;
    if (const std::optional<QString> half = ownHalf(text)) {
        // The partner's half first, so that this field, where the person
        // pasted, is the one changed last and keeps the cursor.
        if (m_partner && !m_partner->isReadOnly())
            m_partner->setEditedText(*m_partner->ownHalf(text));
        setEditedText(*half);
        setCursorPosition(int(half->size()));
        return;
    }
    const std::optional<QString> position = m_axis == Axis::Latitude ? geo::PastedLat(text, hemisphere())
                                                                       : geo::PastedLon(text, hemisphere());
    if (position) {
        setEditedText(*position);
        setCursorPosition(int(position->size()));
        return;
    }
    insert(text); // the mask takes the digits it can place
}

bool CoordinateEdit::selectOnlyDigits()
{
    if (!hasSelectedText())
        return false;
    const int start = std::max(selectionStart(), 1);
    const int end = selectionEnd();
    if (end <= start) {
        deselect();
        setCursorPosition(start);
        return false;
    }
    setSelection(start, end - start);
    return true;
}

void CoordinateEdit::keyPressEvent(QKeyEvent *event)
{
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteText(QGuiApplication::clipboard()->text());
        return;
    }
    // Over a selection, the mask alone would overwrite from the cursor and
    // keep the rest; a person expects the selected digits to go first.
    if (hasSelectedText()) {
        if (event->matches(QKeySequence::Cut)) {
            copy();
            if (selectOnlyDigits())
                del();
            return;
        }
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            if (selectOnlyDigits())
                del();
            return;
        }
        const QString typed = event->text();
        if (typed.size() == 1 && typed.front().isDigit() && !event->modifiers().testFlag(Qt::ControlModifier)) {
            const int start = std::max(selectionStart(), 1);
            if (selectOnlyDigits())
                del();
            setCursorPosition(start);
        }
    }
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        const QString typed = event->text().toUpper();
        if (typed.size() == 1) {
            const QChar c = typed.front();
            const bool letter = c == positiveLetter() || c == negativeLetter();
            if (letter || c == u'-') {
                const QChar before = hemisphere();
                if (letter)
                    setHemisphere(c);
                else
                    toggleHemisphere();
                if (hemisphere() != before) {
                    setModified(true);
                    emit textEdited(text());
                }
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CoordinateEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The standard "Paste" calls QLineEdit::paste(), which would put a copied
    // "N55* 58.27'" through the mask character by character; it is routed
    // through pasteText() as Ctrl+V is. The action is known by its text, the
    // one Qt gives it (translated when a translation is loaded).
    const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction *action : menu->actions()) {
        if (!action->text().startsWith(paste))
            continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this] { pasteText(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(event->globalPos());
}

void CoordinateEdit::dropEvent(QDropEvent *event)
{
    if (!isReadOnly() && event->mimeData()->hasText()) {
        const QString text = event->mimeData()->text();
        const bool coordinate =
            m_axis == Axis::Latitude ? geo::PastedLat(text).has_value() : geo::PastedLon(text).has_value();
        if (coordinate || ownHalf(text)) {
            pasteText(text);
            event->acceptProposedAction();
            setFocus(Qt::MouseFocusReason);
            return;
        }
    }
    QLineEdit::dropEvent(event);
}

} // namespace kx::ui
