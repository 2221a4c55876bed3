#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

// An Elecraft K3 or KX3 as its CAT port shows it, without a transport:
// commands from the host go into feed(), answers come out of transmit().
//
// Commands end with ";" and are read without regard to case. A GET (the
// command alone) is answered, a SET (with its value) is not; what the radio
// does not know, or cannot do while busy, is answered "?;". With
// auto-information 1 ("AI1;") the radio reports a change of band or mode by
// itself with an "IF" report. A KX3 does not answer "K3;".
class SimulatedRadio : public QObject
{
    Q_OBJECT
public:
    enum class Model { K3, KX3 };

    explicit SimulatedRadio(Model model, QObject *parent = nullptr);

    void feed(const QByteArray &bytesFromHost);
    void setLineSpeed(qint32 baud) { m_lineSpeed = baud; }
    // 0: any line speed; else what comes at another one is noise to it.
    void setRequiredLineSpeed(qint32 baud) { m_requiredLineSpeed = baud; }

    // The front panel. Band 0-10 is 160-6 m, above 10 a transverter band;
    // mode 1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, 6 DATA, 7 CW-REV, 9 DATA-REV.
    bool setBand(int band);
    bool setMode(int mode);
    void setVox(bool on);
    void setPower(bool on);
    // Every answer turns to noise, as at a wrong line speed.
    void setGarbage(bool on) { m_garbage = on; }
    // The next n commands are answered "?;".
    void setBusy(int commands) { m_busy = commands; }
    // The GET of command (e.g. "K3") is answered with text instead.
    void setAnswer(const QByteArray &command, const QByteArray &text);
    // Bytes from the radio as they stand.
    void sendRaw(const QByteArray &bytes) { emit transmit(bytes); }

    Model model() const { return m_model; }
    int band() const { return m_band; }
    int mode() const { return m_mode; }
    bool vox() const { return m_vox; }
    int autoInformation() const { return m_ai; }
    bool isOn() const { return m_on; }

    // The "IF" report: 38 characters, frequency, mode and the rest.
    QByteArray infoReport() const;

signals:
    void transmit(const QByteArray &bytes);
    // One line per command received, upper case with its ";".
    void journal(const QString &line);

private:
    void execute(const QByteArray &command);
    void answer(const QByteArray &text);
    void changed();
    qint64 frequency() const;

    Model m_model;
    QByteArray m_input;
    QHash<QByteArray, QByteArray> m_answers;
    qint32 m_lineSpeed = 0;
    qint32 m_requiredLineSpeed = 0;
    int m_band = 5;
    int m_mode = 3;
    bool m_vox = false;
    int m_ai = 0;
    int m_k3Mode = 0;
    int m_busy = 0;
    bool m_on = true;
    bool m_garbage = false;
};
