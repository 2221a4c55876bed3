#pragma once

#include <QString>

class KeyerLink;

// The window around a transmission: the send buffer, the QSO panel and the
// controls that must rest while a message goes out.
class MessageSenderHost
{
public:
    virtual ~MessageSenderHost() = default;

    virtual QString sendBufferText() const = 0;
    // "On the Air" shown, the caret at the end of the send buffer.
    virtual void transmissionStarted() = 0;
    // true: tabs and the conflicting controls disabled; false: the stop
    // path enables them again.
    virtual void setSending(bool sending) = 0;
    virtual bool editMode() const = 0;
    // Send Message in edit mode is Sent RST.
    virtual void sentRst() = 0;
    virtual bool autoLogging() const = 0;
    virtual QString ownCall() const = 0;
    // The QSO panel shows a call (the keyer reported it).
    virtual bool callShown() const = 0;
    // "#" went out: the contact ends.
    virtual void qsoLogged() = 0;
    virtual int keyerSpeed() const = 0;
    // The mill keyboard's slashed zeros in the text are zeros.
    virtual bool millKeyboard() const { return false; }
    // A speed step inside the text: the keyer's speed up or down by wpm, at once.
    virtual void stepSpeed(int wpm) { Q_UNUSED(wpm); }
    virtual void sendFailed(const QString &message) = 0;
    // The operator stopped the transmission: the text from the 1-based
    // index from on did not go out.
    virtual void unsentLeft(qsizetype from) = 0;
};

// Send Message: hands the send buffer to the keyer character by character
// from the send pointer on, waits for the keyer's report of each character
// that it reports, marks the other station's call for automatic logging,
// and in immediate mode stays open for more typing for ten dot lengths.
class MessageSender
{
public:
    // Without a report within this much beyond the longest character at
    // the keyer's speed, the keyer is taken as gone.
    static constexpr int ReportPatienceMs = 3000;
    static constexpr int CallPatienceMs = 5000;

    MessageSender(KeyerLink &link, MessageSenderHost &host);

    void send();
    bool busy() const { return m_busy; }
    // The operator's stop (Esc, a logger's abort): no character after this
    // one, the keyer told to drop what it holds, and the rest of the text
    // is not sent by the next Send Message either.
    void cancel();
    // Whether the last transmission ended by cancel().
    bool cancelled() const { return m_cancelled; }

    // 1-based index of the next character to send.
    qsizetype pointer() const { return m_pointer; }
    void setPointer(qsizetype pointer) { m_pointer = pointer; }
    // The send buffer changed at the 0-based position: the pointer keeps
    // to the same next character, so an edit before it neither skips nor
    // repeats anything on the air.
    void textChanged(qsizetype position, qsizetype removed, qsizetype added);

private:
    // Sends from the pointer to the end of the text; false when the
    // transmission must stop.
    bool sendPending(qsizetype callMark);
    // Waits for the keyer's report; false on anything but the report.
    bool awaitReport();
    bool awaitCall();
    void fail(int error);

    KeyerLink &m_link;
    MessageSenderHost &m_host;
    qsizetype m_pointer = 1;
    bool m_busy = false;
    bool m_cancelled = false;
    uchar m_lastSent = ' ';
    int m_error = 0;
};
