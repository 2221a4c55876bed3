#pragma once

#include "logrecord.h"

#include <QByteArray>
#include <QString>

// Station texts the export writes into every record: the call and the
// operator of User 1 and User 2 (flag bit 4 chooses).
struct AdifStation
{
    QString call1;
    QString call2;
    QString operator1;
    QString operator2;
};

// The ADIF file of an export: a header line naming the program and its
// version, then three lines per record. Text is written as the keyer holds
// it (Windows-1252), so a field length counts characters and bytes alike.
class AdifWriter
{
public:
    // "4.1.10": major, minor and revision without leading zeros.
    static QByteArray programVersion();

    // "LOGGER:<PROGRAMID:14>THE DASHWRIGHT<PROGRAMVERSION:n>v<EOH>" and an
    // empty line, each with CR LF.
    static QByteArray headerLines(QByteArrayView version = programVersion());

    // The record's three lines and the empty line after them.
    static QByteArray recordLines(const LogRecord &record, const AdifStation &station);

    // "<TAG:length>value".
    static void appendField(QByteArray *out, QByteArrayView tag, QByteArrayView value);
};
