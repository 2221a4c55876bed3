#include "messagetimer.h"

using namespace Qt::StringLiterals;

void MessageTimer::reset()
{
    m_hours = m_minutes = m_seconds = 0;
}

void MessageTimer::set(int hours, int minutes, int seconds)
{
    m_hours = hours;
    m_minutes = minutes;
    m_seconds = seconds;
}

void MessageTimer::tick()
{
    if (!m_running)
        return;
    if (++m_seconds < 60)
        return;
    m_seconds = 0;
    if (++m_minutes < 60)
        return;
    m_minutes = 0;
    if (++m_hours > 99)
        m_hours = 0;
}

QString MessageTimer::text() const
{
    return u"%1:%2:%3"_s.arg(m_hours, 2, 10, QLatin1Char('0')).arg(m_minutes, 2, 10, QLatin1Char('0')).arg(m_seconds, 2, 10, QLatin1Char('0'));
}
