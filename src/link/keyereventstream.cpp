#include "keyereventstream.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "payloadcodec.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar MiddleDot(0xB7);
// How long a speed report may take to arrive in full.
constexpr int SpeedReportPatience = 1000;
constexpr int KeyboardPatience = 2000;

} // namespace

CallReport CallReport::parse(const QString &payload)
{
    CallReport report;
    const qsizetype dot = payload.indexOf(MiddleDot);
    if (dot < 0)
        return report;
    report.hasDot = true;
    report.call = payload.left(dot);
    report.info = payload.mid(dot + 1);
    const qsizetype space = report.info.indexOf(u' ');
    report.infoHead = space < 0 ? report.info : report.info.left(space);
    if (report.info.size() > report.infoHead.size() + 18)
        report.infoMiddle = report.info.mid(report.infoHead.size() + 1,
                                            report.info.size() - report.infoHead.size() - 18);
    return report;
}

KeyerEventStream::KeyerEventStream(KeyerLink &link, KeyerEventSink &sink) : m_link(link), m_sink(sink)
{
}

QChar KeyerEventStream::nordicLetter(QChar c)
{
    switch (c.unicode()) {
    case 0xC0: return QChar(0xC5); // À -> Å
    case 0xC4: return QChar(0xC6); // Ä -> Æ
    case 0xD6: return QChar(0xF8); // Ö -> ø
    default: return c;
    }
}

QString KeyerEventStream::displayText(QChar c, bool nordic)
{
    if (nordic)
        c = nordicLetter(c);
    switch (c.unicode()) {
    case '0': return QString(QChar(0xD8));
    case '+': return u"<ar> "_s;
    case '(': return u"<kn> "_s;
    case '>': return u"<bk> "_s;
    case '&': return u"<as> "_s;
    case '%': return u"<ka> "_s;
    case '^': return u"<ve> "_s;
    case '#': return u"<sk> "_s;
    default: return QString(c);
    }
}

void KeyerEventStream::MSComm_OnComm()
{
    m_sink.releaseTune();
    m_link.setReceiveThreshold(0);
    try {
        m_link.linkStatus = KeyerLink::Arrived;
        m_link.rxBuffer = m_link.takeInput();
        dispatch();
    } catch (const KeyerError &error) {
        if (error.number() == KeyerErrors::MonitorFull)
            m_sink.monitorFull();
        else
            m_sink.showError(communicationFailedMessage(error.number(), u'N'));
    }
    m_link.setReceiveThreshold(1);
}

void KeyerEventStream::dispatch()
{
    QByteArray &rx = m_link.rxBuffer;
    while (!rx.isEmpty()) {
        const uchar c = uchar(rx.at(0));
        switch (c) {
        case 1:
            if (!completeSpeedReport())
                return;
            rx.remove(0, 3);
            continue;
        case 20:
            // The block may have arrived with its start byte: read it from there.
            m_link.pushBack(std::exchange(rx, {}));
            m_link.ReceiveBlock(20);
            if (m_link.linkStatus == KeyerLink::Cancelled)
                throw KeyerError(KeyerErrors::BlockNotFramed);
            m_sink.configurationBlock(m_link.rxBuffer);
            m_configurationReceived = true;
            return;
        case 5:
            m_sink.recordForEditing();
            break;
        case 18: {
            // The waits below may let other handlers use rxBuffer: keep
            // what followed the event aside.
            QByteArray rest = rx.mid(1);
            qsoStored();
            rx = std::move(rest);
            continue;
        }
        case 2: {
            m_link.pushBack(std::exchange(rx, {}));
            m_link.ReceiveBlock(2);
            const QString payload = m_link.linkStatus == KeyerLink::Cancelled ? QString()
                                                                              : QString::fromLatin1(m_link.rxBuffer);
            m_sink.callReported(CallReport::parse(payload));
            return;
        }
        case 3:
            m_sink.endOfMessage();
            m_link.linkStatus = KeyerLink::Cancelled;
            break;
        case 14:
        case 15:
        case 30:
            m_sink.forwardStateCode(char(c));
            break;
        case 9:
        case 16:
            m_lastKeyboardByte = char(c);
            m_sink.forwardKeyboardEcho(char(c));
            break;
        case '<':
            erase();
            break;
        case ',':
        case '.':
        case '-':
        case '@':
        case '\'':
        case '_':
            attachedPunctuation(QChar(char16_t(c)));
            break;
        default:
            if (c >= 32)
                keyedCharacter(QChar(char16_t(c)));
            break;
        }
        rx.remove(0, 1);
    }
}

bool KeyerEventStream::completeSpeedReport()
{
    QByteArray &rx = m_link.rxBuffer;
    if (rx.size() < 3) {
        // The two digits may still be on their way; a keyer that never
        // sends them must not hang the window.
        bool expired = false;
        QTimer patience;
        patience.setSingleShot(true);
        QObject::connect(&patience, &QTimer::timeout, [&expired] { expired = true; });
        patience.start(m_link.scaled(SpeedReportPatience));
        while (rx.size() < 3 && !expired) {
            if (m_link.inputAvailable() > 0)
                rx += m_link.takeInput();
            else
                m_link.processWaitEvents();
        }
        if (rx.size() < 3) {
            rx.clear();
            return false;
        }
    }
    const int speed = PayloadCodec::fromHex8(QByteArrayView(rx).sliced(1, 2));
    m_sink.speedReported(speed);
    m_sink.forwardSpeed(speed);
    return true;
}

void KeyerEventStream::keyedCharacter(QChar c)
{
    if (m_sink.monitorLength() > MonitorLimit)
        throw KeyerError(KeyerErrors::MonitorFull);
    if (c != u' ' && !m_sink.editMode() && m_sink.takeNewLineFlag())
        m_sink.monitorNewLine();
    const QString text = displayText(c, m_sink.nordic());
    if (text == u" "_s) {
        const qsizetype length = m_sink.monitorLength();
        if (length == 0 || m_sink.monitorTail(1).at(0) <= u' ')
            return;
    }
    m_sink.monitorAppend(text);
    m_sink.forwardText(text, char(c.unicode()));
}

void KeyerEventStream::attachedPunctuation(QChar c)
{
    if (m_sink.monitorLength() > 0 && m_sink.monitorTail(1) == u" "_s) {
        m_sink.monitorChop(1);
        m_sink.forwardBackspace();
    }
    const QString text(c);
    m_sink.monitorAppend(text);
    m_sink.forwardText(text, char(c.unicode()));
}

void KeyerEventStream::erase()
{
    if (m_sink.monitorLength() == 0 || m_sink.monitorTail(1).at(0) < u' ')
        return;
    int trailingSpaces = 0;
    while (m_sink.monitorLength() > 0 && m_sink.monitorTail(1) == u" "_s) {
        m_sink.monitorChop(1);
        ++trailingSpaces;
    }
    m_sink.forwardErase(trailingSpaces);
    const qsizetype length = m_sink.monitorLength();
    if (length <= 1)
        m_sink.monitorClear();
    else if (m_sink.monitorTail(1) == u">"_s)
        m_sink.monitorChop(qMin<qsizetype>(4, length));
    else
        m_sink.monitorChop(1);
}

void KeyerEventStream::qsoStored()
{
    const bool wasEditing = m_sink.editMode();
    m_sink.qsoStored();
    m_link.Wait(100);
    m_sink.clearSendBuffer();
    const qint16 count = m_sink.qsoCount();
    if (count == m_lastKnownCount && !wasEditing)
        return;
    m_link.Wait(1000);
    // Let a keyboard exchange finish first, but never wait for it forever:
    // with receive events off nothing may ever change the byte.
    m_link.WaitWhile([this] { return m_lastKeyboardByte == 9; }, m_link.scaled(KeyboardPatience));
    m_sink.loadQSOList(count > m_lastKnownCount ? 1 : 20);
    m_lastKnownCount = count;
}
