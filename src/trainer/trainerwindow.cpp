// The trainer's main window: controls, start-up, shutdown and the keyboard.

#include "trainerwindow.h"

#include "auditfile.h"
#include "clickfilter.h"
#include "copyscorepanel.h"
#include "cwoipwindow.h"
#include "desktopopen.h"
#include "keyererror.h"
#include "keyerpicture.h"
#include "keyersearch.h"
#include "keypadcommands.h"
#include "manualwindow.h"
#include "mnemonicclicks.h"
#include "remoteallowlist.h"
#include "softwaretab.h"
#include "spacingrules.h"
#include "trainerconfigtab.h"
#include "trainermessagestab.h"
#include "trainermonitortab.h"
#include "versionrules.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString HelpText =
    u"Esc\t= Toggle Keying\r\n\r\nKeypad Functions:\r\n\r\n/n\t= Select Lesson n\r\n*\t= Toggle Flashcard Mode\r\n"
    "-\t= Stop and Backoff \r\n+\t= Delayed Start\r\n.\t= Reset Timer\r\nEnter\t= Stop/Resume Message\r\n"
    "0...9\t= Start Message\r\n\r\nProsign Characters:\r\n\r\n#\t= <sk>\r\n(\t= <kn>\r\n%\t= <ka>\r\n"
    "+\t= <ar>\r\n=\t= <bt>\r\n>\t= <bk>\r\n^\t= <ve>\r\n&\t= <as>"_s;

QPixmap keyerPictureWithLamp(const QColor &lamp)
{
    return keyerPicture(QColor(215, 205, 180), QColor(70, 110, 150), lamp);
}

} // namespace

TrainerWindow::TrainerWindow(SettingsStore *settings, KeyerPort *port, QWidget *parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_link(port, this),
      m_events(m_link, *this),
      m_random(RandomSource::fromClock())
{
    setObjectName(u"Configuration"_s);
    setWindowTitle(u"Dashtutor"_s);

    m_monitor = new TrainerMonitorTab;
    m_configTab = new TrainerConfigTab(&m_record, m_settings);
    m_messages = new TrainerMessagesTab(
        &m_random, [this](QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons buttons,
                          QMessageBox::StandardButton defaultButton) {
            return message(icon, text, buttons, defaultButton);
        });
    m_chooser = [this](const QString &title, const QString &folder, const QString &filter) {
        return QFileDialog::getOpenFileName(this, title, folder, filter);
    };
    m_opener = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    m_messages->setFileChooser([this](const QString &title, const QString &folder, const QString &filter) {
        return m_chooser(title, folder, filter);
    });
    m_messages->setOpener([this](const QString &path) { return m_opener(path); });
    m_software = new SoftwareTab(settings, UpdateProduct::krt());
    m_software->attach(&m_link, [this] {
        m_started = false;
        Form_Activate();
    });
    m_software->setMessageHook([this](QMessageBox::Icon icon, const QString &text,
                                      QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def) {
        return message(icon, text, buttons, def);
    });

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(u"tabScreens"_s);
    // No underlined letters on the tabs: they would take the Alt keys of
    // every tab's buttons.
    m_tabs->addTab(m_monitor, tr("Monitor"));
    m_tabs->addTab(m_configTab, tr("Configuration"));
    m_tabs->addTab(m_messages, tr("Messages"));
    m_tabs->addTab(m_software, tr("Software"));
    m_tabs->setTabToolTip(MonitorPage, u"Monitor the keyer output"_s);
    m_tabs->setTabToolTip(ConfigurationPage, u"Configure trainer options"_s);
    m_tabs->setTabToolTip(MessagesPage, u"Load and edit messages"_s);
    m_tabs->setTabToolTip(SoftwarePage, tr("Firmware and software maintenance"));

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(buildHeader());
    layout->addWidget(m_tabs, 1);
    setCentralWidget(central);
    resize(940, 640);

    setTabsEnabled(false);
    m_tabs->setCurrentIndex(SoftwarePage);
    connectTabs();

    Clock.setInterval(1000);
    connect(&Clock, &QTimer::timeout, this, &TrainerWindow::clockTick);
    Clock.start();
    qApp->installEventFilter(this);
    new MnemonicClicks(this);
}

TrainerWindow::~TrainerWindow()
{
    qApp->removeEventFilter(this);
}

QLayout *TrainerWindow::buildHeader()
{
    m_title = new QLabel(u"Dashtutor"_s);
    m_title->setObjectName(u"KRTLabel"_s);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setCursor(Qt::PointingHandCursor);
    m_title->setToolTip(u"Normal Window"_s);
    m_title->installEventFilter(new ClickFilter(this, [this] { KRTLabel_Click(); }));

    m_keyerImage = new QLabel;
    m_keyerImage->setObjectName(u"imgKRT"_s);
    m_keyerImage->setCursor(Qt::PointingHandCursor);
    m_keyerImage->installEventFilter(new ClickFilter(this, [this] { keyerPicture_Click(); }));

    lblOnAir = new QLabel(u"On the Air"_s);
    lblOnAir->setObjectName(u"lblOnAir"_s);
    lblOnAir->setStyleSheet(u"QLabel { color: white; background: #c33; padding: 2px 8px; font-weight: bold; }"_s);
    lblOnAir->hide();
    lblTimer = new QLabel(m_timer.text());
    lblTimer->setObjectName(u"lblTimer"_s);
    lblTimer->setToolTip(tr("Message timer"));
    QFont big = lblTimer->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lblTimer->setFont(big);
    lblCSpeed = new QLabel;
    lblCSpeed->setObjectName(u"lblCSpeed"_s);
    lblWSpeed = new QLabel;
    lblWSpeed->setObjectName(u"lblWSpeed"_s);
    m_version = new QLabel(VersionRules::programVersionLabel());
    m_version->setObjectName(u"lblVersion"_s);
    showSpeeds();
    setKeyerPicture();

    auto *speeds = new QVBoxLayout;
    speeds->addWidget(lblCSpeed);
    speeds->addWidget(lblWSpeed);
    auto *header = new QHBoxLayout;
    header->addWidget(m_keyerImage);
    header->addWidget(m_title);
    header->addSpacing(16);
    header->addWidget(lblOnAir);
    header->addStretch();
    header->addLayout(speeds);
    header->addSpacing(16);
    header->addWidget(lblTimer);
    header->addSpacing(16);
    header->addWidget(m_version);
    return header;
}

void TrainerWindow::connectTabs()
{
    connect(m_tabs, &QTabWidget::tabBarClicked, this, [this](int index) {
        if (index < 0 || !m_tabs->isTabEnabled(index))
            return;
        // Leaving for another tab ends any wait for the keyer.
        if (index != MonitorPage)
            m_link.cancel();
        m_settings->setSetting(u"KRTLastScreen"_s, index + 1);
    });
    connect(m_monitor, &TrainerMonitorTab::saveClicked, this, &TrainerWindow::saveMonitor);
    connect(m_monitor, &TrainerMonitorTab::reviewClicked, this, &TrainerWindow::reviewMonitor);
    // A long session's oldest monitor lines go to an audit file of their own.
    m_monitor->setMonitorSpill([this](const QString &lines) {
        if (m_spillName.isEmpty())
            m_spillName = AuditFile::timestampedName(u"krt"_s, QDateTime::currentDateTime());
        const QString caption = QDateTime::currentDateTimeUtc().toString(u"dd-MM-yy hh:mm:ss"_s) + u" UTC"_s;
        return AuditFile::appendTo(u"Audit"_s, m_spillName, caption, lines).isEmpty();
    });
    connect(m_monitor, &TrainerMonitorTab::fontSizeChanged, this,
            [this](double points) { m_settings->setSetting(u"MonitorFontSize"_s, QString::number(points)); });
    connect(m_configTab, &TrainerConfigTab::readClicked, this, &TrainerWindow::btnReadConfig_Click);
    connect(m_configTab, &TrainerConfigTab::useClicked, this, &TrainerWindow::btnUseConfig_Click);
    connect(m_configTab, &TrainerConfigTab::saveClicked, this, &TrainerWindow::btnSaveConfig_Click);
    connect(m_configTab, &TrainerConfigTab::restoreClicked, this, &TrainerWindow::btnRestoreConfig_Click);
    connect(m_configTab, &TrainerConfigTab::handKeyClicked, this, [this] {
        SendConfig();
        Wait(200);
    });
    connect(m_configTab, &TrainerConfigTab::spacingChanged, this, [this] {
        m_record.wordSpeed = quint8(SpacingRules::effectiveWordSpeed(
            m_record.charSpeed, m_record[TrainerConfig::CharSpace], m_record[TrainerConfig::WordSpace]));
        showSpeeds();
    });
    connect(m_configTab, &TrainerConfigTab::nordicChanged, this, [this](bool on) { m_nordic = on; });
    // Copies are scored under the material chosen on the Messages tab.
    connect(m_messages, &TrainerMessagesTab::lessonChanged, m_monitor->scorePanel(), &CopyScorePanel::setLesson);
    m_messages->attachSettings(m_settings);
    connect(m_monitor->scorePanel(), &CopyScorePanel::historyFailed, this, [this](const QString &error) {
        message(QMessageBox::Critical, tr("The score could not be kept: %1").arg(error));
    });
    connect(m_messages, &TrainerMessagesTab::loadLessonsClicked, this, &TrainerWindow::btnUseMessages_Click);
    connect(m_messages, &TrainerMessagesTab::cancelClicked, this, [this] {
        m_link.cancel();
        m_link.port()->discardOutput();
    });

    connect(&m_link, &KeyerLink::receiveEvent, this, [this] { m_events.MSComm_OnComm(); });
    connect(&m_link, &KeyerLink::portFailed, this, [this](const QString &reason) {
        if (m_closing)
            return;
        setTabsEnabled(false);
        m_software->setBaudRateText(u"?"_s);
        showTab(SoftwarePage + 1);
        setKeyerPicture();
        message(QMessageBox::Critical, tr("The connection to the keyer was lost (%1).\nCheck the cable and the "
                                          "keyer, then start the program again.")
                                           .arg(reason));
    });

    m_cwoip.setAllowList(RemoteAllowList::parse(m_settings->setting(u"CWoIPAllow"_s, {})));
    connect(&m_cwoip, &CwoipLink::keyerBytes, this, [this](const QByteArray &bytes) {
        if (linkUp())
            m_link.write(bytes);
    });
    connect(&m_cwoip, &CwoipLink::modeChanged, this, &TrainerWindow::showStatus);
    connect(&m_cwoip, &CwoipLink::peerAddress, this,
            [this](const QString &address) { m_settings->setSetting(u"CWoIPAddress"_s, address); });
    connect(&m_cwoip, &CwoipLink::ringing, this, [] { QApplication::beep(); });
    // After the handler that found it: a box must not stop the socket's reading.
    connect(
        &m_cwoip, &CwoipLink::message, this,
        [this](bool critical, const QString &text) {
            // While the window closes, the link is being ended on purpose: a
            // peer that leaves at the same moment must not hold the program
            // open behind a box nobody asked for.
            if (!m_closing)
                message(critical ? QMessageBox::Critical : QMessageBox::Information, text);
        },
        Qt::QueuedConnection);
}

void TrainerWindow::setPortTable(const PortTable &table)
{
    m_link.setPortTable(table);
    m_software->setPortTable(table);
}


QMessageBox::StandardButton TrainerWindow::message(QMessageBox::Icon icon, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    // Once the window is closing, nobody is there to answer.
    if (m_closing && m_shutdownDone)
        return defaultButton != QMessageBox::NoButton ? defaultButton : QMessageBox::Cancel;
    if (m_messageHook)
        return m_messageHook(icon, text, buttons, defaultButton);
    QMessageBox box(icon, windowTitle(), text, buttons, this);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void TrainerWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_started)
        QMetaObject::invokeMethod(this, &TrainerWindow::Form_Activate, Qt::QueuedConnection);
}

bool TrainerWindow::linkUp() const
{
    return m_link.isOpen() && m_result == StartupResult::Ready && !m_loading;
}

void TrainerWindow::setTabsEnabled(bool on)
{
    for (int page : {MonitorPage, ConfigurationPage, MessagesPage})
        m_tabs->setTabEnabled(page, on);
    m_tabs->setTabEnabled(SoftwarePage, true);
}

void TrainerWindow::showTab(int screen)
{
    const int index = screen >= 1 && screen <= 4 ? screen - 1 : MonitorPage;
    if (m_tabs->isTabEnabled(index))
        m_tabs->setCurrentIndex(index);
}

void TrainerWindow::fail(const QString &text)
{
    m_result = StartupResult::Failed;
    setTabsEnabled(false);
    showTab(SoftwarePage + 1);
    setKeyerPicture();
    message(QMessageBox::Critical, text);
}

void TrainerWindow::Form_Activate()
{
    if (m_started || m_closing)
        return;
    m_started = true;
    m_result = StartupResult::NotRun;
    if (!VersionRules::operatingSystemSupported(0, 0, 0)) {
        message(QMessageBox::Critical, u"This version of Windows is not supported"_s);
        close();
        return;
    }
    m_windowOnTop = m_settings->intSetting(u"WindowOnTop"_s, 0) == 1;
    if (m_windowOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        m_title->setToolTip(u"Window always on top"_s);
        show();
    }
    WindowPlacement::restore(this, *m_settings, u"KRT"_s);
    m_software->loadSettings();
    m_software->setBaudRateText(QString::number(m_settings->intSetting(u"Baudrate"_s, 38400)));
    m_nordic = m_settings->intSetting(u"Nordic"_s, 0) == 1;
    m_configTab->loadSettings();
    // Stored as written, fractions included ("9.75").
    const double fontSize = m_settings->setting(u"MonitorFontSize"_s, {}).trimmed().toDouble();
    if (fontSize >= 8 && fontSize <= 25)
        m_monitor->setFontSize(fontSize);

    m_result = connectKeyer();
    if (m_result == StartupResult::Ready) {
        Wait(500);
        QString error;
        if (m_closing) {
            m_result = StartupResult::Aborted;
            return;
        }
        if (!readConfiguration(&error)) {
            m_startupMessage = error;
            m_result = StartupResult::Failed;
        } else if (const QString old = VersionRules::trainerFirmwareMessage(m_record.firmwareVersion);
                   !old.isEmpty()) {
            m_startupMessage = old;
            m_result = StartupResult::Failed;
        }
    }
    if (m_closing) {
        m_result = StartupResult::Aborted;
        return;
    }
    switch (m_result) {
    case StartupResult::HandedOver:
        close();
        return;
    case StartupResult::Failed:
        fail(m_startupMessage);
        return;
    case StartupResult::Ready:
        break;
    default:
        return;
    }

    m_monitor->monitorClear();
    setTabsEnabled(true);
    setKeyerPicture();
    // The keyer learns that nobody is on CW over IP yet.
    m_link.write("\t "_ba);
    Wait(50);
    const QDate today = QDate::currentDate();
    if (VersionRules::updateReminderDue(m_settings->intSetting(u"LastUpdateTrainer"_s, 0), today)) {
        m_settings->setSetting(u"LastUpdateTrainer"_s, VersionRules::updateStamp(today));
        showTab(SoftwarePage + 1);
        message(QMessageBox::Warning, u"Please check for software updates"_s);
    } else {
        showTab(m_settings->intSetting(u"KRTLastScreen"_s, 2));
    }
}

TrainerWindow::StartupResult TrainerWindow::connectKeyer()
{
    m_startupMessage = KeyerSearch::noKeyerMessage();
    const qint32 baud = m_settings->intSetting(u"Baudrate"_s, 38400);
    const KeyerSearch::Result found = m_software->searchForKeyer(m_link, baud, [this] { return m_closing; });
    if (m_closing)
        return StartupResult::Aborted;
    if (found.outcome != KeyerSearch::Outcome::Answered) {
        m_startupMessage = KeyerSearch::failureMessage(found);
        return StartupResult::Failed;
    }
    switch (found.deviceLetter) {
    case 'T': {
        // The trainer keyer follows its answer with its two version digits.
        m_link.CompleteCount(5);
        const QByteArray answer = m_link.rxBuffer;
        if (answer.size() > 5)
            m_link.pushBack(answer.mid(5));
        m_record.firmwareVersion = answer.mid(3, 2);
        m_software->setFirmwareVersion(m_record.firmwareVersion.leftJustified(2, '0'), "00");
        m_software->keyerFound(found);
        m_link.setReceiveThreshold(1);
        return StartupResult::Ready;
    }
    case 'K':
        // The manager's keyer is attached: the manager takes over.
        m_link.closePort();
        if (m_handOver && m_handOver())
            return StartupResult::HandedOver;
        m_startupMessage = tr("The manager program krv could not be started.");
        return StartupResult::Failed;
    default:
        m_startupMessage = u"Please load the keyer firmware into the Dashwright"_s;
        return StartupResult::Failed;
    }
}

void TrainerWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing && !m_shutdownDone) {
        event->ignore();
        return;
    }
    if (!m_shutdownDone) {
        m_closing = true;
        m_link.cancel();
        if (m_cwoipWindow)
            m_cwoipWindow->close();
        m_cwoip.goOffline();
        WindowPlacement::save(this, *m_settings, u"KRT"_s);
        m_link.signOff();
        m_software->startPendingInstaller();
        m_shutdownDone = true;
    }
    event->accept();
}

void TrainerWindow::KRTLabel_Click()
{
    m_windowOnTop = !m_windowOnTop;
    setWindowFlag(Qt::WindowStaysOnTopHint, m_windowOnTop);
    show();
    m_settings->setSetting(u"WindowOnTop"_s, m_windowOnTop ? u"1"_s : u"0"_s);
    m_title->setToolTip(m_windowOnTop ? u"Window always on top"_s : u"Normal Window"_s);
}

void TrainerWindow::setKeyerPicture()
{
    const bool connected = m_link.isOpen() && m_result == StartupResult::Ready;
    m_keyerImage->setPixmap(keyerPictureWithLamp(connected ? QColor(60, 170, 60) : QColor(150, 150, 150)));
    m_keyerImage->setToolTip(m_record.flag(TrainerFlag::TransmitOn) ? tr("Transmitter keying is on")
                                                                     : tr("Click for CW over IP"));
}

void TrainerWindow::clockTick()
{
    m_timer.tick();
    lblTimer->setText(m_timer.text());
}

void TrainerWindow::showSpeeds()
{
    lblCSpeed->setText(u"CSpeed %1"_s.arg(m_record.charSpeed));
    lblWSpeed->setText(u"WSpeed %1"_s.arg(m_record.wordSpeed));
}

void TrainerWindow::showStatus()
{
    if (m_record.flag(TrainerFlag::TransmitOn)) {
        lblOnAir->setText(u"On the Air"_s);
        lblOnAir->show();
        return;
    }
    switch (m_cwoip.mode()) {
    case CwoipLink::Offline:
        lblOnAir->setText(u"On the Air"_s);
        lblOnAir->hide();
        break;
    case CwoipLink::Listening:
        lblOnAir->setText(u"Ready"_s);
        lblOnAir->show();
        break;
    case CwoipLink::Calling:
    case CwoipLink::Answered:
        lblOnAir->setText(u"Connected"_s);
        lblOnAir->show();
        break;
    }
}

// --- Keyboard ----------------------------------------------------------------

bool TrainerWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || m_closing)
        return QMainWindow::eventFilter(watched, event);
    // Ctrl alone, not Ctrl held for a chord (Ctrl+A, Ctrl+C), switches the
    // keypad label; it is the Monitor tab's.
    if (m_ctrlTap.take(event) && m_tabs->currentIndex() == MonitorPage)
        m_monitor->toggleKeypadMode();
    // Each key once: for the focus widget, inside this window, not in a dialog.
    if (event->type() == QEvent::KeyPress && widget == QApplication::focusWidget())
        return keyDown(static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event);
}

bool TrainerWindow::keyDown(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        showHelp(event->modifiers() & Qt::ShiftModifier);
        return true;
    }
    // The keyer's keypad is the Monitor tab's: in the fields of the other
    // tabs (words, word length) every key is text.
    if (m_tabs->currentIndex() != MonitorPage || !linkUp())
        return false;
    const char c = KeypadCommands::characterFor(event->key(), event->modifiers(), m_monitor->keypadMode(),
                                                m_monitor->millText()->toPlainText().isEmpty());
    if (c == 0)
        return false;
    m_link.write(keyerCommand(KeypadCommands::DLE, c));
    return true;
}

void TrainerWindow::showHelp(bool shift)
{
    // Each tab's section of the manual, in tab order.
    static const QString sections[] = {u"monitor-tab"_s, u"configuration-tab"_s, u"messages-tab"_s,
                                       u"software-tab"_s};
    const QString section = sections[qBound(0, m_tabs->currentIndex(), int(std::size(sections)) - 1)];
    if (linkUp()) {
        // The keypad's short help; its Help button goes on to the manual.
        if (message(QMessageBox::Information, HelpText, QMessageBox::Ok | QMessageBox::Help, QMessageBox::Ok)
            == QMessageBox::Help)
            ManualWindow::open(this, u"krt"_s, section);
        return;
    }
    // A PDF manual the operator put into Docs comes first.
    const QString manual = shift ? u"Docs/Dashtutor.pdf"_s : u"Docs/DashtutorManager.pdf"_s;
    const QString path = QDir().absoluteFilePath(manual);
    if (QFile::exists(path)) {
        if (!m_opener(path))
            message(QMessageBox::Critical, tr("No program could be started to show %1").arg(path));
        return;
    }
    if (shift) {
        const QString where = tr("The trainer keyer's own manual is not installed. Put it at %1 and Shift+F1 "
                                 "opens it.");
        ManualWindow::open(this, u"krt"_s, u"trainer-keyer-commands"_s, where.arg(path));
    } else {
        ManualWindow::open(this, u"krt"_s, section);
    }
}

// --- Monitor functions ---------------------------------------------------------

void TrainerWindow::saveMonitor()
{
    const QString text = m_monitor->monitorText();
    if (text.size() >= 2) {
        const QString name = AuditFile::timestampedName(u"krt"_s, QDateTime::currentDateTime());
        const QString caption = QDateTime::currentDateTimeUtc().toString(u"dd-MM-yy hh:mm:ss"_s) + u" UTC"_s;
        const QString error = AuditFile::appendTo(u"Audit"_s, name, caption, text);
        if (!error.isEmpty()) {
            // The monitor keeps its text when it could not be saved.
            message(QMessageBox::Critical, tr("The monitor text could not be saved: %1").arg(error));
            return;
        }
        message(QMessageBox::Information,
                u"Monitor contents saved in "_s + QDir().absoluteFilePath(u"Audit/"_s + name));
    }
    m_monitor->monitorClear();
}

void TrainerWindow::reviewMonitor()
{
    QDir().mkpath(u"Audit"_s);
    const QString file = m_chooser(u"Select Audit File"_s, u"Audit"_s, u"Audit File (krt*.txt)"_s);
    if (!file.isEmpty() && !m_opener(QFileInfo(file).absoluteFilePath()))
        DesktopOpen::noHandler(this, QFileInfo(file).absoluteFilePath());
}
