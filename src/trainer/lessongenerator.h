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
    // Word length "Random": 2 to 8 characters, each length as likely.
    static constexpr int RandomLength = 0;
    static constexpr int ShortestRandom = 2;
    static constexpr int LongestRandom = 8;

    // The numeric value of the leading number of a text (0 when there is
    // none), as the word count and repeat fields are read.
    static double leadingNumber(const QString &text);
    static bool wordCountAccepted(double count) { return count >= MinWords && count <= MaxWords; }

    // One of n positions, each as likely: floor(r × n), r in [0, 1).
    // (Rounding r × (n - 1) gave the first and last half the share.)
    static int draw(double r, int n);

    // wordCount words of wordLength draws each (RandomLength: a drawn
    // length per word); every draw is a pool position. A character may
    // stand in the pool more than once to be drawn more often.
    static QByteArray groups(const QByteArray &pool, int wordCount, int wordLength, int repeat, RandomSource &random);
    // Drawn list entries until wordCount words are written; an entry may
    // be a phrase of several words.
    static QByteArray fromWords(const QList<QByteArray> &words, int wordCount, int repeat, RandomSource &random);
    // Words of a word-list file (UTF-8 or Windows-1252) in the keyer's
    // bytes: runs of characters other than blanks and tabs, line by line;
    // empty lines give none, characters the keyer cannot key are dropped.
    static QList<QByteArray> parseWordList(const QByteArray &text);
    // The same, a whole line for an entry: a list of phrases.
    static QList<QByteArray> parsePhraseList(const QByteArray &text);
};
