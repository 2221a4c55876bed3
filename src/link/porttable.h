#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Port numbers 1..16 as the operator sees them, mapped onto devices: first
// the device named on the command line (or in DASHWRIGHT_PORT), then the
// USB, ACM and on-board serial devices in numeric order.
//
// USB devices change their kernel names (/dev/ttyUSB0 becomes ttyUSB1 when
// another adapter is plugged in first); the links under /dev/serial/by-id
// name the adapter itself. The table knows both.
class PortTable
{
public:
    static constexpr int MaxPorts = 16;

    PortTable() = default;
    // stableNames: the device each stable link points at -> the link.
    explicit PortTable(QStringList devices, QHash<QString, QString> stableNames = {});

    static QString stableFolder() { return QStringLiteral("/dev/serial/by-id"); }
    // The table of this machine; explicitDevice may be empty, a kernel
    // name or a stable name.
    static PortTable discover(const QString &explicitDevice, const QString &stableLinks = stableFolder());
    // The same with several devices named up front (the keyer's, the
    // radio's); empty names are left out.
    static PortTable discover(const QStringList &explicitDevices, const QString &stableLinks = stableFolder());
    // The links of a folder, keyed by the device each points at.
    static QHash<QString, QString> readStableNames(const QString &folder);
    // Orders device paths: ttyUSB*, ttyACM*, ttyS*, then anything else,
    // numeric order within each family.
    static QStringList ordered(QStringList devices);

    // Empty when the number has no device.
    QString device(int number) const;
    // The name to remember the port by: its stable link when it has one,
    // else the device itself.
    QString stableName(int number) const;
    // The device for a list: "/dev/ttyUSB0 (usb-FTDI_...-port0)".
    QString label(int number) const;
    // The number of the entry that is this device under any of its names;
    // 0 when none is.
    int numberOf(const QString &name) const;
    int count() const { return int(m_devices.size()); }
    QStringList devices() const { return m_devices; }

private:
    // The device a name finally points at (the name itself when it is no link).
    static QString resolved(const QString &name);

    QStringList m_devices;
    QHash<QString, QString> m_stableNames;
};
