#pragma once

#include <QStringList>

class QTextStream;

// dwlog backup --port DEVICE [--baud N] [--out FILE.krv]: Save Log without
// a window. Returns 0 when the whole log was saved, 2 when no keyer answered,
// the transfer was incomplete or the file could not be written.
int runBackup(const QStringList &arguments, QTextStream &out, QTextStream &err);
