#include "eqslanswer.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr int ShownLength = 120;

// The page's lines as plain text: <BR> ends a line, other tags go.
QStringList plainLines(QByteArrayView body)
{
    static const QRegularExpression lineBreak(u"<br\\s*/?>"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(u"<[^>]*>"_s);
    QString text = QString::fromUtf8(body);
    text.replace(lineBreak, u"\n"_s).remove(tag);
    QStringList lines;
    for (const QString &line : text.split(u'\n')) {
        const QString simplified = line.simplified();
        if (!simplified.isEmpty())
            lines << simplified;
    }
    return lines;
}

} // namespace

EqslAnswer EqslAnswer::read(QByteArrayView body)
{
    static const QRegularExpression result(u"^Result:\\s*(\\d+)\\s+out\\s+of\\s+\\d+\\s+records?\\s+added"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = plainLines(body);
    EqslAnswer answer;
    QString resultLine;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = result.match(line);
        if (match.hasMatch()) {
            resultLine = line;
            answer.added = match.captured(1).toInt() > 0;
        } else if (answer.reason.isEmpty()
                   && (line.startsWith(u"Error:"_s, Qt::CaseInsensitive)
                       || line.startsWith(u"Warning:"_s, Qt::CaseInsensitive))) {
            answer.reason = line;
        }
    }
    if (answer.added) {
        answer.reason.clear();
    } else if (answer.reason.startsWith(u"Error:"_s, Qt::CaseInsensitive)
               && (answer.reason.contains(u"eQSL_User"_s, Qt::CaseInsensitive)
                   || answer.reason.contains(u"eQSL_Pswd"_s, Qt::CaseInsensitive))) {
        answer.accountRefused = true;
    } else if (answer.reason.isEmpty()) {
        answer.reason = !resultLine.isEmpty() ? resultLine
            : lines.isEmpty()                 ? u"The service gave an empty answer"_s
                                              : u"The service's answer was not understood: "_s
                                    + lines.constFirst().left(ShownLength);
    }
    return answer;
}
