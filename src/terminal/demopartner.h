#pragma once

#include <QString>
#include <QStringList>

// The other station of the demo: reads what our keyer keyed and, once a
// transmission is over, answers as a ham on the air would: a CQ with its
// call, a report with its own report, name and QTH, a "73" with its
// goodbye. The demo has no receiver, so the answer is text for the demo
// window, not keying.
class DemoPartner
{
public:
    struct Station
    {
        QString call, name, qth, report;
    };

    DemoPartner();

    // Characters as the monitor shows them.
    void keyed(const QString &text);
    // The transmission is over: the answer, or empty when there is none.
    QString answer();
    // The station that answers now.
    const Station &station() const { return m_stations.at(m_next); }

private:
    enum class Stage { Listening, Called, Reported };
    QString exchange(const QStringList &words);

    QList<Station> m_stations;
    int m_next = 0;
    QString m_heard;
    QString m_ourCall;
    Stage m_stage = Stage::Listening;
};
