#pragma once

#include "keyerport.h"

#include <QList>
#include <QMap>
#include <QPair>

#include <functional>

// An in-memory keyer port. Devices "exist" when listed; what the program
// writes goes to a responder, whose answers arrive later through the event
// loop, as from a real device.
class FakeKeyerPort : public KeyerPort
{
    Q_OBJECT
public:
    using Responder = std::function<void(FakeKeyerPort &port, const QByteArray &written)>;

    explicit FakeKeyerPort(QObject *parent = nullptr) : KeyerPort(parent) {}

    // Devices that open; the others answer "no such device".
    QStringList devices;
    // Devices that exist but refuse to open: held by another program, or
    // not open to this user.
    QStringList brokenDevices;
    QStringList forbiddenDevices;
    Responder responder;
    // Every open attempt, in order.
    QList<QPair<QString, qint32>> openAttempts;
    QByteArray written;

    // Bytes from the keyer, delivered after delayMs through the event loop.
    void arrive(const QByteArray &bytes, int delayMs = 0);
    // Simulates the device failing (unplugged).
    void fail(const QString &reason);

    qint32 baudRate() const { return m_baud; }

    OpenResult open(const QString &device, qint32 baudRate) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString device() const override { return m_device; }
    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray read(qint64 maxSize) override;
    void write(const QByteArray &bytes) override;
    void flush() override {}
    void discardInput() override { m_input.clear(); }
    void discardOutput() override {}
    void setSoftwareFlowControl(bool on) override { softwareFlowControl = on; }
    QString errorString() const override { return m_error; }

    bool softwareFlowControl = false;

private:
    bool m_open = false;
    QString m_device;
    qint32 m_baud = 0;
    QByteArray m_input;
    QString m_error;
    int m_generation = 0;
};
