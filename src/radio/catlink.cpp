#include "catlink.h"

#include "keyerport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The radio's text for a message: control characters as <hex>.
QString printable(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7f)
            text += QLatin1Char(c);
        else
            text += u"<%1>"_s.arg(uint(quint8(c)), 2, 16, QChar(u'0'));
    }
    return text;
}

} // namespace

CatLink::CatLink(KeyerPort *port, QObject *parent) : QObject(parent), m_port(port)
{
    WaitTimer.setSingleShot(true);
    connect(m_port, &KeyerPort::readyRead, this, &CatLink::onReadyRead);
    connect(m_port, &KeyerPort::failed, this, &CatLink::failed);
}

bool CatLink::open(const QString &device, qint32 baudRate, Model model)
{
    close();
    m_model = model;
    m_error.clear();
    if (m_port->open(device, baudRate) != KeyerPort::OpenResult::Opened) {
        m_error = tr("%1 could not be opened: %2").arg(device, m_port->errorString());
        return false;
    }
    // Elecraft radios use no handshake; XON/XOFF would only swallow bytes.
    m_port->setSoftwareFlowControl(false);
    if (model == Model::K3) {
        m_port->write("k3;"_ba);
        m_port->flush();
        pause(300);
        const QByteArray reply = m_port->read(0);
        if (!CatReply::isK3Identification(reply)) {
            m_error = reply.isEmpty() ? tr("The radio on %1 did not answer as a K3.").arg(device)
                                      : tr("The radio on %1 answered \"%2\", not as a K3.").arg(device, printable(reply));
            close();
            return false;
        }
        // Its VOX button is another switch: a KX3 taken for a K3 would get
        // the wrong one.
        if (CatReply::isKxOptionReply(ask("om;"_ba, "OM"_ba, 300))) {
            m_error = tr("The radio on %1 is a KX3 (or KX2): choose Elecraft KX3.").arg(device);
            close();
            return false;
        }
    }
    m_port->write("ai1;"_ba);
    m_port->flush();
    return true;
}

void CatLink::close()
{
    m_events = false;
    m_port->close();
}

bool CatLink::isOpen() const
{
    return m_port->isOpen();
}

void CatLink::setReceiveEvents(bool on)
{
    m_events = on;
    // The port announces only new arrivals; what came during a poll would
    // otherwise wait for the radio's next report.
    if (!on || m_eventQueued || m_port->bytesAvailable() == 0)
        return;
    m_eventQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_eventQueued = false;
        if (m_events && m_port->bytesAvailable() > 0)
            emit reportArrived();
    }, Qt::QueuedConnection);
}

void CatLink::onReadyRead()
{
    if (m_events)
        emit reportArrived();
}

CatLink::PollOutcome CatLink::poll(CatReply *reply)
{
    static const QByteArray query = "bn;md;vx;"_ba;
    m_events = false;
    pause(150);
    if (!isOpen())
        return PollOutcome::Closed;
    QByteArray collected;
    m_port->write(query);
    m_port->flush();
    const QDeadlineTimer deadline(scaled(PollLimit));
    for (;;) {
        collected += m_port->read(0);
        switch (CatReply::parse(collected, reply)) {
        case CatReply::State::Complete: return PollOutcome::Taken;
        case CatReply::State::NotNumeric: return PollOutcome::NotNumeric;
        case CatReply::State::Incomplete: break;
        }
        if (!isOpen())
            return PollOutcome::Closed;
        if (deadline.hasExpired())
            return PollOutcome::NoAnswer;
        if (collected.contains("?;")) {
            collected.clear();
            pause(50);
            if (!isOpen())
                return PollOutcome::Closed;
            m_port->write(query);
            m_port->flush();
            continue;
        }
        waitForInput(deadline.remainingTime());
    }
}

QByteArray CatLink::ask(const QByteArray &command, const QByteArray &marker, int milliseconds)
{
    const bool events = std::exchange(m_events, false);
    m_port->read(0);
    m_port->write(command);
    m_port->flush();
    QByteArray collected;
    const QDeadlineTimer deadline(scaled(milliseconds));
    qsizetype at = -1;
    while (isOpen() && !deadline.hasExpired()) {
        collected += m_port->read(0);
        at = collected.indexOf(marker);
        if (at >= 0 && collected.indexOf(';', at) > at)
            break;
        waitForInput(deadline.remainingTime());
    }
    m_events = events;
    if (at < 0 || collected.indexOf(';', at) < 0)
        return {};
    return collected.mid(at, collected.indexOf(';', at) - at + 1);
}

int CatLink::queryVox()
{
    if (!isOpen())
        return -1;
    const QByteArray answer = ask("vx;"_ba, "VX"_ba, PollLimit);
    if (answer == "VX0;")
        return 0;
    if (answer == "VX1;")
        return 1;
    return -1;
}

void CatLink::toggleVox()
{
    if (!isOpen())
        return;
    m_port->write(voxCommand(m_model));
    m_port->flush();
}

QByteArray CatLink::voxCommand(Model model)
{
    return model == Model::K3 ? "swh09;"_ba : "swh29;"_ba;
}

void CatLink::pause(int milliseconds)
{
    const QDeadlineTimer deadline(scaled(milliseconds));
    while (!deadline.hasExpired())
        waitForInput(deadline.remainingTime());
    WaitTimer.stop();
}

void CatLink::waitForInput(qint64 remaining)
{
    // Armed again on every round: a pause nested in the events processed
    // here stops the timer when it ends.
    WaitTimer.start(int(qBound(qint64(1), remaining, qint64(60000))));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int CatLink::scaled(int milliseconds) const
{
    return m_waitScale == 1.0 ? milliseconds : qMax(1, qRound(milliseconds * m_waitScale));
}
