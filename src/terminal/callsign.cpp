#include "callsign.h"

namespace CallSign {

bool isCall(const QString &word)
{
    if (word.size() < 4 || word.front() == u'/' || word.back() == u'/' || word.back().isDigit())
        return false;
    bool letter = false;
    bool digitOrSlash = false;
    for (qsizetype i = 0; i < 3; ++i) {
        const QChar c = word.at(i);
        if (c >= u'A' && c <= u'Z')
            letter = true;
        else if ((c >= u'0' && c <= u'9') || c == u'/')
            digitOrSlash = true;
        else
            return false;
    }
    return letter && digitOrSlash;
}

QString lastWord(const QString &text, qsizetype caret)
{
    if (text.trimmed().isEmpty())
        return {};
    const qsizetype end = qBound<qsizetype>(0, caret, text.size());
    const qsizetype start = qMax<qsizetype>(0, end - 80);
    QString part = text.mid(start, end - start);
    while (!part.isEmpty() && part.back().isSpace())
        part.chop(1);
    // A line break ends a word as a space does.
    const qsizetype space = qMax(part.lastIndexOf(u' '), qMax(part.lastIndexOf(u'\n'), part.lastIndexOf(u'\r')));
    return part.mid(space + 1);
}

} // namespace CallSign
