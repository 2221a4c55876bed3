#pragma once

#include <QString>

// The message timer the trainer keyer starts, stops and resets while it
// plays a lesson: hours, minutes and seconds, counted by a one-second tick.
class MessageTimer
{
public:
    void start() { m_running = true; }
    void stop() { m_running = false; }
    void reset();
    bool isRunning() const { return m_running; }
    // One second, while running; hours wrap from 99 to 0.
    void tick();
    // "hh:mm:ss"
    QString text() const;

    void set(int hours, int minutes, int seconds);

private:
    int m_hours = 0;
    int m_minutes = 0;
    int m_seconds = 0;
    bool m_running = false;
};
