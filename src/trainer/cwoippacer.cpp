#include "cwoippacer.h"

#include "cwoipwire.h"

#include <QtGlobal>

bool CwoipPacer::addCharacter(int speed, char c, qsizetype alreadyQueued, qint64 nowMs)
{
    m_keepAlives = 0;
    if (CwoipWire::speedValid(speed))
        m_speed = speed;
    const int units = CwoipWire::durationClass(c);
    if (m_text.size() + alreadyQueued >= WaitingLimit
        || backlogUnits(nowMs) + m_textUnits + units > BacklogLimitUnits) {
        ++m_dropped;
        return false;
    }
    m_text += c;
    m_textUnits += units;
    m_units += units;
    if (m_units < HandOverUnits && !CwoipWire::endsWord(c))
        return false;
    m_tickMs = qRound(m_units * CwoipWire::unitMs(m_speed));
    return true;
}

QByteArray CwoipPacer::takeText(qint64 nowMs)
{
    m_busyUntilMs = qMax(m_busyUntilMs, double(nowMs)) + m_textUnits * CwoipWire::unitMs(m_speed);
    m_textUnits = 0;
    return std::exchange(m_text, {});
}

double CwoipPacer::backlogUnits(qint64 nowMs) const
{
    return qMax(0.0, m_busyUntilMs - double(nowMs)) / CwoipWire::unitMs(m_speed);
}

void CwoipPacer::clear()
{
    // What the keyer was handed before is still sounding: the backlog stays.
    m_text.clear();
    m_textUnits = 0;
    m_units = 0;
    m_keepAlives = 0;
    m_dropped = 0;
}
