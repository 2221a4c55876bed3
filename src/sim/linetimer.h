#pragma once

#include <QObject>

class QSocketNotifier;

// A single-shot wake-up to the microsecond, for the simulated line: a byte
// at 38400 baud lasts 260 us, and a millisecond timer would make every
// answer up to a tick late, adding up over thousands of records.
class LineTimer : public QObject
{
    Q_OBJECT
public:
    explicit LineTimer(QObject *parent = nullptr);
    ~LineTimer() override;

    void start(qint64 nanoseconds);
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    bool m_active = false;
};
