// The trainer's main window and its keyer: the event stream's effects, the
// configuration transfers, the message load and the CW-over-IP link.

#include "trainerwindow.h"

#include "cwoipwindow.h"
#include "keyererror.h"
#include "keyersearch.h"
#include "messageload.h"
#include "softwaretab.h"
#include "spacingrules.h"
#include "trainerconfigtab.h"
#include "trainermessagestab.h"
#include "trainermonitortab.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int ConfigurationReadPatienceMs = 5000;
// The trainer's own failure of a message load (site letter "K").
constexpr int MessageLoadFailed = 2013;
// The load writes this much at a time and stays this close to the line.
constexpr int LoadChunk = 256;
constexpr qint64 LoadAhead = 1024;
// A port that takes nothing for this long has stopped (flow control held).
constexpr int LoadStallMs = 10000;
// What an output device may hold beyond what it reports.
constexpr qint64 DeviceBufferBytes = 64 * 1024;
const QString ConfigurationFile = u"configuration.krt"_s;

// The load's bar: the bytes on the line (not those only handed to the
// system) and the time left at the pace seen so far.
class MessageLoadProgress
{
public:
    MessageLoadProgress(QProgressBar *bar, qint64 total) : m_bar(bar), m_total(total)
    {
        m_bar->setRange(0, int(qMax<qint64>(1, total)));
        m_bar->setValue(0);
        m_elapsed.start();
    }
    ~MessageLoadProgress() { m_bar->setFormat(u"%p%"_s); }

    void sent(qint64 bytes)
    {
        bytes = qBound<qint64>(0, bytes, m_total);
        if (bytes == m_bar->value())
            return;
        m_bar->setValue(int(bytes));
        const qint64 ms = m_elapsed.elapsed();
        if (bytes < 1024 || ms < 1000) {
            m_bar->setFormat(u"%p%"_s);
            return;
        }
        const qint64 left = (m_total - bytes) * ms / bytes / 1000;
        m_bar->setFormat(QCoreApplication::translate("TrainerWindow", "%p% - %1:%2 left")
                             .arg(left / 60)
                             .arg(left % 60, 2, 10, QLatin1Char('0')));
    }

private:
    QProgressBar *m_bar;
    qint64 m_total;
    QElapsedTimer m_elapsed;
};

} // namespace

// --- Event stream -----------------------------------------------------------

qsizetype TrainerWindow::monitorLength() const
{
    return m_monitor->monitorLength();
}

void TrainerWindow::monitorAppend(const QString &text)
{
    m_monitor->monitorAppend(text);
}

void TrainerWindow::monitorNewLine()
{
    m_monitor->monitorNewLine();
}

void TrainerWindow::monitorClear()
{
    m_monitor->monitorClear();
}

void TrainerWindow::speedReported(int charSpeed, int wordSpeed)
{
    m_record.charSpeed = quint8(charSpeed);
    m_record.wordSpeed = quint8(wordSpeed);
    showSpeeds();
}

void TrainerWindow::shiftMark(char mark)
{
    m_cwoip.setShiftMark(mark);
}

void TrainerWindow::messageTimer(TimerEvent event)
{
    switch (event) {
    case TimerEvent::Start: m_timer.start(); break;
    case TimerEvent::Stop: m_timer.stop(); break;
    case TimerEvent::Reset: m_timer.reset(); break;
    }
    lblTimer->setText(m_timer.text());
}

void TrainerWindow::configurationBlock(const QByteArray &block)
{
    if (!TrainerBlock::parse(block, &m_record)) {
        // A block that is not whole is never shown, nor sent back later.
        showError(communicationFailedMessage(KeyerErrors::BlockNotFramed, u'N'));
        return;
    }
    ApplyConfiguration();
}

void TrainerWindow::keyedCharacter(char c)
{
    m_cwoip.sendCharacter(c, m_record.charSpeed);
}

void TrainerWindow::monitorFull()
{
    if (std::exchange(m_monitorFullShown, true))
        return;
    message(QMessageBox::Critical, u"Please clear the Monitor text box"_s);
}

void TrainerWindow::showError(const QString &text)
{
    message(QMessageBox::Critical, text);
}

// --- Configuration -----------------------------------------------------------

void TrainerWindow::ApplyConfiguration()
{
    m_configTab->setConfigurationLoad(true);
    m_configTab->showRecord();
    m_record.wordSpeed = quint8(SpacingRules::effectiveWordSpeed(
        m_record.charSpeed, m_record[TrainerConfig::CharSpace], m_record[TrainerConfig::WordSpace]));
    showSpeeds();
    if (m_record.flag(TrainerFlag::TransmitOn))
        m_cwoip.endForTransmitter();
    showStatus();
    setKeyerPicture();
    m_configTab->setTransferButtonsEnabled(true);
    m_configTab->setConfigurationLoad(false);
}

bool TrainerWindow::readConfiguration(QString *error)
{
    m_configTab->setTransferButtonsEnabled(false);
    m_configTab->setConfigurationLoad(true);
    try {
        m_link.setReceiveThreshold(1);
        if (!m_link.SendCommand('S'))
            throw KeyerError(KeyerErrors::ConfigReadFailed);
        // The block comes through the event stream.
        if (!m_link.WaitWhile([this] { return m_configTab->configurationLoad() && !m_closing; },
                              m_link.scaled(ConfigurationReadPatienceMs))
            || m_configTab->configurationLoad())
            throw KeyerError(KeyerErrors::ConfigReadFailed);
        Wait(200);
        return true;
    } catch (const KeyerError &e) {
        m_configTab->setConfigurationLoad(false);
        m_configTab->setTransferButtonsEnabled(true);
        m_link.setReceiveThreshold(1);
        *error = communicationFailedMessage(e.number(), u'M');
        return false;
    }
}

void TrainerWindow::btnReadConfig_Click()
{
    QString error;
    if (!readConfiguration(&error))
        message(QMessageBox::Critical, error);
}

bool TrainerWindow::SendConfig()
{
    if (!m_link.isOpen())
        return false;
    try {
        if (!m_link.SendCommand('C'))
            throw KeyerError(KeyerErrors::ConfigWriteFailed);
        m_link.write(TrainerBlock::build(m_record));
        if (!m_link.WaitForByte(KeyerLink::ACK, 3000))
            throw KeyerError(KeyerErrors::ConfigWriteFailed);
    } catch (const KeyerError &error) {
        m_link.setReceiveThreshold(1);
        message(QMessageBox::Critical, communicationFailedMessage(error.number(), u'X'));
        return false;
    }
    // The keyer holds it now: transmitter keying ends CW over IP.
    if (m_record.flag(TrainerFlag::TransmitOn))
        m_cwoip.endForTransmitter();
    showStatus();
    setKeyerPicture();
    return true;
}

void TrainerWindow::btnUseConfig_Click()
{
    m_configTab->setTransferButtonsEnabled(false);
    SendConfig();
    m_configTab->setTransferButtonsEnabled(true);
}

void TrainerWindow::btnSaveConfig_Click()
{
    const QString error = TrainerBlock::saveFile(ConfigurationFile, m_record);
    if (!error.isEmpty())
        message(QMessageBox::Critical, tr("The configuration could not be saved: %1").arg(error));
}

void TrainerWindow::btnRestoreConfig_Click()
{
    if (message(QMessageBox::Question, u"Restore the last saved configuration?"_s, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No)
        != QMessageBox::Yes)
        return;
    TrainerConfig saved;
    if (!QFile::exists(ConfigurationFile))
        return;
    if (!TrainerBlock::loadFile(ConfigurationFile, &saved)) {
        message(QMessageBox::Critical, tr("%1 is not a trainer configuration.").arg(ConfigurationFile));
        return;
    }
    // The keyer's options come back; its version and speeds stay as reported.
    m_record.bytes = saved.bytes;
    m_record.flags = saved.flags;
    ApplyConfiguration();
    SendConfig();
}

// --- Load Lessons ---------------------------------------------------------------

void TrainerWindow::btnUseMessages_Click()
{
    const MessageLoad::Survey survey = MessageLoad::survey();
    if (survey.total == 0) {
        message(QMessageBox::Warning, u"No lessons found - you have to create some training material"_s);
        return;
    }
    if (survey.total > MessageLoad::Capacity) {
        message(QMessageBox::Critical, u"Length of all messages exeeds keyer capacity by "_s
                                           + numberText(survey.excess()) + u" bytes"_s);
        return;
    }
    if (!m_link.isOpen() || m_result != StartupResult::Ready) {
        message(QMessageBox::Critical, KeyerSearch::noKeyerMessage());
        return;
    }
    if (message(QMessageBox::Warning, u"This will erase and replace all messages in the keyer"_s,
                QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;

    QProgressBar *progress = m_messages->progressBar();
    m_loading = true;
    m_messages->setLoading(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The tab labels are disabled as a whole: disabling the shown tab on its
    // own would move the window to another tab in the middle of the load.
    m_tabs->tabBar()->setEnabled(false);
    progress->setValue(0);
    MessageLoadProgress shown(progress, survey.total);
    try {
        if (!m_link.SendCommand('L'))
            throw KeyerError(MessageLoadFailed);
        // The keyer's answers are read here, not by the event stream.
        m_link.setReceiveThreshold(0);
        Wait(500);
        m_link.linkStatus = KeyerLink::Arrived;
        // Wakes the waits below when the port takes nothing (held by XOFF).
        QTimer wake;
        wake.start(100);
        MessageLoad stream(survey);
        QByteArray part;
        qint64 handed = 0;
        // Only so much goes ahead of the line: the bar shows what is on it.
        const auto onTheLine = [&] { return handed - m_link.port()->bytesToWrite(); };
        while (stream.next(&part)) {
            for (qsizetype at = 0; at < part.size(); at += LoadChunk) {
                const QByteArray chunk = part.mid(at, LoadChunk);
                m_link.write(chunk);
                handed += chunk.size();
                QDeadlineTimer stall(m_link.scaled(LoadStallMs));
                qint64 seen = onTheLine();
                while (m_link.port()->bytesToWrite() > LoadAhead && m_link.linkStatus == KeyerLink::Arrived
                       && m_link.isOpen() && !stall.hasExpired()) {
                    m_link.processWaitEvents();
                    // Bytes going out: the keyer takes them, however slowly.
                    if (const qint64 now = onTheLine(); now != seen) {
                        seen = now;
                        stall.setRemainingTime(m_link.scaled(LoadStallMs));
                    }
                    shown.sent(seen);
                }
                shown.sent(onTheLine());
                QCoreApplication::processEvents();
                if (m_link.linkStatus != KeyerLink::Arrived || !m_link.isOpen() || stall.hasExpired())
                    throw KeyerError(MessageLoadFailed);
            }
        }
        // The last bytes go out before the keyer's end is awaited.
        QDeadlineTimer drained(m_link.scaled(LoadStallMs));
        while (m_link.port()->bytesToWrite() > 0 && m_link.linkStatus == KeyerLink::Arrived && m_link.isOpen()
               && !drained.hasExpired()) {
            m_link.processWaitEvents();
            shown.sent(onTheLine());
        }
        shown.sent(onTheLine());
        // A keyer that answered has the set, even if Cancel came just then.
        // The keyer answers once it has read the whole stream; what the
        // system still holds of it (a pseudo-terminal or an adapter may
        // keep tens of kilobytes) goes at the line's pace first.
        const qint64 baud = qMax(1, m_settings->intSetting(u"Baudrate"_s, 38400));
        const int patience = 8000 + int(DeviceBufferBytes * 10 * 1000 / baud);
        if (!m_link.WaitForByte(KeyerLink::ETX, patience) && !m_link.rxBuffer.contains(KeyerLink::ETX))
            throw KeyerError(MessageLoadFailed);
        m_link.write(QByteArray(1, KeyerCommand::StopTransfer));
        QApplication::restoreOverrideCursor();
        message(QMessageBox::Information, u"Messages have been loaded into the keyer"_s);
        progress->setValue(0);
    } catch (const KeyerError &error) {
        QApplication::restoreOverrideCursor();
        const bool cancelled = m_link.linkStatus == KeyerLink::Cancelled;
        // What has not gone out yet is dropped before the keyer is stopped.
        m_link.port()->discardOutput();
        m_link.stopTransfer();
        progress->setValue(0);
        if (cancelled)
            message(QMessageBox::Warning, u"Data Transfer cancelled"_s);
        else
            message(QMessageBox::Critical, communicationFailedMessage(error.number(), u'K'));
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    m_loading = false;
    m_messages->setLoading(false);
    m_tabs->tabBar()->setEnabled(true);
    m_link.setReceiveThreshold(1);
}

// --- CW over IP --------------------------------------------------------------------

CWoIP *TrainerWindow::cwoipWindow()
{
    if (!m_cwoipWindow) {
        m_cwoipWindow = new CWoIP(&m_cwoip, m_settings, [this](bool critical, const QString &text) {
            message(critical ? QMessageBox::Critical : QMessageBox::Information, text);
        }, this);
    }
    return m_cwoipWindow;
}

void TrainerWindow::keyerPicture_Click()
{
    // With the transmitter keyed the keyer is on the air, not on the net.
    if (m_record.flag(TrainerFlag::TransmitOn))
        return;
    CWoIP *window = cwoipWindow();
    window->prepare();
    window->show();
    window->raise();
    window->activateWindow();
}
