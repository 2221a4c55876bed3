#include "porttable.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

PortTable::PortTable(QStringList devices, QHash<QString, QString> stableNames)
    : m_devices(std::move(devices)), m_stableNames(std::move(stableNames))
{
    if (m_devices.size() > MaxPorts)
        m_devices.resize(MaxPorts);
}

QString PortTable::resolved(const QString &name)
{
    const QString target = QFileInfo(name).canonicalFilePath();
    return target.isEmpty() ? name : target;
}

QHash<QString, QString> PortTable::readStableNames(const QString &folder)
{
    QHash<QString, QString> names;
    const QFileInfoList links = QDir(folder).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty() && !names.contains(target))
            names.insert(target, link.absoluteFilePath());
    }
    return names;
}

PortTable PortTable::discover(const QString &explicitDevice, const QString &stableLinks)
{
    return discover(QStringList{explicitDevice}, stableLinks);
}

PortTable PortTable::discover(const QStringList &explicitDevices, const QString &stableLinks)
{
    QStringList system;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        system << info.systemLocation();
    system.removeDuplicates();
    QStringList devices;
    // A stable name on the command line and the kernel name it points at
    // are one port.
    QStringList explicitTargets;
    for (const QString &device : explicitDevices) {
        if (!device.isEmpty() && !explicitTargets.contains(resolved(device))) {
            devices << device;
            explicitTargets << resolved(device);
        }
    }
    for (const QString &device : ordered(system)) {
        if (!explicitTargets.contains(resolved(device)))
            devices << device;
    }
    return PortTable(devices, readStableNames(stableLinks));
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

QString PortTable::stableName(int number) const
{
    const QString name = device(number);
    if (name.isEmpty())
        return {};
    // A stable name given as the device is kept as given.
    if (resolved(name) != name)
        return name;
    return m_stableNames.value(name, name);
}

QString PortTable::label(int number) const
{
    const QString name = device(number);
    const QString kernel = resolved(name);
    const QString stable = stableName(number);
    if (stable == kernel)
        return kernel;
    return u"%1 (%2)"_s.arg(kernel, QFileInfo(stable).fileName());
}

int PortTable::numberOf(const QString &name) const
{
    if (name.isEmpty())
        return 0;
    const QString target = resolved(name);
    for (int number = 1; number <= count(); ++number) {
        if (m_devices.at(number - 1) == name || resolved(m_devices.at(number - 1)) == target)
            return number;
    }
    return 0;
}
