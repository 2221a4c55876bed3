#include "messagesender.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "sendtext.h"

#include <QCoreApplication>

namespace {

// The longest character the keyer keys, in dot units with its gap.
constexpr int LongestCharacterUnits = 30;
constexpr int CharacterNotReported = 2011;
constexpr int CallNotReported = 2012;

} // namespace

MessageSender::MessageSender(KeyerLink &link, MessageSenderHost &host) : m_link(link), m_host(host)
{
}

void MessageSender::send()
{
    if (m_busy)
        return;
    if (m_host.editMode()) {
        m_host.sentRst();
        return;
    }
    m_link.write(QByteArray(1, KeyerCommand::StartOfTransmission));
    m_host.transmissionStarted();
    m_link.Wait(50);
    m_pointer = qMax<qsizetype>(1, m_pointer);
    const QString text = m_host.sendBufferText();
    if (m_pointer > text.size() || text.isEmpty()) {
        // Nothing new: the pointer stays behind the text, so nothing is
        // sent twice.
        m_pointer = text.size() + 1;
        return;
    }

    m_busy = true;
    m_cancelled = false;
    m_link.setReceiveThreshold(1);
    m_host.setSending(true);
    const qsizetype callMark = m_host.autoLogging() ? SendText::callMark(text, m_host.ownCall()) : 0;
    for (;;) {
        if (!sendPending(callMark) || m_cancelled)
            break;
        // Immediate mode: more typing within ten dot lengths goes on.
        m_link.TimeOut.start(m_link.scaled(SendText::holdOpenMs(m_host.keyerSpeed())));
        m_link.linkStatus = KeyerLink::Waiting;
        while ((m_link.linkStatus == KeyerLink::Waiting || m_link.linkStatus == KeyerLink::Arrived)
               && m_pointer > m_host.sendBufferText().size())
            m_link.processWaitEvents();
        m_link.TimeOut.stop();
        if (m_cancelled || m_pointer > m_host.sendBufferText().size())
            break;
    }
    if (m_cancelled) {
        const qsizetype end = m_host.sendBufferText().size() + 1;
        if (m_pointer < end)
            m_host.unsentLeft(m_pointer);
        m_pointer = end;
    }
    m_host.setSending(false);
    m_busy = false;
    // Told after the stop path, so the operator can act at once.
    if (const int error = std::exchange(m_error, 0))
        m_host.sendFailed(communicationFailedMessage(error, u'H'));
}

bool MessageSender::sendPending(qsizetype callMark)
{
    for (;;) {
        const QString text = m_host.sendBufferText();
        if (m_cancelled)
            return false;
        if (m_pointer > text.size())
            return true;
        if (callMark > 0 && m_pointer == callMark) {
            m_link.write(keyerCommand(KeyerCommand::KeypadFunction, 13));
            m_link.Wait(50);
            if (!awaitCall())
                return false;
        }
        const SendText::Step step = SendText::next(text, m_pointer - 1, m_host.millKeyboard());
        if (step.speedStep != 0) {
            m_pointer += step.length;
            m_host.stepSpeed(step.speedStep);
            continue;
        }
        m_link.linkStatus = KeyerLink::Waiting;
        m_pointer += step.length;
        m_link.write(keyerCommand(KeyerCommand::SendCharacter, char(step.code)));
        if (SendText::awaitsReport(step.code, m_lastSent) && !awaitReport())
            return false;
        if (step.code == '#') {
            m_host.qsoLogged();
            m_link.Wait(500);
        }
        m_lastSent = step.code;
        // Characters that are not waited for go out back to back; the
        // operator's keys are looked at between them all the same.
        if (!m_cancelled)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void MessageSender::cancel()
{
    if (!m_busy)
        return;
    m_cancelled = true;
    m_link.write(QByteArray(1, KeyerCommand::StopTransfer));
    m_link.cancel();
}

void MessageSender::textChanged(qsizetype position, qsizetype removed, qsizetype added)
{
    const qsizetype next = qMax<qsizetype>(1, m_pointer) - 1; // 0-based
    if (position >= next)
        return;
    // Removed text that reached past the pointer was never sent; what is
    // inserted before the pointer counts as behind it.
    m_pointer = position + removed <= next ? m_pointer - removed : position + 1;
    m_pointer += added;
}

bool MessageSender::awaitReport()
{
    const int dotMs = 1200 / qMax(1, m_host.keyerSpeed());
    m_link.TimeOut.start(m_link.scaled(LongestCharacterUnits * dotMs + ReportPatienceMs));
    while (m_link.linkStatus == KeyerLink::Waiting)
        m_link.processWaitEvents();
    m_link.TimeOut.stop();
    if (m_link.linkStatus == KeyerLink::TimedOut)
        fail(CharacterNotReported);
    return m_link.linkStatus == KeyerLink::Arrived;
}

bool MessageSender::awaitCall()
{
    if (m_host.callShown())
        return true;
    m_link.TimeOut.start(m_link.scaled(CallPatienceMs));
    m_link.linkStatus = KeyerLink::Waiting;
    while (!m_host.callShown()
           && (m_link.linkStatus == KeyerLink::Waiting || m_link.linkStatus == KeyerLink::Arrived))
        m_link.processWaitEvents();
    m_link.TimeOut.stop();
    if (m_host.callShown())
        return true;
    if (m_link.linkStatus == KeyerLink::TimedOut)
        fail(CallNotReported);
    return false;
}

void MessageSender::fail(int error)
{
    m_error = error;
}
