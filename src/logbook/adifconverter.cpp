#include "adifconverter.h"

#include "ansitext.h"
#include "bandtable.h"
#include "logrecord.h"
#include "nativelogfile.h"
#include "textblock.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

constexpr int ValueCharacters = 27;
constexpr int MaxCallLength = 13;
constexpr qint64 ListedRejects = 100;
constexpr qsizetype OutputRecords = 728;
constexpr char HexDigits[] = "0123456789ABCDEF";

// A field value as the converter uses it, without touching the heap:
// at most 27 Windows-1252 characters.
struct Value
{
    char data[ValueCharacters + 1];
    int size = 0;
    bool lossy = false;

    QByteArrayView view() const { return QByteArrayView(data, size); }
    std::string_view text() const { return std::string_view(data, size_t(size)); }
    bool isEmpty() const { return size == 0; }
    bool contains(std::string_view word) const { return text().find(word) != std::string_view::npos; }
    bool operator==(std::string_view other) const { return text() == other; }
};

// ASCII as the converter keeps it: upper case, control characters as blanks.
constexpr std::array<char, 128> makeAsciiTable()
{
    std::array<char, 128> table{};
    for (int c = 0; c < 128; ++c)
        table[c] = (c >= 'a' && c <= 'z') ? char(c - 0x20) : (c < 0x20 || c == 0x7F) ? ' ' : char(c);
    return table;
}
constexpr std::array<char, 128> AsciiTable = makeAsciiTable();

// Upper case, control characters as blanks, cut to 27 characters, trimmed,
// blanks as "-".
Value makeValue(QByteArrayView raw)
{
    Value value;
    const auto *data = reinterpret_cast<const uchar *>(raw.data());
    const qsizetype size = raw.size();
    // Plain ASCII first: one byte, one character.
    const int asciiEnd = int(qMin<qsizetype>(size, ValueCharacters));
    int n = 0;
    while (n < asciiEnd && data[n] < 0x80) {
        value.data[n] = AsciiTable[data[n]];
        ++n;
    }
    qsizetype i = n;
    value.size = n;
    while (i < size && value.size < ValueCharacters) {
        uchar byte = data[i];
        if (byte < 0x80) {
            value.data[value.size++] = AsciiTable[byte];
            ++i;
            continue;
        }
        char32_t codePoint;
        const int length = AnsiText::utf8SequenceLength(data + i, size - i, &codePoint);
        if (length > 0) {
            if (!AnsiText::fromUnicode(codePoint, &byte)) {
                byte = '?';
                value.lossy = true;
            }
            i += length;
        } else {
            ++i;
        }
        char c;
        if (byte >= 'a' && byte <= 'z')
            c = char(byte - 0x20);
        else if (byte < 0x20 || byte == 0x7F)
            c = ' ';
        else if (byte < 0x80)
            c = char(byte);
        else
            c = char(AnsiText::toUpper(byte));
        value.data[value.size++] = c;
    }
    int first = 0;
    while (first < value.size && value.data[first] == ' ')
        ++first;
    int last = value.size;
    while (last > first && value.data[last - 1] == ' ')
        --last;
    int out = 0;
    for (int j = first; j < last; ++j)
        value.data[out++] = value.data[j] == ' ' ? '-' : value.data[j];
    value.size = out;
    return value;
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int number(const char *digits, int count)
{
    int n = 0;
    for (int i = 0; i < count; ++i)
        n = n * 10 + (digits[i] - '0');
    return n;
}

void writePair(char *out, int value)
{
    out[0] = char('0' + value / 10 % 10);
    out[1] = char('0' + value % 10);
}

// "hhmm" or "hhmmss" as hours, minutes, seconds; false when it is no time of day.
bool readTime(const Value &value, int *hms)
{
    if ((value.size != 4 && value.size != 6) || !allDigits(value.text()))
        return false;
    hms[0] = number(value.data, 2);
    hms[1] = number(value.data + 2, 2);
    hms[2] = value.size == 6 ? number(value.data + 4, 2) : 0;
    return hms[0] < 24 && hms[1] < 60 && hms[2] < 60;
}

struct Day
{
    int year;
    int month;
    int day;
};

int daysInMonth(int year, int month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

bool isValid(const Day &d)
{
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= daysInMonth(d.year, d.month);
}

Day nextDay(Day d)
{
    if (++d.day > daysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

// "ssnnhhddmmyy", the century of years before 2000 in the month.
void writeStamp(char *out, const Day &date, const int *hms)
{
    writePair(out, hms[2]);
    writePair(out + 2, hms[1]);
    writePair(out + 4, hms[0]);
    writePair(out + 6, date.day);
    writePair(out + 8, date.month + (date.year < 2000 ? 80 : 0));
    writePair(out + 10, date.year % 100);
}

// Whole MHz of a FREQ value, or -1 when it is not a number.
qint64 wholeMegahertz(std::string_view value)
{
    const size_t point = value.find('.');
    const std::string_view whole = value.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : value.substr(point + 1);
    if (!allDigits(whole) || whole.size() > 9 || (!fraction.empty() && !allDigits(fraction)))
        return -1;
    return number(whole.data(), int(whole.size()));
}

// RST as stored: "0" + three digits (CW) or "00" + two (SSB).
bool writeReport(char *out, const Value &value, bool ssb)
{
    const std::string_view report = value.isEmpty() ? std::string_view(ssb ? "59" : "599") : value.text();
    if (report.size() != (ssb ? 2u : 3u) || !allDigits(report))
        return false;
    std::memset(out, '0', 4);
    std::memcpy(out + 4 - report.size(), report.data(), report.size());
    return true;
}

// Serial number as six digits, the last six when longer.
bool writeSerial(char *out, const Value &value)
{
    if (!value.isEmpty() && !allDigits(value.text()))
        return false;
    std::memset(out, '0', 6);
    const int used = qMin(value.size, 6);
    std::memcpy(out + 6 - used, value.data + value.size - used, size_t(used));
    return true;
}

// A piece of the text block: a value with an optional prefix ("/" for a
// QSL route, ":" for a comment).
struct Piece
{
    const Value *value = nullptr;
    char prefix = 0;

    bool isEmpty() const { return (!value || value->isEmpty()) && !prefix; }
};

// The text block as it fills up; whatever does not fit is cut off.
struct Text
{
    char data[TextBlock::Size] = {};
    int used = 0;

    void put(char c)
    {
        if (used < TextBlock::Size)
            data[used++] = c;
    }
    void put(const Value &value)
    {
        const int size = qMin(value.size, TextBlock::Size - used);
        std::memcpy(data + used, value.data, size_t(size));
        used += size;
    }
    void put(const Piece &piece)
    {
        if (piece.prefix)
            put(piece.prefix);
        if (piece.value)
            put(*piece.value);
    }
};

// The prefix goes in front unless already there; a COMMENT that only says
// DUPLICATE is no piece.
Piece prefixed(const Value &value, char prefix)
{
    if (prefix == ':' && value == "DUPLICATE")
        return {};
    if (value.size > 0 && value.data[0] == prefix)
        return {&value, 0};
    return {&value, prefix};
}

} // namespace

QString AdifImportResult::message() const
{
    return u"Records converted: "_s + u" %1"_s.arg(converted) + u"\r\n"_s + u"Records rejected: "_s
        + u" %1"_s.arg(rejected) + u"\r\n"_s + QString::fromLatin1(rejectedList);
}

AdifConverter::AdifConverter(AdifImportOptions options)
    : m_options(std::move(options))
    , m_call1(AnsiText::toUpper(AnsiText::fromUnicode(m_options.call1.trimmed())))
    , m_call2(AnsiText::toUpper(AnsiText::fromUnicode(m_options.call2.trimmed())))
{
}

QByteArray AdifConverter::fieldValue(QByteArrayView raw, bool *lossy)
{
    const Value value = makeValue(raw);
    if (lossy)
        *lossy = value.lossy;
    return value.view().toByteArray();
}

std::optional<QByteArray> AdifConverter::convertRecord(const AdifFields &fields) const
{
    char record[LogRecord::Length];
    if (!buildRecord(fields, record))
        return std::nullopt;
    return QByteArray(record, LogRecord::Length);
}

bool AdifConverter::buildRecord(const AdifFields &fields, char *record) const
{
    using enum AdifTag;
    if (!fields.has(Call) || !fields.has(Mode) || !fields.has(QsoDate) || !fields.has(TimeOn)
        || (!fields.has(Band) && !fields.has(Freq)))
        return false;
    const auto value = [&](AdifTag tag) { return makeValue(fields.value(tag)); };

    const int band = fields.has(Band) ? BandTable::indexOf(value(Band).view())
                                      : BandTable::indexOfMegahertz(wholeMegahertz(value(Freq).text()));
    if (band < 0)
        return false;
    quint8 flags = quint8(band);

    const Value comment = value(Comment);
    if (value(Notes).contains("DUPLICATE") || comment.contains("DUPLICATE"))
        flags |= LogFlags::Duplicate;

    const Value mode = value(Mode);
    if (mode == "SSB")
        flags |= LogFlags::SSB;
    else if (!(mode == "CW"))
        return false;
    const bool ssb = flags & LogFlags::SSB;

    const bool contest = m_options.contest || fields.has(Srx) || fields.has(Stx);
    if (contest)
        flags |= LogFlags::Contest;

    // An empty station name matches no call, not even an empty one.
    Value station = value(StationCallsign);
    if (station.isEmpty())
        station = value(Operator);
    const bool user1 = !station.isEmpty() && station.view() == QByteArrayView(m_call1);
    const bool user2 = !user1 && !station.isEmpty() && station.view() == QByteArrayView(m_call2);
    if (user2 || (!user1 && m_options.user2Default))
        flags |= LogFlags::User2;

    const Value call = value(Call);
    if (call.isEmpty() || call.size > MaxCallLength || call.lossy)
        return false;

    record[0] = HexDigits[flags >> 4];
    record[1] = HexDigits[flags & 0x0F];

    if (!writeReport(record + 56, value(RstRcvd), ssb) || !writeReport(record + 60, value(RstSent), ssb))
        return false;

    const Value dateText = value(QsoDate);
    if (dateText.size != 8 || !allDigits(dateText.text()))
        return false;
    const Day date{number(dateText.data, 4), number(dateText.data + 4, 2), number(dateText.data + 6, 2)};
    if (!isValid(date) || date.year < 1901 || date.year > 2099)
        return false;
    int on[3];
    if (!readTime(value(TimeOn), on))
        return false;
    writeStamp(record + 76, date, on);

    if (contest) {
        if (!writeSerial(record + 64, value(Srx)) || !writeSerial(record + 70, value(Stx)))
            return false;
    } else if (const Value timeOff = value(TimeOff); timeOff.isEmpty()) {
        // An empty TIME_OFF says no more than a missing one.
        std::memcpy(record + 64, record + 76, 12);
    } else {
        int off[3];
        if (!readTime(timeOff, off))
            return false;
        const Day endDate = off[0] < on[0] ? nextDay(date) : date;
        if (endDate.year > 2099)
            return false;
        writeStamp(record + 64, endDate, off);
    }

    // Pieces: NAME, else the QSL route, else the comment; then QTH, else
    // whichever of the two is left.
    const Value via = value(QslVia);
    const Value name = value(Name);
    const Value qth = value(Qth);
    Piece first{&name, 0};
    Piece second{&qth, 0};
    bool commentUsed = false;
    bool viaUsed = false;
    if (first.isEmpty() && !via.isEmpty()) {
        first = prefixed(via, '/');
        viaUsed = true;
    }
    if (first.isEmpty() && !comment.isEmpty()) {
        first = prefixed(comment, ':');
        commentUsed = true;
    }
    if (second.isEmpty() && !viaUsed && !via.isEmpty())
        second = prefixed(via, '/');
    if (second.isEmpty() && !commentUsed && !comment.isEmpty())
        second = prefixed(comment, ':');
    // Call, blank, first piece, blank, second piece; blanks and padding are NUL.
    Text text;
    text.put(call);
    text.put(' ');
    text.put(first);
    text.put(' ');
    text.put(second);
    for (int i = 0; i < TextBlock::Size; ++i) {
        const uchar c = text.data[i] == ' ' ? 0 : uchar(text.data[i]);
        record[2 + 2 * i] = HexDigits[c >> 4];
        record[3 + 2 * i] = HexDigits[c & 0x0F];
    }
    // Every other character was checked or made a digit on the way.
    Q_ASSERT(std::all_of(record, record + LogRecord::Length,
                         [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }));
    return true;
}

void AdifConverter::reject(AdifImportResult *result) const
{
    ++result->rejected;
    if (result->rejected < ListedRejects) {
        if (!result->rejectedList.isEmpty())
            result->rejectedList += ' ';
        result->rejectedList += QByteArray::number(result->converted + result->rejected);
    }
}

AdifImportResult AdifConverter::convert(QIODevice *in, QIODevice *out)
{
    AdifImportResult result;
    AdifRecordReader reader(in);
    if (m_progress)
        reader.setProgress(m_progress);
    // Lines go out in large writes; memory stays the same whatever the file.
    QByteArray lines(OutputRecords * NativeLogFile::RecordBytes, Qt::Uninitialized);
    qsizetype used = 0;
    const auto flush = [&] {
        if (used > 0 && out->write(lines.constData(), used) != used)
            result.error = out->errorString();
        used = 0;
    };
    const auto put = [&](QByteArrayView record) {
        NativeLogFile::formatLine(lines.data() + used, record);
        used += NativeLogFile::RecordBytes;
        if (used == lines.size())
            flush();
    };
    QByteArray reversed; // the records, 88 characters each, when written newest first
    AdifFields fields;
    char record[LogRecord::Length];
    for (;;) {
        const AdifRecordReader::Result read = reader.next(&fields);
        if (read == AdifRecordReader::Result::End)
            break;
        // A record cut off by the end of the file is counted, not lost.
        if (read != AdifRecordReader::Result::Record || !buildRecord(fields, record)) {
            reject(&result);
        } else {
            ++result.converted;
            if (m_options.reverse)
                reversed.append(record, LogRecord::Length);
            else
                put(QByteArrayView(record, LogRecord::Length));
        }
        if (read == AdifRecordReader::Result::Unterminated)
            break;
    }
    for (qsizetype i = reversed.size() - LogRecord::Length; i >= 0; i -= LogRecord::Length)
        put(QByteArrayView(reversed).sliced(i, LogRecord::Length));
    flush();
    return result;
}

AdifImportResult AdifConverter::convertFile(const QString &adifPath, const QString &nativePath)
{
    AdifImportResult result;
    QFile in(adifPath);
    if (!in.open(QIODevice::ReadOnly)) {
        result.error = u"Cannot read %1: %2"_s.arg(adifPath, in.errorString());
        return result;
    }
    QFile out(nativePath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        result.error = u"Cannot write %1: %2"_s.arg(nativePath, out.errorString());
        return result;
    }
    result = convert(&in, &out);
    if (!result.error.isEmpty())
        result.error = u"Cannot write %1: %2"_s.arg(nativePath, result.error);
    out.close();
    if (out.size() == 0)
        out.remove();
    return result;
}
