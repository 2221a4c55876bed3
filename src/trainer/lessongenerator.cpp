#include "lessongenerator.h"

#include "randomsource.h"

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

QByteArray LessonGenerator::groups(const QByteArray &pool, int wordCount, int wordLength, int repeat,
                                   RandomSource &random)
{
    QByteArray text;
    if (pool.isEmpty())
        return text;
    const int last = int(pool.size()) - 1;
    for (int w = 0; w < wordCount; ++w) {
        const int length = wordLength == RandomLength ? roundHalfEven(random.next() * 6 + 2) : wordLength;
        QByteArray word;
        for (int k = 0; k < length; ++k)
            word += pool.at(qBound(0, roundHalfEven(random.next() * last), last));
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
    const int last = int(words.size()) - 1;
    for (int w = 0; w < wordCount; ++w) {
        const QByteArray word = words.at(qBound(0, roundHalfEven(random.next() * last), last)) + ' ';
        text += word.repeated(repeat);
    }
    return text;
}

QList<QByteArray> LessonGenerator::parseWordList(const QByteArray &text)
{
    QList<QByteArray> words;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        for (const QByteArray &word : line.split(' ')) {
            if (!word.isEmpty())
                words.append(word);
        }
    }
    return words;
}
