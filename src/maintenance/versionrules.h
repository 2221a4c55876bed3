#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// Version rules of start-up: the operating system, the keyer firmware
// against the program, and the monthly update reminder.
namespace VersionRules {

constexpr int ProgramMajor = DW_VERSION_MAJOR;
constexpr int ProgramMinor = DW_VERSION_MINOR;
constexpr int ProgramRevision = DW_VERSION_REVISION;

// "V.4.1.10"
QString programVersionLabel();

// Platform 1 (the 95/98/ME family) and platform 2 (NT) below major version 5
// are refused; platform 2 version 5.0 is the one that needs the old
// settings-export command. Other platforms (Linux) pass.
bool operatingSystemSupported(int platformId, int major, int minor, bool *windows2000 = nullptr);

// The manager's firmware check: empty when the firmware fits, else the
// start-up message. versionField is the block's two version digits, build
// its two build digits; both are read as decimal numbers.
QString managerFirmwareMessage(const QByteArray &versionField, const QByteArray &build);

// The trainer's firmware check: the two version digits of the identify
// answer, read as a number, must reach major × 10 + minor. Empty when they
// do, else the start-up message.
QString trainerFirmwareMessage(const QByteArray &versionDigits);

// year x 100 + month, the value kept in LastUpdate.
int updateStamp(const QDate &date);
bool updateReminderDue(int lastUpdate, const QDate &today);

} // namespace VersionRules
