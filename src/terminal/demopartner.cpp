#include "demopartner.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

DemoPartner::DemoPartner()
    : m_stations{{u"PA3XYZ"_s, u"HANS"_s, u"AMSTERDAM"_s, u"579"_s},
                 {u"G4ABC"_s, u"BOB"_s, u"LONDON"_s, u"559"_s},
                 {u"OK1DEF"_s, u"PAVEL"_s, u"PRAGUE"_s, u"599"_s}}
{
}

void DemoPartner::keyed(const QString &text)
{
    m_heard += text;
}

QString DemoPartner::answer()
{
    static const QRegularExpression separators(u"[^A-Z0-9/?]+"_s);
    const QStringList words = m_heard.toUpper().split(separators, Qt::SkipEmptyParts);
    m_heard.clear();
    if (words.isEmpty())
        return {};
    return exchange(words);
}

QString DemoPartner::exchange(const QStringList &words)
{
    const Station &us = station();
    // "... DE CALL ..." names the caller; the first such word after our own
    // call's mention is the operator's.
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        if (words.at(i) == u"DE"_s && words.at(i + 1) != us.call)
            m_ourCall = words.at(i + 1);
    }
    const QString them = m_ourCall.isEmpty() ? u"?"_s : m_ourCall;
    const bool cq = words.contains(u"CQ"_s);
    const bool toUs = words.contains(us.call);
    const bool goodbye = words.contains(u"73"_s) || words.contains(u"SK"_s) || words.contains(u"TU"_s);
    const bool report = std::any_of(words.cbegin(), words.cend(), [](const QString &word) {
        static const QRegularExpression rst(u"^[1-5][1-9N][1-9N]$"_s);
        return rst.match(word).hasMatch() || word == u"RST"_s;
    });

    if (cq && !toUs) {
        m_stage = Stage::Called;
        return u"%1 DE %2 %2 K"_s.arg(them, us.call);
    }
    if (toUs && goodbye && m_stage != Stage::Listening) {
        const QString line = u"%1 DE %2 TNX FER QSO 73 GL SK"_s.arg(them, us.call);
        m_stage = Stage::Listening;
        m_next = (m_next + 1) % int(m_stations.size());
        return line;
    }
    if (toUs && report) {
        m_stage = Stage::Reported;
        return u"R R %1 DE %2 TNX FER RPT UR RST %3 %3 NAME %4 %4 QTH %5 %5 HW? %1 DE %2 K"_s.arg(
            them, us.call, us.report, us.name, us.qth);
    }
    if (toUs)
        return u"%1 DE %2 PSE RPT? K"_s.arg(them, us.call);
    return {};
}
