#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class SimulatedKeyer;

// The simulator's control input: one command per line makes the keyer act
// on its own, so that tests can drive what the host sees.
//
//   key TEXT             key TEXT as if from the paddles
//   knob N               turn the speed knob to N wpm
//   call CALL INFO...    report a call with its stored information
//   silent on|off        stop / resume answering
//   garbage N            N bytes that frame nothing
//   unframed             a configuration event without its closing byte 3
//   raw HH HH ...        the bytes as given in hex
//   split-speed N        a speed report in two writes
//   sleep MS             delay the lines that follow
//   letter L             device letter of the identify answer
//   count N              QSO count
//   baud N               answer only at this line speed (0: any)
//   qso CALL [NAME [QTH]] a QSO worked earlier, now in the log
//   log                  the log to the journal, one "log N" line a record
//   message K TEXT       the text of message key K (0-9)
//   profile normal|silent|refuse   meet profile loads as the keyer should,
//                        without the closing byte 3, or refuse command "L"
//   profile show         the profile records held to the journal
//   pace on|off          log transfers at the line's pace, or as fast as it goes
//   silent-after N       the next log transfer stops after N records: silence
//   vanish-after N       ... and the device disappears instead
//   corrupt-echo N       the next load garbles the echo of its record N
//   vanish               the device disappears and the program ends
class ControlInput : public QObject
{
    Q_OBJECT
public:
    explicit ControlInput(SimulatedKeyer *keyer, QObject *parent = nullptr);

    // Text as read from the input; complete lines are run in order.
    void addText(const QByteArray &text);
    void addLine(const QString &line);
    // No line is waiting (a sleep may still be running the last one).
    bool isIdle() const { return m_lines.isEmpty() && !m_sleep.isActive(); }

signals:
    void vanishRequested();
    void error(const QString &message);
    // The answer to "help": one control line and what it does, a line each.
    void help(const QString &text);

private:
    void runPending();
    // Returns the delay the line asks for (sleep), else 0.
    int run(const QString &line);

    SimulatedKeyer *m_keyer;
    QByteArray m_partialLine;
    QStringList m_lines;
    QTimer m_sleep;
    bool m_vanished = false;
};
