#pragma once

#include "configrecord.h"
#include "countrytable.h"
#include "keyereventstream.h"
#include "keyerlink.h"
#include "keycommands.h"
#include "messagesender.h"
#include "modifiertap.h"
#include "programoptions.h"
#include "remotetable.h"
#include "settingsstore.h"
#include "callnotes.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

class ConfigurationTab;
class SoftwareTab;
class TerminalTab;
class QLabel;
class QTabWidget;

// Remote-control settings read at start-up; the remote link uses them.
struct RemoteSettings
{
    int role = 0; // 0 none, 1 keyboard simulator, 2 server, 3 client
    int bufferSize = 1;
    int timeout = 0;
    QString remoteIP, localIP, remotePort, localPort;
};

// The manager's main window: five tabs, the keyer link and its event
// stream, start-up and shutdown.
class Configuration : public QMainWindow, private KeyerEventSink, private MessageSenderHost
{
    Q_OBJECT
public:
    enum Tab { TerminalPage = 0, ConfigurationPage, UsersPage, LogbookPage, SoftwarePage };
    enum class StartupResult { NotRun, Ready, HandedOver, Failed, Aborted };

    // Shows a message box; tests replace it to answer without a dialog.
    using MessageHook = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton)>;

    Configuration(SettingsStore *settings, KeyerPort *port, const ProgramOptions &options,
                  QWidget *parent = nullptr);
    ~Configuration() override;

    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }
    void setPortTable(const PortTable &table);
    // The program that a trainer keyer is handed to (tests replace it).
    void setHandOver(std::function<bool()> handOver) { m_handOver = std::move(handOver); }

    KeyerLink &link() { return m_link; }
    KeyerEventStream &events() { return m_events; }
    ConfigRecord &record() { return m_record; }
    const CountryTable &countries() const { return m_countries; }
    CallNotes &specialNotes() { return m_specialNotes; }
    StartupResult startupResult() const { return m_startupResult; }
    QString startupMessage() const { return m_startupMessage; }

    // The start-up sequence; runs once, at the first activation.
    void Form_Activate();
    // Public operations other windows call.
    void Wait(int milliseconds) { m_link.Wait(milliseconds); }
    // False when the keyer did not take the block (the operator was told).
    bool SendConfig();
    void ApplyConfiguration();
    void setKRVImageFunction();

    void btnReadConfig_Click();
    void btnUseConfig_Click();
    void KRVLabel_Click();

    // The Terminal tab's operations (QSO entry, keyboard commands).
    // Hands text to the keyer as if typed on its own keyboard.
    void sendKeyboard(const QString &text);
    void btnSendMessage_Click() { m_sender.send(); }
    void btnCheckCall_Click();
    void btnLogQSO_Click();
    void btnDeleteQSO_Click();
    void btnUndelete_Click();
    void btnEditQSO_Click();
    void btnMinus_Click();
    void btnTune_MouseDown(bool leftButton);
    // Empties the send buffer; the button also tells the keyer (a blank).
    void clearSendBuffer(bool fromButton);
    // The key preview: a key-down on the window, before the focused control.
    bool keyDown(QKeyEvent *event);
    const MessageSender &sender() const { return m_sender; }
    // Set while the keyboard simulator of the remote link types what the
    // keyer decodes into another program: the Terminal tab ignores keys.
    void setKeyboardSimulatorOn(bool on) { m_keyboardSimulatorOn = on; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Start-up pieces.
    void restorePlacement();
    void readRemoteSettings();
    void loadLookupFiles();
    StartupResult connectKeyer();
    bool readConfiguration(QString *error);
    void setKeyerClock();
    void startFailed();
    void setTabsEnabled(bool on);
    void showTab(int screen);
    // Shutdown.
    void Form_QueryUnload();
    void savePlacement();

    void utcClock_Timer();
    void updateCaption();
    void onPortFailed(const QString &reason);
    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // The Terminal tab.
    void wireTerminal();
    void refreshTerminal();
    QString lastWord() const;
    QString ownCall() const override;
    void startDataEntry(KeyCommands::DataEntry mode, const QString &caption);
    void finishDataEntry();
    void messageKey(QChar key);
    void toggleUser();
    void receivedReport();
    void keypadFunction(QChar key);
    void saveMonitor();
    void reviewMonitor();
    void showHelp(bool shift);
    void setMillKeyboard(bool on);
    void serialNumberLeft();
    void instantBand(int index);
    void instantMode(int index);
    bool typedCharacter(QKeyEvent *event);
    // Ctrl+Tab and its kin; true when the key moved between tabs.
    bool stepTab(QKeyEvent *event);
    // A tab chosen by click or key: ends a running wait, remembered.
    void chooseTab(int index);
    // Characters of the send buffer that went to the keyer during the
    // message going out (none while idle).
    qsizetype lockedLength() const;
    KeyCommands::KeyState keyState() const;
    void execute(const KeyCommands::Decision &decision, QKeyEvent *event, bool *consumed);
    // Smart text of F2..F12, expanded: the profiles' store.
    QString smartText(int key) const;
    // The Users tab (configurationusers.cpp).
    QWidget *createUsersTab();
    void btnUseProfile_Click();
    class UsersTab *m_users = nullptr;

    // MessageSenderHost
    QString sendBufferText() const override;
    void transmissionStarted() override;
    void setSending(bool sending) override;
    bool editMode() const override;
    void sentRst() override;
    bool autoLogging() const override;
    bool callShown() const override;
    void qsoLogged() override;
    int keyerSpeed() const override;
    bool millKeyboard() const override;
    void stepSpeed(int wpm) override;
    void sendFailed(const QString &message) override;
    void unsentLeft(qsizetype from) override;

    // KeyerEventSink
    qsizetype monitorLength() const override;
    QString monitorTail(qsizetype count) const override;
    void monitorAppend(const QString &text) override;
    void monitorChop(qsizetype count) override;
    void monitorClear() override;
    void monitorNewLine() override;
    bool nordic() const override { return m_nordic; }
    void speedReported(int wpm) override;
    void configurationBlock(const QByteArray &block) override;
    qint16 qsoCount() const override { return m_record.qsoCount; }
    bool takeNewLineFlag() override { return std::exchange(m_newLineFlag, false); }
    bool messageBusy() const override { return m_sender.busy(); }
    void releaseTune() override;
    void recordForEditing() override;
    void qsoStored() override;
    void clearSendBuffer() override { clearSendBuffer(false); }
    void callReported(const CallReport &report) override;
    void endOfMessage() override;
    void monitorFull() override;
    void showError(const QString &message) override;

    // The radio link (configurationradio.cpp): its window, the radio button,
    // and its part in start-up, shutdown and ApplyConfiguration.
    friend class ManagerRadioHost;
    void wireRadio();
    void radioAutoConnect();
    void radioShutdown();
    void alignRadioVox();
    class RadioConnect *m_radio = nullptr;
    class QToolButton *m_radioButton = nullptr;

    // The remote control link (configurationremote.cpp): lblTCP, the
    // Remote Control button, the keyer picture's click, and where the event
    // stream's forwarding goes.
    friend class ManagerRemote;
    void wireRemote(class QHBoxLayout *header);
    void remoteShutdown();
    // Esc for the remote link: a client asks the server to drop what it
    // holds; a server drops what it holds from the client. True when the
    // server's keyer had remote text to stop.
    bool remoteEscape();
    void forwardSpeed(int wpm) override;
    void forwardStateCode(char code) override;
    void forwardKeyboardEcho(char code) override;
    void forwardText(const QString &text, char keyed) override;
    void forwardErase(int trailingSpaces) override;
    void forwardBackspace() override;
    class ManagerRemote *m_remoteLink = nullptr;

    // Keying from contest loggers (configurationcwdaemon.cpp): the
    // cwdaemon-compatible UDP server and its check box in the header.
    friend class ManagerCwDaemon;
    void wireCwDaemon(class QHBoxLayout *header);
    class ManagerCwDaemon *m_cwDaemon = nullptr;

    // The Logbook tab, its transfers and the QSO list window
    // (configurationlogbook.cpp).
    QWidget *createLogbookTab(class QHBoxLayout *header);
    // The QSO count, export mark and user of the record on the tab.
    void showLogbookRecord();
    void logbookOpened();
    friend class ManagerLogbookHost;
    void setLogTransferRunning(bool running);
    void btnQSOs_Click();
    void loadQSOList(int count) override;
    void takeCallFromQsoList(const QString &call);
    class LogbookTab *m_logbook = nullptr;
    std::unique_ptr<class LogbookController> m_logbookFlows;
    class QsoListWindow *m_qsoList = nullptr;

    // eQSL, TQSL and the call look-up (configurationonline.cpp).
    void wireOnlineServices();
    void btneQSL_Click();
    void editEqslAccount();
    void btnLotW_Click();
    // Asks for the TQSL program and stores it; false when none was chosen.
    bool chooseTqslProgram();
    void btnLookup_Click();
    void editLookupTarget();
    class TqslWindow *m_tqslWindow = nullptr;
    void showDemoStation();
    class DemoStationWindow *m_demoStation = nullptr;

    SettingsStore *m_settings;
    ProgramOptions m_options;
    KeyerLink m_link;
    KeyerEventStream m_events;
    ConfigRecord m_record;
    RemoteSettings m_remote;
    CountryTable m_countries;
    CallNotes m_specialNotes;
    TranslationTable m_translation;

    QTabWidget *m_tabs;
    TerminalTab *m_terminal;
    ConfigurationTab *m_configurationTab;
    SoftwareTab *m_software;
    QLabel *m_title;
    QLabel *m_version;
    QLabel *m_utc;
    QLabel *m_keyerImage;
    QTimer m_utcClock;

    MessageHook m_messageHook;
    std::function<bool()> m_handOver;
    StartupResult m_startupResult = StartupResult::NotRun;
    QString m_startupMessage;
    bool m_startupStarted = false;
    bool m_closing = false;
    bool m_shutdownDone = false;
    bool m_windowOnTop = false;
    bool m_windows2000 = false;
    bool m_nordic = false;
    bool m_monitorFullShown = false;
    bool m_transferBusy = false;
    MessageSender m_sender;
    KeyCommands::DataEntry m_dataEntry = KeyCommands::DataEntry::None;
    QString m_keyboardText;
    bool m_newLineFlag = false;
    bool m_firstKeyMarker = false;
    bool m_keyboardSimulatorOn = false;
    ModifierTap m_ctrlTap;
    int m_currentScreen = 0;
    int m_comPort = 1;
    qint32 m_baudRate = 38400;
};
