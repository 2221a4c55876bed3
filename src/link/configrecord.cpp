#include "configrecord.h"

#include "payloadcodec.h"

#include <QSaveFile>
#include <QFile>
#include <QtEndian>

using PayloadCodec::Dec;
using PayloadCodec::fromHex16;
using PayloadCodec::fromHex8;
using PayloadCodec::Hex16;
using PayloadCodec::Hex8;

namespace ConfigBlock {

namespace {

QByteArrayView field(QByteArrayView block, int position, int length)
{
    const qsizetype start = position - 1;
    if (start >= block.size())
        return {};
    return block.sliced(start, qMin<qsizetype>(length, block.size() - start));
}

QByteArray twoChars(QByteArrayView text)
{
    QByteArray result = text.toByteArray();
    return result.leftJustified(2, ' ', true);
}

// Digits only: leading blanks skipped, reading stops at the first non-digit.
qint32 decimalOf(QByteArrayView text)
{
    qint64 value = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return qint32(value);
}

} // namespace

ConfigRecord ParseConfigBlock(QByteArrayView block)
{
    ConfigRecord r;
    r.qsoCount = qint16(fromHex16(field(block, 1, 4)));
    r.contrast = quint8(fromHex8(field(block, 5, 2)));
    const int profile = fromHex8(field(block, 7, 2));
    r.profileIndex = quint8(profile > 9 ? 0 : profile);
    r.serialNumber = decimalOf(field(block, 9, 6));
    r.firmwareVersion = twoChars(field(block, 15, 2));
    r.pitch = quint8(fromHex8(field(block, 17, 2)));
    r.volume = quint8(fromHex8(field(block, 19, 2)));
    r.speedLow = quint8(fromHex8(field(block, 21, 2)));
    r.speedHigh = quint8(fromHex8(field(block, 23, 2)));
    r.band = quint8(fromHex8(field(block, 25, 2)));
    const int optionHigh = fromHex8(field(block, 27, 2));
    r.trDelay = qint16(fromHex16(field(block, 29, 4)));
    r.trExtension = qint16(fromHex16(field(block, 33, 4)));
    const int optionLow = fromHex8(field(block, 37, 2));
    r.optionWord = quint16((optionHigh << 8) | optionLow);
    r.lastExported = qint16(fromHex16(field(block, 39, 4)));
    r.status = quint8(fromHex8(field(block, 43, 2)));
    r.firmwareBuild = twoChars(field(block, 45, 2));
    r.currentSpeed = QByteArray::number(fromHex8(field(block, 47, 2)));
    return r;
}

QByteArray BuildConfigBlock(const ConfigRecord &r)
{
    QByteArray block;
    block.reserve(SentLength);
    block += Hex16(quint16(r.qsoCount));
    block += Hex8(r.contrast);
    block += Hex8(r.profileIndex);
    block += Dec(r.serialNumber, 6);
    block += Hex8(r.pitch);
    block += Hex8(r.volume);
    block += Hex8(r.speedLow);
    block += Hex8(r.speedHigh);
    block += Hex8(r.band);
    block += Hex8(quint8(r.optionWord >> 8));
    block += Hex16(quint16(r.trDelay));
    block += Hex16(quint16(r.trExtension));
    block += Hex8(quint8(r.optionWord & 0xFF));
    block += Hex16(quint16(r.lastExported));
    return block;
}

ConfigRecord ParseSentBlock(QByteArrayView block)
{
    // The received layout less the version after the serial number and the
    // read-only fields at the end.
    QByteArray received = block.first(qMin<qsizetype>(14, block.size())).toByteArray();
    if (block.size() > 14)
        received += "  " + block.sliced(14).toByteArray();
    ConfigRecord record = ParseConfigBlock(received);
    record.firmwareVersion.clear();
    record.firmwareBuild.clear();
    record.currentSpeed.clear();
    record.status = 0;
    return record;
}

QByteArray BuildReceivedBlock(const ConfigRecord &r)
{
    // The sent layout with the version after the serial number and the
    // read-only fields at the end.
    QByteArray block = BuildConfigBlock(r);
    block.insert(14, twoChars(r.firmwareVersion));
    block += Hex8(r.status);
    block += twoChars(r.firmwareBuild);
    block += Hex8(quint8(r.currentSpeed.toInt()));
    return block;
}

QByteArray toFileBytes(const ConfigRecord &r)
{
    QByteArray bytes(FileLength, '\0');
    char *p = bytes.data();
    qToLittleEndian<qint16>(r.qsoCount, p);
    p[2] = char(r.contrast);
    p[3] = char(r.profileIndex);
    qToLittleEndian<qint32>(r.serialNumber, p + 4);
    p[8] = twoChars(r.firmwareVersion)[0];
    p[9] = twoChars(r.firmwareVersion)[1];
    p[10] = char(r.pitch);
    p[11] = char(r.volume);
    p[12] = char(r.speedLow);
    p[13] = char(r.speedHigh);
    p[14] = char(r.band);
    qToLittleEndian<quint16>(r.optionWord, p + 15);
    qToLittleEndian<qint16>(r.trDelay, p + 17);
    qToLittleEndian<qint16>(r.trExtension, p + 19);
    qToLittleEndian<qint16>(r.lastExported, p + 21);
    p[23] = char(r.status);
    p[24] = twoChars(r.firmwareBuild)[0];
    p[25] = twoChars(r.firmwareBuild)[1];
    p[26] = twoChars(r.currentSpeed)[0];
    p[27] = twoChars(r.currentSpeed)[1];
    return bytes;
}

bool fromFileBytes(QByteArrayView bytes, ConfigRecord *r)
{
    if (bytes.size() < FileLength)
        return false;
    const char *p = bytes.data();
    r->qsoCount = qFromLittleEndian<qint16>(p);
    r->contrast = quint8(p[2]);
    r->profileIndex = quint8(p[3]);
    r->serialNumber = qFromLittleEndian<qint32>(p + 4);
    r->firmwareVersion = QByteArray(p + 8, 2);
    r->pitch = quint8(p[10]);
    r->volume = quint8(p[11]);
    r->speedLow = quint8(p[12]);
    r->speedHigh = quint8(p[13]);
    r->band = quint8(p[14]);
    r->optionWord = qFromLittleEndian<quint16>(p + 15);
    r->trDelay = qFromLittleEndian<qint16>(p + 17);
    r->trExtension = qFromLittleEndian<qint16>(p + 19);
    r->lastExported = qFromLittleEndian<qint16>(p + 21);
    r->status = quint8(p[23]);
    r->firmwareBuild = QByteArray(p + 24, 2);
    r->currentSpeed = QByteArray(p + 26, 2).trimmed();
    return true;
}

QString saveFile(const QString &path, const ConfigRecord &record)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(toFileBytes(record));
    if (!file.commit())
        return file.errorString();
    return {};
}

bool loadFile(const QString &path, ConfigRecord *record)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return fromFileBytes(file.read(FileLength), record);
}

void copyOperatorSettings(const ConfigRecord &from, ConfigRecord *to)
{
    to->band = from.band;
    to->optionWord = from.optionWord;
    to->contrast = from.contrast;
    to->speedHigh = from.speedHigh;
    to->speedLow = from.speedLow;
    to->pitch = from.pitch;
    to->trDelay = from.trDelay;
    to->trExtension = from.trExtension;
    to->volume = from.volume;
}

} // namespace ConfigBlock

int keyerModeOf(quint16 optionWord)
{
    const int mode = optionWord & Option::KeyerModeMask;
    return mode > 6 ? 0 : mode;
}

qint64 roundedRatio(qint64 numerator, qint64 denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const qint64 twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}
