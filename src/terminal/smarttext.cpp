#include "smarttext.h"

#include "sendtext.h"

using namespace Qt::StringLiterals;

namespace SmartText {

namespace {

QString nameFrom(const QString &info)
{
    if (info.isEmpty() || !info.at(0).isLetter())
        return u"OM"_s;
    return info.section(u' ', 0, 0);
}

} // namespace

QString expand(const QString &text, const Context &context)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 == text.size()) {
            result += c;
            continue;
        }
        switch (text.at(i + 1).toLower().unicode()) {
        case u'c': result += context.call.trimmed(); break;
        case u'n': result += nameFrom(context.info); break;
        case u'i': result += context.ownCall; break;
        case u'm': result += context.ownName; break;
        default:
            result += c;
            continue;
        }
        ++i;
    }
    return result;
}

QString typed(const QString &text, bool millKeyboard)
{
    static const QChar SlashedZero(0xD8);
    static const QChar SmallSlashedO(0xF8);
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'<' || c == QChar(SendText::Escape))
            continue;
        QChar upper = c.toUpper();
        if (millKeyboard) {
            if (upper == SlashedZero)
                upper = SmallSlashedO;
            else if (upper == u'0')
                upper = SlashedZero;
        }
        result += upper;
    }
    return result;
}

} // namespace SmartText
