#pragma once

#include "catreply.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class KeyerPort;

// The CAT link to an Elecraft K3 or KX3 over a serial port (the same kind
// of port as the keyer's: opened with DTR and RTS low, never raised, so a
// radio interface that keys on them stays unkeyed).
//
// The radio's own reports (auto-information) raise reportArrived() while
// receive events are on; the query reads synchronously with them off.
// Every wait keeps the event loop running and has a bound.
class CatLink : public QObject
{
    Q_OBJECT
public:
    // Positions in the radio list.
    enum class Model { KX3 = 0, K3 = 1 };
    enum class PollOutcome {
        Taken,      // band, mode and VOX arrived as numbers
        NotNumeric, // the answer came, but a value was no number
        NoAnswer,   // not within the poll limit (switched off, garbled)
        Closed      // the port closed or failed meanwhile
    };

    explicit CatLink(KeyerPort *port, QObject *parent = nullptr);

    // Opens the device at "baud,n,8,1" without flow control, identifies a
    // K3 ("k3;", 300 ms for the answer; a KX3 answers that too, and tells
    // itself apart by the model number at the end of its option modules,
    // "om;") and switches auto-information on ("ai1;"). False, with the
    // port closed and errorString() set, when the port does not open or a
    // K3 does not identify itself.
    bool open(const QString &device, qint32 baudRate, Model model);
    void close();
    bool isOpen() const;
    Model model() const { return m_model; }
    QString errorString() const { return m_error; }

    // On: every arrival raises reportArrived(); input that came while they
    // were off raises it at once.
    void setReceiveEvents(bool on);

    // Receive events off, 150 ms for a report to finish, then "bn;md;vx;"
    // and its answer. A radio that is busy answers "?;" and is asked again.
    PollOutcome poll(CatReply *reply);

    // The radio's VOX as it is now ("vx;"), 0 or 1; -1 without an answer.
    // The front panel may have changed it: a K3 does not report that.
    int queryVox();
    // The switch-hold command that toggles the radio's VOX: "swh29;" on a
    // KX3, "swh09;" on a K3.
    void toggleVox();
    static QByteArray voxCommand(Model model);

    // A wait of n milliseconds that keeps processing events (WaitTimer).
    void pause(int milliseconds);
    QTimer WaitTimer;

    // Tests run the waits faster; the program keeps scale 1.
    void setWaitScale(double scale) { m_waitScale = scale; }
    // How long a poll waits for its answer: with a poll every second, a
    // radio that falls silent is noticed within two.
    static constexpr int PollLimit = 800;

signals:
    void reportArrived();
    // The open port failed (unplugged); it is closed.
    void failed(const QString &reason);

private:
    int scaled(int milliseconds) const;
    // Sleeps until the port, a timer or the operator does something, at
    // most until the deadline given in milliseconds from now.
    void waitForInput(qint64 remaining);
    void onReadyRead();
    // Sends a GET and collects its answer (up to ";" after marker) for
    // milliseconds; empty when none came.
    QByteArray ask(const QByteArray &command, const QByteArray &marker, int milliseconds);

    KeyerPort *m_port;
    Model m_model = Model::KX3;
    QString m_error;
    bool m_events = false;
    bool m_eventQueued = false;
    double m_waitScale = 1.0;
};
