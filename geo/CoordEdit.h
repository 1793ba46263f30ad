#pragma once

#include <QString>

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

// Messages of the two checks.
QString latEditErrorText(); // "Ошибка ввода широты!"
QString lonEditErrorText(); // "Ошибка ввода долготы!"

// Shows the check's error message owned by owner when the value is invalid;
// returns whether it is valid. Selecting the text and focusing the field is
// left to the window.
bool reportLatEdit(const EditCheck &check, Prompter &prompter, QObject *owner);
bool reportLonEdit(const EditCheck &check, Prompter &prompter, QObject *owner);

} // namespace kx::geo
