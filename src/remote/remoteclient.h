#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QTcpSocket;

// The client role of the remote control link: connects to a server, says
// hello with the keyer's speed, sends what the keyer reports and a
// keep-alive whenever it has been silent for 2000 ms (TCPTimer). What the
// server sends back is read and ignored.
class RemoteClient : public QObject
{
    Q_OBJECT
public:
    // The longest a connect may take before it counts as failed.
    static constexpr int ConnectPatienceMs = 10000;

    explicit RemoteClient(QObject *parent = nullptr);
    ~RemoteClient() override;

    void setTimeScale(double scale) { m_scale = scale; }
    // The speed the hello and each keep-alive carry, asked for each time.
    void setSpeedSource(std::function<int()> source) { m_speed = std::move(source); }

    // Connects and says hello; waits, handling events, until the socket is
    // connected, has failed, or ConnectPatienceMs have passed. False with
    // errorString() set otherwise.
    bool connectToServer(const QString &host, quint16 port);
    bool isConnected() const { return m_up; }
    bool isConnecting() const { return m_connecting; }
    QString errorString() const { return m_error; }

    // Sends the bytes and restarts the keep-alive. A server that has gone
    // ends the link (dropped()).
    void send(const QByteArray &bytes);
    // The operator's stop: goodbye (3, 3) and close.
    void disconnectFromServer();

signals:
    // The server closed the connection or went away.
    void dropped();
    // Any other socket failure of the running link, with its text.
    void failed(const QString &error);

private:
    void end(bool serverGone, const QString &error = {});
    int scaled(int milliseconds) const;
    int speed() const;

    QPointer<QTcpSocket> m_socket;
    QTimer TCPTimer;
    QString m_error;
    std::function<int()> m_speed;
    double m_scale = 1.0;
    bool m_up = false;
    bool m_connecting = false;
};
