#pragma once

#include "keyerport.h"
#include "porttable.h"

#include <QByteArray>
#include <QTimer>

#include <functional>

// The command bytes of the keyer protocol that are no acknowledged letter.
namespace KeyerCommand {
constexpr char SetSpeed = 1;
constexpr char StartOfText = 2;
constexpr char EndOfText = 3;
constexpr char ToggleUser = 4;
constexpr char StartOfTransmission = 7;
constexpr char KeyboardEntry = 8;
constexpr char SendCharacter = 9;
constexpr char KeypadFunction = 16;
constexpr char StopTransfer = 18;
} // namespace KeyerCommand

// A command byte and its one-byte payload (send character, keypad
// function, set speed).
inline QByteArray keyerCommand(char command, char payload)
{
    return QByteArray(1, command).append(payload);
}

// The keyer link: the port, the receive text, the shared completion flag
// of every wait and the synchronous receive routines.
//
// Exactly one reader owns the port at a time, chosen by the receive
// threshold: at 1 every arrival raises receiveEvent() and the event stream
// reads; at 0 the routines below poll the port themselves. Waits sleep in
// the event loop until the port, a timer or the operator does something.
class KeyerLink : public QObject
{
    Q_OBJECT
public:
    enum Status : qint16 { Waiting = 0, Arrived = 1, TimedOut = 2, Cancelled = 4 };

    static constexpr char ETX = 3;
    static constexpr char ENQ = 5;
    static constexpr char ACK = 6;
    static constexpr char STX = 2;

    explicit KeyerLink(KeyerPort *port, QObject *parent = nullptr);

    KeyerPort *port() const { return m_port; }
    void setPortTable(const PortTable &table) { m_ports = table; }
    const PortTable &portTable() const { return m_ports; }

    // Opens port number 1..16 at "baud,N,8,1", XON/XOFF, threshold 0.
    // Throws KeyerError 8002 when the number has no device or the device
    // is missing, 8011 when this user may not open it, 8010 when it cannot
    // be opened for another reason.
    void openPort(int number, qint32 baudRate);
    void closePort();
    // How the program leaves the keyer: receive events and flow control off,
    // the identify command, 1500 ms for it to go out, then the port closed.
    void signOff();
    bool isOpen() const { return m_port->isOpen(); }

    int receiveThreshold() const { return m_threshold; }
    // Going back to 1 with input pending runs the event stream for it.
    void setReceiveThreshold(int threshold);
    // Characters per read for the routines below (0: all).
    void setInputLength(int length) { m_inputLength = length; }

    // Characters received and not yet consumed.
    QByteArray rxBuffer;
    // 0 waiting, 1 arrived, 2 timed out, 4 cancelled.
    qint16 linkStatus = Waiting;
    // One-shot; sets linkStatus to 2 when it fires.
    QTimer TimeOut;

    // Tests run the prescribed waits faster; the programs keep scale 1.
    void setWaitScale(double scale) { m_waitScale = scale; }
    // A wait of the given length as this link runs it.
    int scaled(int milliseconds) const;

    void Wait(int milliseconds);
    bool SendCommand(char letter);
    void ReceiveUntil(char terminator);
    void ReceiveBlock(char startByte);
    void ReceiveCount(int count);
    // After ReceiveCount: reads on until rxBuffer holds count characters,
    // with ReceiveCount's time-out. A time-out leaves status 1 and the
    // caller judges what came; only a cancel gives 4.
    void CompleteCount(int count);
    bool WaitForByte(char byte, int milliseconds);
    // Either byte ends the wait.
    bool WaitForAnyByte(QByteArrayView bytes, int milliseconds);
    void DrainInput();

    // Raw output.
    void write(const QByteArray &bytes);
    // The operator's stop: ends any running wait.
    void cancel() { linkStatus = Cancelled; }
    // The stop-transfer byte (18): the keyer abandons the running transfer.
    // What it had under way still comes for a moment; it is read and
    // dropped here, bounded in time and bytes, so that the event stream
    // does not show it as text once it has the port again.
    void stopTransfer();

    // Input for the event stream: everything waiting (pushed back first).
    QByteArray takeInput();
    qint64 inputAvailable() const;
    // Returns bytes to the front of the input; a later read or the event
    // stream gets them again.
    void pushBack(const QByteArray &bytes);
    // Sleeps until something happens (port, timer, operator).
    void processWaitEvents();
    // Sleeps while pending() holds, for at most milliseconds (as given, not
    // scaled); true when pending() ended in time. A keyer that never answers
    // must not hold the window.
    bool WaitWhile(const std::function<bool()> &pending, int milliseconds);

signals:
    // A receive event at threshold 1 (the event stream's trigger).
    void receiveEvent();
    // The open port failed; it has been closed.
    void portFailed(const QString &reason);

private:
    void onReadyRead();
    void onPortFailed(const QString &reason);
    QByteArray takeChunk();
    void scheduleEventIfPending();
    void armTimeOut(int milliseconds);

    KeyerPort *m_port;
    PortTable m_ports;
    QByteArray m_pushedBack;
    int m_threshold = 0;
    int m_inputLength = 0;
    double m_waitScale = 1.0;
    bool m_eventQueued = false;
};
