#pragma once

#include <QStringList>

class QTextStream;

// dwlog backup --port DEVICE [--baud N] [--out FILE.krv | --dir FOLDER
// [--keep N]]: Save Log without a window. Returns 0 when the whole log was
// saved, 2 when no keyer answered, the transfer was incomplete or stopped
// by SIGINT or SIGTERM (the keyer told to stop, the records received kept
// as FILE.krv.partial), or the file could not be written.
int runBackup(const QStringList &arguments, QTextStream &out, QTextStream &err);
