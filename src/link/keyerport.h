#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The byte pipe to the keyer. The real one is a serial port; tests plug in
// an in-memory fake. Received bytes are buffered by the port until read.
class KeyerPort : public QObject
{
    Q_OBJECT
public:
    // PermissionDenied: this user may not open the device (not in the
    // device's group); Failed: any other reason, such as another program
    // holding the device.
    enum class OpenResult { Opened, NoSuchDevice, PermissionDenied, Failed };

    using QObject::QObject;
    ~KeyerPort() override = default;

    // Opens the device at "baud,N,8,1" with XON/XOFF and an empty receive
    // buffer, DTR and RTS low (they are never raised). When it does not
    // open, errorString() says why.
    virtual OpenResult open(const QString &device, qint32 baudRate) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString device() const = 0;

    virtual qint64 bytesAvailable() const = 0;
    // At most maxSize bytes (0: everything buffered).
    virtual QByteArray read(qint64 maxSize) = 0;
    // Queues bytes for the device: never refused, never blocking; what the
    // device cannot take yet goes when it can.
    virtual void write(const QByteArray &bytes) = 0;
    // Pushes pending output to the device without waiting for the event loop.
    virtual void flush() = 0;
    // Output written but not yet on the line (queued here or in the
    // device); a long transfer waits on it so that it runs no further
    // ahead of the line than that, and counts what is really sent by it.
    virtual qint64 bytesToWrite() const { return 0; }
    virtual void discardInput() = 0;
    // Drops the output not yet on the line (Cancel).
    virtual void discardOutput() = 0;
    virtual void setSoftwareFlowControl(bool on) = 0;
    virtual QString errorString() const = 0;

signals:
    void readyRead();
    // The device failed while open (unplugged, the other end vanished).
    // The port is closed when this is emitted.
    void failed(const QString &reason);
};
