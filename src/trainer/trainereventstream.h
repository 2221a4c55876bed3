#pragma once

#include <QByteArray>
#include <QString>

class KeyerLink;

// The trainer window's side of the trainer keyer's event stream.
class TrainerEventSink
{
public:
    enum class TimerEvent { Start, Stop, Reset };

    virtual ~TrainerEventSink() = default;

    virtual qsizetype monitorLength() const = 0;
    virtual void monitorAppend(const QString &text) = 0;
    // Starts a new line unless the monitor is empty or already ends with one.
    virtual void monitorNewLine() = 0;
    virtual void monitorClear() = 0;
    virtual bool nordic() const = 0;

    virtual void speedReported(int charSpeed, int wordSpeed) = 0;
    // SO: what follows came from the CW-over-IP peer; SI: keyed here.
    virtual void shiftMark(char mark) = 0;
    virtual void messageTimer(TimerEvent event) = 0;
    // The payload of a DC4 block, framing removed.
    virtual void configurationBlock(const QByteArray &block) = 0;
    // A character the keyer keyed or sounded, as the keyer codes it.
    virtual void keyedCharacter(char c) = 0;

    virtual void monitorFull() = 0;
    virtual void showError(const QString &message) = 0;
};

// Decodes what the trainer keyer sends on its own (the trainer's
// MSComm_OnComm): speed reports "<" + two hex pairs, the shift marks SO and
// SI, the message timer's BEL, BS and DC2, the DC4 configuration block, and
// the characters it keys.
class TrainerEventStream
{
public:
    static constexpr char SpeedReport = '<';
    static constexpr char ShiftOut = 0x0E;
    static constexpr char ShiftIn = 0x0F;
    static constexpr char TimerStart = 0x07;
    static constexpr char TimerStop = 0x08;
    static constexpr char TimerReset = 0x12;
    static constexpr char ConfigEvent = 0x14;

    TrainerEventStream(KeyerLink &link, TrainerEventSink &sink);

    // One receive event: takes everything the port holds and dispatches it.
    void MSComm_OnComm();

    // Display form of a keyed character (a Windows-1252 byte): prosigns as
    // "<ar>" and the like, "0" as a slashed zero, Nordic letters when asked.
    static QString displayText(char c, bool nordic);

private:
    void dispatch();

    KeyerLink &m_link;
    TrainerEventSink &m_sink;
};
