#include "cwoippacer.h"

#include "cwoipwire.h"

#include <QtGlobal>

bool CwoipPacer::addCharacter(int speed, char c, qsizetype alreadyQueued)
{
    m_keepAlives = 0;
    if (CwoipWire::speedValid(speed))
        m_speed = speed;
    if (m_text.size() + alreadyQueued >= WaitingLimit) {
        ++m_dropped;
        return false;
    }
    m_text += c;
    m_units += CwoipWire::durationClass(c);
    if (m_units < HandOverUnits && !CwoipWire::endsWord(c))
        return false;
    m_tickMs = qRound(m_units * CwoipWire::unitMs(m_speed));
    return true;
}

void CwoipPacer::clear()
{
    m_text.clear();
    m_units = 0;
    m_keepAlives = 0;
    m_dropped = 0;
}
