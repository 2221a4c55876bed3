#pragma once

#include <QByteArray>
#include <QString>

// The manager's copy of the keyer's options. Field order is the order of
// the saved configuration file.
struct ConfigRecord
{
    qint16 qsoCount = 0;
    quint8 contrast = 0;       // LCD contrast in the low four bits
    quint8 profileIndex = 0;   // active user profile 0..9
    qint32 serialNumber = 0;   // next contest serial number
    QByteArray firmwareVersion = "00"; // major and minor digit, received only
    quint8 pitch = 0;          // sidetone, steps of 50 Hz
    quint8 volume = 0;         // 0..254; 255 selects the buzzer
    quint8 speedLow = 0;
    quint8 speedHigh = 0;
    quint8 band = 0;           // band index in the low four bits, bit 4 keying always on
    quint16 optionWord = 0;
    qint16 trDelay = 0;
    qint16 trExtension = 0;
    qint16 lastExported = 0;   // the keyer's export mark
    quint8 status = 0;         // bit 0 set: off the air, received only
    QByteArray firmwareBuild = "00"; // received only
    QByteArray currentSpeed = "00";  // wpm as decimal text, received only

    bool operator==(const ConfigRecord &) const = default;
};

// Option word bits.
namespace Option {
constexpr quint16 KeyerModeMask = 0x0007;
constexpr quint16 TRComp = 0x0008;
constexpr quint16 User2 = 0x0010;
constexpr quint16 ContestMode = 0x0020;
constexpr quint16 PaddleReverse = 0x0040;
constexpr quint16 ToneOn = 0x0080;
constexpr quint16 HandKey = 0x0100;
constexpr quint16 AutoCharSpacing = 0x0200;
constexpr quint16 AutoWordSpacing = 0x0400;
constexpr quint16 AutoLoggingOff = 0x0800;
constexpr quint16 MemoryOff = 0x1000;
constexpr quint16 LogSearchOff = 0x2000;
constexpr quint16 SSB = 0x4000;
constexpr quint16 RadioConnected = 0x8000;
} // namespace Option

namespace ConfigBlock {

constexpr int ReceivedLength = 48;
constexpr int SentLength = 40;
constexpr int FileLength = 28;

// Fills a record from the payload of event 20 (without the framing bytes).
// A short block leaves the missing fields at zero.
ConfigRecord ParseConfigBlock(QByteArrayView block);

// The 40-character payload of command "C".
QByteArray BuildConfigBlock(const ConfigRecord &record);

// Reads a 40-character block as the keyer does; the read-only fields come
// back empty. The simulated keyer uses it.
ConfigRecord ParseSentBlock(QByteArrayView block);

// The 48-character block as the keyer sends it; the simulated keyer uses it.
QByteArray BuildReceivedBlock(const ConfigRecord &record);

// "configuration.krv": 28 bytes, little-endian, fields in record order.
QByteArray toFileBytes(const ConfigRecord &record);
// Reads the first 28 bytes; false when the data is shorter.
bool fromFileBytes(QByteArrayView bytes, ConfigRecord *record);

// Writes the record file so that a failed write never leaves a truncated
// file behind; returns an error text or an empty string.
QString saveFile(const QString &path, const ConfigRecord &record);
// False when the file is missing, unreadable or too short.
bool loadFile(const QString &path, ConfigRecord *record);

// Restore copies only the operator's settings into the live record.
void copyOperatorSettings(const ConfigRecord &from, ConfigRecord *to);

} // namespace ConfigBlock

// Number of the keyer mode (0..6); a value above 6 counts as 0.
int keyerModeOf(quint16 optionWord);

// numerator / denominator rounded to the nearest whole number, exact halves
// to the even number (the rounding of every scaled control value).
qint64 roundedRatio(qint64 numerator, qint64 denominator);
