#include "keyerlink.h"

#include <QElapsedTimer>

#include "keyererror.h"

#include <QCoreApplication>

KeyerLink::KeyerLink(KeyerPort *port, QObject *parent) : QObject(parent), m_port(port)
{
    TimeOut.setSingleShot(true);
    connect(&TimeOut, &QTimer::timeout, this, [this] {
        linkStatus = TimedOut;
        TimeOut.stop();
    });
    connect(m_port, &KeyerPort::readyRead, this, &KeyerLink::onReadyRead);
    connect(m_port, &KeyerPort::failed, this, &KeyerLink::onPortFailed);
}

void KeyerLink::openPort(int number, qint32 baudRate)
{
    closePort();
    const QString device = m_ports.device(number);
    if (device.isEmpty())
        throw KeyerError(KeyerErrors::InvalidPortNumber);
    m_threshold = 0;
    switch (m_port->open(device, baudRate)) {
    case KeyerPort::OpenResult::Opened:
        break;
    case KeyerPort::OpenResult::NoSuchDevice:
        throw KeyerError(KeyerErrors::InvalidPortNumber, m_port->errorString());
    case KeyerPort::OpenResult::PermissionDenied:
        throw KeyerError(KeyerErrors::PortPermissionDenied, m_port->errorString());
    case KeyerPort::OpenResult::Failed:
        throw KeyerError(KeyerErrors::PortOpenFailed, m_port->errorString());
    }
    m_pushedBack.clear();
    rxBuffer.clear();
}

void KeyerLink::closePort()
{
    m_pushedBack.clear();
    m_port->close();
}

void KeyerLink::signOff()
{
    if (!isOpen())
        return;
    setReceiveThreshold(0);
    m_port->setSoftwareFlowControl(false);
    write(QByteArray(1, ENQ) + '?');
    Wait(1500);
    closePort();
}

void KeyerLink::setReceiveThreshold(int threshold)
{
    m_threshold = threshold;
    if (threshold == 1)
        scheduleEventIfPending();
}

void KeyerLink::scheduleEventIfPending()
{
    // The port announces only new arrivals; input that came while nobody
    // listened would otherwise wait for the next byte.
    if (m_eventQueued || inputAvailable() == 0)
        return;
    m_eventQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_eventQueued = false;
        if (m_threshold == 1 && inputAvailable() > 0)
            emit receiveEvent();
    }, Qt::QueuedConnection);
}

void KeyerLink::onReadyRead()
{
    if (m_threshold == 1)
        emit receiveEvent();
}

void KeyerLink::onPortFailed(const QString &reason)
{
    m_pushedBack.clear();
    // Ends a running wait as if the keyer had gone quiet; callers judge it.
    linkStatus = TimedOut;
    emit portFailed(reason);
}

void KeyerLink::processWaitEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void KeyerLink::stopTransfer()
{
    // The keyer's leftovers end within a quiet spell; a keyer that goes on
    // sending is not waited for beyond the limits.
    constexpr int QuietMs = 300;
    constexpr int LimitMs = 3000;
    constexpr qint64 LimitBytes = 256 * 1024;
    write(QByteArray(1, KeyerCommand::StopTransfer));
    const int threshold = m_threshold;
    const int inputLength = m_inputLength;
    setReceiveThreshold(0);
    m_inputLength = 0;
    QElapsedTimer draining;
    draining.start();
    qint64 dropped = 0;
    const auto quiet = [this] { return inputAvailable() == 0; };
    while (dropped < LimitBytes && !draining.hasExpired(scaled(LimitMs)) && WaitWhile(quiet, scaled(QuietMs)))
        dropped += takeInput().size();
    m_inputLength = inputLength;
    setReceiveThreshold(threshold);
}

bool KeyerLink::WaitWhile(const std::function<bool()> &pending, int milliseconds)
{
    bool expired = false;
    QTimer patience;
    patience.setSingleShot(true);
    connect(&patience, &QTimer::timeout, this, [&expired] { expired = true; });
    patience.start(milliseconds);
    while (pending() && !expired)
        processWaitEvents();
    return !pending();
}

qint64 KeyerLink::inputAvailable() const
{
    return m_pushedBack.size() + m_port->bytesAvailable();
}

QByteArray KeyerLink::takeInput()
{
    QByteArray data = std::exchange(m_pushedBack, {});
    data += m_port->read(0);
    return data;
}

QByteArray KeyerLink::takeChunk()
{
    if (m_inputLength <= 0)
        return takeInput();
    QByteArray data = m_pushedBack.left(m_inputLength);
    m_pushedBack.remove(0, data.size());
    if (data.size() < m_inputLength)
        data += m_port->read(m_inputLength - data.size());
    return data;
}

void KeyerLink::pushBack(const QByteArray &bytes)
{
    m_pushedBack.prepend(bytes);
    if (m_threshold == 1)
        scheduleEventIfPending();
}

void KeyerLink::write(const QByteArray &bytes)
{
    m_port->write(bytes);
}

int KeyerLink::scaled(int milliseconds) const
{
    return m_waitScale == 1.0 ? milliseconds : qMax(1, qRound(milliseconds * m_waitScale));
}

void KeyerLink::armTimeOut(int milliseconds)
{
    TimeOut.start(scaled(milliseconds));
}

void KeyerLink::Wait(int milliseconds)
{
    armTimeOut(milliseconds);
    linkStatus = Waiting;
    while (linkStatus == Waiting)
        processWaitEvents();
    TimeOut.stop();
}

bool KeyerLink::SendCommand(char letter)
{
    DrainInput();
    linkStatus = Waiting;
    write(QByteArray(1, ENQ) + letter);
    ReceiveUntil(STX);
    return linkStatus == Arrived && rxBuffer.size() >= 2 && rxBuffer.at(0) == letter && rxBuffer.at(1) == ACK;
}

void KeyerLink::ReceiveUntil(char terminator)
{
    rxBuffer.clear();
    const int savedThreshold = m_threshold;
    m_threshold = 0;
    linkStatus = Arrived;
    armTimeOut(2000);
    for (;;) {
        if (inputAvailable() > 0) {
            rxBuffer += takeChunk();
            armTimeOut(1000);
            // Whatever follows the terminator is not ours: it goes back for
            // the next reader (often an event right behind an acknowledgement).
            const qsizetype end = rxBuffer.indexOf(terminator);
            if (end >= 0 && end < rxBuffer.size() - 1) {
                m_pushedBack.prepend(rxBuffer.mid(end + 1));
                rxBuffer.truncate(end + 1);
            }
        }
        if (linkStatus != Arrived || (!rxBuffer.isEmpty() && rxBuffer.back() == terminator))
            break;
        processWaitEvents();
    }
    if (linkStatus == TimedOut)
        linkStatus = Arrived;
    setReceiveThreshold(savedThreshold);
    armTimeOut(3000);
}

void KeyerLink::ReceiveBlock(char startByte)
{
    ReceiveUntil(ETX);
    const qsizetype end = rxBuffer.indexOf(ETX);
    if (linkStatus != Arrived || end < 0) {
        linkStatus = Cancelled;
        return;
    }
    rxBuffer.truncate(end);
    const qsizetype start = rxBuffer.indexOf(startByte);
    if (start >= 0)
        rxBuffer.remove(0, start + 1);
}

void KeyerLink::ReceiveCount(int count)
{
    const int savedThreshold = m_threshold;
    m_threshold = 0;
    linkStatus = Waiting;
    armTimeOut(count > 2 ? 3000 : 1000);
    for (;;) {
        // A cancel that came with the bytes in one pass of the event loop
        // wins: the bytes must not turn it back into "Arrived".
        if (linkStatus == TimedOut || linkStatus == Cancelled)
            break;
        if (inputAvailable() >= count) {
            rxBuffer = takeChunk();
            setReceiveThreshold(savedThreshold);
            TimeOut.stop();
            linkStatus = Arrived;
            return;
        }
        processWaitEvents();
    }
    setReceiveThreshold(savedThreshold);
}

void KeyerLink::CompleteCount(int count)
{
    if (rxBuffer.size() >= count)
        return;
    const int savedThreshold = m_threshold;
    m_threshold = 0;
    linkStatus = Waiting;
    armTimeOut(count > 2 ? 3000 : 1000);
    while (rxBuffer.size() < count && linkStatus == Waiting) {
        if (inputAvailable() > 0)
            rxBuffer += takeChunk();
        else
            processWaitEvents();
    }
    TimeOut.stop();
    if (linkStatus != Cancelled)
        linkStatus = Arrived;
    setReceiveThreshold(savedThreshold);
}

bool KeyerLink::WaitForByte(char byte, int milliseconds)
{
    return WaitForAnyByte(QByteArrayView(&byte, 1), milliseconds);
}

bool KeyerLink::WaitForAnyByte(QByteArrayView bytes, int milliseconds)
{
    const auto found = [&] {
        for (qsizetype i = 0; i < rxBuffer.size(); ++i) {
            if (bytes.contains(rxBuffer.at(i)))
                return i;
        }
        return qsizetype(-1);
    };
    armTimeOut(milliseconds);
    m_threshold = 0;
    linkStatus = Waiting;
    rxBuffer.clear();
    qsizetype at = -1;
    for (;;) {
        if (inputAvailable() > 0) {
            rxBuffer = takeInput();
            at = found();
            if (at >= 0) {
                // Bytes behind the awaited one belong to the event stream.
                m_pushedBack.prepend(rxBuffer.mid(at + 1));
                rxBuffer.truncate(at + 1);
                break;
            }
        }
        if (linkStatus != Waiting)
            break;
        processWaitEvents();
    }
    TimeOut.stop();
    setReceiveThreshold(1);
    return at >= 0;
}

void KeyerLink::DrainInput()
{
    if (inputAvailable() > 0)
        rxBuffer = takeInput();
}
