#pragma once

#include <QByteArray>

// The CW-over-IP wire: a stream of 2-byte messages between two trainers.
//   A5 A5            keep-alive; the caller's first one is its greeting
//   A5 5A            the sender leaves the link
//   speed, character one Morse character at the sender's speed (wpm)
namespace CwoipWire {

constexpr char Marker = char(0xA5);
constexpr char LeaveMark = char(0x5A);
constexpr int MinSpeed = 5;
constexpr int MaxSpeed = 75;
constexpr quint16 DefaultPort = 13028;
constexpr int MinPort = 5000;
constexpr int MaxPort = 40000;

inline QByteArray keepAlive() { return QByteArray(2, Marker); }
inline QByteArray leave() { return QByteArray(1, Marker).append(LeaveMark); }
inline QByteArray character(int speed, char c) { return QByteArray(1, char(quint8(speed))).append(c); }
inline bool isKeepAlive(QByteArrayView m) { return m.size() == 2 && m[0] == Marker && m[1] == Marker; }
inline bool isLeave(QByteArrayView m) { return m.size() == 2 && m[0] == Marker && m[1] == LeaveMark; }
inline bool speedValid(int speed) { return speed >= MinSpeed && speed <= MaxSpeed; }
inline bool portValid(int port) { return port >= MinPort && port <= MaxPort; }

// How long a character takes, in units of two dot lengths, the gap after
// it included (E 2, T 3 ... every character without a class of its own 11).
int durationClass(char c);
// One unit at a speed: 2400 / speed milliseconds.
double unitMs(int speed);
// Characters that end a word: the text waiting for the keyer goes at once.
bool endsWord(char c);

} // namespace CwoipWire
