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

QString NativeLogFile::damage()
{
    // Positions 1-56: the flags byte and the text block, in hexadecimal.
    constexpr int HexPositions = 56;
    const qint64 length = m_file.size();
    for (qint64 first = 0; first * RecordBytes < length; first += BlockRecords) {
        if (!m_file.seek(first * RecordBytes))
            return m_file.errorString();
        const QByteArray block = m_file.read(BlockRecords * RecordBytes);
        for (qsizetype at = 0; at < block.size(); at += RecordBytes) {
            const qint64 number = first + at / RecordBytes + 1;
            const QByteArrayView slot = QByteArrayView(block).sliced(at, qMin<qsizetype>(RecordBytes, block.size() - at));
            if (slot.size() < RecordBytes)
                return u"the file ends %1 bytes into record %2, so it is no whole number of records"_s.arg(slot.size())
                    .arg(number);
            for (int i = 0; i < LogRecord::Length; ++i) {
                const char c = slot.at(i);
                const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
                if (i < HexPositions ? !hex : (c < 0x20 || c > 0x7E))
                    return u"record %1 is no keyer log record (character %2 is %3)"_s.arg(number)
                        .arg(i + 1)
                        .arg(i < HexPositions ? u"no upper-case hexadecimal digit"_s : u"not printable"_s);
            }
            if (slot.at(LogRecord::Length) != '\r' || slot.at(LogRecord::Length + 1) != '\n')
                return u"record %1 does not end with CR LF (were the line ends changed?)"_s.arg(number);
        }
    }
    m_blockFirst = -1;
    return {};
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
