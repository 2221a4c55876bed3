#pragma once

#include "configrecord.h"
#include "logstreamer.h"
#include "qsoentry.h"
#include "simulatedlog.h"
#include "simulatedprofile.h"
#include "simulatedtrainer.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

// The keyer's side of the serial protocol, without a transport: bytes from
// the host go into feed(), bytes for the host come out of transmit(). The
// transport tells it the line speed the host has set.
//
// The host reads an acknowledgement up to its last byte, and the payload of
// a framed event with a fresh receive once it has seen the start byte. So a
// framed event (configuration block, call report) leaves after a short pause
// and in two writes: the start byte, a pause, the payload. Everything else
// leaves at once. Keyed characters are reported one by one as their keying
// begins, at the pace of the current speed.
//
// The keyer keeps its own log. It records the call of the QSO in progress,
// name, QTH and reports from what it keys and from keyboard entry, and
// reports the record through call-report events.
class SimulatedKeyer : public QObject
{
    Q_OBJECT
public:
    static constexpr char STX = 2;
    static constexpr char ETX = 3;
    static constexpr char ENQ = 5;
    static constexpr char ACK = 6;
    static constexpr char RecordForEditing = 5;
    static constexpr char QsoStored = 18;
    static constexpr char ConfigEvent = 20;
    static constexpr char MiddleDot = char(183);

    explicit SimulatedKeyer(QObject *parent = nullptr);

    // Host side.
    void feed(const QByteArray &bytesFromHost);
    void setLineSpeed(qint32 baud) { m_lineSpeed = baud; }
    qint32 lineSpeed() const { return m_lineSpeed; }

    // The keyer's own state.
    const ConfigRecord &config() const { return m_config; }
    // The log follows the QSO count of the configuration.
    void setConfig(const ConfigRecord &config);
    static ConfigRecord defaultConfig();
    char deviceLetter() const { return m_letter; }
    void setDeviceLetter(char letter) { m_letter = letter; }
    void setQsoCount(qint16 count);
    // 0: answers at any line speed; else only when the host uses this one.
    void setRequiredLineSpeed(qint32 baud) { m_requiredLineSpeed = baud; }
    qint32 requiredLineSpeed() const { return m_requiredLineSpeed; }
    // "ssnnhhddmmyy" as last set by the host; empty until then.
    QByteArray clock() const { return m_clock; }
    // The keyer's clock: the time last set, running on; the system's UTC
    // until the host sets it.
    QDateTime now() const;
    int currentSpeed() const;
    // Silent: reads nothing and sends nothing, like a keyer switched off.
    void setSilent(bool silent);
    bool isSilent() const { return m_silent; }
    // Characters, functions and end-of-message marks waiting to be keyed,
    // the character being keyed included.
    int keyingBacklog() const;
    // Replies still held back by their pauses.
    bool hasPendingOutput() const { return !m_output.isEmpty() || m_stream.isBusy(); }

    const SimulatedLog &log() const { return m_log; }
    // The log replaced by these records; the count follows.
    void seedLog(const QList<LogRecord> &records);
    // Log reads, exports and loads on the wire: pacing and faults.
    LogStreamer &logStream() { return m_stream; }
    // The profile loaded by the host with command "L".
    SimulatedProfile &profile() { return m_profile; }
    // The trainer keyer's protocol, spoken while the device letter is "T".
    SimulatedTrainer &trainer() { return m_trainer; }
    // A QSO worked earlier, now in the log.
    void addContact(const QByteArray &call, const QByteArray &name, const QByteArray &qth);
    // One journal line per record ("log N" and the 88 characters), then
    // "log end" and the count.
    void journalLog();
    // The text of message key 0..9 (factory text "MSG" and the key).
    void setMessage(int key, const QByteArray &text);

    // The identification answer leaves in two writes, the first holding
    // this many characters (0..2; 0: one write), as USB adapters may
    // deliver it.
    void setAnswerSplit(int position) { m_answerSplit = qBound(0, position, 2); }

    // Pause between the separately paced parts of a reply.
    void setEventGap(int milliseconds) { m_eventGapMs = milliseconds; }
    // A command or payload left incomplete this long is dropped, so a host
    // that gave up does not leave the keyer waiting for ever.
    void setCommandTimeout(int milliseconds) { m_commandTimer.setInterval(milliseconds); }

    // The keyer's reader of the 40-character block of command "C": fills
    // the writable fields; the read-only ones keep their values.
    static void readSentBlock(QByteArrayView block, ConfigRecord *record);

    // Actions of the keyer's own (paddles, knob, memory).
    void keyText(const QByteArray &text);
    void turnSpeedKnob(int wpm);
    void reportCall(const QByteArray &call, const QByteArray &info);
    // Bytes that frame nothing; never 17 or 19 (flow control).
    void sendGarbage(int count);
    // The configuration event without its closing byte 3.
    void sendUnframedConfig();
    void sendRaw(const QByteArray &bytes);
    // A speed report in two writes: byte 1 and the first digit, then after
    // the pause the second digit.
    void sendSplitSpeed(int wpm, int pauseMs = 200);

signals:
    void transmit(const QByteArray &bytesToHost);
    // One line per command received from the host and per change to the
    // log, for the journal.
    void journal(const QString &line);

private:
    using PayloadHandler = void (SimulatedKeyer::*)(const QByteArray &payload);
    struct LetterCommand
    {
        char letter;
        int payloadLength;       // read after the acknowledgement
        PayloadHandler handler;  // runs once the payload is complete
    };
    struct PendingPayload
    {
        char letter;
        int length;
        PayloadHandler handler;
    };
    struct OutputChunk
    {
        QByteArray bytes;
        int pauseBeforeMs;
    };
    struct KeyingItem
    {
        enum Kind { Character, Function, EndOfMessage };
        Kind kind;
        char code;             // the character, or the key of a function
        bool fromMessage = false;
    };

    static const LetterCommand *findLetterCommand(char letter);

    void processInput();
    // Returns false when the command at the front is not complete yet.
    bool processCommand();
    void runLetterCommand(char letter);
    void expectPayload(char letter, int length, PayloadHandler handler);
    void abandonPartialInput();

    void readConfiguration(const QByteArray &payload);
    void writeConfiguration(const QByteArray &payload);
    void setClock(const QByteArray &payload);
    void readLog(const QByteArray &payload);
    void exportAdif(const QByteArray &payload);
    void loadLog(const QByteArray &payload);
    void scrollLog(const QByteArray &payload);
    void loadProfile(const QByteArray &payload);

    void sendCharacter(char c);
    void keypadFunction(char key, bool inStream);
    void commandKeyLetter(char letter);
    void toggleUser();
    void closeEntry();
    void takeBack();
    void startMessage(char key, bool inStream);
    void storeRecord(bool reportEmpty);
    void deleteOrSearch();
    void undelete();
    void showForEditing(int index);
    void reportOpenRecord();
    void sendCallReport(const QByteArray &payload);
    SimulatedLog::Station station() const;
    void syncLogToCount();

    void sendConfigEvent(bool closed);
    void send(const QByteArray &bytes, int pauseBeforeMs = 0);
    void pumpOutput();

    void queueKeying(char c);
    void stopKeying();
    void keyNext();
    void noteKeyed(char c);
    bool messageUnderWay() const;

    void note(const QString &line) { emit journal(line); }
    static QString describeByte(char c);
    static QString hexBytes(const QByteArray &bytes);

    ConfigRecord m_config;
    char m_letter = 'K';
    qint32 m_lineSpeed = 0;
    qint32 m_requiredLineSpeed = 0;
    QByteArray m_clock;
    QDateTime m_clockBase;
    QElapsedTimer m_clockRunning;
    bool m_silent = false;
    int m_eventGapMs = 50;
    int m_answerSplit = 0;

    QByteArray m_input;
    bool m_processing = false;
    std::optional<PendingPayload> m_payload;
    QTimer m_commandTimer;

    QList<OutputChunk> m_output;
    QTimer m_outputTimer;

    QList<KeyingItem> m_keying;
    QTimer m_keyingTimer;
    bool m_keyingMessage = false; // the character being keyed is from a message
    bool m_paused = false;

    SimulatedLog m_log;
    LogStreamer m_stream{m_log};
    SimulatedProfile m_profile;
    SimulatedTrainer m_trainer;
    QByteArray m_messages[10];
    QsoEntry m_entry;
    bool m_commandKey = false;
    char m_tuning = 0; // "T" or "P" while the command key has the transmitter tuning
};
