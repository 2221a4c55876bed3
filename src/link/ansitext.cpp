#include "ansitext.h"

#include <QList>

namespace AnsiText {

namespace {

// 0x80..0x9F of Windows-1252.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t toUnicode(uchar byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControls[byte - 0x80];
    return char16_t(byte);
}

QString toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode(uchar(bytes[i])));
    return text;
}

bool fromUnicode(char32_t character, uchar *byte)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        *byte = uchar(character);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == character) {
            *byte = uchar(0x80 + i);
            return true;
        }
    }
    return false;
}

QByteArray fromUnicode(const QString &text, bool *lossy)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool lost = false;
    for (char32_t character : text.toUcs4()) {
        uchar byte;
        if (!fromUnicode(character, &byte)) {
            byte = '?';
            lost = true;
        }
        bytes.append(char(byte));
    }
    if (lossy)
        *lossy = lost;
    return bytes;
}

uchar toUpper(uchar byte)
{
    if (byte >= 'a' && byte <= 'z')
        return uchar(byte - 0x20);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)
        return uchar(byte - 0x20);
    switch (byte) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return byte;
    }
}

QByteArray toUpper(QByteArrayView bytes)
{
    QByteArray upper(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        upper[i] = char(toUpper(uchar(bytes[i])));
    return upper;
}

int utf8SequenceLength(const uchar *data, qsizetype available, char32_t *codePoint)
{
    if (available < 2)
        return 0;
    const uchar lead = data[0];
    int length;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (available < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (data[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

QByteArray fromMixed(QByteArrayView bytes, bool *lossy)
{
    QByteArray result;
    result.reserve(bytes.size());
    bool lost = false;
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (data[i] < 0x80) {
            result.append(char(data[i]));
            ++i;
            continue;
        }
        char32_t codePoint;
        const int length = utf8SequenceLength(data + i, bytes.size() - i, &codePoint);
        if (length == 0) {
            result.append(char(data[i]));
            ++i;
            continue;
        }
        uchar byte;
        if (!fromUnicode(codePoint, &byte)) {
            byte = '?';
            lost = true;
        }
        result.append(char(byte));
        i += length;
    }
    if (lossy)
        *lossy = lost;
    return result;
}

} // namespace AnsiText
