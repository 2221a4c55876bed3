#include "randomsource.h"

#include <QDateTime>

RandomSource RandomSource::fromClock()
{
    return RandomSource(quint32(QDateTime::currentMSecsSinceEpoch()));
}

double RandomSource::next()
{
    if (m_script.isEmpty())
        return m_generator.generateDouble();
    const double value = m_script.at(m_position);
    m_position = (m_position + 1) % m_script.size();
    return value;
}
