#pragma once

#include "configrecord.h"
#include "countrytable.h"
#include "keyereventstream.h"
#include "keyerlink.h"
#include "programoptions.h"
#include "remotetable.h"
#include "settingsstore.h"
#include "callnotes.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <functional>

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
class Configuration : public QMainWindow, private KeyerEventSink
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

protected:
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
    void monitorFull() override;
    void showError(const QString &message) override;

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
    int m_currentScreen = 0;
    int m_comPort = 1;
    qint32 m_baudRate = 38400;
};
