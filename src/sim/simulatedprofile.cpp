#include "simulatedprofile.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char StopTransfer = 18;
constexpr char XOn = 17;
constexpr char XOff = 19;

} // namespace

SimulatedProfile::SimulatedProfile(QObject *parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(300);
    connect(&m_quiet, &QTimer::timeout, this, &SimulatedProfile::finish);
}

void SimulatedProfile::begin()
{
    m_loading = true;
    m_received = false;
    m_pending.clear();
    m_incoming.clear();
}

void SimulatedProfile::take(QByteArray &input)
{
    const qsizetype stop = input.indexOf(StopTransfer);
    const QByteArray bytes = stop < 0 ? std::exchange(input, {}) : input.first(stop);
    for (const char c : bytes) {
        if (c == XOn || c == XOff)
            continue;
        if (c != '\r') {
            m_pending += c;
            continue;
        }
        emit journal(u"profile "_s + readable(m_pending));
        m_incoming += std::exchange(m_pending, {});
    }
    m_received = m_received || !bytes.isEmpty();
    if (stop >= 0) {
        input.remove(0, stop + 1);
        abandon();
        emit journal(u"stop"_s);
        return;
    }
    // The quiet time runs from the last byte; the pause before the first
    // record is the host's.
    if (m_received)
        m_quiet.start();
}

void SimulatedProfile::abandon()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_quiet.stop();
    emit journal(u"profile abandoned"_s);
}

void SimulatedProfile::finish()
{
    if (!m_pending.isEmpty())
        emit journal(u"profile unended "_s + readable(m_pending));
    m_loading = false;
    m_records = std::exchange(m_incoming, {});
    emit journal(u"profile loaded %1"_s.arg(m_records.size()));
    if (m_answer == Answer::Normal)
        emit loaded();
}

void SimulatedProfile::journalRecords()
{
    for (const QByteArray &record : std::as_const(m_records))
        emit journal(u"profile "_s + readable(record));
    emit journal(u"profile held %1"_s.arg(m_records.size()));
}

// Printable ASCII as itself, every other byte as \xHH, so that a record is
// one journal line and shows exactly what came.
QString SimulatedProfile::readable(const QByteArray &record)
{
    QString text;
    for (const char c : record) {
        const auto code = quint8(c);
        if (code >= 0x20 && code < 0x7F)
            text += QLatin1Char(c);
        else
            text += u"\\x"_s + QString::number(code, 16).rightJustified(2, u'0').toUpper();
    }
    return text;
}
