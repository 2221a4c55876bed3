#include "cwdaemonrequest.h"

#include "sendtext.h"

namespace {

constexpr char Esc = 27;

// The decimal argument of an escape; false when it is none.
bool number(QByteArrayView argument, int *value)
{
    bool ok = false;
    *value = argument.toByteArray().trimmed().toInt(&ok);
    return ok;
}

} // namespace

CwDaemonRequest CwDaemonRequest::parse(const QByteArray &datagram)
{
    CwDaemonRequest r;
    if (datagram.isEmpty())
        return r;
    if (datagram.at(0) != Esc) {
        r.kind = Kind::Text;
        r.text = keyerText(datagram);
        return r;
    }
    if (datagram.size() < 2)
        return r;
    const char code = datagram.at(1);
    // Loggers end some requests with a line break or a NUL.
    QByteArray argument = datagram.mid(2);
    while (!argument.isEmpty() && (argument.back() == '\0' || argument.back() == '\n' || argument.back() == '\r'))
        argument.chop(1);
    int value = 0;
    switch (code) {
    case '0':
        r.kind = Kind::Reset;
        break;
    case '2':
        if (number(argument, &value) && value >= MinSpeed && value <= MaxSpeed) {
            r.kind = Kind::Speed;
            r.value = value;
        }
        break;
    case '4':
        r.kind = Kind::Abort;
        break;
    case 'c':
        if (number(argument, &value) && value >= 0) {
            r.kind = Kind::Tune;
            r.value = qMin(value, int(MaxTuneSeconds));
        }
        break;
    case 'h':
        r.kind = Kind::Reply;
        r.text = QString::fromLatin1(argument);
        break;
    // Tone, exit, word mode, weight, device, port, PTT, SSB source, PTT
    // delay, band output, sound system, volume: the keyer keys by itself
    // and no logger closes this program.
    case '3': case '5': case '6': case '7': case '8': case '9':
    case 'a': case 'b': case 'd': case 'e': case 'f': case 'g':
        r.kind = Kind::Ignored;
        break;
    default:
        break;
    }
    return r;
}

QString CwDaemonRequest::keyerText(const QByteArray &text)
{
    const QString up = QString(QChar(SendText::Escape)) + QChar(SendText::SpeedUp);
    const QString down = QString(QChar(SendText::Escape)) + QChar(SendText::SpeedDown);
    QString result;
    result.reserve(text.size());
    int steps = 0;
    for (const char byte : text) {
        const auto c = uchar(byte);
        switch (c) {
        case '\r': case '\n': case '\t':
            result += u' ';
            continue;
        case '*': result += u'+'; continue;
        case '<': result += u'#'; continue;
        case '!': result += u'^'; continue;
        case '+': result += up; ++steps; continue;
        case '-': result += down; --steps; continue;
        case '~': case '#': case 0xA4:
            continue;
        default:
            break;
        }
        if (c < 32 || c == 127)
            continue;
        result += QChar(char16_t(c)).toUpper();
    }
    for (; steps > 0; --steps)
        result += down;
    for (; steps < 0; ++steps)
        result += up;
    return result;
}
