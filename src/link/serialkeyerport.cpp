#include "serialkeyerport.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSocketNotifier>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

SerialKeyerPort::SerialKeyerPort(QObject *parent)
    : KeyerPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &KeyerPort::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialKeyerPort::onError);
}

SerialKeyerPort::~SerialKeyerPort() = default;

KeyerPort::OpenResult SerialKeyerPort::open(const QString &device, qint32 baudRate)
{
    close();
    m_error.clear();
    if (!QFileInfo::exists(device)) {
        m_error = tr("%1 does not exist").arg(device);
        return OpenResult::NoSuchDevice;
    }
    m_port->setPortName(device);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = m_port->errorString();
        if (m_port->error() == QSerialPort::DeviceNotFoundError)
            return OpenResult::NoSuchDevice;
#ifdef Q_OS_UNIX
        // The port reports a device held by another program and one this
        // user may not open alike; only the second is mended by the user.
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
            m_error = tr("Permission denied");
            return OpenResult::PermissionDenied;
        }
        if (m_port->error() == QSerialPort::PermissionError)
            m_error = tr("the device is in use by another program (%1)").arg(m_error);
#endif
        return OpenResult::Failed;
    }
    // Linux raises DTR and RTS on open; on a radio interface they may key
    // PTT or CW. The keyer needs neither, so they go low at once and stay
    // low. A device without modem lines (a pseudo-terminal) refuses; that
    // is no fault.
    m_port->setDataTerminalReady(false);
    m_port->setRequestToSend(false);
    m_port->clearError();
    const bool configured = m_port->setBaudRate(baudRate) && m_port->setDataBits(QSerialPort::Data8)
        && m_port->setParity(QSerialPort::NoParity) && m_port->setStopBits(QSerialPort::OneStop)
        && m_port->setFlowControl(QSerialPort::SoftwareControl);
    if (!configured) {
        m_error = m_port->errorString();
        m_port->close();
        return OpenResult::Failed;
    }
    m_port->clear(QSerialPort::Input);
#ifdef Q_OS_UNIX
    m_writable = new QSocketNotifier(int(m_port->handle()), QSocketNotifier::Write, this);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, [this] { pump(); });
#endif
    return OpenResult::Opened;
}

void SerialKeyerPort::close()
{
    // Closing may come from the notifier's own signal (a write that failed).
    if (QSocketNotifier *writable = std::exchange(m_writable, nullptr)) {
        writable->setEnabled(false);
        writable->deleteLater();
    }
    m_pending.clear();
    if (m_port->isOpen())
        m_port->close();
}

void SerialKeyerPort::fail(const QString &reason)
{
    m_error = reason;
    close();
    emit failed(m_error);
}

bool SerialKeyerPort::pump()
{
#ifdef Q_OS_UNIX
    const int fd = int(m_port->handle());
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::write(fd, m_pending.constData(), size_t(m_pending.size()));
        if (written > 0) {
            m_pending.remove(0, qsizetype(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        // Full: the device takes more later, when it says it can.
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        fail(written < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : tr("the device took nothing"));
        return false;
    }
    if (m_writable)
        m_writable->setEnabled(!m_pending.isEmpty());
    return true;
#else
    m_port->write(m_pending);
    m_pending.clear();
    return true;
#endif
}

qint64 SerialKeyerPort::deviceQueued() const
{
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) == 0 && queued > 0)
        return queued;
#endif
    return 0;
}

bool SerialKeyerPort::isOpen() const
{
    return m_port->isOpen();
}

QString SerialKeyerPort::device() const
{
    return m_port->portName();
}

qint64 SerialKeyerPort::bytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

QByteArray SerialKeyerPort::read(qint64 maxSize)
{
    if (!m_port->isOpen())
        return {};
    return maxSize > 0 ? m_port->read(maxSize) : m_port->readAll();
}

void SerialKeyerPort::write(const QByteArray &bytes)
{
    if (!m_port->isOpen())
        return;
    m_pending += bytes;
    // Behind bytes still queued, the new ones wait their turn.
    if (m_pending.size() == bytes.size())
        pump();
}

qint64 SerialKeyerPort::bytesToWrite() const
{
    return m_port->isOpen() ? m_pending.size() + deviceQueued() : 0;
}

void SerialKeyerPort::flush()
{
    if (m_port->isOpen())
        pump();
}

void SerialKeyerPort::discardInput()
{
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Input);
}

void SerialKeyerPort::discardOutput()
{
    m_pending.clear();
    if (m_writable)
        m_writable->setEnabled(false);
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Output);
}

void SerialKeyerPort::setSoftwareFlowControl(bool on)
{
    if (m_port->isOpen())
        m_port->setFlowControl(on ? QSerialPort::SoftwareControl : QSerialPort::NoFlowControl);
}

QString SerialKeyerPort::errorString() const
{
    return m_error;
}

void SerialKeyerPort::onError()
{
    const QSerialPort::SerialPortError error = m_port->error();
    // Only a failure of an open device ends the link; errors of open() are
    // reported by open() itself. A device that hung up (the other end of a
    // pseudo-terminal closed, a USB adapter pulled) reads nothing forever:
    // keeping it open would spin.
    if (error == QSerialPort::NoError || !m_port->isOpen())
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::PermissionError
        && error != QSerialPort::ReadError)
        return;
    m_error = error == QSerialPort::ReadError ? tr("the device hung up") : m_port->errorString();
    m_port->clearError();
    m_port->close();
    emit failed(m_error);
}
