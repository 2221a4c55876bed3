#include "trainereventstream.h"

#include "ansitext.h"
#include "keyererror.h"
#include "keyereventstream.h"
#include "keyerlink.h"
#include "payloadcodec.h"

using namespace Qt::StringLiterals;

TrainerEventStream::TrainerEventStream(KeyerLink &link, TrainerEventSink &sink) : m_link(link), m_sink(sink)
{
}

QString TrainerEventStream::displayText(char c, bool nordic)
{
    QChar shown(AnsiText::toUnicode(uchar(c)));
    if (nordic)
        shown = KeyerEventStream::nordicLetter(shown);
    switch (shown.unicode()) {
    case '0': return QString(QChar(0xD8));
    case '+': return u"<ar>"_s;
    case '#': return u"<sk>"_s;
    case '>': return u"<bk>"_s;
    case '&': return u"<as>"_s;
    case '%': return u"<ka>"_s;
    case '^': return u"<ve>"_s;
    case '(': return u"<kn>"_s;
    default: return QString(shown);
    }
}

void TrainerEventStream::MSComm_OnComm()
{
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

void TrainerEventStream::dispatch()
{
    QByteArray &rx = m_link.rxBuffer;
    while (!rx.isEmpty()) {
        const char c = rx.at(0);
        switch (c) {
        case SpeedReport: {
            // The handler waits for the whole record; one that never
            // completes is dropped after the link's time-out.
            m_link.CompleteCount(5);
            if (rx.size() < 5 || m_link.linkStatus == KeyerLink::Cancelled) {
                rx.clear();
                return;
            }
            m_sink.speedReported(PayloadCodec::fromHex8(QByteArrayView(rx).sliced(1, 2)),
                                 PayloadCodec::fromHex8(QByteArrayView(rx).sliced(3, 2)));
            rx.remove(0, 5);
            continue;
        }
        case ShiftOut:
        case ShiftIn:
            m_sink.monitorNewLine();
            m_sink.shiftMark(c);
            break;
        case TimerStart:
            m_sink.messageTimer(TrainerEventSink::TimerEvent::Start);
            break;
        case TimerStop:
            m_sink.messageTimer(TrainerEventSink::TimerEvent::Stop);
            break;
        case TimerReset:
            m_sink.messageTimer(TrainerEventSink::TimerEvent::Reset);
            m_sink.monitorClear();
            break;
        case ConfigEvent:
            // The block may have come with its start byte: read it from there.
            m_link.pushBack(std::exchange(rx, {}));
            m_link.ReceiveBlock(ConfigEvent);
            if (m_link.linkStatus == KeyerLink::Cancelled)
                throw KeyerError(KeyerErrors::BlockNotFramed);
            m_sink.configurationBlock(m_link.rxBuffer);
            return;
        default:
            // Other control codes carry no text (acknowledgements that
            // arrive late, line noise).
            if (uchar(c) >= 32) {
                m_sink.keyedCharacter(c);
                if (m_sink.monitorLength() > KeyerEventStream::MonitorLimit)
                    throw KeyerError(KeyerErrors::MonitorFull);
                m_sink.monitorAppend(displayText(c, m_sink.nordic()));
            }
            break;
        }
        rx.remove(0, 1);
    }
}
