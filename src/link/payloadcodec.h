#pragma once

#include <QByteArray>

// Number encodings inside keyer payloads (configuration block, log transfer).
// Pure functions: bytes in, bytes out.
namespace PayloadCodec {

// Four upper-case hex digits, low byte first: 0x1234 -> "3412".
QByteArray Hex16(quint16 value);
// Two upper-case hex digits, zero-padded: 10 -> "0A".
QByteArray Hex8(quint8 value);
// Decimal, zero-padded to width and cut to its last width digits.
QByteArray Dec(qint64 value, int width);

// Reverse of Hex8: a pair read in base 16. Anything that is not a hex
// digit ends the number early, as the keyer's own reader does; an empty or
// non-hex pair reads as 0.
int fromHex8(QByteArrayView pair);
// Reverse of Hex16: the second pair is the high byte.
quint16 fromHex16(QByteArrayView quad);

} // namespace PayloadCodec
