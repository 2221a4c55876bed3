#pragma once

#include <QByteArray>

// The keyer's code table and PARIS timing.
namespace MorseCode {

// Lower-case ASCII letters in upper case; everything else as it is.
char upper(char c);
// Dots and dashes of a character (letters in either case, prosign
// characters included); empty when the keyer has no code for it.
QByteArray code(char c);
// Length in dot units including the gap that follows the character; a
// space adds the rest of a word gap. 0 when there is no code.
int units(char c);
// PARIS timing: one dot lasts 1200 / wpm milliseconds.
int durationMs(char c, int wpm);

} // namespace MorseCode
