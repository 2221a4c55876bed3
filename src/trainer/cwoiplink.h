#pragma once

#include "cwoippacer.h"
#include "remoteallowlist.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// CW over IP: two trainers exchange the characters their keyers produce.
// One listens, the other calls; the link sends the local keyer's characters
// with its speed and hands the peer's characters to the local keyer, paced
// so that the keyer always has about one character's worth to sound.
//
// The link runs on its own (the CWoIP window only starts and ends it): the
// socket `tcpIP`, `TCPTimer` for supervision (greeting, keep-alives,
// silence) and `TickTimer` for the receive pacing.
class CwoipLink : public QObject
{
    Q_OBJECT
public:
    enum Mode { Offline = 0, Listening = 1, Calling = 2, Answered = 3 };

    // Lengths of the link's waits; tests shorten them.
    struct Intervals
    {
        int greetingMs = 100;      // caller: the first keep-alive
        int keepAliveMs = 2000;    // caller: keep-alive while idle
        int silenceMs = 6000;      // callee: nothing heard this long drops the link
        int connectLimitMs = 5000; // a call not answered within this ends
        int leavePauseMs = 2000;   // the leave message goes out before the socket closes
        int handOverPauseMs = 50;  // between characters handed to the keyer
        int keepAliveLimit = 150;  // keep-alives without a character: the caller is gone
    };

    static constexpr char ShiftOut = 0x0E;
    static constexpr char ShiftIn = 0x0F;

    explicit CwoipLink(QObject *parent = nullptr);
    ~CwoipLink() override;

    void setIntervals(const Intervals &intervals) { m_intervals = intervals; }
    // The callers let in (as the remote link's allowed clients: empty means
    // this computer and the local networks); the others are closed unread.
    void setAllowList(const RemoteAllowList &allow) { m_allow = allow; }
    Mode mode() const { return m_mode; }
    quint16 port() const { return m_port; }
    quint16 listeningPort() const { return m_server.serverPort(); }

    // The port has been checked (5000-40000). False after a socket error
    // (already reported).
    bool listen(quint16 port);
    // Waits, processing events, until the call is answered or refused, at
    // most connectLimitMs. False when it did not connect (reported).
    bool connectTo(const QString &address, quint16 port);
    // Leaves the peer and listens again.
    void disconnectLink();
    // Leaves the peer and stops listening.
    void goOffline();
    // Transmitter keying went on: the link ends, nothing is forwarded.
    void endForTransmitter();

    // A character the local keyer reported, with its character speed.
    void sendCharacter(char c, int speed);
    // The keyer's last shift mark: after SO characters are the peer's own
    // coming back and are not sent.
    void setShiftMark(char mark) { m_shiftMark = mark; }
    char shiftMark() const { return m_shiftMark; }

    const CwoipPacer &pacer() const { return m_pacer; }

signals:
    // Bytes for the local keyer (raw serial write).
    void keyerBytes(const QByteArray &bytes);
    void modeChanged(CwoipLink::Mode mode);
    // For the operator; critical or information.
    void message(bool critical, const QString &text);
    // A call was answered here: an audible notification.
    void ringing();
    // The peer of a new connection, either direction.
    void peerAddress(const QString &address);
    // A character message as it is read from the socket.
    void characterArrived(char c);

private:
    void setMode(Mode mode);
    void adopt(QTcpSocket *socket);
    void closeSocket();
    bool connected() const;
    void send(const QByteArray &message, bool character);
    void dropped(bool critical);
    void pause(int milliseconds);
    void leave();

    void onNewConnection();
    void onReadyRead();
    void receive(QByteArrayView unit);
    void onSocketError();
    void onSupervision();
    void onTick();
    void handOver();
    void pump();

    Intervals m_intervals;
    RemoteAllowList m_allow;
    QHostAddress m_refusedFrom;
    QElapsedTimer m_refusedAt;
    Mode m_mode = Offline;
    quint16 m_port = 0;
    QTcpServer m_server;
    QTcpSocket *tcpIP = nullptr;
    QTimer TCPTimer;
    QTimer TickTimer;
    QTimer m_pump;
    QByteArray m_partial;
    QByteArray m_queue; // handed to the keyer, one character every handOverPauseMs
    CwoipPacer m_pacer;
    QElapsedTimer m_clock; // the pacer's notion of the keyer's backlog
    char m_shiftMark = ShiftIn;
    bool m_connecting = false;
    bool m_dropReported = false;
};
