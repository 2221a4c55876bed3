#pragma once

#include "linetimer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class SimulatedKeyer;

// The master side of a pseudo-terminal; the host opens the slave device as
// if it were the keyer's serial port, and may close and reopen it any
// number of times (a port search does).
//
// While no slave is open the master reads only EIO and polls as always
// readable, so reading is switched off and the state is polled with a
// timer instead. Output written while no slave is open is lost, as on a
// serial line with nobody listening.
class PtyEndpoint : public QObject
{
    Q_OBJECT
public:
    explicit PtyEndpoint(QObject *parent = nullptr);
    ~PtyEndpoint() override;

    // Creates the pseudo-terminal in raw mode; false with errorString().
    bool open();
    // The slave device disappears.
    void close();
    bool isOpen() const { return m_fd >= 0; }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }
    bool isSlaveOpen() const { return m_slaveOpen; }

    // The line speed the host set on the slave (0 when unknown).
    qint32 lineSpeed() const;
    void write(const QByteArray &bytes);

    // Feeds the keyer what the host sends (with the host's line speed) and
    // writes what the keyer transmits.
    void attach(SimulatedKeyer *keyer);

    // idleTimeout() once no slave has been open for this long; 0: never.
    void setIdleExit(int seconds) { m_idleExitMs = qint64(seconds) * 1000; }
    void setPollInterval(int milliseconds) { m_pollTimer.setInterval(milliseconds); }

    // Reads no faster than the host's line speed (ten bits a byte), as a
    // keyer on a real line does: a host that writes faster fills the
    // terminal's buffer and has to wait. Off: reads whatever is there.
    void setLinePaced(bool on) { m_linePaced = on; }

    // Maps a termios speed constant to bits per second (0 when unknown).
    static qint32 baudOf(unsigned int speedConstant);

signals:
    void received(const QByteArray &bytes, qint32 lineSpeed);
    void slaveOpened();
    void slaveClosed();
    void idleTimeout();

private:
    void readAvailable();
    void flushOutput();
    void enterSlaveClosed();
    void pollSlave();
    // Reads what is there without blocking; false once the slave is gone.
    bool drain(QByteArray *into, qint64 most = -1);
    // Line-paced reading: the bytes the line has carried and not been read.
    qint64 readAllowance();

    int m_fd = -1;
    QString m_slavePath;
    QString m_error;
    bool m_slaveOpen = false;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pendingOutput;
    QTimer m_pollTimer;
    QElapsedTimer m_closedSince;
    qint64 m_idleExitMs = 0;
    bool m_linePaced = false;
    bool m_lineBusy = false;
    QElapsedTimer m_lineClock;
    qint64 m_lineRead = 0;
    LineTimer m_paceTimer;
};
