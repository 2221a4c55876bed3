#pragma once

#include "adifrecordreader.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

struct AdifImportOptions
{
    QString call1;        // User 1's call: records of this station are User 1's
    QString call2;        // User 2's call
    bool user2Default = false; // records of an unknown station go to User 2
    bool contest = false;      // every record is a contest record
    bool reverse = false;      // the records of this run in reverse order
};

struct AdifImportResult
{
    qint64 converted = 0;
    qint64 rejected = 0;
    QByteArray rejectedList; // ordinals of the first 99 rejected records, blank-separated
    QString error;           // a file that could not be read or written

    // "Records converted: " + count, CR LF, "Records rejected: " + count,
    // CR LF, the rejected ordinals; each count with one leading blank.
    QString message() const;
};

// Converts ADIF records into log records. A record that breaks a rule is
// counted as rejected and the conversion goes on; nothing stops the run
// except a file that cannot be read or written.
class AdifConverter
{
public:
    explicit AdifConverter(AdifImportOptions options = {});

    // Bytes read so far and the input's size, once per block read.
    void setProgress(std::function<void(qint64, qint64)> progress) { m_progress = std::move(progress); }

    // The 88-character log record of one ADIF record, or nothing.
    std::optional<QByteArray> convertRecord(const AdifFields &fields) const;

    // Reads every record of in and writes the converted ones to out as
    // native log lines.
    AdifImportResult convert(QIODevice *in, QIODevice *out);

    // Appends to the native log file (created when missing; removed again
    // when it ends up empty). With reverse order the records of this run
    // are written newest first after the ones already there.
    AdifImportResult convertFile(const QString &adifPath, const QString &nativePath);

    // A value as the converter uses it: Windows-1252, upper case, cut to
    // 27 characters, trimmed, every blank (and control character) as "-".
    // *lossy is set when a character had no place in the code page.
    static QByteArray fieldValue(QByteArrayView raw, bool *lossy = nullptr);

private:
    // The record's 88 characters at record; false when it breaks a rule.
    bool buildRecord(const AdifFields &fields, char *record) const;
    void reject(AdifImportResult *result) const;

    AdifImportOptions m_options;
    QByteArray m_call1;
    QByteArray m_call2;
    std::function<void(qint64, qint64)> m_progress;
};
