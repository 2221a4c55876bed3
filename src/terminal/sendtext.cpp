#include "sendtext.h"

#include "ansitext.h"
#include "callsign.h"

using namespace Qt::StringLiterals;

namespace SendText {

uchar keyerByte(QChar c, bool millKeyboard)
{
    if (millKeyboard && c == QChar(0x00D8))
        return '0';
    uchar byte = '?';
    AnsiText::fromUnicode(char32_t(c.unicode()), &byte);
    return byte;
}

Step next(const QString &text, qsizetype index, bool millKeyboard)
{
    const QChar c = text.at(index);
    if (c == u'\r')
        return {' ', index + 1 < text.size() && text.at(index + 1) == u'\n' ? 2 : 1};
    if (c == u'\n')
        return {' ', 1};
    if (c == QChar(Escape) && index + 1 < text.size()) {
        const QChar letter = text.at(index + 1);
        if (letter == u'#')
            return {30, 2};
        if (letter == u'E')
            return {141, 2};
        if (letter == QChar(SpeedUp) || letter == QChar(SpeedDown))
            return {0, 2, letter == QChar(SpeedUp) ? SpeedStepWpm : -SpeedStepWpm};
        if (letter.unicode() < 128)
            return {uchar(letter.unicode() + 128), 2};
    }
    return {keyerByte(c, millKeyboard), 1};
}

bool awaitsReport(uchar code, uchar previous)
{
    if (code >= 128)
        return false;
    if (code != ' ')
        return true;
    static constexpr QLatin1StringView unreported(" =,@#._-");
    return !unreported.contains(QLatin1Char(char(previous)));
}

qsizetype callMark(const QString &text, const QString &ownCall)
{
    const QString call = ownCall.trimmed();
    if (call.isEmpty())
        return 0;
    const qsizetype found = (text + u' ').indexOf(u" DE "_s + call + u' ');
    // 1-based position of the space before "DE".
    const qsizetype position = found + 1;
    if (found < 0 || position <= 4)
        return 0;
    const QString before = text.left(position).trimmed();
    return CallSign::isCall(CallSign::lastWord(before, before.size())) ? position : 0;
}

int holdOpenMs(int wpm)
{
    return 12000 / qMax(1, wpm);
}

} // namespace SendText
