#pragma once

#include <QString>

// How typed text travels to the keyer, one send-character command per
// character.
namespace SendText {

// The escape that the keyboard commands put into the send buffer: "¤" and
// a code letter.
constexpr char16_t Escape = 0x00A4;
// After the escape: the keyer's speed up or down by SpeedStepWpm from that
// point of the text on (a contest logger's "+" and "-").
constexpr char16_t SpeedUp = 0x00BB;   // »
constexpr char16_t SpeedDown = 0x00AB; // «
constexpr int SpeedStepWpm = 2;

struct Step
{
    uchar code = 0;     // the payload of the send-character command
    qsizetype length = 0; // characters of the text it takes (1 or 2)
    int speedStep = 0;  // not 0: no character, the speed changes by this much
};

// The character at index (0-based) as the keyer gets it: a line break
// (CR LF, CR or LF) is one space; "¤#" is 30 (store the log record), "¤E"
// 141, "¤" + any other letter its code + 128; "¤»" and "¤«" are speed
// steps. Other characters are sent as keyerByte gives them.
Step next(const QString &text, qsizetype index, bool millKeyboard = false);

// One typed character as the keyer's byte: its Windows-1252 byte ("?" when
// the code page lacks it). The mill keyboard writes a zero as the
// monitor's slashed zero "Ø"; the keyer gets "0" for it.
uchar keyerByte(QChar c, bool millKeyboard);

// Whether the sender waits for the keyer's report of this character: for
// every character below 128 but a space, and for a space that follows
// neither a space nor one of = , @ # . _ - (the keyer keys those with the
// following space, or not at all).
bool awaitsReport(uchar code, uchar previous);

// The 1-based position after which the other station's call has gone out
// in "CALL DE OWNCALL K": the index of the space before " DE " + own call,
// when it lies beyond 4 and the word before it is a call; 0 otherwise.
qsizetype callMark(const QString &text, const QString &ownCall);

// Ten dot lengths at the keyer's speed: how long an immediate-mode
// transmission stays open for more typing.
int holdOpenMs(int wpm);

} // namespace SendText
