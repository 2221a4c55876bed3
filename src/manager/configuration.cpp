#include "configuration.h"

#include "configurationtab.h"
#include "keyererror.h"
#include "keyerpicture.h"
#include "logbookcontroller.h"
#include "logbooktab.h"
#include "mnemonicclicks.h"
#include "softwaretab.h"
#include "terminaltab.h"
#include "versionrules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A click on the title label toggles "window on top".
class ClickFilter : public QObject
{
public:
    ClickFilter(QObject *parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

QPixmap keyerPictureWithLamp(const QColor &lamp)
{
    return keyerPicture(QColor(205, 210, 215), QColor(90, 130, 90), lamp);
}

} // namespace

Configuration::Configuration(SettingsStore *settings, KeyerPort *port, const ProgramOptions &options, QWidget *parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_options(options),
      m_link(port, this),
      m_events(m_link, *this),
      m_sender(m_link, *this)
{
    setObjectName(u"Configuration"_s);
    setWindowTitle(u"Dashwright Manager"_s);

    m_title = new QLabel(u"Dashwright Manager"_s);
    m_title->setObjectName(u"KRVLabel"_s);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setCursor(Qt::PointingHandCursor);
    m_title->setToolTip(tr("Click to keep the window on top of other windows"));
    m_title->installEventFilter(new ClickFilter(this, [this] { KRVLabel_Click(); }));

    m_keyerImage = new QLabel;
    m_keyerImage->setObjectName(u"imgKRV"_s);
    m_version = new QLabel;
    m_version->setObjectName(u"lblVersion"_s);
    m_utc = new QLabel;
    m_utc->setObjectName(u"lblUTC"_s);
    m_utc->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *header = new QHBoxLayout;
    header->addWidget(m_keyerImage);
    header->addWidget(m_title);
    header->addStretch();
    auto *stamps = new QVBoxLayout;
    stamps->addWidget(m_utc, 0, Qt::AlignRight);
    stamps->addWidget(m_version, 0, Qt::AlignRight);
    header->addLayout(stamps);

    m_terminal = new TerminalTab;
    m_configurationTab = new ConfigurationTab(&m_record, m_settings);
    m_software = new SoftwareTab(m_settings);
    m_software->attach(&m_link, [this] {
        m_startupStarted = false;
        Form_Activate();
    });
    QWidget *users = createUsersTab();
    QWidget *logbook = createLogbookTab(header);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(u"tabScreens"_s);
    // No underlined letters on the tabs: the tab bar is always there, and
    // its letters would take the Alt keys of every tab's buttons.
    // Each page scrolls in a window smaller than it (a netbook's 1024x600).
    const auto scrolling = [](QWidget *page) {
        auto *area = new QScrollArea;
        area->setWidget(page);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        area->setFocusPolicy(Qt::NoFocus);
        return area;
    };
    m_tabs->addTab(scrolling(m_terminal), tr("Terminal"));
    m_tabs->addTab(scrolling(m_configurationTab), tr("Configuration"));
    m_tabs->addTab(scrolling(users), tr("Users"));
    m_tabs->addTab(scrolling(logbook), tr("Logbook"));
    m_tabs->addTab(scrolling(m_software), tr("Software"));
    m_tabs->setTabToolTip(TerminalPage, tr("Monitor the keyer and send text"));
    m_tabs->setTabToolTip(ConfigurationPage, tr("Configure the keyer"));
    m_tabs->setTabToolTip(UsersPage, tr("User profiles and messages"));
    m_tabs->setTabToolTip(LogbookPage, tr("Keyer log, ADIF and list files"));
    m_tabs->setTabToolTip(SoftwarePage, tr("Keyer port, firmware and software updates"));

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(header);
    layout->addWidget(m_tabs, 1);
    setCentralWidget(central);
    resize(1180, 740);

    setTabsEnabled(false);
    m_tabs->setCurrentIndex(SoftwarePage);

    connect(&m_link, &KeyerLink::receiveEvent, this, [this] { m_events.MSComm_OnComm(); });
    connect(&m_link, &KeyerLink::portFailed, this, &Configuration::onPortFailed, Qt::QueuedConnection);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, &Configuration::chooseTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        // On the Terminal tab the keys are the keyer's: the caret goes
        // where the typing goes.
        if (index == TerminalPage)
            m_terminal->typingBox()->setFocus();
    });
    wireTerminal();
    new MnemonicClicks(this);
    wireRadio();
    wireRemote(header);
    wireCwDaemon(header);
    wireOnlineServices();
    connect(m_terminal, &TerminalTab::speedChosen, this, [this](int wpm) {
        m_record.currentSpeed = QByteArray::number(wpm);
        if (m_link.isOpen())
            m_link.write(QByteArray(1, '\x01') + char(wpm));
        m_terminal->sendBuffer()->setFocus();
    });
    connect(m_configurationTab, &ConfigurationTab::readConfigRequested, this, &Configuration::btnReadConfig_Click);
    connect(m_configurationTab, &ConfigurationTab::useConfigRequested, this, &Configuration::btnUseConfig_Click);
    connect(m_configurationTab, &ConfigurationTab::sendConfigRequested, this, [this] {
        SendConfig();
        Wait(200);
    });
    connect(m_configurationTab, &ConfigurationTab::restored, this, [this] {
        ApplyConfiguration();
        SendConfig();
    });
    connect(m_configurationTab, &ConfigurationTab::nordicChanged, this, [this](bool on) { m_nordic = on; });

    m_utcClock.setInterval(1000);
    connect(&m_utcClock, &QTimer::timeout, this, &Configuration::utcClock_Timer);
    utcClock_Timer();
    m_utcClock.start();
    setKRVImageFunction();
}

Configuration::~Configuration() = default;

void Configuration::chooseTab(int index)
{
    // A tab the operator can open ends a running wait; the empty bar
    // (index -1) and disabled tabs are no command.
    if (index < 0 || !m_tabs->isTabEnabled(index))
        return;
    m_link.cancel();
    if (m_currentScreen != 0) {
        m_currentScreen = index + 1;
        m_settings->setSetting(u"KRVLastScreen"_s, m_currentScreen);
    }
}

void Configuration::setPortTable(const PortTable &table)
{
    m_link.setPortTable(table);
    m_software->setPortTable(table);
}

QMessageBox::StandardButton Configuration::message(QMessageBox::Icon icon, const QString &text,
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

void Configuration::utcClock_Timer()
{
    m_utc->setText(QDateTime::currentDateTimeUtc().toString(u"dd-MM-yy hh:mm:ss"_s) + u" UTC"_s);
}

void Configuration::updateCaption()
{
    if (isMinimized()) {
        const bool contest = m_record.optionWord & Option::ContestMode;
        setWindowTitle(u"KRV Manager "_s + QString::number(contest ? m_record.serialNumber : m_record.qsoCount));
    } else {
        setWindowTitle(u"Dashwright Manager"_s);
    }
}

void Configuration::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        updateCaption();
    QMainWindow::changeEvent(event);
}

void Configuration::KRVLabel_Click()
{
    m_windowOnTop = !m_windowOnTop;
    const QRect placement = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, m_windowOnTop);
    setGeometry(placement);
    show();
    m_settings->setSetting(u"WindowOnTop"_s, m_windowOnTop ? u"1"_s : u"0"_s);
    message(QMessageBox::Information, m_windowOnTop ? u"Window always on top"_s : u"Normal Window"_s);
}

void Configuration::setKRVImageFunction()
{
    static const char *const roleTips[] = {"", "Click to toggle keyboard simulation",
                                           "Click to toggle server operation",
                                           "Click to toggle remote client connection"};
    const bool connected = m_link.isOpen() && m_startupResult == StartupResult::Ready;
    const bool onAir = connected && !(m_record.status & 1);
    m_keyerImage->setPixmap(keyerPictureWithLamp(!connected ? QColor(150, 150, 150)
                                         : onAir    ? QColor(230, 40, 40)
                                                    : QColor(60, 170, 60)));
    // In SSB no remote role can start: the picture offers none.
    const bool ssb = m_record.optionWord & Option::SSB;
    const int role = m_remote.role >= 0 && m_remote.role <= 3 && !ssb ? m_remote.role : 0;
    m_keyerImage->setToolTip(QString::fromLatin1(roleTips[role]));
    m_keyerImage->setCursor(role != 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void Configuration::setTabsEnabled(bool on)
{
    for (int page : {TerminalPage, ConfigurationPage, UsersPage, LogbookPage})
        m_tabs->setTabEnabled(page, on);
    m_tabs->setTabEnabled(SoftwarePage, true);
}

void Configuration::showTab(int screen)
{
    const int page = screen >= 1 && screen <= 5 ? screen - 1 : TerminalPage;
    m_tabs->setCurrentIndex(page);
    m_currentScreen = page + 1;
}

bool Configuration::SendConfig()
{
    if (!m_link.isOpen())
        return false;
    try {
        const QByteArray block = ConfigBlock::BuildConfigBlock(m_record);
        if (!m_link.SendCommand('C'))
            throw KeyerError(KeyerErrors::ConfigWriteFailed);
        m_link.write(block);
        if (!m_link.WaitForByte(KeyerLink::ACK, 3000))
            throw KeyerError(KeyerErrors::ConfigWriteFailed);
        return true;
    } catch (const KeyerError &error) {
        m_link.setReceiveThreshold(1);
        message(QMessageBox::Critical, communicationFailedMessage(error.number(), u'X'));
        return false;
    }
}

void Configuration::btnUseConfig_Click()
{
    m_configurationTab->setTransferButtonsEnabled(false);
    // On success the keyer's answering block enables the buttons again;
    // after a failure no block comes, and the operator must be able to retry.
    if (!SendConfig())
        m_configurationTab->setTransferButtonsEnabled(true);
}

bool Configuration::readConfiguration(QString *error)
{
    m_configurationTab->setTransferButtonsEnabled(false);
    m_configurationTab->setConfigurationLoad(true);
    try {
        m_link.setReceiveThreshold(1);
        if (!m_link.SendCommand('S'))
            throw KeyerError(KeyerErrors::ConfigReadFailed);
        // The block comes through the event stream.
        if (!m_link.WaitWhile([this] { return m_configurationTab->configurationLoad() && !m_closing; }, 5000)
            || m_configurationTab->configurationLoad())
            throw KeyerError(KeyerErrors::ConfigReadFailed);
        Wait(200);
        return true;
    } catch (const KeyerError &e) {
        m_configurationTab->setConfigurationLoad(false);
        m_configurationTab->setTransferButtonsEnabled(true);
        m_link.setReceiveThreshold(1);
        *error = communicationFailedMessage(e.number(), u'M');
        return false;
    }
}

void Configuration::btnReadConfig_Click()
{
    if (m_transferBusy)
        return;
    QString error;
    if (!readConfiguration(&error))
        message(QMessageBox::Critical, error);
}

void Configuration::ApplyConfiguration()
{
    m_link.setReceiveThreshold(0);
    m_configurationTab->setConfigurationLoad(true);
    m_configurationTab->showRecord();
    m_software->setFirmwareVersion(m_record.firmwareVersion, m_record.firmwareBuild);
    m_terminal->showSpeed(m_record.currentSpeed.toInt());
    const quint16 options = m_record.optionWord;
    m_terminal->setOnAir(!(m_record.status & 1), options & Option::SSB);
    alignRadioVox();
    m_terminal->showBand(m_record.band % 16);
    m_terminal->showMode(options & Option::SSB);
    m_terminal->showHandKey((options & Option::HandKey) || (options & Option::KeyerModeMask) == 5);
    m_terminal->showAutoLogging(!(options & Option::AutoLoggingOff));
    m_terminal->showSerialNumber(m_record.serialNumber, options & Option::ContestMode);
    m_terminal->showUser(options & Option::User2);
    showLogbookRecord();
    refreshTerminal();
    updateCaption();
    setKRVImageFunction();
    m_link.setReceiveThreshold(1);
    m_configurationTab->setTransferButtonsEnabled(true);
    m_configurationTab->setConfigurationLoad(false);
}

// The event stream's view of the window.

qsizetype Configuration::monitorLength() const
{
    return m_terminal->monitorLength();
}

QString Configuration::monitorTail(qsizetype count) const
{
    return m_terminal->monitorTail(count);
}

void Configuration::monitorAppend(const QString &text)
{
    m_terminal->monitorAppend(text);
}

void Configuration::monitorChop(qsizetype count)
{
    m_terminal->monitorChop(count);
}

void Configuration::monitorClear()
{
    m_terminal->monitorClear();
}

void Configuration::monitorNewLine()
{
    m_terminal->monitorNewLine();
}

void Configuration::speedReported(int wpm)
{
    m_record.currentSpeed = QByteArray::number(wpm);
    m_terminal->showSpeed(wpm);
}

void Configuration::configurationBlock(const QByteArray &block)
{
    m_record = ConfigBlock::ParseConfigBlock(block);
    ApplyConfiguration();
}

void Configuration::monitorFull()
{
    if (std::exchange(m_monitorFullShown, true))
        return;
    message(QMessageBox::Critical, u"Please clear and/or save the Monitor text box"_s);
}

void Configuration::showError(const QString &text)
{
    message(QMessageBox::Critical, text);
}

void Configuration::onPortFailed(const QString &reason)
{
    if (m_closing)
        return;
    setTabsEnabled(false);
    m_tabs->setTabEnabled(LogbookPage, true);
    m_logbook->setKeyerPresent(false);
    m_software->setBaudRateText(u"?"_s);
    showTab(SoftwarePage + 1);
    setKRVImageFunction();
    message(QMessageBox::Critical,
            tr("The connection to the keyer was lost (%1).\nCheck the cable and the keyer, then start the program again.")
                .arg(reason));
}
