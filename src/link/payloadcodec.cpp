#include "payloadcodec.h"

namespace PayloadCodec {

QByteArray Hex8(quint8 value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(2, '0');
}

QByteArray Hex16(quint16 value)
{
    return Hex8(quint8(value & 0xFF)) + Hex8(quint8(value >> 8));
}

QByteArray Dec(qint64 value, int width)
{
    QByteArray digits = QByteArray::number(value).rightJustified(width, '0');
    return digits.right(width);
}

int fromHex8(QByteArrayView pair)
{
    int result = 0;
    for (char c : pair) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        result = result * 16 + digit;
    }
    return result;
}

quint16 fromHex16(QByteArrayView quad)
{
    const int low = fromHex8(quad.first(qMin<qsizetype>(2, quad.size())));
    const int high = quad.size() > 2 ? fromHex8(quad.sliced(2, qMin<qsizetype>(2, quad.size() - 2))) : 0;
    return quint16((high << 8) | low);
}

} // namespace PayloadCodec
