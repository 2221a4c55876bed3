#include "cwoiplink.h"

#include "cwoipwire.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

// An IPv4 caller reaches a dual-stack listener as ::ffff:a.b.c.d.
QString plainAddress(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

} // namespace

CwoipLink::CwoipLink(QObject *parent) : QObject(parent)
{
    TCPTimer.setSingleShot(true);
    connect(&TCPTimer, &QTimer::timeout, this, &CwoipLink::onSupervision);
    TickTimer.setSingleShot(true);
    TickTimer.setTimerType(Qt::PreciseTimer);
    TickTimer.setInterval(m_pacer.tickIntervalMs());
    connect(&TickTimer, &QTimer::timeout, this, &CwoipLink::onTick);
    m_pump.setSingleShot(true);
    m_pump.setTimerType(Qt::PreciseTimer);
    connect(&m_pump, &QTimer::timeout, this, &CwoipLink::pump);
    connect(&m_server, &QTcpServer::newConnection, this, &CwoipLink::onNewConnection);
    m_clock.start();
}

CwoipLink::~CwoipLink()
{
    closeSocket();
}

void CwoipLink::setMode(Mode mode)
{
    m_mode = mode;
    emit modeChanged(mode);
}

bool CwoipLink::connected() const
{
    return tcpIP && tcpIP->state() == QAbstractSocket::ConnectedState;
}

void CwoipLink::adopt(QTcpSocket *socket)
{
    tcpIP = socket;
    tcpIP->setParent(this);
    // Two-byte messages must not wait for more to fill a packet.
    tcpIP->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // A peer that floods is held back by TCP rather than by our memory.
    tcpIP->setReadBufferSize(4096);
    connect(tcpIP, &QTcpSocket::readyRead, this, &CwoipLink::onReadyRead);
    connect(tcpIP, &QTcpSocket::errorOccurred, this, &CwoipLink::onSocketError);
    m_partial.clear();
    m_pacer.clear();
    m_queue.clear();
    m_dropReported = false;
}

void CwoipLink::closeSocket()
{
    if (!tcpIP)
        return;
    QTcpSocket *socket = std::exchange(tcpIP, nullptr);
    socket->disconnect(this);
    socket->close();
    socket->deleteLater();
    m_partial.clear();
}

bool CwoipLink::listen(quint16 port)
{
    m_port = port;
    TCPTimer.stop();
    TickTimer.stop();
    closeSocket();
    m_server.close();
    m_queue.clear();
    m_pacer.clear();
    if (!m_server.listen(QHostAddress::Any, port)) {
        const QString reason = m_server.errorString();
        setMode(Offline);
        emit message(true, tr("CWoIP cannot listen on port %1: %2").arg(port).arg(reason));
        return false;
    }
    emit keyerBytes("\t "_ba);
    // The keyer gets its pause before anything else is handed to it.
    m_pump.start(m_intervals.handOverPauseMs);
    setMode(Listening);
    return true;
}

bool CwoipLink::connectTo(const QString &address, quint16 port)
{
    if (m_connecting)
        return false;
    m_connecting = true;
    m_port = port;
    TCPTimer.stop();
    TickTimer.stop();
    closeSocket();
    m_server.close();
    adopt(new QTcpSocket(this));
    QTcpSocket *socket = tcpIP;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(socket, &QTcpSocket::stateChanged, &loop, [&loop](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState)
            loop.quit();
    });
    socket->connectToHost(address, port);
    if (socket->state() != QAbstractSocket::ConnectedState && socket->state() != QAbstractSocket::UnconnectedState) {
        limit.start(m_intervals.connectLimitMs);
        loop.exec();
    }
    m_connecting = false;
    if (tcpIP != socket)
        return false; // a socket error ended it and was reported
    if (!connected()) {
        closeSocket();
        setMode(Offline);
        emit message(true, tr("No answer from %1 on port %2 within %3 seconds. Is the other trainer listening?")
                               .arg(address)
                               .arg(port)
                               .arg(m_intervals.connectLimitMs / 1000.0));
        return false;
    }
    emit peerAddress(plainAddress(tcpIP->peerAddress()));
    m_shiftMark = ShiftIn;
    setMode(Calling);
    // The first keep-alive, the greeting, goes out at once.
    TCPTimer.start(m_intervals.greetingMs);
    return true;
}

void CwoipLink::pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void CwoipLink::leave()
{
    if (!connected())
        return;
    tcpIP->write(CwoipWire::leave());
    tcpIP->flush();
    pause(m_intervals.leavePauseMs);
}

void CwoipLink::disconnectLink()
{
    TCPTimer.stop();
    leave();
    listen(m_port);
}

void CwoipLink::goOffline()
{
    TCPTimer.stop();
    TickTimer.stop();
    leave();
    closeSocket();
    m_server.close();
    setMode(Offline);
}

void CwoipLink::endForTransmitter()
{
    if (m_mode == Offline && !tcpIP && !m_server.isListening())
        return;
    goOffline();
}

void CwoipLink::sendCharacter(char c, int speed)
{
    send(CwoipWire::character(speed, c), true);
}

void CwoipLink::send(const QByteArray &message, bool character)
{
    if (connected()) {
        TCPTimer.stop();
        // After SO the keyer reports what it sounded for the peer: not sent back.
        if (!(character && m_shiftMark == ShiftOut)) {
            tcpIP->write(message);
            tcpIP->flush();
        }
        TCPTimer.start(m_mode == Calling ? m_intervals.keepAliveMs : m_intervals.silenceMs);
        return;
    }
    if (m_mode == Calling || m_mode == Answered)
        dropped(true);
}

void CwoipLink::dropped(bool critical)
{
    closeSocket();
    // A listener on the same port (a second trainer on this machine) keeps
    // this one offline; that is told as well.
    listen(m_port);
    emit message(critical, u"CWoIP connection was dropped"_s);
}

void CwoipLink::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const QHostAddress caller = RemoteAllowList::plain(socket->peerAddress());
        if (!caller.isNull() && !m_allow.allows(caller)) {
            socket->abort();
            socket->deleteLater();
            // Told once a minute per caller: a caller that keeps trying must
            // not bury the window in messages.
            if (m_refusedFrom != caller || !m_refusedAt.isValid() || m_refusedAt.hasExpired(60000)) {
                m_refusedFrom = caller;
                m_refusedAt.start();
                emit message(false, tr("CWoIP: a call from %1 was refused (not in the allowed callers)").arg(caller.toString()));
            }
            continue;
        }
        if (m_mode != Listening || tcpIP || caller.isNull()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        adopt(socket);
        // One peer at a time: no further calls until this one ends.
        m_server.close();
        emit peerAddress(plainAddress(socket->peerAddress()));
        TCPTimer.start(m_intervals.silenceMs);
    }
}

void CwoipLink::onReadyRead()
{
    while (tcpIP && tcpIP->bytesAvailable() > 0) {
        m_partial += tcpIP->read(4096);
        qsizetype used = 0;
        while (tcpIP && used + 2 <= m_partial.size()) {
            const QByteArray unit = m_partial.mid(used, 2);
            used += 2;
            receive(unit);
        }
        if (!tcpIP)
            return; // the link went back to listening: the rest is the old peer's
        m_partial.remove(0, used);
    }
}

void CwoipLink::receive(QByteArrayView unit)
{
    if (m_mode == Listening) {
        // Before the greeting nothing else counts.
        if (!CwoipWire::isKeepAlive(unit))
            return;
        TCPTimer.stop();
        m_pacer.clear();
        m_shiftMark = ShiftIn;
        setMode(Answered);
        TCPTimer.start(m_intervals.silenceMs);
        emit ringing();
        return;
    }
    if (m_mode == Answered)
        TCPTimer.start(m_intervals.silenceMs);
    if (CwoipWire::isKeepAlive(unit)) {
        if (m_pacer.keepAlive() >= m_intervals.keepAliveLimit)
            listen(m_port);
        return;
    }
    if (CwoipWire::isLeave(unit)) {
        listen(m_port);
        return;
    }
    const char c = unit[1];
    emit characterArrived(c);
    TickTimer.stop();
    const int droppedBefore = m_pacer.dropped();
    if (m_pacer.addCharacter(quint8(unit[0]), c, m_queue.size(), m_clock.elapsed())) {
        handOver();
        TickTimer.setInterval(m_pacer.tickIntervalMs());
    } else if (m_pacer.dropped() > droppedBefore && !m_dropReported) {
        m_dropReported = true;
        emit message(false, tr("The CWoIP peer sends characters faster than a keyer can sound them; "
                               "those that do not fit are dropped."));
    }
    TickTimer.start();
}

void CwoipLink::onSocketError()
{
    if (!tcpIP)
        return;
    // The peer going away is noticed by the supervision and the next send.
    if (tcpIP->error() == QAbstractSocket::RemoteHostClosedError && m_mode != Offline && !m_connecting)
        return;
    // A call that fails says which call it was: a refused or unreachable
    // peer is then told apart from a link that broke later.
    const QString reason = m_connecting ? tr("No CWoIP connection to %1 on port %2: %3")
                                              .arg(tcpIP->peerName())
                                              .arg(m_port)
                                              .arg(tcpIP->errorString())
                                        : tcpIP->errorString();
    closeSocket();
    m_server.close();
    TCPTimer.stop();
    setMode(Offline);
    emit message(true, reason);
}

void CwoipLink::onSupervision()
{
    switch (m_mode) {
    case Calling:
        send(CwoipWire::keepAlive(), false);
        break;
    case Answered:
        dropped(false);
        break;
    case Listening:
        listen(m_port);
        break;
    case Offline:
        break;
    }
}

void CwoipLink::onTick()
{
    TickTimer.stop();
    handOver();
    m_pacer.tick();
}

void CwoipLink::handOver()
{
    m_queue += m_pacer.takeText(m_clock.elapsed());
    if (!m_pump.isActive())
        pump();
}

void CwoipLink::pump()
{
    if (m_queue.isEmpty())
        return;
    const char c = m_queue.at(0);
    m_queue.remove(0, 1);
    emit keyerBytes(QByteArray(1, ShiftOut).append(char(quint8(m_pacer.speed()))).append(c));
    m_pump.start(m_intervals.handOverPauseMs);
}
