#pragma once

#include "logrecord.h"
#include "logselection.h"

#include <QByteArray>

// Fixed-column text lines of log records, for the list file and the QSO
// list window: 84 characters in the normal layout, 95 in the contest
// layout (Windows-1252 bytes, one per character).
class ListLineFormatter
{
public:
    static QByteArray headerLine(bool contest);
    // The line of a record, empty when the selection filters it out.
    static QByteArray formatLine(const LogRecord &record, const LogSelection &selection);
    // A piece as the Info column shows it.
    static QByteArray renderPiece(QByteArrayView piece);
};
