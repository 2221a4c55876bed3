#pragma once

#include <QString>

// The texts of F2..F12 that the manager itself types into the send
// buffer, with the codes it fills in.
namespace SmartText {

// What the codes stand for at the moment the key is pressed.
struct Context
{
    QString call;    // the contact's call in the QSO panel
    QString info;    // the panel's information line
    QString ownCall; // the current user's station call in the current profile
    QString ownName; // the current user's name in the current profile
};

// Replaces "\c" (the call, trimmed), "\n" (the first word of the
// information line when it starts with a letter, else "OM"), "\i" (own
// call) and "\m" (own name), each code in either case, wherever it occurs.
// What is filled in is not read again for codes; any other backslash stays.
QString expand(const QString &text, const Context &context);

// The text as if typed on the Terminal tab: "<" and the escape "¤" are
// dropped, the rest upper-cased; with the mill keyboard "Ø" becomes "ø"
// and then "0" the slashed zero "Ø".
QString typed(const QString &text, bool millKeyboard);

} // namespace SmartText
