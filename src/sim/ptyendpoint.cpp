#include "ptyendpoint.h"

#include "simulatedkeyer.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Output nobody reads is dropped beyond this, rather than piling up.
constexpr qsizetype MaxPendingOutput = 1 << 20;

QString systemError(const char *what)
{
    return QString::fromLatin1(what) + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyEndpoint::PtyEndpoint(QObject *parent)
    : QObject(parent)
{
    m_pollTimer.setInterval(75);
    connect(&m_pollTimer, &QTimer::timeout, this, &PtyEndpoint::pollSlave);
    connect(&m_paceTimer, &LineTimer::timeout, this, [this] {
        if (m_readNotifier && m_slaveOpen)
            m_readNotifier->setEnabled(true);
        readAvailable();
    });
}

PtyEndpoint::~PtyEndpoint()
{
    close();
}

bool PtyEndpoint::open()
{
    if (m_fd >= 0)
        return true;
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        m_error = systemError("posix_openpt");
        return false;
    }
    auto fail = [&](const char *what) {
        m_error = systemError(what);
        ::close(fd);
        return false;
    };
    if (::grantpt(fd) != 0)
        return fail("grantpt");
    if (::unlockpt(fd) != 0)
        return fail("unlockpt");
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    // Raw before anyone opens the slave: attributes set on the master are
    // the slave's, and a cooked slave would echo the host's commands back.
    termios attributes{};
    if (::tcgetattr(fd, &attributes) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&attributes);
    if (::tcsetattr(fd, TCSANOW, &attributes) != 0)
        return fail("tcsetattr");
    char name[256];
    if (::ptsname_r(fd, name, sizeof name) != 0)
        return fail("ptsname");

    m_fd = fd;
    m_slavePath = QString::fromLocal8Bit(name);
    m_error.clear();
    m_readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::readAvailable);
    m_writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyEndpoint::flushOutput);
    // Nobody has the slave open yet.
    m_slaveOpen = true;
    enterSlaveClosed();
    return true;
}

void PtyEndpoint::close()
{
    if (m_fd < 0)
        return;
    m_pollTimer.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    ::close(m_fd);
    m_fd = -1;
    m_slaveOpen = false;
    m_pendingOutput.clear();
}

qint32 PtyEndpoint::lineSpeed() const
{
    if (m_fd < 0)
        return 0;
    termios attributes{};
    if (::tcgetattr(m_fd, &attributes) != 0)
        return 0;
    return baudOf(::cfgetospeed(&attributes));
}

qint32 PtyEndpoint::baudOf(unsigned int speedConstant)
{
    struct Rate
    {
        speed_t constant;
        qint32 baud;
    };
    static constexpr Rate rates[] = {
        {B50, 50}, {B75, 75}, {B110, 110}, {B134, 134}, {B150, 150}, {B200, 200},
        {B300, 300}, {B600, 600}, {B1200, 1200}, {B1800, 1800}, {B2400, 2400},
        {B4800, 4800}, {B9600, 9600}, {B19200, 19200}, {B38400, 38400},
        {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B500000, 500000}, {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000},
        {B1152000, 1152000}, {B1500000, 1500000}, {B2000000, 2000000},
    };
    for (const Rate &rate : rates) {
        if (rate.constant == speedConstant)
            return rate.baud;
    }
    return 0;
}

void PtyEndpoint::attach(SimulatedKeyer *keyer)
{
    connect(this, &PtyEndpoint::received, keyer, [keyer](const QByteArray &bytes, qint32 speed) {
        keyer->setLineSpeed(speed);
        keyer->feed(bytes);
    });
    connect(keyer, &SimulatedKeyer::transmit, this, &PtyEndpoint::write);
    keyer->logStream().setOutputBacklog([this] { return qint64(m_pendingOutput.size()); });
}

void PtyEndpoint::write(const QByteArray &bytes)
{
    if (m_fd < 0 || !m_slaveOpen)
        return;
    if (m_pendingOutput.size() + bytes.size() > MaxPendingOutput)
        return;
    m_pendingOutput += bytes;
    flushOutput();
}

void PtyEndpoint::flushOutput()
{
    while (m_fd >= 0 && !m_pendingOutput.isEmpty()) {
        const ssize_t n = ::write(m_fd, m_pendingOutput.constData(), size_t(m_pendingOutput.size()));
        if (n > 0) {
            m_pendingOutput.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The host is not reading; go on when there is room.
            m_writeNotifier->setEnabled(true);
            return;
        }
        // The slave went away under us.
        m_pendingOutput.clear();
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}

bool PtyEndpoint::drain(QByteArray *into, qint64 most)
{
    char buffer[4096];
    for (;;) {
        const qint64 room = most < 0 ? qint64(sizeof buffer) : qMin<qint64>(sizeof buffer, most - into->size());
        if (room <= 0)
            return true;
        const ssize_t n = ::read(m_fd, buffer, size_t(room));
        if (n > 0) {
            into->append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        // EIO (or end of file): no slave is open any more.
        return false;
    }
}

qint64 PtyEndpoint::readAllowance()
{
    const qint32 baud = lineSpeed();
    if (baud <= 0)
        return -1;
    // The line is busy from the moment bytes wait; each of them has taken
    // its ten bits of line time since then.
    if (!m_lineBusy) {
        m_lineBusy = true;
        m_lineClock.start();
        m_lineRead = 0;
    }
    return m_lineClock.nsecsElapsed() * baud / 10 / 1000000000 - m_lineRead;
}

void PtyEndpoint::readAvailable()
{
    if (m_fd < 0)
        return;
    QByteArray bytes;
    qint64 most = -1;
    if (m_linePaced && (most = readAllowance()) == 0) {
        // Nothing more until the line has carried another byte.
        m_readNotifier->setEnabled(false);
        m_paceTimer.start((m_lineRead + 1) * 10 * 1000000000 / lineSpeed() - m_lineClock.nsecsElapsed());
        return;
    }
    const bool stillOpen = drain(&bytes, most);
    if (m_linePaced) {
        m_lineRead += bytes.size();
        // Nothing left waiting: the line is idle, and the next bytes start
        // its clock again instead of using up the quiet time.
        int waiting = 0;
        if (most < 0 || bytes.size() < most || (::ioctl(m_fd, FIONREAD, &waiting) == 0 && waiting == 0))
            m_lineBusy = false;
    }
    if (!bytes.isEmpty())
        emit received(bytes, lineSpeed());
    if (!stillOpen && m_fd >= 0)
        enterSlaveClosed();
}

void PtyEndpoint::enterSlaveClosed()
{
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
    m_pendingOutput.clear();
    m_closedSince.start();
    m_pollTimer.start();
    if (m_slaveOpen) {
        m_slaveOpen = false;
        emit slaveClosed();
    }
}

// POLLHUP on the master means that no slave is open.
void PtyEndpoint::pollSlave()
{
    if (m_fd < 0)
        return;
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return;
    if (p.revents & POLLHUP) {
        // A host that wrote and closed at once still gets its bytes read,
        // though nobody is left to hear the answer.
        if (p.revents & POLLIN) {
            QByteArray bytes;
            drain(&bytes);
            if (!bytes.isEmpty())
                emit received(bytes, lineSpeed());
        }
        if (m_idleExitMs > 0 && m_closedSince.elapsed() >= m_idleExitMs)
            emit idleTimeout();
        return;
    }
    m_pollTimer.stop();
    m_slaveOpen = true;
    m_readNotifier->setEnabled(true);
    emit slaveOpened();
    readAvailable();
}
