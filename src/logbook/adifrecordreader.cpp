#include "adifrecordreader.h"

#include "ansitext.h"

#include <QIODevice>

#include <QtEndian>

#include <array>
#include <cstring>
#include <string_view>

namespace {

constexpr qint64 BlockBytes = 1 << 20;
// A tag longer than this between "<" and ">" is text, not a tag.
constexpr qsizetype MaxTagLength = 96;
// Longer values are stepped over, not held.
constexpr qint64 HugeValue = 1 << 20;

// Tag names are matched as up to 16 upper-case bytes in two words.
struct PackedName
{
    quint64 low = 0;
    quint64 high = 0;

    bool operator==(const PackedName &) const = default;
};

constexpr PackedName pack(std::string_view name)
{
    PackedName packed;
    for (size_t i = 0; i < name.size() && i < 16; ++i) {
        if (i < 8)
            packed.low |= quint64(uchar(name[i])) << (8 * i);
        else
            packed.high |= quint64(uchar(name[i])) << (8 * (i - 8));
    }
    return packed;
}

struct KnownTag
{
    PackedName name;
    qsizetype length;
    AdifTag tag;
};

constexpr KnownTag known(std::string_view name, AdifTag tag)
{
    return {pack(name), qsizetype(name.size()), tag};
}

constexpr KnownTag KnownTags[] = {
    known("CALL", AdifTag::Call), known("MODE", AdifTag::Mode), known("QSO_DATE", AdifTag::QsoDate),
    known("TIME_ON", AdifTag::TimeOn), known("TIME_OFF", AdifTag::TimeOff), known("BAND", AdifTag::Band),
    known("FREQ", AdifTag::Freq), known("NOTES", AdifTag::Notes), known("COMMENT", AdifTag::Comment),
    known("SRX", AdifTag::Srx), known("STX", AdifTag::Stx), known("STATION_CALLSIGN", AdifTag::StationCallsign),
    known("OPERATOR", AdifTag::Operator), known("NAME", AdifTag::Name), known("QSL_VIA", AdifTag::QslVia),
    known("QTH", AdifTag::Qth), known("RST_RCVD", AdifTag::RstRcvd), known("RST_SENT", AdifTag::RstSent),
};
constexpr PackedName EndOfRecord = pack("EOR");
constexpr PackedName EndOfHeader = pack("EOH");

enum CharClass : uchar { NameChar = 1, Digit = 2 };

constexpr std::array<uchar, 256> makeClasses()
{
    std::array<uchar, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
            classes[c] = NameChar;
        else if (c >= '0' && c <= '9')
            classes[c] = NameChar | Digit;
    }
    return classes;
}
constexpr std::array<uchar, 256> Classes = makeClasses();

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

// Lower-case letters to upper case, eight name characters at a time: only
// letters reach 0x60, and adding 0x20 carries those (and nothing else) into
// the top bit.
quint64 upperWord(quint64 word)
{
    return word & ~(((word + 0x2020202020202020ULL) & 0x8080808080808080ULL) >> 2);
}

quint64 lowBytes(qsizetype count)
{
    return count >= 8 ? ~quint64(0) : (quint64(1) << (8 * count)) - 1;
}

// A name of name characters, at most 16 of them, packed in upper case;
// end is how far the buffer may be read.
PackedName packName(const char *name, qsizetype length, const char *end)
{
    char copy[16] = {};
    const char *from = name;
    if (end - name < 16) {
        std::memcpy(copy, name, size_t(length));
        from = copy;
    }
    PackedName packed;
    packed.low = upperWord(qFromLittleEndian<quint64>(from) & lowBytes(length));
    packed.high = length > 8 ? upperWord(qFromLittleEndian<quint64>(from + 8) & lowBytes(length - 8)) : 0;
    return packed;
}

// Each known name has a slot of its own under this multiplier.
constexpr quint64 SlotFactor = 0x26d0b944a2863a7fULL;
constexpr int SlotBits = 6;

constexpr int slotOf(const PackedName &name)
{
    return int((name.low * SlotFactor) >> (64 - SlotBits));
}

struct Slots
{
    std::array<signed char, 1 << SlotBits> entry{};
    bool distinct = true;
};

constexpr Slots makeSlots()
{
    Slots table;
    table.entry.fill(-1);
    for (size_t i = 0; i < std::size(KnownTags); ++i) {
        signed char &entry = table.entry[size_t(slotOf(KnownTags[i].name))];
        table.distinct = table.distinct && entry < 0;
        entry = static_cast<signed char>(i);
    }
    return table;
}
constexpr Slots TagSlots = makeSlots();
static_assert(TagSlots.distinct, "two tag names share a slot");

int knownTag(const PackedName &name, qsizetype length)
{
    const int entry = TagSlots.entry[size_t(slotOf(name))];
    if (entry < 0)
        return -1;
    const KnownTag &tag = KnownTags[entry];
    return tag.length == length && tag.name == name ? int(tag.tag) : -1;
}

} // namespace

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

bool AdifRecordReader::asciiSpan(qint64 length) const
{
    const qsizetype available = m_buffer.size() - m_pos;
    if (length > available)
        return false;
    const char *data = m_buffer.constData() + m_pos;
    qsizetype i = 0;
    for (; i + 8 <= length; i += 8) {
        if (qFromLittleEndian<quint64>(data + i) & 0x8080808080808080ULL)
            return false;
    }
    if (i == length)
        return true;
    // The last few bytes: a whole word when the buffer has one there.
    if (available - i >= 8)
        return !(qFromLittleEndian<quint64>(data + i) & 0x8080808080808080ULL & lowBytes(length - i));
    for (; i < length; ++i) {
        if (uchar(data[i]) >= 0x80)
            return false;
    }
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
        // A tag is "<", name characters, and either ">" or ":", the length's
        // digits, and ">" or ":" + a type up to ">"; all within the limit.
        const char *const end = data + m_buffer.size();
        const char *const limit = data + qMin<qsizetype>(m_buffer.size(), m_pos + MaxTagLength + 2);
        const char *const name = data + m_pos + 1;
        const char *p = name;
        while (p < limit && (Classes[uchar(*p)] & NameChar))
            ++p;
        if (p == name || p == limit || (*p != '>' && *p != ':')) {
            ++m_pos;
            continue;
        }
        const qsizetype nameLength = p - name;
        if (*p == '>') {
            m_pos = p + 1 - data;
            if (nameLength == 3) {
                const PackedName packed = packName(name, nameLength, end);
                if (packed == EndOfRecord)
                    return Result::Record;
                if (packed == EndOfHeader)
                    fields->clear(); // what came before was a header after all
            }
            continue;
        }
        // Every digit counts; a length past any file's size saturates.
        const char *q = p + 1;
        qint64 length = 0;
        while (q < limit && (Classes[uchar(*q)] & Digit)) {
            length = qMin<qint64>(length * 10 + (*q - '0'), qint64(1) << 50);
            ++q;
        }
        if (q == p + 1 || q == limit || (*q != '>' && *q != ':')) {
            ++m_pos;
            continue;
        }
        if (*q == ':') {
            while (q < limit && *q != '>' && *q != '<')
                ++q;
            if (q == limit || *q != '>') {
                ++m_pos;
                continue;
            }
        }
        const qsizetype close = q - data;
        const int tag = nameLength <= 16 ? knownTag(packName(name, nameLength, end), nameLength) : -1;
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
        const qsizetype span = asciiSpan(length) ? qsizetype(length) : valueSpan(length); // may move the buffer
        if (tag >= 0) {
            fields->set(AdifTag(tag), QByteArrayView(m_buffer.constData() + m_pos, span),
                        m_buffer.size() - m_pos);
        }
        m_pos += span;
    }
}
