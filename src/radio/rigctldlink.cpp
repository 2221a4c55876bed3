#include "rigctldlink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct BandEdges
{
    qint64 low, high; // Hz, the widest of the three regions' allocations
    int position;
};

constexpr BandEdges Bands[] = {
    {1'800'000, 2'000'000, 12},     {3'500'000, 4'000'000, 11},     {5'060'000, 5'450'000, 10},
    {7'000'000, 7'300'000, 9},      {10'100'000, 10'150'000, 8},    {14'000'000, 14'350'000, 7},
    {18'068'000, 18'168'000, 6},    {21'000'000, 21'450'000, 5},    {24'890'000, 24'990'000, 4},
    {28'000'000, 29'700'000, 3},    {50'000'000, 54'000'000, 2},    {70'000'000, 71'000'000, 1},
    {144'000'000, 148'000'000, 0},
};

} // namespace

RigctldLink::RigctldLink(QObject *parent) : QObject(parent)
{
    m_waitTimer.setSingleShot(true);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_waiting)
            emit failed(tr("rigctld closed the connection"));
    });
}

RigctldLink::~RigctldLink()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

bool RigctldLink::open(const QString &host, quint16 port)
{
    close();
    m_socket.connectToHost(host.trimmed().isEmpty() ? u"localhost"_s : host.trimmed(), port);
    bool error = false;
    const auto onError = connect(&m_socket, &QTcpSocket::errorOccurred, this, [&error] { error = true; });
    waitUntil([&] { return error || isOpen(); });
    disconnect(onError);
    if (!isOpen()) {
        m_error = error ? tr("rigctld at %1:%2: %3").arg(host).arg(port).arg(m_socket.errorString())
                        : tr("rigctld at %1:%2 did not answer within %3 seconds").arg(host).arg(port).arg(AnswerLimit / 1000);
        m_socket.abort();
        return false;
    }
    m_error.clear();
    return true;
}

void RigctldLink::close()
{
    m_waiting = true;
    m_socket.abort();
    m_waiting = false;
}

RigctldLink::PollOutcome RigctldLink::poll(Report *report)
{
    if (!isOpen())
        return PollOutcome::Closed;
    m_socket.readAll(); // anything left from a poll that timed out
    m_socket.write("f\nm\n");
    QList<QByteArray> lines;
    QByteArray partial;
    bool refused = false;
    bool complete = false;
    const bool answered = waitUntil([&] {
        partial += m_socket.readAll();
        qsizetype end;
        while ((end = partial.indexOf('\n')) >= 0) {
            lines.append(partial.left(end).trimmed());
            partial.remove(0, end + 1);
        }
        complete = parse(lines, report, &refused);
        return complete || refused || !isOpen();
    });
    if (refused)
        return PollOutcome::Refused;
    if (complete)
        return PollOutcome::Taken;
    return answered ? PollOutcome::Closed : PollOutcome::NoAnswer;
}

bool RigctldLink::parse(const QList<QByteArray> &lines, Report *report, bool *refused)
{
    for (const QByteArray &line : lines) {
        // "RPRT 0" is success, which "f" and "m" never send; a negative code
        // is Hamlib's error number.
        if (line.startsWith("RPRT") && line.mid(4).trimmed().toInt() < 0) {
            *refused = true;
            return false;
        }
    }
    if (lines.size() < 3)
        return false;
    bool ok = false;
    const qint64 frequency = lines.at(0).toDouble(&ok);
    if (!ok || lines.at(1).isEmpty())
        return false;
    report->frequency = frequency;
    report->mode = QString::fromLatin1(lines.at(1)).toUpper();
    return true;
}

int RigctldLink::bandPosition(qint64 frequency)
{
    for (const BandEdges &band : Bands) {
        if (frequency >= band.low && frequency <= band.high)
            return band.position;
    }
    return -1;
}

bool RigctldLink::isCw(const QString &mode)
{
    return mode == u"CW"_s || mode == u"CWR"_s;
}

bool RigctldLink::waitUntil(const std::function<bool()> &done)
{
    m_waiting = true;
    const QDeadlineTimer deadline(AnswerLimit);
    bool result = done();
    while (!result && !deadline.hasExpired()) {
        // The timer wakes the wait at the deadline when rigctld is silent.
        m_waitTimer.start(int(qMax<qint64>(1, deadline.remainingTime())));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        result = done();
    }
    m_waitTimer.stop();
    m_waiting = false;
    return result;
}
