#include "cwdaemonserver.h"

#include <QNetworkDatagram>

using namespace Qt::StringLiterals;

CwDaemonServer::CwDaemonServer(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &CwDaemonServer::readDatagrams);
}

bool CwDaemonServer::start(const QString &address, quint16 port)
{
    stop();
    QHostAddress host(QHostAddress::LocalHost);
    if (!address.trimmed().isEmpty() && !host.setAddress(address.trimmed())) {
        m_error = tr("\"%1\" is no IP address.").arg(address.trimmed());
        return false;
    }
    if (!m_socket.bind(host, port)) {
        m_error = tr("UDP port %1 on %2: %3").arg(port).arg(host.toString(), m_socket.errorString());
        return false;
    }
    m_error.clear();
    return true;
}

void CwDaemonServer::stop()
{
    m_socket.close();
    m_armed = {};
    m_decisions.clear();
    m_owed.clear();
}

void CwDaemonServer::textAccepted()
{
    if (m_decisions.isEmpty())
        return;
    const Reply reply = m_decisions.takeFirst();
    if (!reply.datagram.isEmpty())
        m_owed.append(reply);
}

void CwDaemonServer::textRefused()
{
    if (!m_decisions.isEmpty())
        m_decisions.removeFirst();
}

void CwDaemonServer::textKeyed()
{
    for (const Reply &reply : std::exchange(m_owed, {}))
        m_socket.writeDatagram(reply.datagram, reply.address, reply.port);
}

void CwDaemonServer::textDropped()
{
    m_owed.clear();
}

void CwDaemonServer::readDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        const CwDaemonRequest request = CwDaemonRequest::parse(datagram.data());
        if (request.kind == CwDaemonRequest::Kind::Reply) {
            // Armed for the next text only.
            m_armed = {CwDaemonRequest::replyDatagram(request.text), datagram.senderAddress(),
                       quint16(datagram.senderPort())};
            continue;
        }
        if (request.kind == CwDaemonRequest::Kind::Text)
            m_decisions.append(std::exchange(m_armed, {}));
        emit requested(request, datagram.senderAddress());
    }
}
