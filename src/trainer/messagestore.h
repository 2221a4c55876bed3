#pragma once

#include <QByteArray>
#include <QString>

// The trainer's one hundred training messages: files "msg" + lesson digit +
// message digit + ".txt" in the folder Messages of the data folder, and
// the word list beside them. Paths are relative to the data folder, which
// is the current folder.
class MessageStore
{
public:
    static constexpr int MessageCount = 100;

    static QString folder();
    // number = lesson × 10 + message, 0-99.
    static QString fileName(int number);
    static QString fileName(int lesson, int message) { return fileName(lesson * 10 + message); }
    static QString wordListFile();

    // Writes a message anew (the folder made when missing); error text or empty.
    static QString write(const QString &path, const QByteArray &bytes);
    // A text file as a message: its text (UTF-8 or Windows-1252) in the
    // keyer's bytes, line ends as blanks; error text or empty.
    static QString readText(const QString &source, QByteArray *keyerBytes);
};
