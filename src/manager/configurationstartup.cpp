// Start-up and shutdown of the manager's main window.

#include "configuration.h"

#include "auditfile.h"
#include "configurationtab.h"
#include "demostationwindow.h"
#include "keyererror.h"
#include "keyersearch.h"
#include "logbooktab.h"
#include "softwaretab.h"
#include "terminaltab.h"
#include "versionrules.h"
#include "windowplacement.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSysInfo>
#include <QTabWidget>

using namespace Qt::StringLiterals;

void Configuration::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_startupStarted)
        QMetaObject::invokeMethod(this, &Configuration::Form_Activate, Qt::QueuedConnection);
}

void Configuration::restorePlacement()
{
    m_windowOnTop = m_settings->intSetting(u"WindowOnTop"_s, 0) == 1;
    if (m_windowOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
    }
    WindowPlacement::restore(this, *m_settings);
}

void Configuration::savePlacement()
{
    WindowPlacement::save(this, *m_settings);
}

void Configuration::readRemoteSettings()
{
    m_remote.role = m_settings->intSetting(u"RemoteRole"_s, 0);
    m_remote.bufferSize = m_settings->intSetting(u"remoteBufferSize"_s, 1);
    m_remote.timeout = m_settings->intSetting(u"TCPTimeout"_s, 0);
    m_remote.remoteIP = m_settings->setting(u"RemoteIP"_s, {});
    m_remote.localIP = m_settings->setting(u"LocalIP"_s, {});
    m_remote.remotePort = m_settings->setting(u"RemotePort"_s, {});
    m_remote.localPort = m_settings->setting(u"LocalPort"_s, {});
}

void Configuration::loadLookupFiles()
{
    // A first start gets the country list shipped with the program.
    installDefaultCountries(QDir::currentPath());
    QStringList problems = m_translation.load(TranslationTable::fileName());
    problems += m_countries.load(CountryTable::fileName());
    problems += m_specialNotes.load(CallNotes::fileName());
    for (const QString &problem : std::as_const(problems))
        message(QMessageBox::Critical, problem);
}

void Configuration::Form_Activate()
{
    if (m_link.isOpen() || m_startupStarted || m_closing)
        return;
    m_startupStarted = true;

    // The platform check: Linux and every supported Windows pass.
    if (!VersionRules::operatingSystemSupported(0, 0, 0, &m_windows2000)) {
        message(QMessageBox::Critical, u"This version of Windows is not supported"_s);
        close();
        return;
    }
    restorePlacement();
    // The data folder was made the current folder before the window existed.
    readRemoteSettings();
    setKRVImageFunction();
    loadLookupFiles();

    m_startupMessage = KeyerSearch::noKeyerMessage();
    m_currentScreen = 0;
    m_version->setText(VersionRules::programVersionLabel());

    m_software->loadSettings();
    m_baudRate = m_settings->intSetting(u"Baudrate"_s, 38400);
    m_software->setBaudRateText(QString::number(m_baudRate));
    m_nordic = m_settings->intSetting(u"Nordic"_s, 0) == 1;
    m_configurationTab->loadSettings();

    m_startupResult = connectKeyer();
    if (m_startupResult == StartupResult::Ready) {
        QString error;
        Wait(500);
        if (m_closing) {
            m_startupResult = StartupResult::Aborted;
            return;
        }
        if (!readConfiguration(&error)) {
            m_startupMessage = error;
            m_startupResult = StartupResult::Failed;
        } else {
            const QString mismatch =
                VersionRules::managerFirmwareMessage(m_record.firmwareVersion, m_record.firmwareBuild);
            if (!mismatch.isEmpty()) {
                m_startupMessage = mismatch;
                m_startupResult = StartupResult::Failed;
            }
        }
    }
    if (m_closing) {
        m_startupResult = StartupResult::Aborted;
        return;
    }
    switch (m_startupResult) {
    case StartupResult::HandedOver:
        close();
        return;
    case StartupResult::Failed:
        startFailed();
        return;
    case StartupResult::Ready:
        break;
    default:
        return;
    }

    m_terminal->monitorClear();
    setTabsEnabled(true);
    m_logbook->setKeyerPresent(true);
    setKRVImageFunction();

    const QDate today = QDateTime::currentDateTime().date();
    if (VersionRules::updateReminderDue(m_settings->intSetting(u"LastUpdate"_s, 0), today)) {
        m_settings->setSetting(u"LastUpdate"_s, VersionRules::updateStamp(today));
        showTab(SoftwarePage + 1);
        message(QMessageBox::Warning, u"Please check for software updates"_s);
        if (m_closing)
            return;
    }
    // Stored as written, fractions included ("9.75").
    const double fontSize = m_settings->setting(u"MonitorFontSize"_s, {}).trimmed().toDouble();
    if (fontSize >= 8 && fontSize <= 25)
        m_terminal->setMonitorFontSize(fontSize);
    showTab(m_settings->intSetting(u"KRVLastScreen"_s, 2));

    // Left over from an interrupted ADIF import.
    QFile::remove(u"LogFiles/~adifimport.krv"_s);
    setKeyerClock();
    radioAutoConnect();
    m_terminal->setMillKeyboard(m_settings->intSetting(u"MillKeyboard"_s, 0) == 1);
    refreshTerminal();
    m_events.setLastKnownCount(m_record.qsoCount);
    showDemoStation();
}

void Configuration::showDemoStation()
{
    // The demo's simulated keyer has no other station on the air: this
    // window plays it.
    if (!m_options.demo || m_demoStation)
        return;
    m_demoStation = new DemoStationWindow(this);
    connect(m_terminal, &TerminalTab::monitorTextAdded, m_demoStation, &DemoStationWindow::keyed);
    m_demoStation->move(frameGeometry().topRight() + QPoint(8, 0));
    m_demoStation->show();
    // The demo begins where a contact does.
    showTab(TerminalPage + 1);
    activateWindow();
}

Configuration::StartupResult Configuration::connectKeyer()
{
    const KeyerSearch::Result found = m_software->searchForKeyer(m_link, m_baudRate, [this] { return m_closing; });
    if (m_closing)
        return StartupResult::Aborted;
    if (found.outcome != KeyerSearch::Outcome::Answered) {
        m_startupMessage = KeyerSearch::failureMessage(found);
        return StartupResult::Failed;
    }
    m_comPort = found.port;
    m_baudRate = found.baudRate;
    switch (found.deviceLetter) {
    case 'K':
        m_software->keyerFound(found);
        m_link.setReceiveThreshold(1);
        return StartupResult::Ready;
    case 'T':
        m_link.closePort();
        if (m_handOver && m_handOver())
            return StartupResult::HandedOver;
        m_startupMessage = tr("The trainer program krt could not be started.");
        return StartupResult::Failed;
    default:
        m_startupMessage = u"Please load the keyer firmware into the Dashwright"_s;
        return StartupResult::Failed;
    }
}

void Configuration::startFailed()
{
    setTabsEnabled(false);
    // The log files, ADIF files and their conversions need no keyer.
    m_tabs->setTabEnabled(LogbookPage, true);
    m_logbook->setKeyerPresent(false);
    showTab(SoftwarePage + 1);
    setKRVImageFunction();
    message(QMessageBox::Critical, m_startupMessage);
}

void Configuration::setKeyerClock()
{
    if (!m_link.isOpen())
        return;
    try {
        if (!m_link.SendCommand('T'))
            throw KeyerError(KeyerErrors::ClockNotSet);
        m_link.write(QDateTime::currentDateTimeUtc().toString(u"ssmmhhddMMyy"_s).toLatin1());
        // The keyer ends the clock setting with ETX; some firmware answers ACK.
        const char endBytes[] = {KeyerLink::ETX, KeyerLink::ACK};
        if (!m_link.WaitForAnyByte(QByteArrayView(endBytes, 2), 1000))
            throw KeyerError(KeyerErrors::ClockNotSet);
    } catch (const KeyerError &error) {
        m_link.setReceiveThreshold(1);
        message(QMessageBox::Critical, communicationFailedMessage(error.number(), u'L'));
    }
}

void Configuration::closeEvent(QCloseEvent *event)
{
    if (m_closing && !m_shutdownDone) {
        // Shutdown is already waiting for the keyer.
        event->ignore();
        return;
    }
    if (!m_shutdownDone) {
        m_closing = true;
        Form_QueryUnload();
        m_shutdownDone = true;
    }
    event->accept();
}

void Configuration::Form_QueryUnload()
{
    m_link.cancel();
    remoteShutdown();
    if (m_settings->intSetting(u"AutoAudit"_s, 0) == 1) {
        const QString error = AuditFile::append(u"Audit"_s, u"krv"_s, QDate::currentDate().year(), m_utc->text(),
                                                m_terminal->monitorText());
        if (!error.isEmpty())
            message(QMessageBox::Warning, tr("The monitor text could not be saved: %1").arg(error));
    }
    radioShutdown();
    savePlacement();
    m_link.signOff();
    m_software->startPendingInstaller();
}
