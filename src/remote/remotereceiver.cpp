#include "remotereceiver.h"

#include "remotewire.h"

using namespace RemoteWire;

void RemoteReceiver::setBuffering(int level)
{
    m_level = level >= 0 && level <= 3 ? level : 1;
}

void RemoteReceiver::accept()
{
    m_state = State::AwaitHello;
    m_pendingCommand = 0;
    m_idleCount = 0;
    m_lastControl = 0;
}

RemoteReceiver::Outcome RemoteReceiver::take(QByteArrayView bytes)
{
    Outcome outcome;
    for (const char c : bytes) {
        switch (m_state) {
        case State::AwaitHello:
            if (c != Hello) {
                outcome.drop = Drop::WrongHello;
                return outcome;
            }
            m_state = State::AwaitHelloSpeed;
            continue;
        case State::AwaitHelloSpeed:
            // A wrong speed leaves the client waiting for the watchdog, or
            // for a hello that is right.
            m_state = State::AwaitHello;
            if (!validSpeed(quint8(c)))
                continue;
            m_state = State::Connected;
            outcome.helloAccepted = true;
            m_held.clear();
            m_queue.clear();
            m_overflowing = false;
            applySpeed(quint8(c));
            continue;
        case State::Connected:
            break;
        }
        if (m_pendingCommand) {
            const char command = std::exchange(m_pendingCommand, 0);
            applySpeed(quint8(c));
            if (command == KeepAlive) {
                // The client has been silent for a keep-alive interval: a
                // held word is complete.
                release();
                if (m_timeoutMinutes > 0 && ++m_idleCount >= m_timeoutMinutes * KeepAlivesPerMinute) {
                    outcome.drop = Drop::Inactive;
                    return outcome;
                }
            }
            continue;
        }
        if (c != KeepAlive)
            m_idleCount = 0;
        switch (c) {
        case KeepAlive:
        case SetSpeed:
        case Hello: // a repeated hello only sets the speed
            m_pendingCommand = c;
            break;
        case Flush:
            m_lastControl = c;
            release();
            break;
        case KeypadEcho:
            m_lastControl = c;
            break;
        case Abort:
            discard();
            break;
        case Goodbye:
            // What the operator keyed last still goes out.
            release();
            outcome.drop = Drop::Goodbye;
            return outcome;
        default:
            if (keyable(c))
                text(c);
            break;
        }
    }
    return outcome;
}

void RemoteReceiver::text(char c)
{
    m_held.append(c);
    if (m_level == 0 || isWordBoundary(c) || m_held.size() >= m_level * CharactersPerLevel)
        release();
}

void RemoteReceiver::release()
{
    const qsizetype room = QueueLimit - m_queue.size();
    if (m_held.size() > room) {
        m_held.truncate(room);
        if (!m_overflowing)
            m_overflowReported = true;
        m_overflowing = true;
    }
    m_queue += m_held;
    m_held.clear();
    pump();
}

void RemoteReceiver::pump()
{
    while (m_ahead < KeyerAhead && !m_queue.isEmpty()) {
        const char c = m_queue.at(0);
        m_queue.remove(0, 1);
        // Only characters the keyer reports keying count; an erase or a
        // state code is not reported.
        if (quint8(c) >= 32 && c != '<')
            ++m_ahead;
        m_keyer.sendCharacter(c);
    }
    if (m_queue.isEmpty())
        m_overflowing = false;
}

void RemoteReceiver::keyed()
{
    if (m_ahead > 0)
        --m_ahead;
    pump();
}

bool RemoteReceiver::discard()
{
    const bool any = !m_held.isEmpty() || !m_queue.isEmpty() || m_ahead > 0;
    m_held.clear();
    m_queue.clear();
    m_overflowing = false;
    if (any)
        m_keyer.stopKeying();
    m_ahead = 0;
    return any;
}

void RemoteReceiver::keyerQuiet()
{
    m_ahead = 0;
    pump();
}

void RemoteReceiver::applySpeed(int wpm)
{
    if (!validSpeed(wpm))
        return;
    m_speed = wpm;
    m_keyer.setSpeed(wpm);
}
