#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the "Serial ports" window lists: every serial device of this
// machine with what identifies it, and whether this user may open it
// (the usual reason a keyer is not found).
struct SerialPortRow
{
    QString device;       // /dev/ttyUSB0
    QString stableName;   // /dev/serial/by-id/usb-FTDI_..., empty without one
    QString description;  // "FT232R USB UART"
    QString manufacturer;
    QString usbIds;       // "0403:6001", empty for on-board ports
    QString serialNumber;
    bool exists = false;
    bool accessible = false;
};

class SerialPortList
{
public:
    // extraDevices (the keyer's port table: a pseudo-terminal given with
    // --port is not among the system's ports), then the system's ports;
    // each device once.
    static QList<SerialPortRow> discover(const QStringList &extraDevices,
                                         const QString &stableFolder = QStringLiteral("/dev/serial/by-id"));
    // "yes", or what keeps this user out and how to get in.
    static QString accessText(const SerialPortRow &row);
};
