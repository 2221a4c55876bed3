#include "lessongenerator.h"

#include "keyertext.h"
#include "randomsource.h"

#include <QRegularExpression>

#include <cmath>

double LessonGenerator::leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    qsizetype end = i;
    if (end < text.size() && (text.at(end) == u'-' || text.at(end) == u'+'))
        ++end;
    while (end < text.size() && text.at(end).isDigit() && text.at(end).unicode() < 128)
        ++end;
    if (end < text.size() && text.at(end) == u'.') {
        ++end;
        while (end < text.size() && text.at(end).isDigit() && text.at(end).unicode() < 128)
            ++end;
    }
    bool ok = false;
    const double value = text.mid(i, end - i).toDouble(&ok);
    return ok ? value : 0.0;
}

int LessonGenerator::draw(double r, int n)
{
    if (n <= 0)
        return 0;
    return qBound(0, int(std::floor(r * n)), n - 1);
}

QByteArray LessonGenerator::groups(const QByteArray &pool, int wordCount, int wordLength, int repeat,
                                   RandomSource &random)
{
    QByteArray text;
    if (pool.isEmpty())
        return text;
    const int n = int(pool.size());
    for (int w = 0; w < wordCount; ++w) {
        const int length = wordLength == RandomLength
                               ? ShortestRandom + draw(random.next(), LongestRandom - ShortestRandom + 1)
                               : wordLength;
        QByteArray word;
        for (int k = 0; k < length; ++k)
            word += pool.at(draw(random.next(), n));
        word += ' ';
        text += word.repeated(repeat);
    }
    return text;
}

QByteArray LessonGenerator::fromWords(const QList<QByteArray> &words, int wordCount, int repeat,
                                      RandomSource &random)
{
    QByteArray text;
    if (words.isEmpty())
        return text;
    const int n = int(words.size());
    // A phrase counts its words: the count is of words however they come.
    for (qsizetype written = 0; written < wordCount;) {
        const QByteArray &entry = words.at(draw(random.next(), n));
        text += (entry + ' ').repeated(repeat);
        written += entry.count(' ') + 1;
    }
    return text;
}

namespace {

// Lines of a file in the keyer's bytes: LF, CR LF and a bare CR (older
// Macintosh editors) all end a line.
QList<QByteArray> keyerLines(const QByteArray &fileBytes)
{
    static const QRegularExpression lineEnd(QStringLiteral("\\r\\n|\\r|\\n"));
    QList<QByteArray> lines;
    for (const QString &line : KeyerText::decode(fileBytes).split(lineEnd))
        lines.append(KeyerText::fromText(line).trimmed());
    return lines;
}

} // namespace

QList<QByteArray> LessonGenerator::parseWordList(const QByteArray &text)
{
    QList<QByteArray> words;
    for (const QByteArray &line : keyerLines(text)) {
        for (const QByteArray &word : line.split(' ')) {
            if (!word.isEmpty())
                words.append(word);
        }
    }
    return words;
}

QList<QByteArray> LessonGenerator::parsePhraseList(const QByteArray &text)
{
    QList<QByteArray> phrases;
    for (const QByteArray &line : keyerLines(text)) {
        if (!line.isEmpty())
            phrases.append(line);
    }
    return phrases;
}
