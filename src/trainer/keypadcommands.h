#pragma once

#include <Qt>

// The trainer keyer's keypad on the PC keyboard: each command key is sent
// as DLE and one character.
namespace KeypadCommands {

constexpr char DLE = 0x10;

// The character for a key, or 0 when the key is no keypad command.
// keypadMode: the "Ctrl" label is shown, so the top-row digits and
// "= + - . / ," stand for the keypad's keys. millTextEmpty: Enter is the
// keyer's only while the copy box is empty.
char characterFor(int key, Qt::KeyboardModifiers modifiers, bool keypadMode, bool millTextEmpty);

} // namespace KeypadCommands
