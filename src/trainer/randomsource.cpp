#include "randomsource.h"

#include <QDateTime>

#include <cmath>

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

int roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    const auto whole = qint64(floor);
    if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0))
        return int(whole + 1);
    return int(whole);
}
