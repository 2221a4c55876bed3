#include "fakekeyerport.h"

#include <QTimer>

using namespace Qt::StringLiterals;

KeyerPort::OpenResult FakeKeyerPort::open(const QString &device, qint32 baudRate)
{
    openAttempts.append({device, baudRate});
    if (brokenDevices.contains(device)) {
        m_error = u"Device or resource busy"_s;
        return OpenResult::Failed;
    }
    if (forbiddenDevices.contains(device)) {
        m_error = u"Permission denied"_s;
        return OpenResult::PermissionDenied;
    }
    if (!devices.contains(device)) {
        m_error = u"No such file or directory"_s;
        return OpenResult::NoSuchDevice;
    }
    m_open = true;
    m_device = device;
    m_baud = baudRate;
    m_input.clear();
    softwareFlowControl = true;
    ++m_generation;
    return OpenResult::Opened;
}

void FakeKeyerPort::close()
{
    m_open = false;
    m_input.clear();
    ++m_generation;
}

QByteArray FakeKeyerPort::read(qint64 maxSize)
{
    const qsizetype n = maxSize > 0 ? qMin<qsizetype>(maxSize, m_input.size()) : m_input.size();
    QByteArray data = m_input.left(n);
    m_input.remove(0, n);
    return data;
}

void FakeKeyerPort::write(const QByteArray &bytes)
{
    if (!m_open)
        return;
    written += bytes;
    if (responder)
        responder(*this, bytes);
}

void FakeKeyerPort::arrive(const QByteArray &bytes, int delayMs)
{
    const int generation = m_generation;
    QTimer::singleShot(delayMs, this, [this, bytes, generation] {
        // Bytes sent to a port that has since been closed are lost.
        if (!m_open || generation != m_generation)
            return;
        m_input += bytes;
        emit readyRead();
    });
}

void FakeKeyerPort::fail(const QString &reason)
{
    m_open = false;
    m_input.clear();
    ++m_generation;
    emit failed(reason);
}
