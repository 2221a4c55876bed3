#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class RandomSource;

// Practice texts: random groups of characters from a pool, or words drawn
// from a word list. Each word is written followed by one blank, repeat
// times in a row; no line break, no terminator.
class LessonGenerator
{
public:
    static constexpr int MinWords = 50;
    static constexpr int MaxWords = 20000;
    // Position of "Random" in the word-length list: 2 to 8 characters.
    static constexpr int RandomLength = 0;

    // The numeric value of the leading number of a text (0 when there is
    // none), as the word count and repeat fields are read.
    static double leadingNumber(const QString &text);
    static bool wordCountAccepted(double count) { return count >= MinWords && count <= MaxWords; }

    // wordCount words of wordLength draws each (RandomLength: a length of
    // round(r × 6 + 2) per word); every draw is pool position round(r × (n - 1)).
    static QByteArray groups(const QByteArray &pool, int wordCount, int wordLength, int repeat, RandomSource &random);
    // wordCount words, each the list entry at round(r × (W - 1)).
    static QByteArray fromWords(const QList<QByteArray> &words, int wordCount, int repeat, RandomSource &random);
    // Words of a word-list file: runs of characters other than the blank,
    // line by line; empty lines give none. Tabs are part of a word.
    static QList<QByteArray> parseWordList(const QByteArray &text);
};
