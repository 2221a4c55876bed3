#include "keyersearch.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "porttable.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

qint32 KeyerSearch::lowerBaudRate(qint32 baudRate)
{
    switch (baudRate) {
    case 38400: return 19200;
    case 19200: return 9600;
    case 9600: return 4800;
    default: return 0;
    }
}

KeyerSearch::Result KeyerSearch::run(int port, qint32 baud, bool autoSearch, const std::function<bool()> &stop)
{
    const auto stopped = [&] { return stop && stop(); };
    // Cleared after the first fallback to port 1.
    bool searchFlag = true;
    Result result;
    for (;;) {
        if (stopped()) {
            result.outcome = Outcome::Cancelled;
            return result;
        }
        // A cancel ends the wait it falls into; nothing after it may start.
        const auto pause = [&](int milliseconds) {
            m_link.Wait(milliseconds);
            return !stopped();
        };
        try {
            // Opening the radio's port would close the radio's link (or
            // fail), and the keyer is not there anyway.
            for (const QString &device : m_excluded) {
                if (m_link.portTable().numberOf(device) == port)
                    throw KeyerError(KeyerErrors::PortOpenFailed, u"it is the connected radio's port"_s);
            }
            if (m_trying)
                m_trying(port, baud);
            if (!pause(100))
                continue;
            m_link.openPort(port, baud);
            bool going = pause(200);
            if (going) {
                identify();
                going = !stopped();
            }
            if (going && m_link.linkStatus != KeyerLink::Arrived) {
                m_link.port()->discardInput();
                going = pause(200);
                if (going) {
                    identify();
                    going = !stopped();
                }
            }
            if (!going) {
                m_link.closePort();
                continue;
            }
            if (m_link.linkStatus == KeyerLink::TimedOut) {
                m_link.closePort();
                if (searchFlag) {
                    searchFlag = false;
                    port = 1;
                    baud = 38400;
                    continue;
                }
                baud = lowerBaudRate(baud);
                if (baud != 0)
                    continue;
                throw KeyerError(KeyerErrors::InvalidPortNumber);
            }
            result.port = port;
            result.baudRate = baud;
            if (m_link.linkStatus != KeyerLink::Arrived) {
                m_link.closePort();
                result.outcome = Outcome::Cancelled;
                return result;
            }
            const QByteArray &answer = m_link.rxBuffer;
            if (answer.size() <= 2 || answer.at(0) != '?' || answer.at(2) != KeyerLink::ACK) {
                result.outcome = Outcome::BadAnswer;
                return result;
            }
            result.outcome = Outcome::Answered;
            result.deviceLetter = answer.at(1);
            return result;
        } catch (const KeyerError &error) {
            result.port = port;
            result.baudRate = baud;
            // A port that exists but does not open is passed over like a
            // missing one; the operator learns why if no keyer is found.
            if (error.number() != KeyerErrors::InvalidPortNumber) {
                const QString device = m_link.portTable().device(port);
                const bool known = std::any_of(result.problems.cbegin(), result.problems.cend(),
                                               [&](const PortProblem &p) { return p.device == device; });
                if (!known)
                    result.problems.append({device, error.detail(),
                                            error.number() == KeyerErrors::PortPermissionDenied});
            }
            if (!autoSearch) {
                result.outcome = Outcome::NotFound;
                return result;
            }
            if (searchFlag && port != 1) {
                searchFlag = false;
                port = 1;
            } else if (port < PortTable::MaxPorts) {
                ++port;
            } else {
                result.outcome = Outcome::NotFound;
                result.portUnknown = true;
                return result;
            }
            baud = 38400;
        }
    }
}

void KeyerSearch::identify()
{
    m_link.write(QByteArray(1, KeyerLink::ENQ) + '?');
    m_link.ReceiveCount(2);
    // The answer has three characters; an adapter may deliver the last one
    // in a read of its own.
    if (m_link.linkStatus == KeyerLink::Arrived)
        m_link.CompleteCount(3);
}

QString KeyerSearch::problemText(const QList<PortProblem> &problems)
{
    QStringList lines;
    QString group;
    for (const PortProblem &problem : problems) {
        lines << u"%1 could not be opened: %2"_s.arg(problem.device, problem.reason);
        if (problem.permissionDenied && group.isEmpty())
            group = QFileInfo(problem.device).group();
    }
    const bool permission = std::any_of(problems.cbegin(), problems.cend(),
                                  [](const PortProblem &p) { return p.permissionDenied; });
    if (permission) {
        if (group.isEmpty() || group == u"root"_s)
            group = u"dialout"_s;
        lines << QString()
              << u"Your user may not use this serial port. Add it to the group \"%1\":"_s.arg(group)
              << u"    sudo usermod -aG %1 $USER"_s.arg(group)
              << u"then log out and in again."_s;
    }
    return lines.join(u'\n');
}

QString KeyerSearch::noKeyerMessage()
{
    return u"Could not connect to Dashwright. Please make sure it is connected and the firmware is loaded"_s;
}

QString KeyerSearch::failureMessage(const Result &result)
{
    if (result.outcome == Outcome::Cancelled)
        return u"The search for the Dashwright was cancelled."_s;
    QString text = noKeyerMessage();
    if (const QString problems = problemText(result.problems); !problems.isEmpty())
        text += u"\n\n"_s + problems;
    return text;
}
