#pragma once

#include "remoteallowlist.h"
#include "remotereceiver.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QTcpServer;
class QTcpSocket;

// The server role of the remote control link: listens, lets one client in
// at a time (only clients on the allow list, only while nobody else is
// connected), watches it with TCPTimer and turns what it sends into keyer
// commands. It never reports a client's going to the operator as a
// failure: it simply listens again.
class RemoteServer : public QObject, private RemoteReceiver::Keyer
{
    Q_OBJECT
public:
    enum State { Idle = 0, Listening = 1, Connected = 2 };
    enum class Drop { WrongHello, Goodbye, Inactive, Watchdog, Lost };
    // Gone: the peer reset its connection before its address could be read.
    enum class Refusal { NotAllowed, Busy, Gone };
    Q_ENUM(Drop)
    Q_ENUM(Refusal)

    explicit RemoteServer(QObject *parent = nullptr);
    ~RemoteServer() override;

    // Tests run the watchdog and the other intervals shorter.
    void setTimeScale(double scale) { m_scale = scale; }
    void setAllowList(const RemoteAllowList &list) { m_allow = list; }
    void setBuffering(int level) { m_receiver.setBuffering(level); }
    void setInactivityTimeout(int minutes) { m_receiver.setInactivityTimeout(minutes); }

    // Listens on port, on localAddress when one is given (else on every
    // address). False with errorString() set when it cannot.
    bool listen(const QString &localAddress, quint16 port);
    quint16 serverPort() const;
    // Drops any client and stops listening.
    void stop();
    State state() const { return m_state; }
    QString errorString() const { return m_error; }
    QHostAddress peerAddress() const { return m_peer; }
    const RemoteReceiver &receiver() const { return m_receiver; }

    // The keyer reported a character it keyed.
    void keyerKeyed();
    // The operator here stopped the keying (Esc): the client's text that
    // has not gone out is dropped. True when there was any.
    bool discardPending() { return m_receiver.discard(); }

    static QString dropText(Drop reason);
    static QString refusalText(Refusal reason);

signals:
    void stateChanged(int state);
    // One complete keyer command (set-speed, send-character, or the stop
    // byte that drops what the keyer holds).
    void keyerCommand(const QByteArray &command);
    void dropped(const QHostAddress &address, RemoteServer::Drop reason);
    // The peer was closed before anything it sent was read.
    void refused(const QHostAddress &address, RemoteServer::Refusal reason);
    // Text arrives faster than the keyer keys it; the excess is dropped.
    void overflow(const QHostAddress &address);

private:
    void setSpeed(int wpm) override;
    void sendCharacter(char c) override;
    void stopKeying() override;

    void onNewConnection();
    void onReadyRead();
    void drop(Drop reason);
    void setState(State state);
    int scaled(int milliseconds) const;

    QTcpServer *m_listener;
    QPointer<QTcpSocket> m_socket;
    QHostAddress m_peer;
    QTimer TCPTimer;
    // Speed commands reach the keyer at most this often, the latest last.
    QTimer m_speedPace;
    int m_pendingSpeed = 0;
    QTimer m_keyerQuiet;
    RemoteReceiver m_receiver;
    RemoteAllowList m_allow;
    State m_state = Idle;
    QString m_error;
    double m_scale = 1.0;
};
