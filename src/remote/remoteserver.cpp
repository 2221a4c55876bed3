#include "remoteserver.h"

#include "keyerlink.h"
#include "remotewire.h"

#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

constexpr int SpeedPaceMs = 200;
// Longer than the slowest character takes to key (a zero at 5 wpm).
constexpr int KeyerQuietMs = 8000;
constexpr qint64 ReadSliceBytes = 4096;

} // namespace

RemoteServer::RemoteServer(QObject *parent)
    : QObject(parent), m_listener(new QTcpServer(this)), m_receiver(*this)
{
    TCPTimer.setSingleShot(true);
    connect(&TCPTimer, &QTimer::timeout, this,
            [this] { drop(m_receiver.connected() ? Drop::Watchdog : Drop::WrongHello); });
    m_speedPace.setSingleShot(true);
    connect(&m_speedPace, &QTimer::timeout, this, [this] {
        if (const int wpm = std::exchange(m_pendingSpeed, 0))
            setSpeed(wpm);
    });
    m_keyerQuiet.setSingleShot(true);
    connect(&m_keyerQuiet, &QTimer::timeout, this, [this] { m_receiver.keyerQuiet(); });
    connect(m_listener, &QTcpServer::newConnection, this, &RemoteServer::onNewConnection);
}

RemoteServer::~RemoteServer()
{
    if (m_socket)
        m_socket->abort();
}

int RemoteServer::scaled(int milliseconds) const
{
    return qMax(1, qRound(milliseconds * m_scale));
}

bool RemoteServer::listen(const QString &localAddress, quint16 port)
{
    stop();
    const QHostAddress address = localAddress.trimmed().isEmpty() ? QHostAddress(QHostAddress::Any)
                                                                  : QHostAddress(localAddress.trimmed());
    if (address.isNull()) {
        m_error = u"Invalid IP address"_s;
        return false;
    }
    if (!m_listener->listen(address, port)) {
        m_error = m_listener->errorString();
        return false;
    }
    m_error.clear();
    setState(Listening);
    return true;
}

quint16 RemoteServer::serverPort() const
{
    return m_listener->serverPort();
}

void RemoteServer::stop()
{
    TCPTimer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    m_listener->close();
    setState(Idle);
}

void RemoteServer::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void RemoteServer::onNewConnection()
{
    while (QTcpSocket *socket = m_listener->nextPendingConnection()) {
        const QHostAddress address = RemoteAllowList::plain(socket->peerAddress());
        // Nothing a refused peer sent is read. One that reset its
        // connection before it was taken has no address left to judge.
        const bool allowed = m_allow.allows(address);
        if (address.isNull() || !allowed || m_state != Listening) {
            socket->abort();
            socket->deleteLater();
            emit refused(address, address.isNull() ? Refusal::Gone : allowed ? Refusal::Busy : Refusal::NotAllowed);
            continue;
        }
        // A client that has not said hello yet gives way to the next.
        if (m_socket) {
            m_socket->disconnect(this);
            m_socket->abort();
            m_socket->deleteLater();
        }
        // A flood is taken in slices, so the window stays responsive; what
        // the keyer cannot use is dropped by the receiver.
        socket->setReadBufferSize(ReadSliceBytes);
        m_socket = socket;
        m_peer = address;
        m_receiver.accept();
        connect(socket, &QTcpSocket::readyRead, this, &RemoteServer::onReadyRead);
        // A reset or a close by the client: listen again.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (socket == m_socket)
                drop(Drop::Lost);
        });
        TCPTimer.start(scaled(RemoteWire::WatchdogMs));
        if (socket->bytesAvailable() > 0)
            onReadyRead();
    }
}

void RemoteServer::onReadyRead()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    const bool wasConnected = m_receiver.connected();
    const RemoteReceiver::Outcome outcome = m_receiver.take(bytes);
    if (outcome.helloAccepted || wasConnected)
        TCPTimer.start(scaled(RemoteWire::WatchdogMs));
    if (m_receiver.connected() || outcome.helloAccepted)
        setState(Connected);
    if (m_receiver.takeOverflow())
        emit overflow(m_peer);
    switch (outcome.drop) {
    case RemoteReceiver::Drop::None: break;
    case RemoteReceiver::Drop::WrongHello: drop(Drop::WrongHello); break;
    case RemoteReceiver::Drop::Goodbye: drop(Drop::Goodbye); break;
    case RemoteReceiver::Drop::Inactive: drop(Drop::Inactive); break;
    }
}

void RemoteServer::drop(Drop reason)
{
    TCPTimer.stop();
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_receiver.accept();
    if (m_state != Idle)
        setState(Listening);
    emit dropped(m_peer, reason);
}

void RemoteServer::keyerKeyed()
{
    m_receiver.keyed();
    if (m_receiver.keyerAhead() > 0)
        m_keyerQuiet.start(scaled(KeyerQuietMs));
}

void RemoteServer::setSpeed(int wpm)
{
    if (m_speedPace.isActive()) {
        m_pendingSpeed = wpm;
        return;
    }
    emit keyerCommand(::keyerCommand(KeyerCommand::SetSpeed, char(wpm)));
    m_speedPace.start(scaled(SpeedPaceMs));
}

void RemoteServer::sendCharacter(char c)
{
    emit keyerCommand(::keyerCommand(KeyerCommand::SendCharacter, c));
    m_keyerQuiet.start(scaled(KeyerQuietMs));
}

void RemoteServer::stopKeying()
{
    m_keyerQuiet.stop();
    emit keyerCommand(QByteArray(1, KeyerCommand::StopTransfer));
}

QString RemoteServer::dropText(Drop reason)
{
    switch (reason) {
    case Drop::WrongHello: return u"no valid hello"_s;
    case Drop::Goodbye: return u"said goodbye"_s;
    case Drop::Inactive: return u"inactive"_s;
    case Drop::Watchdog: return u"silent too long"_s;
    case Drop::Lost: return u"connection lost"_s;
    }
    return {};
}

QString RemoteServer::refusalText(Refusal reason)
{
    switch (reason) {
    case Refusal::NotAllowed: return u"not in the allowed clients"_s;
    case Refusal::Busy: return u"another client is connected"_s;
    case Refusal::Gone: return u"the connection was reset before it was taken"_s;
    }
    return {};
}
