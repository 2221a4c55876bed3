#include "logexport.h"

#include "bandtable.h"
#include "listlineformatter.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace LogExport {

namespace {

constexpr qsizetype FlushBytes = 256 * 1024;

// Walks the file's records in export order and hands each decoded,
// selected record to emit.
template<typename Emit>
LogExportResult exportRecords(NativeLogFile &source, QIODevice *out, const LogExportOptions &options,
                              const Progress &progress, QByteArray pending, Emit write)
{
    LogExportResult result;
    const qint64 total = source.count();
    const auto flush = [&]() {
        if (!pending.isEmpty() && out->write(pending) != pending.size()) {
            result.error = out->errorString();
            return false;
        }
        pending.clear();
        return true;
    };
    for (qint64 i = 0; i < total; ++i) {
        const qint64 index = options.reverse ? total - 1 - i : i;
        const auto record = LogRecord::decode(source.recordAt(index));
        // The keyer never stores band numbers 13-15, and ADIF has no name
        // for them: such a record is as damaged as one that did not decode.
        if (!record || record->bandIndex() >= BandTable::Count) {
            ++result.unreadable;
        } else if (options.selection.selects(*record)) {
            write(*record, &pending);
            ++result.written;
        }
        if (pending.size() >= FlushBytes) {
            if (!flush())
                return result;
            if (progress)
                progress(i + 1, total);
        }
    }
    flush();
    if (progress)
        progress(total, total);
    return result;
}

} // namespace

LogExportResult writeAdif(NativeLogFile &source, QIODevice *out, const LogExportOptions &options,
                          const Progress &progress)
{
    return exportRecords(source, out, options, progress, AdifWriter::headerLines(),
                         [&](const LogRecord &record, QByteArray *pending) {
                             pending->append(AdifWriter::recordLines(record, options.station));
                         });
}

LogExportResult writeList(NativeLogFile &source, QIODevice *out, const LogExportOptions &options,
                          const Progress &progress)
{
    return exportRecords(source, out, options, progress,
                         ListLineFormatter::headerLine(options.selection.contest) + "\r\n\r\n",
                         [&](const LogRecord &record, QByteArray *pending) {
                             pending->append(ListLineFormatter::formatLine(record, options.selection)).append("\r\n");
                         });
}

QString stationCall(const LogExportOptions &options)
{
    const bool user2 = options.selection.onlyActiveUser && options.selection.activeUser2;
    return (user2 ? options.station.call2 : options.station.call1).trimmed();
}

QString outputFileName(const LogExportOptions &options, const QDateTime &utc, const QString &extension)
{
    return NativeLogFile::callForFileName(stationCall(options)) + u'_' + utc.toUTC().toString(u"yyMMddHHmmss"_s)
        + extension;
}

QString adifSavedMessage(qint64 count)
{
    return u" %1 records have been saved in ADIF format"_s.arg(count);
}

QString listSavedMessage(qint64 count)
{
    return u" %1 records have been saved in list format"_s.arg(count);
}

} // namespace LogExport
