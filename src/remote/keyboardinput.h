#pragma once

#include <QtGlobal>

// One synthetic keyboard event, laid out like the platform's keyboard input
// record: type, virtual key, scan code, flags, time, extra information.
struct KeyboardInput
{
    static constexpr quint32 TypeKeyboard = 1;
    static constexpr quint32 ExtendedKey = 1;
    static constexpr quint32 KeyUp = 2;
    static constexpr quint32 Unicode = 4; // the scan code field carries a character

    quint32 type = 0;
    quint16 virtualKey = 0;
    quint32 scanCode = 0; // for a Unicode record the whole code point
    quint32 flags = 0;
    quint32 time = 0;
    quintptr extraInfo = 0;

    bool operator==(const KeyboardInput &) const = default;
};

// Virtual keys the batch uses by number, whatever the layout.
namespace VirtualKey {
constexpr quint16 Enter = 13;
constexpr quint16 Shift = 16;
constexpr quint16 Control = 17;
constexpr quint16 Alt = 18;
} // namespace VirtualKey
