#pragma once

#include "logrecord.h"

// A record from readable parts; the text block is call NUL first NUL second.
inline LogRecord makeRecord(quint8 flags, QByteArrayView call, QByteArrayView first = {},
                            QByteArrayView second = {}, QByteArray rstReceived = "0599",
                            QByteArray rstSent = "0599", QByteArray endOrSerials = "000000000000",
                            QByteArray start = "000000010124")
{
    LogRecord record;
    record.flags = flags;
    QByteArray text = call.toByteArray();
    if (!first.isEmpty() || !second.isEmpty())
        text += '\0' + first.toByteArray() + '\0' + second.toByteArray();
    record.textBlock = text.leftJustified(TextBlock::Size, '\0', true);
    record.rstReceived = rstReceived;
    record.rstSent = rstSent;
    record.endOrSerials = endOrSerials;
    record.start = start;
    return record;
}
