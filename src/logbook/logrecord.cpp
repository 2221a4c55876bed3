#include "logrecord.h"

#include "payloadcodec.h"

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr char HexDigits[] = "0123456789ABCDEF";

} // namespace

std::optional<LogRecord> LogRecord::decode(QByteArrayView line)
{
    if (line.size() < Length)
        return std::nullopt;
    LogRecord record;
    int bytes[1 + TextBlock::Size];
    for (int i = 0; i < 1 + TextBlock::Size; ++i) {
        const int high = hexDigit(line[2 * i]);
        const int low = hexDigit(line[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = high * 16 + low;
    }
    for (int i = 56; i < Length; ++i) {
        if (line[i] < 0x20 || line[i] > 0x7E)
            return std::nullopt;
    }
    record.flags = quint8(bytes[0]);
    for (int i = 0; i < TextBlock::Size; ++i)
        record.textBlock[i] = char(bytes[i + 1]);
    record.rstReceived = line.sliced(56, 4).toByteArray();
    record.rstSent = line.sliced(60, 4).toByteArray();
    record.endOrSerials = line.sliced(64, 12).toByteArray();
    record.start = line.sliced(76, 12).toByteArray();
    return record;
}

QByteArray LogRecord::encode() const
{
    QByteArray line;
    line.reserve(Length);
    line.append(PayloadCodec::Hex8(flags));
    const QByteArray text = textBlock.leftJustified(TextBlock::Size, '\0', true);
    for (char c : text) {
        line.append(HexDigits[uchar(c) >> 4]);
        line.append(HexDigits[uchar(c) & 0x0F]);
    }
    line.append(rstReceived.leftJustified(4, '0', true));
    line.append(rstSent.leftJustified(4, '0', true));
    line.append(endOrSerials.leftJustified(12, '0', true));
    line.append(start.leftJustified(12, '0', true));
    return line;
}
