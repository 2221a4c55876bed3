#pragma once

#include "keyboardinput.h"

#include <QString>
#include <memory>

// The keyboard layout of the moment, as the batch builder asks it.
class KeyboardLayout
{
public:
    static constexpr int ShiftState = 1;
    static constexpr int ControlState = 2;
    static constexpr int AltState = 4;

    virtual ~KeyboardLayout() = default;
    // The key for a character code 0 to 255: virtual key in the low byte,
    // shift state in the next (ShiftState, ControlState, AltState; Control
    // with Alt is AltGr); -1 when the layout has no key for it. Virtual
    // keys 0, 13, 16, 17 and 18 are never returned for a character key.
    virtual int keyForCharacter(int code) const = 0;
    virtual quint16 scanCode(quint16 virtualKey) const = 0;
    virtual bool capsLockOn() const = 0;
};

// Where key strokes go: the layout to build them for, and the injection of
// a whole batch in one call.
class KeyboardPlatform
{
public:
    virtual ~KeyboardPlatform() = default;
    // Null when there is no keyboard to simulate on; errorString() says why.
    virtual std::unique_ptr<KeyboardLayout> currentLayout() = 0;
    virtual bool inject(const KeyboardInput *records, int count) = 0;
    virtual QString errorString() const = 0;
};
