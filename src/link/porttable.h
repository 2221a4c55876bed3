#pragma once

#include <QString>
#include <QStringList>

// Port numbers 1..16 as the operator sees them, mapped onto devices: first
// the device named on the command line (or in DASHWRIGHT_PORT), then the
// USB, ACM and on-board serial devices in numeric order.
class PortTable
{
public:
    static constexpr int MaxPorts = 16;

    PortTable() = default;
    explicit PortTable(QStringList devices);

    // The table of this machine; explicitDevice may be empty.
    static PortTable discover(const QString &explicitDevice);
    // Orders device paths: ttyUSB*, ttyACM*, ttyS*, then anything else,
    // numeric order within each family.
    static QStringList ordered(QStringList devices);

    // Empty when the number has no device.
    QString device(int number) const;
    int count() const { return int(m_devices.size()); }
    QStringList devices() const { return m_devices; }

private:
    QStringList m_devices;
};
