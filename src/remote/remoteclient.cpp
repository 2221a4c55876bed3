#include "remoteclient.h"

#include "remotewire.h"

#include <QCoreApplication>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

RemoteClient::RemoteClient(QObject *parent) : QObject(parent)
{
    TCPTimer.setSingleShot(true);
    connect(&TCPTimer, &QTimer::timeout, this,
            [this] { send(RemoteWire::withSpeed(RemoteWire::KeepAlive, speed())); });
}

RemoteClient::~RemoteClient()
{
    if (m_socket)
        m_socket->abort();
}

int RemoteClient::speed() const
{
    return m_speed ? m_speed() : 0;
}

int RemoteClient::scaled(int milliseconds) const
{
    return qMax(1, qRound(milliseconds * m_scale));
}

bool RemoteClient::connectToServer(const QString &host, quint16 port)
{
    if (m_connecting)
        return false;
    end(false);
    m_error.clear();
    auto *socket = new QTcpSocket(this);
    m_socket = socket;
    bool failed = false;
    bool expired = false;
    QTimer patience;
    patience.setSingleShot(true);
    connect(&patience, &QTimer::timeout, this, [&expired] { expired = true; });
    const QMetaObject::Connection onError =
        connect(socket, &QTcpSocket::errorOccurred, this, [&failed] { failed = true; });
    m_connecting = true;
    socket->connectToHost(host, port);
    patience.start(scaled(ConnectPatienceMs));
    while (socket->state() != QAbstractSocket::ConnectedState && !failed && !expired)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_connecting = false;
    disconnect(onError);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        m_error = failed ? u"%1 port %2: %3"_s.arg(host).arg(port).arg(socket->errorString())
                         : u"No answer from %1 port %2"_s.arg(host).arg(port);
        socket->abort();
        socket->deleteLater();
        return false;
    }
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        if (socket == m_socket)
            end(true, error == QAbstractSocket::RemoteHostClosedError ? QString() : socket->errorString());
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket == m_socket)
            end(true);
    });
    m_up = true;
    send(RemoteWire::withSpeed(RemoteWire::Hello, speed()));
    return m_up;
}

void RemoteClient::send(const QByteArray &bytes)
{
    if (!m_up)
        return;
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        end(true);
        return;
    }
    TCPTimer.stop();
    m_socket->write(bytes);
    TCPTimer.start(scaled(RemoteWire::KeepAliveMs));
}

void RemoteClient::disconnectFromServer()
{
    if (m_up && m_socket && m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->write(QByteArray(2, RemoteWire::Goodbye));
        m_socket->flush();
    }
    end(false);
}

// Closes the socket; a link that was up and ended by the server's doing is
// reported once.
void RemoteClient::end(bool serverGone, const QString &error)
{
    TCPTimer.stop();
    const bool wasUp = std::exchange(m_up, false);
    if (m_socket) {
        QTcpSocket *socket = m_socket;
        m_socket = nullptr;
        socket->disconnect(this);
        // Whatever is still to go (a goodbye) leaves before the close.
        socket->disconnectFromHost();
        socket->deleteLater();
    }
    if (!wasUp || !serverGone)
        return;
    if (error.isEmpty())
        emit dropped();
    else
        emit failed(error);
}
