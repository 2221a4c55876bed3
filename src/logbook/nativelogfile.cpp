#include "nativelogfile.h"

#include "configrecord.h"
#include "logrecord.h"

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

qint64 NativeLogFile::recordCount(qint64 fileLength)
{
    return roundedRatio(fileLength, RecordBytes);
}

QString NativeLogFile::fileName(const QString &call, const QDateTime &utc)
{
    return callForFileName(call) + u'_' + utc.toUTC().toString(u"yyMMddHHmmss"_s) + u".krv"_s;
}

QString NativeLogFile::callForFileName(const QString &call)
{
    QString name = call.trimmed();
    name.replace(u'/', u'-');
    name.replace(u'\\', u'-');
    return name;
}

bool NativeLogFile::promote(const QString &partialPath, const QString &finalPath, QString *error)
{
    // QFile::rename will not replace; a remove first would leave a moment
    // with neither file.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(partialPath.toStdU16String()),
                            std::filesystem::path(finalPath.toStdU16String()), code);
    if (code && error)
        *error = QString::fromLocal8Bit(code.message());
    return !code;
}

bool NativeLogFile::open(const QString &path)
{
    m_file.close();
    m_block.clear();
    m_blockFirst = -1;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_count = 0;
        return false;
    }
    m_count = recordCount(m_file.size());
    return true;
}

QByteArray NativeLogFile::recordAt(qint64 index)
{
    if (index < 0)
        return {};
    const qint64 first = index / BlockRecords * BlockRecords;
    if (first != m_blockFirst) {
        m_blockFirst = -1;
        if (!m_file.seek(first * RecordBytes))
            return {};
        m_block = m_file.read(BlockRecords * RecordBytes);
        m_blockFirst = first;
    }
    const qsizetype offset = qsizetype((index - first) * RecordBytes);
    if (offset >= m_block.size())
        return {};
    return m_block.mid(offset, LogRecord::Length);
}

void NativeLogFile::formatLine(char *line, QByteArrayView record)
{
    const qsizetype used = qMin<qsizetype>(record.size(), LogRecord::Length);
    memcpy(line, record.data(), size_t(used));
    memset(line + used, ' ', size_t(LogRecord::Length - used));
    line[LogRecord::Length] = '\r';
    line[LogRecord::Length + 1] = '\n';
}

bool NativeLogFile::writeRecord(QIODevice *out, QByteArrayView record)
{
    char line[RecordBytes];
    formatLine(line, record);
    return out->write(line, RecordBytes) == RecordBytes;
}
