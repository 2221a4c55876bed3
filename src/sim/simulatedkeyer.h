#pragma once

#include "configrecord.h"

#include <QByteArray>
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
class SimulatedKeyer : public QObject
{
    Q_OBJECT
public:
    static constexpr char STX = 2;
    static constexpr char ETX = 3;
    static constexpr char ENQ = 5;
    static constexpr char ACK = 6;
    static constexpr char ConfigEvent = 20;
    static constexpr char MiddleDot = char(183);

    explicit SimulatedKeyer(QObject *parent = nullptr);

    // Host side.
    void feed(const QByteArray &bytesFromHost);
    void setLineSpeed(qint32 baud) { m_lineSpeed = baud; }
    qint32 lineSpeed() const { return m_lineSpeed; }

    // The keyer's own state.
    const ConfigRecord &config() const { return m_config; }
    void setConfig(const ConfigRecord &config) { m_config = config; }
    static ConfigRecord defaultConfig();
    char deviceLetter() const { return m_letter; }
    void setDeviceLetter(char letter) { m_letter = letter; }
    void setQsoCount(qint16 count) { m_config.qsoCount = count; }
    // 0: answers at any line speed; else only when the host uses this one.
    void setRequiredLineSpeed(qint32 baud) { m_requiredLineSpeed = baud; }
    qint32 requiredLineSpeed() const { return m_requiredLineSpeed; }
    // "ssnnhhddmmyy" as last set by the host; empty until then.
    QByteArray clock() const { return m_clock; }
    int currentSpeed() const;
    // Silent: reads nothing and sends nothing, like a keyer switched off.
    void setSilent(bool silent);
    bool isSilent() const { return m_silent; }
    // Characters (and end-of-message marks) waiting to be keyed, the one
    // being keyed included.
    int keyingBacklog() const;

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

    // Morse code of a character as dots and dashes (letters in either case,
    // prosign characters included); empty when the keyer has no code for it.
    static QByteArray morseCode(char c);
    // Length in dot units including the gap that follows the character; a
    // space adds the rest of a word gap. 0 when there is no code.
    static int characterUnits(char c);
    // PARIS timing: one dot lasts 1200 / wpm milliseconds.
    static int characterDurationMs(char c, int wpm);

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
    // One line per command received from the host, for the journal.
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
        char character;
        bool endOfMessage;
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

    void sendConfigEvent(bool closed);
    void send(const QByteArray &bytes, int pauseBeforeMs = 0);
    void pumpOutput();

    void queueKeying(char c);
    void queueEndOfMessage();
    void stopKeying();
    void keyNext();

    void note(const QString &line) { emit journal(line); }
    static QString describeByte(char c);
    static QString hexBytes(const QByteArray &bytes);

    ConfigRecord m_config;
    char m_letter = 'K';
    qint32 m_lineSpeed = 0;
    qint32 m_requiredLineSpeed = 0;
    QByteArray m_clock;
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
};
