#pragma once

#include <QString>

// Words as the QSO entry sees them.
namespace CallSign {

// Whether a word looks like a call sign: at least four characters, not
// starting with "/" nor ending in "/" or a digit, and among its first three
// characters (each a letter, digit or "/") at least one letter and at least
// one digit or "/".
bool isCall(const QString &word);

// The last word before the caret: the text up to the caret (at most 80
// characters of it), trailing blanks dropped, after its last space. Empty
// when the whole text is blank.
QString lastWord(const QString &text, qsizetype caret);

} // namespace CallSign
