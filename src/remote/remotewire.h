#pragma once

#include <QByteArray>

// The remote control link's bytes. They go one way, client to server: a
// command byte, for some a speed byte (the raw words per minute), or text
// for the server's keyer.
namespace RemoteWire {

constexpr char SetSpeed = 1;
constexpr char Goodbye = 3;
constexpr char KeepAlive = 4;
constexpr char Hello = 5;
constexpr char Flush = 9;
// The operator at the client stopped the message (Esc): the server drops
// what it holds and stops its keyer. A server that does not know it
// drops the byte, as every byte that is no text.
constexpr char Abort = 18;
constexpr char KeypadEcho = 16;

constexpr quint16 DefaultPort = 18074;
constexpr int MinSpeed = 5;
constexpr int MaxSpeed = 75;
// The client says something at least this often; the server drops a
// client it has not heard from (or that has not said hello) for longer.
constexpr int KeepAliveMs = 2000;
constexpr int WatchdogMs = 8000;
// Keep-alives in one minute of the inactivity time-out.
constexpr int KeepAlivesPerMinute = 30;

inline bool validSpeed(int wpm)
{
    return wpm >= MinSpeed && wpm <= MaxSpeed;
}

inline QByteArray withSpeed(char command, int wpm)
{
    return QByteArray(1, command).append(char(wpm));
}

// Where dynamic buffering hands a held word to the keyer.
inline bool isWordBoundary(char c)
{
    return c == ' ' || c == '<' || c == '/' || c == ':' || c == '@' || c == ',' || c == '.' || c == '-';
}

// What the server lets its keyer key. The send-character command also
// carries functions (Enter, storing, message keys from code 128, the tune
// key's continuous key-down), which no remote station may start: only
// printable text, the keyer's three extra letters, and the state codes 14,
// 15 and 30 that a client forwards from its own keyer pass.
inline bool keyable(char c)
{
    const auto code = quint8(c);
    return (code >= 32 && code <= 126) || code == 192 || code == 196 || code == 214 || code == 14 || code == 15
        || code == 30;
}

} // namespace RemoteWire
