#pragma once

#include "keyerport.h"

class QSerialPort;

// KeyerPort on a real serial device (or a pseudo-terminal).
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

    QSerialPort *m_port;
    QString m_error;
};
