#include "adifrecordreader.h"

#include "ansitext.h"

#include <QIODevice>

#include <cstring>

namespace {

constexpr qint64 BlockBytes = 1 << 20;
// A tag longer than this between "<" and ">" is text, not a tag.
constexpr qsizetype MaxTagLength = 96;
// Longer values are stepped over, not held.
constexpr qint64 HugeValue = 1 << 20;

struct KnownTag
{
    const char *name;
    AdifTag tag;
};

constexpr qsizetype nameLength(const char *name)
{
    qsizetype n = 0;
    while (name[n])
        ++n;
    return n;
}

constexpr KnownTag KnownTags[] = {
    {"CALL", AdifTag::Call}, {"MODE", AdifTag::Mode}, {"QSO_DATE", AdifTag::QsoDate},
    {"TIME_ON", AdifTag::TimeOn}, {"TIME_OFF", AdifTag::TimeOff}, {"BAND", AdifTag::Band},
    {"FREQ", AdifTag::Freq}, {"NOTES", AdifTag::Notes}, {"COMMENT", AdifTag::Comment},
    {"SRX", AdifTag::Srx}, {"STX", AdifTag::Stx}, {"STATION_CALLSIGN", AdifTag::StationCallsign},
    {"OPERATOR", AdifTag::Operator}, {"NAME", AdifTag::Name}, {"QSL_VIA", AdifTag::QslVia},
    {"QTH", AdifTag::Qth}, {"RST_RCVD", AdifTag::RstRcvd}, {"RST_SENT", AdifTag::RstSent},
};

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 0x20) : c;
}

bool equalsUpper(QByteArrayView text, const char *upperName)
{
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        if (upperName[i] == '\0' || upper(text[i]) != upperName[i])
            return false;
    }
    return upperName[i] == '\0';
}

int knownTag(QByteArrayView name)
{
    if (name.isEmpty())
        return -1;
    const char first = upper(name.front());
    for (const KnownTag &known : KnownTags) {
        if (known.name[0] == first && nameLength(known.name) == name.size() && equalsUpper(name, known.name))
            return int(known.tag);
    }
    return -1;
}

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

void AdifFields::set(AdifTag tag, QByteArrayView value)
{
    const int i = int(tag);
    if (present[i])
        return;
    present[i] = true;
    const qsizetype size = qMin<qsizetype>(value.size(), ValueLimit);
    m_spans[i] = {m_storage.size(), size};
    m_storage.append(value.data(), size);
}

void AdifFields::clear()
{
    present.fill(false);
    m_spans.fill({0, 0});
    m_storage.resize(0);
    fieldCount = 0;
}

AdifRecordReader::AdifRecordReader(QIODevice *device)
    : m_device(device)
{
    m_total = device->isSequential() ? 0 : device->size() - device->pos();
}

bool AdifRecordReader::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_base += m_pos;
        m_pos = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + BlockBytes);
    const qint64 got = m_device->read(m_buffer.data() + old, BlockBytes);
    m_buffer.resize(old + qMax<qint64>(got, 0));
    if (got <= 0)
        m_eof = true;
    if (m_progress)
        m_progress(m_base + m_buffer.size(), m_total);
    return got > 0;
}

bool AdifRecordReader::ensure(qsizetype bytes)
{
    while (m_buffer.size() - m_pos < bytes) {
        if (!fill())
            return false;
    }
    return true;
}

bool AdifRecordReader::findEndOfHeader()
{
    for (;;) {
        const char *data = m_buffer.constData();
        const void *hit = std::memchr(data + m_pos, '<', size_t(m_buffer.size() - m_pos));
        if (!hit) {
            m_pos = m_buffer.size();
            if (!fill())
                return false;
            continue;
        }
        m_pos = static_cast<const char *>(hit) - data;
        if (!ensure(5) && m_buffer.size() - m_pos < 5)
            return false;
        if (equalsUpper(QByteArrayView(m_buffer.constData() + m_pos, 5), "<EOH>")) {
            m_pos += 5;
            return true;
        }
        ++m_pos;
    }
}

bool AdifRecordReader::skipHeader()
{
    if (!ensure(1))
        return m_buffer.size() > m_pos;
    if (m_buffer[m_pos] == '<')
        return true;
    if (findEndOfHeader())
        return true;
    // No <EOH> anywhere: the records start at the first byte after all.
    if (!m_device->seek(m_device->pos() - (m_base + m_buffer.size())))
        return false;
    m_buffer.clear();
    m_pos = 0;
    m_base = 0;
    m_eof = false;
    return true;
}

qsizetype AdifRecordReader::valueSpan(qint64 length)
{
    if (length <= 0)
        return 0;
    // A value of n characters holds at most 4n bytes.
    ensure(qsizetype(length * 4));
    const qsizetype available = m_buffer.size() - m_pos;
    const qsizetype bytes = qsizetype(qMin<qint64>(length, available));
    const auto *data = reinterpret_cast<const uchar *>(m_buffer.constData() + m_pos);
    // Plain ASCII, by far the most common: characters are bytes.
    qsizetype ascii = 0;
    while (ascii + 8 <= bytes) {
        quint64 word;
        std::memcpy(&word, data + ascii, 8);
        if (word & 0x8080808080808080ULL)
            break;
        ascii += 8;
    }
    while (ascii < bytes && data[ascii] < 0x80)
        ++ascii;
    if (ascii == length)
        return bytes;
    qsizetype i = 0;
    qint64 characters = 0;
    while (characters < length && i < available) {
        if (data[i] < 0x80) {
            ++i;
        } else {
            char32_t codePoint;
            const int sequence = AnsiText::utf8SequenceLength(data + i, available - i, &codePoint);
            i += sequence > 0 ? sequence : 1;
        }
        ++characters;
    }
    if (i > bytes && std::memchr(data + bytes, '<', size_t(i - bytes)))
        return bytes;
    return i;
}

AdifRecordReader::Result AdifRecordReader::next(AdifFields *fields)
{
    fields->clear();
    if (!m_started) {
        m_started = true;
        if (!skipHeader())
            return Result::End;
    }
    for (;;) {
        const char *data = m_buffer.constData();
        // The next tag mostly follows a line break or nothing at all.
        const qsizetype near = qMin<qsizetype>(m_buffer.size(), m_pos + 4);
        while (m_pos < near && data[m_pos] != '<')
            ++m_pos;
        const void *hit = m_pos < near ? data + m_pos
                                       : std::memchr(data + m_pos, '<', size_t(m_buffer.size() - m_pos));
        if (!hit) {
            m_pos = m_buffer.size();
            if (fill())
                continue;
            return fields->fieldCount > 0 ? Result::Unterminated : Result::End;
        }
        m_pos = static_cast<const char *>(hit) - data;
        if (m_buffer.size() - m_pos < MaxTagLength + 2)
            ensure(MaxTagLength + 2);
        data = m_buffer.constData();
        const qsizetype limit = qMin<qsizetype>(m_buffer.size(), m_pos + MaxTagLength + 2);
        // One pass finds the end of the tag and its colons.
        qsizetype close = -1;
        qsizetype colon = -1;
        qsizetype typeColon = -1;
        for (qsizetype i = m_pos + 1; i < limit; ++i) {
            const char c = data[i];
            if (c == '>') {
                close = i;
                break;
            }
            if (c == '<')
                break;
            if (c == ':') {
                if (colon < 0)
                    colon = i;
                else if (typeColon < 0)
                    typeColon = i;
            }
        }
        if (close < 0) {
            ++m_pos;
            continue;
        }
        const QByteArrayView name(data + m_pos + 1, (colon < 0 ? close : colon) - m_pos - 1);
        bool isName = !name.isEmpty();
        for (char c : name)
            isName = isName && isNameChar(c);
        if (!isName) {
            ++m_pos;
            continue;
        }
        if (colon < 0) {
            m_pos = close + 1;
            if (equalsUpper(name, "EOR"))
                return Result::Record;
            if (equalsUpper(name, "EOH"))
                fields->clear(); // what came before was a header after all
            continue;
        }
        const QByteArrayView lengthText(data + colon + 1, (typeColon < 0 ? close : typeColon) - colon - 1);
        // Every digit counts; a length past any file's size saturates.
        qint64 length = 0;
        bool digits = !lengthText.isEmpty();
        for (char c : lengthText) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            length = qMin<qint64>(length * 10 + (c - '0'), qint64(1) << 50);
        }
        if (!digits) {
            ++m_pos;
            continue;
        }
        const int tag = knownTag(name);
        m_pos = close + 1;
        ++fields->fieldCount;
        if (length > HugeValue) {
            // Stepped over block by block, so memory stays flat.
            if (tag >= 0)
                fields->set(AdifTag(tag), QByteArrayView(m_buffer).sliced(m_pos));
            qint64 remaining = length;
            while (remaining > m_buffer.size() - m_pos) {
                remaining -= m_buffer.size() - m_pos;
                m_pos = m_buffer.size();
                if (!fill())
                    break;
            }
            m_pos += qsizetype(qMin<qint64>(remaining, m_buffer.size() - m_pos));
            continue;
        }
        const qsizetype span = valueSpan(length); // may move the buffer's start
        if (tag >= 0)
            fields->set(AdifTag(tag), QByteArrayView(m_buffer.constData() + m_pos, span));
        m_pos += span;
    }
}
