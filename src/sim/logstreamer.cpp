#include "logstreamer.h"

#include "logrecord.h"
#include "simulatedlog.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr char ETX = 3;
constexpr int UnpacedTickMs = 1;
// Unpaced output is handed over in pieces while the transport holds less
// than this, so its buffer never overflows whatever the host's pace.
constexpr qint64 UnpacedBacklog = 64 * 1024;
constexpr qint64 UnpacedPiece = 16 * 1024;
constexpr int LoadIdleMs = 1000;

} // namespace

LogStreamer::LogStreamer(SimulatedLog &log, QObject *parent) : QObject(parent), m_log(log)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_pausing = false;
        pump();
    });
    connect(&m_lineWake, &LineTimer::timeout, this, &LogStreamer::pump);
    m_loadIdle.setSingleShot(true);
    m_loadIdle.setInterval(LoadIdleMs);
    connect(&m_loadIdle, &QTimer::timeout, this, &LogStreamer::endLoad);
}

void LogStreamer::setFault(Fault fault, int records)
{
    m_fault = fault;
    m_faultRecords = qMax(0, records);
}

void LogStreamer::startStream(const QByteArray &records, qint32 lineSpeed, int gapMs, bool marksExport)
{
    m_lineSpeed = lineSpeed;
    QByteArray body = records;
    bool strikes = false;
    if (m_fault == Fault::Silence || m_fault == Fault::Vanish) {
        const qsizetype cut = qsizetype(m_faultRecords) * RecordBytes;
        strikes = cut < body.size();
        if (strikes)
            body.truncate(cut);
    }
    if (!body.isEmpty())
        queue(Piece{body, gapMs});
    if (strikes)
        queue(Piece{{}, 0, true});
    else
        queue(Piece{QByteArray(1, ETX), gapMs, false, marksExport});
}

void LogStreamer::startLoad(qint32 lineSpeed)
{
    m_lineSpeed = lineSpeed;
    m_loading = true;
    m_loaded = 0;
    m_echoes = 0;
    m_loadIdle.start();
}

bool LogStreamer::takeLoadInput(QByteArray *input)
{
    for (qsizetype i = 0; i < input->size(); ++i) {
        const auto c = uchar(input->at(i));
        if (c == '\r') {
            const QByteArray line = input->first(i);
            input->remove(0, i + 1);
            acceptLine(line);
            return true;
        }
        if (c < 0x20 || c == 0x7F) {
            // No record text: the load is over and the byte is a command; a
            // record cut short before it is dropped.
            input->remove(0, i);
            endLoad();
            return true;
        }
    }
    return false;
}

void LogStreamer::acceptLine(const QByteArray &line)
{
    m_loadIdle.start();
    const bool strikes = m_fault == Fault::Silence || m_fault == Fault::Vanish;
    if (strikes && m_echoes >= m_faultRecords) {
        strike();
        return;
    }
    QByteArray echo;
    const auto record = line.size() == LogRecord::Length ? LogRecord::decode(line) : std::nullopt;
    if (record && m_log.count() < Capacity) {
        m_log.append(*record);
        ++m_loaded;
        echo = line;
    }
    // A record the keyer cannot take comes back as an empty line.
    echo += '\r';
    ++m_echoes;
    if (m_fault == Fault::CorruptEcho && m_echoes == m_faultRecords) {
        m_fault = Fault::None;
        echo[0] = echo[0] == '0' ? '1' : '0';
        emit journal(u"corrupted echo %1"_s.arg(m_echoes));
    }
    queue(Piece{echo});
    // After its last echo, before the configuration it owes the host.
    if (strikes && m_echoes == m_faultRecords)
        queue(Piece{{}, 0, true});
}

void LogStreamer::endLoad()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_loadIdle.stop();
    emit journal(u"loaded %1"_s.arg(m_loaded));
    emit loadEnded(m_loaded);
}

void LogStreamer::stop()
{
    m_pieces.clear();
    m_timer.stop();
    m_lineWake.stop();
    m_pausing = false;
    m_lineIdle = true;
    m_loading = false;
    m_loadIdle.stop();
}

void LogStreamer::strike()
{
    const Fault fault = std::exchange(m_fault, Fault::None);
    stop();
    if (fault == Fault::Vanish) {
        emit journal(u"vanish mid-transfer"_s);
        emit vanish();
    } else {
        emit journal(u"silent mid-transfer"_s);
        emit fallSilent();
    }
}

void LogStreamer::queue(Piece piece)
{
    m_pieces.append(std::move(piece));
    if (!m_pausing && !m_timer.isActive() && !m_lineWake.isActive())
        pump();
}

qint64 LogStreamer::allowance()
{
    if (!m_paced) {
        const qint64 held = m_backlog ? m_backlog() : 0;
        return held < UnpacedBacklog ? UnpacedPiece : 0;
    }
    if (m_lineSpeed <= 0)
        return std::numeric_limits<qint64>::max();
    if (m_lineIdle) {
        m_line.start();
        m_lineSent = 0;
        m_lineIdle = false;
    }
    // Ten bits a byte (start, eight data, stop), counted from the moment the
    // line got busy, so that timer delays never add up.
    return m_line.nsecsElapsed() * m_lineSpeed / 10 / 1000000000 - m_lineSent;
}

void LogStreamer::pump()
{
    while (!m_pieces.isEmpty() && !m_pausing) {
        Piece &head = m_pieces.first();
        if (head.pauseMs > 0) {
            m_pausing = true;
            m_lineIdle = true;
            m_timer.start(std::exchange(head.pauseMs, 0));
            return;
        }
        if (head.fault) {
            strike();
            return;
        }
        const qint64 allowed = allowance();
        if (allowed <= 0) {
            if (m_paced)
                m_lineWake.start((m_lineSent + 1) * 10 * 1000000000 / m_lineSpeed - m_line.nsecsElapsed());
            else
                m_timer.start(UnpacedTickMs);
            return;
        }
        const qsizetype count = qsizetype(qMin<qint64>(allowed, head.bytes.size() - head.sent));
        const QByteArray bytes = head.bytes.sliced(head.sent, count);
        head.sent += count;
        m_lineSent += count;
        const bool completes = head.sent == head.bytes.size() && head.completes;
        if (head.sent == head.bytes.size())
            m_pieces.removeFirst();
        // Whoever listens may stop the transfer: nothing of head is used after this.
        emit transmit(bytes);
        if (completes)
            emit exportCompleted();
    }
    if (m_pieces.isEmpty())
        m_lineIdle = true;
}
