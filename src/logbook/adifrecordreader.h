#pragma once

#include <QByteArray>

#include <array>
#include <cstring>
#include <functional>

class QIODevice;

// The ADIF tags the converter reads.
enum class AdifTag {
    Call, Mode, QsoDate, TimeOn, TimeOff, Band, Freq, Notes, Comment, Srx, Stx,
    StationCallsign, Operator, Name, QslVia, Qth, RstRcvd, RstSent,
};
constexpr int AdifTagCount = int(AdifTag::RstSent) + 1;

// The values of one record: the first occurrence of each tag, as raw bytes
// of the file (at most ValueLimit of them; the converter keeps only 27
// characters anyway).
struct AdifFields
{
    static constexpr int ValueLimit = 160;

    std::array<bool, AdifTagCount> present{};
    int fieldCount = 0; // every field seen, read or not

    bool has(AdifTag tag) const { return present[int(tag)]; }
    QByteArrayView value(AdifTag tag) const
    {
        const int i = int(tag);
        return QByteArrayView(m_storage[i], present[i] ? m_sizes[i] : 0);
    }
    // readable: bytes that may be read from value.data(), at least its size;
    // a short value is then copied as one fixed-size block.
    void set(AdifTag tag, QByteArrayView value, qsizetype readable = 0)
    {
        const int i = int(tag);
        if (present[i])
            return;
        present[i] = true;
        const qsizetype size = value.size() < ValueLimit ? value.size() : ValueLimit;
        m_sizes[i] = size;
        if (size <= ShortValue && readable >= ShortValue)
            std::memcpy(m_storage[i], value.data(), ShortValue);
        else
            std::memcpy(m_storage[i], value.data(), size_t(size));
    }
    void clear()
    {
        present.fill(false);
        fieldCount = 0;
    }

private:
    static constexpr qsizetype ShortValue = 32;

    // A fixed place for each value: no allocation from record to record.
    char m_storage[AdifTagCount][ValueLimit];
    std::array<qsizetype, AdifTagCount> m_sizes{};
};

// Reads ADIF records from a device in large blocks, whatever the file's
// size, keeping only the unread part of the current block.
//
// A file whose first byte is not "<" has a header that ends with <EOH>; a
// file that turns out to have no <EOH> at all is read again from its first
// byte as a file without header. Tags are found case-insensitively and
// their whole length is read. A length counts characters: where the file
// holds UTF-8, a multi-byte sequence is one character, unless counting so
// would run into the next tag, in which case the writer counted bytes.
class AdifRecordReader
{
public:
    enum class Result { Record, Unterminated, End };

    explicit AdifRecordReader(QIODevice *device);

    // Record: *fields holds a record that ended with <EOR>. Unterminated:
    // the file ended inside a record that had fields. End: nothing more.
    Result next(AdifFields *fields);

    // Bytes consumed so far; called with (consumed, total) after each block.
    qint64 position() const { return m_base + m_pos; }
    void setProgress(std::function<void(qint64, qint64)> progress) { m_progress = std::move(progress); }

private:
    bool fill();
    bool ensure(qsizetype bytes);
    bool skipHeader();
    bool findEndOfHeader();
    bool asciiSpan(qint64 length) const;
    qsizetype valueSpan(qint64 length);

    QIODevice *m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_base = 0;
    qint64 m_total = 0;
    bool m_eof = false;
    bool m_started = false;
    std::function<void(qint64, qint64)> m_progress;
};
