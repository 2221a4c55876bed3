#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class SimulatedRadio;

// The simulated radio's control input: one line per front-panel action.
//
//   band N          the band switch: 0-10 for 160-6 m, 11-25 transverter bands
//   mode N          1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, 6 DATA, 7 CW-REV, 9 DATA-REV
//   vox [0|1]       the VOX button (toggles without a value)
//   off | on        the power switch
//   garbage on|off  every answer turns to noise
//   busy N          the next N commands are answered "?;"
//   answer CMD TEXT CMD; is answered TEXT (e.g. "answer K3 K3")
//   raw TEXT        TEXT from the radio as it stands
//   unplug          the device disappears and the program ends
class RadioControl : public QObject
{
    Q_OBJECT
public:
    explicit RadioControl(SimulatedRadio *radio, QObject *parent = nullptr);

    // Text as read from the input; complete lines are run in order.
    void addText(const QByteArray &text);
    // False, with error() emitted, for a line it does not know.
    bool run(const QString &line);

signals:
    void unplugRequested();
    void error(const QString &message);

private:
    SimulatedRadio *m_radio;
    QByteArray m_partialLine;
};
