#include "linetimer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/timerfd.h>
#include <unistd.h>

LineTimer::LineTimer(QObject *parent) : QObject(parent)
{
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        quint64 expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) > 0 && m_active) {
            m_active = false;
            emit timeout();
        }
    });
}

LineTimer::~LineTimer()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void LineTimer::start(qint64 nanoseconds)
{
    m_active = true;
    if (m_fd < 0) {
        // No timerfd: the nearest millisecond will do.
        QTimer::singleShot(int((nanoseconds + 999999) / 1000000), Qt::PreciseTimer, this, [this] {
            if (std::exchange(m_active, false))
                emit timeout();
        });
        return;
    }
    itimerspec due{};
    nanoseconds = qMax<qint64>(nanoseconds, 1000);
    due.it_value.tv_sec = time_t(nanoseconds / 1000000000);
    due.it_value.tv_nsec = long(nanoseconds % 1000000000);
    ::timerfd_settime(m_fd, 0, &due, nullptr);
}

void LineTimer::stop()
{
    m_active = false;
    if (m_fd >= 0) {
        const itimerspec off{};
        ::timerfd_settime(m_fd, 0, &off, nullptr);
    }
}
