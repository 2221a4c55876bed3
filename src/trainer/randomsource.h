#pragma once

#include <QList>
#include <QRandomGenerator>

// The lesson generator's uniform draws r in [0, 1). The program seeds it
// from the clock once; tests seed it, or script the values it returns.
class RandomSource
{
public:
    explicit RandomSource(quint32 seed) : m_generator(seed) {}
    // Returns these values in turn, over and over.
    explicit RandomSource(QList<double> script) : m_script(std::move(script)) {}
    static RandomSource fromClock();

    double next();

private:
    QRandomGenerator m_generator;
    QList<double> m_script;
    qsizetype m_position = 0;
};
