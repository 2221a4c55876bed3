#include "logtransfer.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "logrecord.h"
#include "nativelogfile.h"
#include "payloadcodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

using Outcome = LogTransferResult::Outcome;

// However fast the records come, the window repaints and the Cancel button
// is heard this often.
constexpr int EventIntervalMs = 15;
constexpr int ExportPauseMs = 100;

// Whatever way a transfer ends, the event stream gets the port back.
class LinkRestore
{
public:
    explicit LinkRestore(KeyerLink &link) : m_link(link) {}
    ~LinkRestore()
    {
        m_link.setInputLength(0);
        m_link.setReceiveThreshold(1);
    }
    LinkRestore(const LinkRestore &) = delete;
    LinkRestore &operator=(const LinkRestore &) = delete;

private:
    KeyerLink &m_link;
};

} // namespace

LogTransferResult LogTransfer::ended(Outcome outcome, int error) const
{
    LogTransferResult result;
    result.outcome = outcome;
    result.error = error;
    result.records = m_done;
    result.expected = m_expected;
    return result;
}

LogTransferResult LogTransfer::readLog(qint64 expected, const RecordSink &sink)
{
    LinkRestore restore(m_link);
    m_expected = expected;
    m_done = 0;
    // Events off before the command: an acknowledgement read at threshold 1
    // would hand the records that follow it to the event stream.
    m_link.setReceiveThreshold(0);
    if (!m_link.SendCommand('E'))
        return ended(m_link.linkStatus == KeyerLink::Cancelled ? Outcome::Cancelled : Outcome::Failed,
                     LogTransferErrors::ReadNotAcknowledged);
    return receive(expected, sink, LogTransferErrors::NoReadData);
}

LogTransferResult LogTransfer::exportLog(char letter, int start, qint64 expected, const RecordSink &sink)
{
    LinkRestore restore(m_link);
    m_expected = expected;
    m_done = 0;
    m_link.setReceiveThreshold(0);
    if (!m_link.SendCommand(letter))
        return ended(m_link.linkStatus == KeyerLink::Cancelled ? Outcome::Cancelled : Outcome::Failed,
                     LogTransferErrors::ExportNotAcknowledged);
    m_link.Wait(ExportPauseMs);
    if (m_link.linkStatus == KeyerLink::Cancelled)
        return ended(Outcome::Cancelled);
    m_link.write(PayloadCodec::Hex16(quint16(start)));
    return receive(expected, sink, LogTransferErrors::NoExportData);
}

LogTransferResult LogTransfer::receive(qint64 expected, const RecordSink &sink, int noDataError)
{
    m_link.setInputLength(ChunkLength);
    m_link.setReceiveThreshold(0);
    m_link.ReceiveCount(1);
    if (m_link.linkStatus == KeyerLink::Cancelled)
        return ended(Outcome::Cancelled);
    if (m_link.linkStatus != KeyerLink::Arrived)
        return ended(Outcome::Failed, noDataError);

    RecordAssembler assembler;
    const auto deliver = [&](QByteArrayView record) {
        if (!sink(record))
            return false;
        ++m_done;
        if (m_progress)
            m_progress(m_done);
        return true;
    };
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (;;) {
        switch (assembler.feed(m_link.rxBuffer, deliver)) {
        case RecordAssembler::Feed::End:
            return ended(Outcome::Complete);
        case RecordAssembler::Feed::Refused:
            return ended(Outcome::NotKept);
        case RecordAssembler::Feed::More:
            break;
        }
        // A keyer streaming faster than it is read never lets the receive
        // wait run the event loop.
        if (sinceEvents.hasExpired(EventIntervalMs)) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        if (m_link.linkStatus == KeyerLink::Cancelled)
            return ended(Outcome::Cancelled);
        m_link.ReceiveCount(1);
        if (m_link.linkStatus == KeyerLink::Cancelled)
            return ended(Outcome::Cancelled);
        if (m_link.linkStatus != KeyerLink::Arrived) {
            // Silence: the end of a keyer that does not send ETX, or a
            // keyer that stopped half-way.
            return ended(m_done < expected ? Outcome::Incomplete : Outcome::Complete);
        }
    }
}

LogTransferResult LogTransfer::loadLog(NativeLogFile &file, qint64 count)
{
    LinkRestore restore(m_link);
    m_expected = count;
    m_done = 0;
    m_link.setInputLength(0);
    m_link.setReceiveThreshold(0);
    if (!m_link.SendCommand('I'))
        return ended(m_link.linkStatus == KeyerLink::Cancelled ? Outcome::Cancelled : Outcome::Failed,
                     LogTransferErrors::LoadNotAcknowledged);
    QByteArray line(LogRecord::Length + 1, ' ');
    for (qint64 i = 0; i < count; ++i) {
        const QByteArray record = file.recordAt(i);
        line.fill(' ');
        memcpy(line.data(), record.constData(), size_t(qMin<qsizetype>(record.size(), LogRecord::Length)));
        line[LogRecord::Length] = '\r';
        m_link.write(line);
        if (m_progress)
            m_progress(i + 1);
        m_link.ReceiveUntil('\r');
        if (m_link.linkStatus == KeyerLink::Cancelled)
            return ended(Outcome::Cancelled);
        // Nothing, or no whole line, within the wait: no echo at all.
        if (!m_link.rxBuffer.endsWith('\r'))
            return ended(Outcome::Failed, LogTransferErrors::NoEcho);
        if (m_link.rxBuffer != line)
            return ended(Outcome::EchoMismatch);
        m_done = i + 1;
    }
    return ended(Outcome::Complete);
}

void LogTransfer::stopKeyer()
{
    m_link.stopTransfer();
}

std::optional<ConfigRecord> LogTransfer::readConfiguration()
{
    LinkRestore restore(m_link);
    m_link.setInputLength(0);
    m_link.setReceiveThreshold(0);
    if (!m_link.SendCommand('S'))
        return std::nullopt;
    m_link.ReceiveBlock(20);
    if (m_link.linkStatus != KeyerLink::Arrived || m_link.rxBuffer.size() < ConfigBlock::ReceivedLength)
        return std::nullopt;
    return ConfigBlock::ParseConfigBlock(m_link.rxBuffer);
}

QString LogTransfer::shortfall(const LogTransferResult &result)
{
    return numberText(result.records) + QStringLiteral(" of") + numberText(result.expected);
}
