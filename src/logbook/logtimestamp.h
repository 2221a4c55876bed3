#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

// A log timestamp "ssnnhhddmmyy" (UTC). The century rides in the month's
// tens digit: 8 or 9 there means 19yy (months 01-09 as 81-89, 10-12 as
// 90-92); 0 or 1 means 20yy.
struct LogTimestamp
{
    int year = 2000; // 1900..2099
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Twelve decimal digits, else nothing. Digits that do not form a real
    // date or time are kept as they are.
    static std::optional<LogTimestamp> decode(QByteArrayView field);
    // Twelve characters; years before 2000 carry the century in the month.
    QByteArray encode() const;

    QDateTime toDateTime() const; // invalid when the digits are no date
    static LogTimestamp fromDateTime(const QDateTime &utc);

    bool operator==(const LogTimestamp &) const = default;
};

// Writes years 1900-1999 with the month offset: "01" becomes "81", "12" "92".
QByteArray centuryMonth(int year, int month);
// Full year from a month field (with or without the offset) and two year
// digits; *month receives the month without the offset.
int centuryYear(QByteArrayView monthField, QByteArrayView yearField, QByteArray *month);
