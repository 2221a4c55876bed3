#pragma once

#include "adifwriter.h"
#include "logselection.h"
#include "nativelogfile.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QIODevice;

struct LogExportOptions
{
    LogSelection selection;
    bool reverse = false;  // newest record first
    AdifStation station;
};

struct LogExportResult
{
    qint64 written = 0;    // records selected and written
    qint64 unreadable = 0; // records of a damaged file: not decodable, or an unused band number
    QString error;         // empty unless the output could not be written
};

// ADIF and list exports from a native log file: the keyer's records land
// in a work file first, then these write the output in one pass. Reverse
// order reads the file from its end (record i at offset i * 90), so memory
// stays flat whatever the file's size.
namespace LogExport {

// Records done so far and the total, for a progress bar.
using Progress = std::function<void(qint64 done, qint64 total)>;

LogExportResult writeAdif(NativeLogFile &source, QIODevice *out, const LogExportOptions &options,
                          const Progress &progress = {});
LogExportResult writeList(NativeLogFile &source, QIODevice *out, const LogExportOptions &options,
                          const Progress &progress = {});

// The call that names the output: User 2's when only the active user's
// records are exported and that is User 2, else User 1's.
QString stationCall(const LogExportOptions &options);
// Station call + "_" + UTC "yymmddhhMMss" + extension (".adi", ".txt").
QString outputFileName(const LogExportOptions &options, const QDateTime &utc, const QString &extension);

// " N records have been saved in ADIF format" / "... in list format".
QString adifSavedMessage(qint64 count);
QString listSavedMessage(qint64 count);

} // namespace LogExport
