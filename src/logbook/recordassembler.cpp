#include "recordassembler.h"

#include "logrecord.h"

#include <cstring>

namespace {

constexpr char ETX = 3;

} // namespace

RecordAssembler::Feed RecordAssembler::feed(QByteArrayView chunk, const Deliver &deliver)
{
    const bool endsLog = !chunk.isEmpty() && chunk.front() == ETX;
    const char *data = chunk.data();
    qsizetype from = 0;
    while (from < chunk.size()) {
        const void *found = std::memchr(data + from, '\r', size_t(chunk.size() - from));
        if (!found)
            break;
        const qsizetype cr = static_cast<const char *>(found) - data;
        m_pending.append(data + from, cr - from);
        if (m_pending.size() < LogRecord::Length)
            m_pending.append(LogRecord::Length - m_pending.size(), ' ');
        else
            m_pending.truncate(LogRecord::Length);
        const bool kept = deliver(m_pending);
        // resize keeps the capacity: no allocation from record to record.
        m_pending.resize(0);
        if (!kept)
            return Feed::Refused;
        from = cr + 1;
    }
    m_pending.append(data + from, chunk.size() - from);
    // A keyer that sends ETX right behind the last CR ends the log in the
    // same chunk; waiting for more would only wait for the silence.
    if (endsLog || m_pending.startsWith(ETX))
        return Feed::End;
    return Feed::More;
}
