#pragma once

#include "keyerport.h"

class QSerialPort;
class QSocketNotifier;

// KeyerPort on a real serial device (or a pseudo-terminal).
//
// Output goes through a queue of its own: what the device takes at once is
// written at once (a typed character leaves without waiting for the event
// loop), the rest whenever the device can take more. A full output buffer
// (the keyer holding XOFF, a slow adapter, a big load) only waits; the port
// fails only on a real error.
class SerialKeyerPort : public KeyerPort
{
    Q_OBJECT
public:
    explicit SerialKeyerPort(QObject *parent = nullptr);
    ~SerialKeyerPort() override;

    OpenResult open(const QString &device, qint32 baudRate) override;
    void close() override;
    bool isOpen() const override;
    QString device() const override;
    qint64 bytesAvailable() const override;
    QByteArray read(qint64 maxSize) override;
    void write(const QByteArray &bytes) override;
    void flush() override;
    qint64 bytesToWrite() const override;
    void discardInput() override;
    void discardOutput() override;
    void setSoftwareFlowControl(bool on) override;
    QString errorString() const override;

private:
    void onError();
    // Hands the device as much of the queue as it takes; false on a real
    // error (the port has been closed and failed() emitted).
    bool pump();
    void fail(const QString &reason);
    // Bytes written to the device that it has not put on the line yet.
    qint64 deviceQueued() const;

    QSerialPort *m_port;
    QSocketNotifier *m_writable = nullptr;
    QByteArray m_pending;
    QString m_error;
};
