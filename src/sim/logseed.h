#pragma once

#include "logrecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Logs for the simulated keyer to start with.
namespace LogSeed {

// count QSOs as a station might have worked them, one every quarter of an
// hour or so, the last one ending at now: calls, names and QTHs from small
// tables, a spread of bands and modes, some duplicates, comments and QSL
// routes, a few contest QSOs and a few of User 2. The same count always
// gives the same calls.
QList<LogRecord> generate(int count, const QDateTime &now);

// Every record of a native log file; false with *error when the file cannot
// be read or a line is no log record.
bool readFile(const QString &path, QList<LogRecord> *records, QString *error);

} // namespace LogSeed
