#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

// An Elecraft K3 or KX3 as its CAT port shows it, without a transport:
// commands from the host go into feed(), answers come out of transmit().
//
// Commands end with ";" and are read without regard to case, after the
// radio's published command set: a GET (the command alone) is answered, a
// SET (with its value) is not; a SET with a value the radio cannot take, a
// command it does not know, or any command while it is busy is answered
// "?;". It keeps what a CAT program sets and reads: both VFOs, mode, data
// sub-mode, bandwidth, split, transmit, the K2/K3 command modes and
// auto-information (with AI1 a change of frequency, band or mode is
// reported by itself with an "IF" report).
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

    // The front panel. Band 0-10 is 160-6 m, 16-25 a transverter band;
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
    qint64 frequency() const { return m_frequencyA; }
    bool transmitting() const { return m_transmitting; }
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
    // A GET of name (with "$" for the sub receiver) answered; false for a
    // name the radio does not know.
    bool get(const QByteArray &name, bool sub);
    // A SET; false when the radio does not take it.
    bool set(const QByteArray &name, bool sub, const QByteArray &value);
    void answer(const QByteArray &text);
    void changed();
    bool setFrequency(qint64 hz, bool vfoB);

    Model m_model;
    QByteArray m_input;
    QHash<QByteArray, QByteArray> m_answers;
    qint32 m_lineSpeed = 0;
    qint32 m_requiredLineSpeed = 0;
    int m_band = 5;
    int m_mode = 3;
    int m_subMode = 3;
    int m_dataMode = 0;
    int m_bandwidth = 270; // tens of Hz
    qint64 m_frequencyA = 14010000;
    qint64 m_frequencyB = 14010000;
    bool m_split = false;
    bool m_transmitting = false;
    bool m_vox = false;
    int m_ai = 0;
    int m_k2Mode = 0;
    int m_k3Mode = 0;
    int m_keyerSpeed = 20;
    int m_busy = 0;
    bool m_on = true;
    bool m_garbage = false;
};
