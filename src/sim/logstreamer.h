#pragma once

#include "linetimer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class SimulatedLog;

// The keyer's log transfers on the wire. A read or an export ("E", "A",
// "X") sends its records (88 characters and CR each) and then ETX at the
// pace of the line: ten bits a byte at the host's baud rate. A load ("I")
// takes one record line after the other, stores it and echoes it, and ends
// when the host falls quiet or sends anything that is no record text.
//
// For tests a fault can be set up for the next transfer: the keyer falls
// silent, garbles an echo, or vanishes with the device.
class LogStreamer : public QObject
{
    Q_OBJECT
public:
    static constexpr int Capacity = 12000;
    static constexpr int RecordBytes = 89;

    enum class Fault { None, Silence, CorruptEcho, Vanish };

    explicit LogStreamer(SimulatedLog &log, QObject *parent = nullptr);

    // Unpaced, bytes leave as fast as the transport takes them.
    void setPaced(bool paced) { m_paced = paced; }
    bool isPaced() const { return m_paced; }
    // What the transport holds unsent; unpaced output waits while it holds much.
    void setOutputBacklog(std::function<qint64()> backlog) { m_backlog = std::move(backlog); }
    // Strikes once, in the next transfer: once that many records are sent
    // or echoed (silence, vanish), or at the echo of that record (1-based).
    void setFault(Fault fault, int records);
    // A host that sends no record for this long has ended its load.
    void setLoadIdle(int milliseconds) { m_loadIdle.setInterval(milliseconds); }

    // Records of a read or export, then ETX; gapMs before each of the two.
    void startStream(const QByteArray &records, qint32 lineSpeed, int gapMs, bool marksExport);
    void startLoad(qint32 lineSpeed);
    bool isLoading() const { return m_loading; }
    // Something still to send, or a load under way.
    bool isBusy() const { return m_loading || !m_pieces.isEmpty(); }
    // Takes the front of the host's input during a load. False: a record
    // line is not complete yet. A byte that is no record text ends the load
    // and stays in input for the keyer's command reader.
    bool takeLoadInput(QByteArray *input);
    // The transfer is abandoned (stop byte, keyer switched off).
    void stop();

signals:
    void transmit(const QByteArray &bytes);
    void journal(const QString &line);
    // A stream that marks the export ran to its ETX.
    void exportCompleted();
    // A load ended; the log holds its records.
    void loadEnded(int recordsLoaded);
    void fallSilent();
    void vanish();

private:
    struct Piece
    {
        QByteArray bytes;
        int pauseMs = 0;
        bool fault = false;     // the fault strikes here instead of sending
        bool completes = false; // the export is complete once this is out
        qsizetype sent = 0;
    };

    void queue(Piece piece);
    void pump();
    qint64 allowance();
    void strike();
    void endLoad();
    void acceptLine(const QByteArray &line);

    SimulatedLog &m_log;
    bool m_paced = true;
    std::function<qint64()> m_backlog;
    Fault m_fault = Fault::None;
    int m_faultRecords = 0;

    QList<Piece> m_pieces;
    QTimer m_timer;
    // Paced output: woken when the line has carried the next byte.
    LineTimer m_lineWake;
    bool m_pausing = false;
    qint32 m_lineSpeed = 0;
    bool m_lineIdle = true;
    QElapsedTimer m_line;
    qint64 m_lineSent = 0;

    bool m_loading = false;
    int m_loaded = 0;
    int m_echoes = 0;
    QTimer m_loadIdle;
};
