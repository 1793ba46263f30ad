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

// A whole position typed or pasted into either coordinate field: latitude
// then longitude, each in a form PastedLat / PastedLon read, apart by blanks,
// a comma or a semicolon ("N55°58.36' E037°24.88'", "N55* 58.36', E37* 24.88'",
// "55 58.36 37 24.88"), or as signed decimal degrees ("55.9727 37.4147",
// "55,9727; 37,4147", "-33.9461, 151.1772", "55.9727N 37.4147E"). Decimal
// degrees need a fraction in both numbers or a letter with both, so that
// "55 58.36", one latitude in degrees and minutes, is not taken for them.
// Gives both fields' texts (decimal degrees rounded to hundredths of a
// minute), or nothing when the text is not a whole position or a value does
// not fit its field. latLetter and lonLetter stand in for a letter the
// degrees and minutes do not name.
struct PastedPosition
{
    QString lat;
    QString lon;
};
std::optional<PastedPosition> PastedLatLon(const QString &text, QChar latLetter = u'N', QChar lonLetter = u'E');

// Shows the check's error message (texts::latEditError, lonEditError) owned by
// owner when the value is invalid;
// returns whether it is valid. Selecting the text and focusing the field is
// left to the window.
[[nodiscard]] bool reportLatEdit(const EditCheck &check, Prompter &prompter, QObject *owner);
[[nodiscard]] bool reportLonEdit(const EditCheck &check, Prompter &prompter, QObject *owner);

} // namespace kx::geo
