#pragma once

#include "cwdaemonrequest.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUdpSocket>

// The UDP side of keying from contest loggers: datagrams of the cwdaemon
// protocol in, requests out, and the "h" replies owed to the logger.
// Knows nothing of the keyer; the manager decides what a request does.
class CwDaemonServer : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 6789;

    explicit CwDaemonServer(QObject *parent = nullptr);

    // An empty address binds to loopback only. False, with errorString()
    // set, when the address is no address or the port is taken.
    bool start(const QString &address, quint16 port);
    void stop();
    bool isRunning() const { return m_socket.state() == QAbstractSocket::BoundState; }
    QString errorString() const { return m_error; }
    QHostAddress address() const { return m_socket.localAddress(); }
    quint16 port() const { return m_socket.localPort(); }

    // The manager's answer to each Text request, in the order they were
    // raised: taken (a reply armed before it is now owed) or refused (its
    // reply is forgotten: the logger gets no answer for text not keyed).
    void textAccepted();
    void textRefused();
    // Everything accepted so far has been keyed: the owed replies go out.
    void textKeyed();
    // Aborted: the owed replies are forgotten.
    void textDropped();

signals:
    void requested(const CwDaemonRequest &request, const QHostAddress &from);

private:
    struct Reply
    {
        QByteArray datagram;
        QHostAddress address;
        quint16 port = 0;
    };

    void readDatagrams();

    QUdpSocket m_socket;
    QString m_error;
    Reply m_armed;
    // One entry per Text request raised and not yet answered; an empty
    // datagram when no reply was armed for it.
    QList<Reply> m_decisions;
    QList<Reply> m_owed;
};
