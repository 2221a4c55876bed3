#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// The trainer's copy of the trainer keyer's options: the eleven bytes and
// the flags word of its configuration block, the firmware version from the
// identify answer and the two speeds the keyer reported last.
struct TrainerConfig
{
    enum Byte {
        Contrast,
        Pitch,
        Carried2, // the firmware's own; sent back as read
        Volume,
        SpeedLow,
        SpeedHigh,
        Carried6, // the firmware's own; sent back as read
        CharSpace,
        WordSpace,
        Lesson,
        AutoMinutes, // speed increase interval, 0-9 minutes
        ByteCount
    };

    QByteArray firmwareVersion = "00";
    std::array<quint8, ByteCount> bytes{};
    quint16 flags = 0;
    quint8 charSpeed = 0;
    quint8 wordSpeed = 0;

    quint8 &operator[](Byte b) { return bytes[b]; }
    quint8 operator[](Byte b) const { return bytes[b]; }
    bool flag(quint16 mask) const { return flags & mask; }
    void setFlag(quint16 mask, bool on) { flags = on ? (flags | mask) : (flags & ~mask); }

    bool operator==(const TrainerConfig &) const = default;
};

// Flags word bits. Bit 0 and bits 12-15 have no control and travel as read.
namespace TrainerFlag {
constexpr quint16 MemoryOff = 0x0002; // the only inverted one: set = dash/dot memory off
constexpr quint16 AutoCharSpace = 0x0004;
constexpr quint16 DashPlus = 0x0008;
constexpr quint16 PaddleReverse = 0x0010;
constexpr quint16 AutoWordSpace = 0x0020;
constexpr quint16 ToneOff = 0x0040;
constexpr quint16 TransmitOn = 0x0080;
constexpr quint16 KeyerModeMask = 0x0700;
constexpr quint16 HandKey = 0x0800;
} // namespace TrainerFlag

namespace TrainerBlock {

// 11 bytes as two hex digits each, then the flags word low byte first.
constexpr int Length = 26;
// "configuration.krt": version (2), block (26), character and word speed.
constexpr int FileLength = 30;

// Reads a block of the keyer into the option part of *config; false (and
// *config untouched) when it is shorter than 26 characters or holds
// anything but hex digits, so that a garbled block is never sent back.
bool parse(QByteArrayView block, TrainerConfig *config);
QByteArray build(const TrainerConfig &config);

// Keyer mode 0-6 from bits 8-10; 7 counts as 0.
int keyerMode(quint16 flags);
quint16 withKeyerMode(quint16 flags, int mode);

QByteArray toFileBytes(const TrainerConfig &config);
bool fromFileBytes(QByteArrayView bytes, TrainerConfig *config);
// Error text, or empty when the file was written.
QString saveFile(const QString &path, const TrainerConfig &config);
// False when the file is missing, too short or not a trainer record.
bool loadFile(const QString &path, TrainerConfig *config);

} // namespace TrainerBlock
