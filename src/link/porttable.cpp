#include "porttable.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

PortTable::PortTable(QStringList devices) : m_devices(std::move(devices))
{
    if (m_devices.size() > MaxPorts)
        m_devices.resize(MaxPorts);
}

PortTable PortTable::discover(const QString &explicitDevice)
{
    QStringList system;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        system << info.systemLocation();
    system.removeDuplicates();
    QStringList devices;
    if (!explicitDevice.isEmpty())
        devices << explicitDevice;
    for (const QString &device : ordered(system)) {
        if (device != explicitDevice)
            devices << device;
    }
    return PortTable(devices);
}

QStringList PortTable::ordered(QStringList devices)
{
    static const QRegularExpression family(u"^(.*?)(\\d*)$"_s);
    const auto rank = [](const QString &device) {
        if (device.contains(u"ttyUSB"_s))
            return 0;
        if (device.contains(u"ttyACM"_s))
            return 1;
        if (device.contains(u"ttyS"_s))
            return 2;
        return 3;
    };
    std::stable_sort(devices.begin(), devices.end(), [&](const QString &a, const QString &b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        const auto ma = family.match(a);
        const auto mb = family.match(b);
        if (ma.captured(1) != mb.captured(1))
            return ma.captured(1) < mb.captured(1);
        return ma.captured(2).toLongLong() < mb.captured(2).toLongLong();
    });
    return devices;
}

QString PortTable::device(int number) const
{
    if (number < 1 || number > m_devices.size())
        return {};
    return m_devices.at(number - 1);
}
