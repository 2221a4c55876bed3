#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

// Any radio that Hamlib's rigctld serves, over its TCP protocol: "f" for
// the frequency in hertz, "m" for the mode and passband, one answer line
// each; "RPRT n" with a negative n for an error. Every wait keeps the
// event loop running and has a bound.
class RigctldLink : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 4532;
    // How long a connection or a poll waits for rigctld.
    static constexpr int AnswerLimit = 2000;

    enum class PollOutcome {
        Taken,     // frequency and mode arrived
        Refused,   // rigctld answered with an error (the radio did not answer it)
        NoAnswer,  // nothing complete within the limit
        Closed     // the connection closed or failed meanwhile
    };

    struct Report
    {
        qint64 frequency = 0; // Hz
        QString mode;         // as rigctld names it: CW, CWR, USB, PKTLSB ...
    };

    explicit RigctldLink(QObject *parent = nullptr);
    // Quietly: the socket closing on destruction is no lost link.
    ~RigctldLink() override;

    // False, with errorString() set, when rigctld cannot be reached.
    bool open(const QString &host, quint16 port);
    void close();
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QString errorString() const { return m_error; }

    PollOutcome poll(Report *report);

    // Pure: the answer lines of "f" and "m" ("14025000", "CW", "500");
    // false while incomplete. An "RPRT" line sets *refused.
    static bool parse(const QList<QByteArray> &lines, Report *report, bool *refused);
    // The position of the band in the terminal band list (0 "2" m ...
    // 12 "160" m) for a frequency in hertz; -1 outside the bands.
    static int bandPosition(qint64 frequency);
    // Whether a rigctld mode is keyed CW (CW, CWR); every other mode of the
    // radio (USB, LSB, AM, FM, the data modes ...) is SSB logging.
    static bool isCw(const QString &mode);

signals:
    // The connection dropped while no poll was running.
    void failed(const QString &reason);

private:
    bool waitUntil(const std::function<bool()> &done);

    QTcpSocket m_socket;
    QTimer m_waitTimer;
    QString m_error;
    bool m_waiting = false;
};
