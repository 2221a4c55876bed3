#include "logtimestamp.h"

#include "payloadcodec.h"

namespace {

bool allDigits(QByteArrayView text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int pairValue(QByteArrayView field, int position)
{
    return (field[position] - '0') * 10 + (field[position + 1] - '0');
}

} // namespace

QByteArray centuryMonth(int year, int month)
{
    QByteArray field = PayloadCodec::Dec(month, 2);
    if (year < 2000)
        field[0] = char(field[0] + 8);
    return field;
}

int centuryYear(QByteArrayView monthField, QByteArrayView yearField, QByteArray *month)
{
    QByteArray plain = monthField.toByteArray();
    int century = 2000;
    if (plain.size() == 2 && (plain[0] == '8' || plain[0] == '9')) {
        plain[0] = char(plain[0] - 8);
        century = 1900;
    }
    if (month)
        *month = plain;
    int yy = 0;
    if (yearField.size() == 2 && allDigits(yearField))
        yy = pairValue(yearField, 0);
    return century + yy;
}

std::optional<LogTimestamp> LogTimestamp::decode(QByteArrayView field)
{
    if (field.size() != 12 || !allDigits(field))
        return std::nullopt;
    LogTimestamp stamp;
    stamp.second = pairValue(field, 0);
    stamp.minute = pairValue(field, 2);
    stamp.hour = pairValue(field, 4);
    stamp.day = pairValue(field, 6);
    QByteArray month;
    stamp.year = centuryYear(field.sliced(8, 2), field.sliced(10, 2), &month);
    stamp.month = pairValue(month, 0);
    return stamp;
}

QByteArray LogTimestamp::encode() const
{
    using PayloadCodec::Dec;
    return Dec(second, 2) + Dec(minute, 2) + Dec(hour, 2) + Dec(day, 2) + centuryMonth(year, month)
        + Dec(year % 100, 2);
}

QDateTime LogTimestamp::toDateTime() const
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

LogTimestamp LogTimestamp::fromDateTime(const QDateTime &utc)
{
    const QDateTime t = utc.toUTC();
    LogTimestamp stamp;
    stamp.year = t.date().year();
    stamp.month = t.date().month();
    stamp.day = t.date().day();
    stamp.hour = t.time().hour();
    stamp.minute = t.time().minute();
    stamp.second = t.time().second();
    return stamp;
}
