#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

// A native log file (".krv"): one 88-character record per line, CR LF
// after each, so every record takes 90 bytes. No header, no trailer.
class NativeLogFile
{
public:
    static constexpr int RecordBytes = 90;

    // Records in a file of that length: length / 90 to the nearest whole
    // number, an exact half to the even number.
    static qint64 recordCount(qint64 fileLength);

    // Call sign (trimmed) + "_" + UTC "yymmddhhMMss" + ".krv".
    static QString fileName(const QString &call, const QDateTime &utc);
    // A call as a file name holds it: trimmed, with the "/" of a portable or
    // prefixed call (and any backslash) as "-", so that no folder is implied.
    static QString callForFileName(const QString &call);
    // Where a transfer writes until it is complete, and where an incomplete
    // one stays: a name no list of log files offers for restoring.
    static QString partialName(const QString &fileName) { return fileName + QStringLiteral(".partial"); }
    // Gives a finished file its final name, replacing a file of that name
    // in one step; false with *error when it cannot.
    static bool promote(const QString &partialPath, const QString &finalPath, QString *error);

    // Opens for reading; false with errorString() when it cannot.
    bool open(const QString &path);
    void close() { m_file.close(); }
    QString errorString() const { return m_file.errorString(); }

    qint64 count() const { return m_count; }
    // Why the file cannot go to the keyer as it stands; empty when every
    // 90-byte slot holds a record (flags and text block in hexadecimal, the
    // rest printable) followed by CR LF, and the file ends with a slot.
    // A file whose line ends an editor changed fails here, before anything
    // is sent.
    QString damage();
    // Record i (0-based): the first 88 bytes at offset i * 90, fewer when
    // the file ends earlier. Reads from the file, so memory stays flat.
    QByteArray recordAt(qint64 index);

    // Writes each record followed by CR LF; records are cut or padded with
    // blanks to 88 characters. False when the device would not take it.
    static bool writeRecord(QIODevice *out, QByteArrayView record);
    // The same 90 bytes, put at line, for writers that gather many records.
    static void formatLine(char *line, QByteArrayView record);

private:
    // Records are read a block at a time, whichever direction the caller walks.
    static constexpr qint64 BlockRecords = 728;

    QFile m_file;
    qint64 m_count = 0;
    QByteArray m_block;
    qint64 m_blockFirst = -1;
};
