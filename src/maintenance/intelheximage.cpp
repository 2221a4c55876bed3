#include "intelheximage.h"

#include <QList>

#include <algorithm>
#include <cctype>

using namespace Qt::StringLiterals;

namespace {

enum RecordType { Data = 0, EndOfFile = 1, SegmentBase = 2, SegmentStart = 3, LinearBase = 4, LinearStart = 5 };

QString hex2(int byte)
{
    return u"%1"_s.arg(byte, 2, 16, QChar(u'0')).toUpper();
}

// Why one record (":" dropped) is malformed; empty when it is sound.
QString recordProblem(const QByteArray &digits, QByteArray *bytes)
{
    const bool hex = std::all_of(digits.cbegin(), digits.cend(), [](char c) { return std::isxdigit(uchar(c)); });
    if (!hex)
        return u"the record holds a character that is not a hex digit"_s;
    if (digits.size() % 2 != 0)
        return u"the record has an odd number of hex digits"_s;
    *bytes = QByteArray::fromHex(digits);
    if (bytes->size() < 5)
        return u"the record is too short"_s;
    const int count = uchar(bytes->at(0));
    if (bytes->size() != count + 5)
        return u"the record says %1 data bytes but holds %2"_s.arg(count).arg(bytes->size() - 5);
    int sum = 0;
    for (qsizetype i = 0; i + 1 < bytes->size(); ++i)
        sum += uchar(bytes->at(i));
    const int needed = -sum & 0xFF;
    const int given = uchar(bytes->back());
    if (given != needed)
        return u"the checksum is %1, the record needs %2"_s.arg(hex2(given), hex2(needed));
    const int type = uchar(bytes->at(3));
    if (type > LinearStart)
        return u"record type %1 is not an Intel HEX record"_s.arg(hex2(type));
    static const int sizes[] = {-1, 0, 2, 4, 2, 4};
    if (sizes[type] >= 0 && count != sizes[type])
        return u"a record of type %1 must hold %2 data bytes"_s.arg(hex2(type)).arg(sizes[type]);
    return {};
}

} // namespace

QString IntelHexImage::problem(const QByteArray &file, qint64 flashBytes)
{
    const QList<QByteArray> lines = file.split('\n');
    qint64 base = 0;
    qint64 dataBytes = 0;
    int endLine = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // trimmed() also drops the CR of a CR LF line end.
        const QByteArray line = lines.at(i).trimmed();
        const QString where = u"line %1: "_s.arg(i + 1);
        if (line.isEmpty())
            continue;
        if (endLine)
            return where + u"there is more after the end-of-file record on line %1"_s.arg(endLine);
        if (!line.startsWith(':'))
            return where + u"a record must begin with \":\""_s;
        QByteArray bytes;
        if (const QString why = recordProblem(line.mid(1), &bytes); !why.isEmpty())
            return where + why;
        const int count = uchar(bytes.at(0));
        const auto word = [&bytes](int at) { return qint64(uchar(bytes.at(at))) << 8 | uchar(bytes.at(at + 1)); };
        switch (uchar(bytes.at(3))) {
        case Data:
            if (const qint64 first = base + word(1); count > 0 && first + count > flashBytes)
                return where + u"address 0x%1 is outside the keyer's %2 KB of flash"_s
                                   .arg(QString::number(std::max(first, flashBytes), 16).toUpper())
                                   .arg(flashBytes / 1024);
            dataBytes += count;
            break;
        case EndOfFile:
            endLine = int(i + 1);
            break;
        case SegmentBase:
            base = word(4) << 4;
            break;
        case LinearBase:
            base = word(4) << 16;
            break;
        default: // start addresses: the boot loader starts the firmware itself
            break;
        }
    }
    if (!endLine)
        return u"no end-of-file record"_s;
    if (dataBytes == 0)
        return u"the file holds no data"_s;
    return {};
}
