#include "adifconverter.h"

#include "ansitext.h"
#include "bandtable.h"
#include "logrecord.h"
#include "logtimestamp.h"
#include "nativelogfile.h"
#include "payloadcodec.h"
#include "textblock.h"

#include <QDate>
#include <QFile>
#include <QList>

using namespace Qt::StringLiterals;

namespace {

constexpr int ValueCharacters = 27;
constexpr int MaxCallLength = 13;
constexpr qint64 ListedRejects = 100;

bool allDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "hhmm" or "hhmmss" to "hhmmss"; empty when it is no time of day.
QByteArray normalisedTime(const QByteArray &value)
{
    if ((value.size() != 4 && value.size() != 6) || !allDigits(value))
        return {};
    const QByteArray time = value.size() == 4 ? value + "00" : value;
    if (!QTime(time.left(2).toInt(), time.mid(2, 2).toInt(), time.mid(4, 2).toInt()).isValid())
        return {};
    return time;
}

// "ssnnhhddmmyy" of a date and an "hhmmss" time.
QByteArray stamp(const QDate &date, const QByteArray &time)
{
    LogTimestamp t;
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    t.hour = time.left(2).toInt();
    t.minute = time.mid(2, 2).toInt();
    t.second = time.mid(4, 2).toInt();
    return t.encode();
}

// Whole MHz of a FREQ value, or -1 when it is not a number.
qint64 wholeMegahertz(const QByteArray &value)
{
    const qsizetype point = value.indexOf('.');
    const QByteArray whole = point < 0 ? value : value.left(point);
    const QByteArray fraction = point < 0 ? QByteArray() : value.mid(point + 1);
    if (!allDigits(whole) || whole.size() > 9 || (!fraction.isEmpty() && !allDigits(fraction)))
        return -1;
    return whole.toLongLong();
}

// RST as stored: "0" + three characters (CW) or "00" + two (SSB).
QByteArray storedReport(const QByteArray &value, bool ssb)
{
    const QByteArray report = value.isEmpty() ? QByteArray(ssb ? "59" : "599") : value;
    if (report.size() != (ssb ? 2 : 3) || !allDigits(report))
        return {};
    return (ssb ? "00" : "0") + report;
}

// A QSL route piece: "/" in front unless already there.
QByteArray viaPiece(const QByteArray &via)
{
    return via.startsWith('/') ? via : '/' + via;
}

QByteArray commentPiece(const QByteArray &comment)
{
    if (comment == "DUPLICATE")
        return {};
    return comment.startsWith(':') ? comment : ':' + comment;
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
    QByteArray value = AnsiText::fromMixed(raw, lossy);
    for (char &c : value) {
        const uchar byte = uchar(c);
        c = (byte < 0x20 || byte == 0x7F) ? ' ' : char(AnsiText::toUpper(byte));
    }
    value.truncate(ValueCharacters);
    value = value.trimmed();
    value.replace(' ', '-');
    return value;
}

std::optional<QByteArray> AdifConverter::convertRecord(const AdifFields &fields) const
{
    using enum AdifTag;
    if (!fields.has(Call) || !fields.has(Mode) || !fields.has(QsoDate) || !fields.has(TimeOn)
        || (!fields.has(Band) && !fields.has(Freq)))
        return std::nullopt;
    const auto value = [&](AdifTag tag) { return fieldValue(fields.value(tag)); };

    int band;
    if (fields.has(Band))
        band = BandTable::indexOf(value(Band));
    else
        band = BandTable::indexOfMegahertz(wholeMegahertz(value(Freq)));
    if (band < 0)
        return std::nullopt;
    quint8 flags = quint8(band);

    const QByteArray comment = value(Comment);
    if (value(Notes).contains("DUPLICATE") || comment.contains("DUPLICATE"))
        flags |= LogFlags::Duplicate;

    const QByteArray mode = value(Mode);
    if (mode == "SSB")
        flags |= LogFlags::SSB;
    else if (mode != "CW")
        return std::nullopt;
    const bool ssb = flags & LogFlags::SSB;

    const bool contest = m_options.contest || fields.has(Srx) || fields.has(Stx);
    if (contest)
        flags |= LogFlags::Contest;

    // An empty station name matches no call, not even an empty one.
    QByteArray station = value(StationCallsign);
    if (station.isEmpty())
        station = value(Operator);
    const bool user1 = !station.isEmpty() && station == m_call1;
    const bool user2 = !user1 && !station.isEmpty() && station == m_call2;
    if (user2 || (!user1 && m_options.user2Default))
        flags |= LogFlags::User2;

    bool lossyCall = false;
    const QByteArray call = fieldValue(fields.value(Call), &lossyCall);
    if (call.isEmpty() || call.size() > MaxCallLength || lossyCall)
        return std::nullopt;

    const QByteArray via = value(QslVia);
    bool commentUsed = false;
    bool viaUsed = false;
    QByteArray first = value(Name);
    if (first.isEmpty() && !via.isEmpty()) {
        first = viaPiece(via);
        viaUsed = true;
    }
    if (first.isEmpty() && !comment.isEmpty()) {
        first = commentPiece(comment);
        commentUsed = true;
    }
    QByteArray second = value(Qth);
    if (second.isEmpty() && !viaUsed && !via.isEmpty())
        second = viaPiece(via);
    if (second.isEmpty() && !commentUsed && !comment.isEmpty())
        second = commentPiece(comment);
    const QByteArray text = TextBlock::composeBytes(call, first, second);

    const QByteArray rstReceived = storedReport(value(RstRcvd), ssb);
    const QByteArray rstSent = storedReport(value(RstSent), ssb);
    if (rstReceived.isEmpty() || rstSent.isEmpty())
        return std::nullopt;

    const QByteArray dateText = value(QsoDate);
    if (dateText.size() != 8 || !allDigits(dateText))
        return std::nullopt;
    const QDate date(dateText.left(4).toInt(), dateText.mid(4, 2).toInt(), dateText.mid(6, 2).toInt());
    if (!date.isValid() || date.year() < 1901 || date.year() > 2099)
        return std::nullopt;
    const QByteArray timeOn = normalisedTime(value(TimeOn));
    if (timeOn.isEmpty())
        return std::nullopt;
    const QByteArray start = stamp(date, timeOn);

    QByteArray endOrSerials;
    if (contest) {
        const QByteArray srx = value(Srx);
        const QByteArray stx = value(Stx);
        if ((!srx.isEmpty() && !allDigits(srx)) || (!stx.isEmpty() && !allDigits(stx)))
            return std::nullopt;
        endOrSerials = ("000000" + srx).right(6) + ("000000" + stx).right(6);
    } else if (!fields.has(TimeOff)) {
        endOrSerials = start;
    } else {
        const QByteArray timeOff = normalisedTime(value(TimeOff));
        if (timeOff.isEmpty())
            return std::nullopt;
        QDate endDate = date;
        if (timeOff.left(2).toInt() < timeOn.left(2).toInt())
            endDate = date.addDays(1);
        if (endDate.year() > 2099)
            return std::nullopt;
        endOrSerials = stamp(endDate, timeOff);
    }

    QByteArray record;
    record.reserve(LogRecord::Length);
    record += PayloadCodec::Hex8(flags);
    record += text.toHex().toUpper();
    record += rstReceived + rstSent + endOrSerials + start;
    if (record.size() != LogRecord::Length)
        return std::nullopt;
    for (char c : record) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return std::nullopt;
    }
    return record;
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
    QList<QByteArray> reversed;
    AdifFields fields;
    for (;;) {
        const AdifRecordReader::Result read = reader.next(&fields);
        if (read == AdifRecordReader::Result::End)
            break;
        // A record cut off by the end of the file is counted, not lost.
        const auto record = read == AdifRecordReader::Result::Record ? convertRecord(fields) : std::nullopt;
        if (!record) {
            reject(&result);
        } else {
            ++result.converted;
            if (m_options.reverse)
                reversed.append(*record);
            else if (!NativeLogFile::writeRecord(out, *record))
                result.error = out->errorString();
        }
        if (read == AdifRecordReader::Result::Unterminated)
            break;
    }
    for (qsizetype i = reversed.size() - 1; i >= 0; --i) {
        if (!NativeLogFile::writeRecord(out, reversed[i]))
            result.error = out->errorString();
    }
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
