#include "serialportlist.h"

#include "porttable.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

bool mayOpen(const QString &device)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#else
    return QFileInfo::exists(device);
#endif
}

} // namespace

QList<SerialPortRow> SerialPortList::discover(const QStringList &extraDevices, const QString &stableFolder)
{
    const QHash<QString, QString> stable = PortTable::readStableNames(stableFolder);
    QHash<QString, QSerialPortInfo> infos;
    QStringList system;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        infos.insert(info.systemLocation(), info);
        system << info.systemLocation();
    }
    const QStringList ordered = extraDevices + PortTable::ordered(system);
    QList<SerialPortRow> rows;
    QStringList seen;
    for (const QString &name : ordered) {
        const QString device = QFileInfo(name).canonicalFilePath().isEmpty() ? name : QFileInfo(name).canonicalFilePath();
        if (seen.contains(device))
            continue;
        seen << device;
        SerialPortRow row;
        row.device = device;
        row.stableName = stable.value(device);
        row.exists = QFileInfo::exists(device);
        row.accessible = row.exists && mayOpen(device);
        const QSerialPortInfo info = infos.value(device, infos.value(name));
        row.description = info.description();
        row.manufacturer = info.manufacturer();
        row.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            row.usbIds = u"%1:%2"_s.arg(uint(info.vendorIdentifier()), 4, 16, QChar(u'0')).arg(uint(info.productIdentifier()), 4, 16, QChar(u'0'));
        rows << row;
    }
    return rows;
}

QString SerialPortList::accessText(const SerialPortRow &row)
{
    if (!row.exists)
        return u"no: the device is gone"_s;
    if (row.accessible)
        return u"yes"_s;
    return u"no: join the group that owns it (usually dialout) and log in again"_s;
}
