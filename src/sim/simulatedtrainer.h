#pragma once

#include "trainerconfig.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

// The trainer keyer's side of the protocol (device letter "T"), fed by the
// simulated keyer when it plays that role. It answers the identify command
// with its firmware version, sends and takes its 26-character configuration
// block, reports its speeds ("<" + character speed + word speed), plays
// stored lessons with the message-timer events, takes a new message set
// after command "L", and keys characters: its own (after SI) and those the
// host hands it from a CW-over-IP peer (SO, speed, character; reported
// after SO).
class SimulatedTrainer : public QObject
{
    Q_OBJECT
public:
    explicit SimulatedTrainer(QObject *parent = nullptr);

    void feed(const QByteArray &bytesFromHost, const QByteArray &firmwareVersion);
    const TrainerConfig &config() const { return m_config; }
    const QMap<int, QByteArray> &messages() const { return m_messages; }
    void setEventGap(int milliseconds) { m_eventGapMs = milliseconds; }

    // The keyer's own actions: paddles and the speed knob.
    void keyText(const QByteArray &text);
    void turnSpeedKnob(int wpm);
    // Switched off: whatever was under way is gone.
    void stop();

signals:
    void transmit(const QByteArray &bytesToHost);
    void journal(const QString &line);

private:
    enum class Origin { Paddles, Lesson, Peer };
    struct KeyedItem
    {
        char c;
        int speed;
        Origin origin;
        bool endOfLesson = false;
    };
    enum class LoadState { Off, SlotStart, Header, Body };

    bool processCommand();
    void letterCommand(char letter);
    void keypad(char key);
    void takeLoad();
    void storeLoaded();
    void endLoad(const QString &why);

    void sendConfigEvent();
    void sendSpeedReport();
    void send(const QByteArray &bytes, int pauseBeforeMs = 0);
    void pumpOutput();

    void queue(const KeyedItem &item);
    void keyNext();
    void note(const QString &line) { emit journal(line); }

    TrainerConfig m_config;
    int m_eventGapMs = 50;
    QByteArray m_input;
    QTimer m_stallTimer;
    bool m_expectBlock = false;
    bool m_expectLesson = false;

    LoadState m_load = LoadState::Off;
    bool m_firstSlot = true;
    int m_loadNumber = 0;
    QByteArray m_loadBody;
    qint64 m_loadedBytes = 0;
    QMap<int, QByteArray> m_loading;
    QMap<int, QByteArray> m_messages;

    QList<QPair<QByteArray, int>> m_output;
    QTimer m_outputTimer;

    QList<KeyedItem> m_keying;
    QTimer m_keyingTimer;
    char m_lastMark = 0;
    bool m_paused = false;
};
