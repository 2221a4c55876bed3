#include "simulatedlog.h"

#include "bandtable.h"
#include "logtimestamp.h"
#include "payloadcodec.h"

using PayloadCodec::Dec;

namespace {

constexpr char MiddleDot = char(183);

// Call, name and QTH as the keyer stores them: separated by NUL, blanks as
// "_"; the last of the 27 bytes stays NUL, so that marking a record deleted
// and back loses nothing.
void setText(LogRecord &record, QByteArrayView call, QByteArrayView name, QByteArrayView qth)
{
    QByteArray bytes;
    bytes.append(call).append('\0').append(name).append('\0').append(qth);
    bytes.replace(' ', '_');
    bytes.truncate(TextBlock::Size - 1);
    record.textBlock = bytes.leftJustified(TextBlock::Size, '\0');
}

bool markDeleted(LogRecord &record, bool deleted)
{
    const TextBlock text = record.text();
    if (text.call.startsWith('-') == deleted)
        return false;
    setText(record, deleted ? '-' + text.call : text.call.sliced(1), text.first, text.second);
    return true;
}

QByteArray timestamp(const QDateTime &utc)
{
    return LogTimestamp::fromDateTime(utc).encode();
}

// "dd-mm-yy" of the start of the QSO.
QByteArray dateOf(const LogRecord &record)
{
    const auto start = LogTimestamp::decode(record.start);
    if (!start)
        return {};
    return Dec(start->day, 2) + '-' + Dec(start->month, 2) + '-' + Dec(start->year % 100, 2);
}

// Right-aligned and filled with "0", as the keyer keeps a report.
QByteArray reportField(QByteArrayView digits)
{
    return digits.toByteArray().right(4).rightJustified(4, '0');
}

quint8 stationFlags(const SimulatedLog::Station &station)
{
    quint8 flags = quint8(station.band) & LogFlags::BandMask;
    if (station.user2)
        flags |= LogFlags::User2;
    if (station.contest)
        flags |= LogFlags::Contest;
    if (station.ssb)
        flags |= LogFlags::SSB;
    return flags;
}

} // namespace

SimulatedLog::Station SimulatedLog::Station::of(const ConfigRecord &config, const QDateTime &now)
{
    Station station;
    station.band = config.band & LogFlags::BandMask;
    station.user2 = config.optionWord & Option::User2;
    station.contest = config.optionWord & Option::ContestMode;
    station.ssb = config.optionWord & Option::SSB;
    station.logSearch = !(config.optionWord & Option::LogSearchOff);
    station.nextSerial = config.serialNumber;
    station.now = now;
    return station;
}

void SimulatedLog::resize(int count, const Station &station)
{
    count = qMax(0, count);
    if (count < m_records.size()) {
        m_records.resize(count);
        if (m_editIndex >= count)
            m_editIndex = -1;
    }
    while (m_records.size() < count)
        m_records.append(makeRecord("QSO" + QByteArray::number(m_records.size() + 1), station));
}

void SimulatedLog::addContact(QByteArrayView call, QByteArrayView name, QByteArrayView qth, const Station &station)
{
    LogRecord record = makeRecord(call, station);
    setText(record, call, name, qth);
    m_records.append(record);
}

QByteArray SimulatedLog::exportFrom(int start) const
{
    QByteArray bytes;
    for (qsizetype i = qMax(0, start); i < m_records.size(); ++i)
        bytes.append(m_records.at(i).encode()).append('\r');
    return bytes;
}

QByteArray SimulatedLog::call() const
{
    return open().text().call;
}

void SimulatedLog::recordCall(QByteArrayView call, const Station &station)
{
    LogRecord &record = open();
    const TextBlock text = record.text();
    if (!isEditing() && text.call.isEmpty()) {
        // The QSO starts with its call; reports given before it stay.
        record.start = timestamp(station.now);
        record.flags = stationFlags(station);
        for (QByteArray *report : {&record.rstReceived, &record.rstSent}) {
            if (station.ssb && *report == "0599")
                *report = "0059";
        }
    }
    // A deleted record stays deleted under its new call.
    const QByteArray mark = isEditing() && text.call.startsWith('-') ? "-" : "";
    setText(record, mark + call.toByteArray(), text.first, text.second);
}

void SimulatedLog::recordPiece(QByteArrayView piece)
{
    LogRecord &record = open();
    TextBlock text = record.text();
    int &next = nextPiece();
    (next == 0 ? text.first : text.second) = piece.toByteArray();
    next = 1 - next;
    setText(record, text.call, text.first, text.second);
}

void SimulatedLog::recordReceivedReport(QByteArrayView digits)
{
    open().rstReceived = reportField(digits);
}

void SimulatedLog::recordSentReport(QByteArrayView digits)
{
    open().rstSent = reportField(digits);
}

void SimulatedLog::recordReceivedSerial(qint32 serial)
{
    LogRecord &record = open();
    // A stored record without serial numbers holds its end time there.
    if (isEditing() && !record.isContest())
        return;
    record.endOrSerials = Dec(serial, 6) + record.endOrSerials.right(6);
}

void SimulatedLog::clear()
{
    if (isEditing()) {
        m_editIndex = -1;
        return;
    }
    m_qso = LogRecord();
    m_qsoPiece = 0;
}

int SimulatedLog::store(const Station &station)
{
    if (isEditing()) {
        const int index = m_editIndex;
        m_records[index] = m_edited;
        m_editIndex = -1;
        return index;
    }
    const QByteArray call = m_qso.text().call;
    if (call.isEmpty())
        return -1;
    LogRecord record = m_qso;
    // Band, user and mode as they are when the QSO ends.
    record.flags = stationFlags(station);
    for (const LogRecord &earlier : std::as_const(m_records)) {
        if (earlier.bandIndex() == record.bandIndex() && earlier.text().call == call) {
            record.flags |= LogFlags::Duplicate;
            break;
        }
    }
    if (station.contest)
        record.endOrSerials = record.endOrSerials.left(6) + Dec(station.nextSerial, 6);
    else
        record.endOrSerials = timestamp(station.now);
    m_records.append(record);
    clear();
    return count() - 1;
}

bool SimulatedLog::edit(int index)
{
    if (index < 0 || index >= count())
        return false;
    m_edited = m_records.at(index);
    m_editIndex = index;
    m_editPiece = 0;
    return true;
}

int SimulatedLog::previousContact(QByteArrayView call, int before) const
{
    for (int i = qMin(before, count()) - 1; i >= 0; --i) {
        if (m_records.at(i).text().call == call)
            return i;
    }
    return -1;
}

bool SimulatedLog::setDeleted(int index, bool deleted)
{
    if (index < 0 || index >= count() || !markDeleted(m_records[index], deleted))
        return false;
    if (index == m_editIndex)
        markDeleted(m_edited, deleted);
    return true;
}

QByteArray SimulatedLog::callReport(const Station &station) const
{
    const LogRecord &record = open();
    const TextBlock text = record.text();
    if (text.call.isEmpty())
        return QByteArray(1, MiddleDot);
    QByteArray name = text.first;
    QByteArray qth = text.second;
    QByteArray date;
    if (isEditing()) {
        date = dateOf(record);
    } else if (station.logSearch) {
        // What the log knows of the station from the last time.
        const int earlier = previousContact(text.call, count());
        if (earlier >= 0) {
            const TextBlock known = m_records.at(earlier).text();
            if (name.isEmpty() && qth.isEmpty()) {
                name = known.first;
                qth = known.second;
            }
            date = dateOf(m_records.at(earlier));
        }
    }
    QByteArrayList words;
    for (const QByteArray &word : {name, qth, date}) {
        if (!word.isEmpty())
            words.append(word);
    }
    if (record.isContest() && record.receivedSerial().toInt() > 0)
        words.append("NR " + QByteArray::number(record.receivedSerial().toInt()));
    // The last 18 characters: reports sent and received, band and mode.
    words.append(record.reportSent().rightJustified(3, ' ') + ' ' + record.reportReceived().rightJustified(3, ' ')
                 + ' ' + BandTable::name(record.bandIndex()).rightJustified(5, ' ') + ' '
                 + QByteArray(record.isSSB() ? "SSB" : "CW").rightJustified(4, ' '));
    return text.call + MiddleDot + words.join(' ');
}

LogRecord SimulatedLog::makeRecord(QByteArrayView call, const Station &station) const
{
    LogRecord record;
    Station normal = station;
    normal.contest = false;
    record.flags = stationFlags(normal);
    if (station.ssb)
        record.rstReceived = record.rstSent = "0059";
    record.start = record.endOrSerials = timestamp(station.now);
    setText(record, call, {}, {});
    return record;
}
