#include "keyersearch.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "porttable.h"

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
        try {
            m_link.Wait(100);
            if (stopped())
                continue;
            m_link.openPort(port, baud);
            m_link.Wait(200);
            const QByteArray identify = QByteArray(1, KeyerLink::ENQ) + '?';
            m_link.write(identify);
            m_link.ReceiveCount(2);
            if (m_link.linkStatus != KeyerLink::Arrived && !stopped()) {
                m_link.port()->discardInput();
                m_link.Wait(200);
                m_link.write(identify);
                m_link.ReceiveCount(2);
            }
            if (stopped()) {
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
            if (error.number() != KeyerErrors::InvalidPortNumber) {
                result.outcome = Outcome::PortFailed;
                result.portUnknown = true;
                return result;
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
