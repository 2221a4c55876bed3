#pragma once

#include "configrecord.h"
#include "recordassembler.h"

#include <QByteArray>

#include <functional>
#include <optional>

class KeyerLink;
class NativeLogFile;

// Error numbers of the log transfers ("Communication with keyer failed -
// Error " + number + the operation's letter).
namespace LogTransferErrors {
constexpr int LoadNotAcknowledged = 2001;
constexpr int NoEcho = 2002;
constexpr int ExportNotAcknowledged = 2003;
constexpr int NoExportData = 2004;
constexpr int ExportCancelled = 2005;
constexpr int ReadNotAcknowledged = 2006;
constexpr int NoReadData = 2007;
constexpr int EditNotAcknowledged = 2017;
// The keyer took a load but never showed its configuration afterwards.
constexpr int NoConfigurationAfterLoad = 2019;
} // namespace LogTransferErrors

struct LogTransferResult
{
    enum class Outcome {
        Complete,
        Incomplete,   // the keyer fell silent before the expected records came
        Cancelled,    // the operator's stop (linkStatus 4)
        Failed,       // error holds the number
        EchoMismatch, // a load record came back different
        NotKept,      // the record sink refused a record (a file that cannot be written)
    };

    Outcome outcome = Outcome::Complete;
    int error = 0;
    qint64 records = 0;  // records received, or loaded and echoed
    qint64 expected = 0;

    bool complete() const { return outcome == Outcome::Complete; }
};

// The keyer's log transfers over the link, without any window: the whole
// log ("E"), an export from a start record ("A" ADIF, "X" list) and a load
// of records with their echo ("I").
//
// Records arrive in chunks of at most 80 characters with receive events
// off. A keyer that ends with ETX has sent everything; one that falls
// silent has too, unless fewer records came than expected: then the
// transfer is incomplete, never passed off as a whole log. Every exit
// leaves the link with input length 0 and receive events on.
class LogTransfer
{
public:
    static constexpr int ChunkLength = 80;
    static constexpr char StopTransfer = 18;

    using RecordSink = RecordAssembler::Deliver;
    // Records done so far.
    using Progress = std::function<void(qint64 done)>;

    explicit LogTransfer(KeyerLink &link) : m_link(link) {}

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // "E": expected is the QSO count the keyer last reported.
    LogTransferResult readLog(qint64 expected, const RecordSink &sink);
    // "A" or "X" from the 0-based start record, after the prescribed pause
    // of 100 ms between the command and its start record.
    LogTransferResult exportLog(char letter, int start, qint64 expected, const RecordSink &sink);
    // "I": the first count records of the file, each answered by its echo.
    LogTransferResult loadLog(NativeLogFile &file, qint64 count);

    // DC2: the keyer abandons the running transfer; what it still sends
    // for a moment is read and dropped (bounded in time and bytes).
    void stopKeyer();
    // The configuration by "S", read here instead of by the event stream
    // (for programs without one). Nothing when the keyer does not answer.
    std::optional<ConfigRecord> readConfiguration();

    // " 57 of 120": numbers written as in every message.
    static QString shortfall(const LogTransferResult &result);

private:
    LogTransferResult receive(qint64 expected, const RecordSink &sink, int noDataError);
    LogTransferResult ended(LogTransferResult::Outcome outcome, int error = 0) const;

    KeyerLink &m_link;
    Progress m_progress;
    qint64 m_expected = 0;
    qint64 m_done = 0;
};
