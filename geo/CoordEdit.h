#pragma once

#include <QString>

#include <optional>

class QObject;

namespace kx {
class Prompter;
}

namespace kx::geo {

// The outcome of checking a coordinate edit field: the field's text in its
// normal form (blanks turned into zeros, "N"/"S" or "E"/"W" kept) and whether
// it holds a valid coordinate. The window puts text back into the field
// either way.
struct EditCheck
{
    QString text;
    bool valid = false;
};

// Checks a latitude field's text as the masked edit gives it, unfilled digit
// positions as blanks ("N5 *3 .  " reads as N50*30.00). Valid: a letter N or
// S, degrees up to 90, minutes up to 60 (60.00 itself allowed), and nothing
// beyond 90*00.00. A text of the wrong shape is invalid and rewritten with "N".
EditCheck CheckLatEdit(const QString &fieldText);
// The same for a longitude field (E or W, three degree digits, up to 180).
EditCheck CheckLonEdit(const QString &fieldText);

// A whole position typed or pasted into a coordinate field in one of the forms
// a person copies from elsewhere: the program's own text ("N55*58.27"), a
// flight plan's ("N55* 58.27'"), or degrees and minutes apart with blanks or a
// degree sign ("55 58.27", "55°58,27'", "55 58.27 N"). Gives the field's text
// (letter, zero-padded degrees, minutes, two digits of their fraction; a longer
// fraction is cut, as the field holds two digits) with the given letter when
// the text names none, or nothing when the text is not such a position or its
// degrees do not fit the field. Values are not checked here: the field's check
// refuses N95*00.00 as it refuses it typed.
std::optional<QString> PastedLat(const QString &text, QChar currentLetter = u'N');
std::optional<QString> PastedLon(const QString &text, QChar currentLetter = u'E');

// Shows the check's error message (texts::latEditError, lonEditError) owned by
// owner when the value is invalid;
// returns whether it is valid. Selecting the text and focusing the field is
// left to the window.
[[nodiscard]] bool reportLatEdit(const EditCheck &check, Prompter &prompter, QObject *owner);
[[nodiscard]] bool reportLonEdit(const EditCheck &check, Prompter &prompter, QObject *owner);

} // namespace kx::geo
