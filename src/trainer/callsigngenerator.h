#pragma once

#include <QByteArray>
#include <QStringList>

class RandomSource;

// Practice calls built on the prefixes of countries.txt: prefix, a call
// digit where the prefix has none after its first character (DL gives DL5,
// 2E gives 2E0; KH6 and 3B8 keep theirs), then letters until one to three
// follow the last digit (VK9N brings one of them).
class CallSignGenerator
{
public:
    static constexpr int MostSuffixLetters = 3;

    // The prefixes of countries.txt's text: columns 1-4 of every line that
    // is not a comment, letters and digits only, upper case.
    static QStringList prefixes(const QString &countriesText);
    static QByteArray call(const QString &prefix, RandomSource &random);
    // wordCount calls, each from a drawn prefix, each followed by one
    // blank, repeat times in a row.
    static QByteArray calls(const QStringList &prefixes, int wordCount, int repeat, RandomSource &random);
};
