#pragma once

#include "textblock.h"

#include <QByteArray>

#include <optional>

// Flags byte of a log record.
namespace LogFlags {
constexpr quint8 BandMask = 0x0F;
constexpr quint8 User2 = 0x10;
constexpr quint8 Contest = 0x20;
constexpr quint8 SSB = 0x40;
constexpr quint8 Duplicate = 0x80;
} // namespace LogFlags

// One QSO as the keyer stores and sends it: 88 printable characters,
// flags (2 hex digits), text block (27 bytes as 54 hex digits), RST
// received and sent (4 each, "0599" / "0059"), end time or the received
// and sent serial numbers (12), start time (12, "ssnnhhddmmyy").
struct LogRecord
{
    static constexpr int Length = 88;

    quint8 flags = 0;
    QByteArray textBlock = QByteArray(TextBlock::Size, '\0');
    QByteArray rstReceived = "0599";
    QByteArray rstSent = "0599";
    QByteArray endOrSerials = "000000000000";
    QByteArray start = "000000000000";

    // The first 88 characters of a line; nothing when the line is short,
    // the flags or text block are not hex, or a later position is not a
    // printable character.
    static std::optional<LogRecord> decode(QByteArrayView line);
    QByteArray encode() const;

    int bandIndex() const { return flags & LogFlags::BandMask; }
    bool isUser2() const { return flags & LogFlags::User2; }
    bool isContest() const { return flags & LogFlags::Contest; }
    bool isSSB() const { return flags & LogFlags::SSB; }
    bool isDuplicate() const { return flags & LogFlags::Duplicate; }

    TextBlock text() const { return TextBlock::fromBytes(textBlock); }
    // The report as read: three digits for CW, two for SSB.
    QByteArray reportReceived() const { return rstReceived.right(isSSB() ? 2 : 3); }
    QByteArray reportSent() const { return rstSent.right(isSSB() ? 2 : 3); }
    QByteArray receivedSerial() const { return endOrSerials.left(6); }
    QByteArray sentSerial() const { return endOrSerials.right(6); }

    bool operator==(const LogRecord &) const = default;
};
