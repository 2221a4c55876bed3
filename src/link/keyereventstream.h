#pragma once

#include <QByteArray>
#include <QString>

class KeyerLink;

// What a call report (event 2) carries: the call, a middle dot, stored
// information about the station.
struct CallReport
{
    bool hasDot = false;
    QString call;
    QString info;
    QString infoHead;   // first word of the information
    QString infoMiddle; // the information between the head and its last 18 characters

    static CallReport parse(const QString &payload);
};

// The window side of the event stream: the monitor box and the operations
// of other parts of the window that keyer events call.
class KeyerEventSink
{
public:
    virtual ~KeyerEventSink() = default;

    // The monitor box.
    virtual qsizetype monitorLength() const = 0;
    virtual QString monitorTail(qsizetype count) const = 0;
    virtual void monitorAppend(const QString &text) = 0;
    virtual void monitorChop(qsizetype count) = 0;
    virtual void monitorClear() = 0;
    // Starts a new line unless the monitor already ends with one.
    virtual void monitorNewLine() = 0;

    virtual bool nordic() const = 0;
    virtual bool editMode() const { return false; }
    // The new-line flag set by the Enter handling of the terminal.
    virtual bool takeNewLineFlag() { return false; }
    virtual bool messageBusy() const { return false; }

    virtual void releaseTune() {}
    virtual void speedReported(int wpm) = 0;
    virtual void configurationBlock(const QByteArray &block) = 0;
    virtual void recordForEditing() {}
    virtual void qsoStored() {}
    virtual void clearSendBuffer() {}
    virtual qint16 qsoCount() const { return 0; }
    virtual void loadQSOList(int count) { Q_UNUSED(count); }
    virtual void callReported(const CallReport &report) { Q_UNUSED(report); }
    virtual void endOfMessage() {}

    // Remote forwarding: the window decides by its remote role whether and
    // where these go.
    virtual void forwardSpeed(int wpm) { Q_UNUSED(wpm); }
    virtual void forwardStateCode(char code) { Q_UNUSED(code); }
    virtual void forwardKeyboardEcho(char code) { Q_UNUSED(code); }
    // A keyed character: as the monitor shows it (text) and as the keyer
    // sent it (keyed), which is what another keyer can key again.
    virtual void forwardText(const QString &text, char keyed) { Q_UNUSED(text); Q_UNUSED(keyed); }
    // The keyer took back a character shown after trailingSpaces spaces.
    virtual void forwardErase(int trailingSpaces) { Q_UNUSED(trailingSpaces); }
    // A space before attached punctuation was removed from the monitor.
    virtual void forwardBackspace() {}

    // Failures inside the handler.
    virtual void monitorFull() = 0;
    virtual void showError(const QString &message) = 0;
};

// Decodes what the keyer sends on its own: characters it keys, speed
// changes, QSO events and configuration blocks (MSComm_OnComm).
class KeyerEventStream
{
public:
    static constexpr int MonitorLimit = 65500;

    KeyerEventStream(KeyerLink &link, KeyerEventSink &sink);

    // One receive event: takes everything the port holds and dispatches it.
    void MSComm_OnComm();

    // Display form of a keyed character: prosigns as "<ar> ", "0" as a
    // slashed zero, Nordic letters when asked for.
    static QString displayText(QChar c, bool nordic);
    // The keyer's codes for À, Ä and Ö shown as Å, Æ and ø.
    static QChar nordicLetter(QChar c);

    char lastKeyboardByte() const { return m_lastKeyboardByte; }
    void setLastKeyboardByte(char byte) { m_lastKeyboardByte = byte; }
    bool configurationReceived() const { return m_configurationReceived; }
    void setConfigurationReceived(bool received) { m_configurationReceived = received; }
    qint16 lastKnownCount() const { return m_lastKnownCount; }
    void setLastKnownCount(qint16 count) { m_lastKnownCount = count; }

private:
    void dispatch();
    bool completeSpeedReport();
    void keyedCharacter(QChar c);
    void attachedPunctuation(QChar c);
    void erase();
    void qsoStored();

    KeyerLink &m_link;
    KeyerEventSink &m_sink;
    char m_lastKeyboardByte = 0;
    bool m_configurationReceived = false;
    qint16 m_lastKnownCount = 0;
};
