#pragma once

#include "cwoiplink.h"
#include "keyerlink.h"
#include "messagetimer.h"
#include "modifiertap.h"
#include "randomsource.h"
#include "settingsstore.h"
#include "trainerconfig.h"
#include "trainereventstream.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <functional>

class CWoIP;
class SoftwareTab;
class TrainerConfigTab;
class TrainerMessagesTab;
class TrainerMonitorTab;
class QLabel;
class QLayout;
class QTabWidget;

// The trainer's main window `Configuration`: the Monitor, Configuration,
// Messages and Software tabs, the trainer keyer's link and event stream,
// the message timer and the CW-over-IP link. Start-up finds the trainer
// keyer (a manager keyer goes to krv), checks its firmware and reads its
// configuration.
class TrainerWindow : public QMainWindow, private TrainerEventSink
{
    Q_OBJECT
public:
    enum Page { MonitorPage, ConfigurationPage, MessagesPage, SoftwarePage };
    enum class StartupResult { NotRun, Ready, HandedOver, Failed, Aborted };
    using MessageHook = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton)>;

    TrainerWindow(SettingsStore *settings, KeyerPort *port, QWidget *parent = nullptr);
    ~TrainerWindow() override;

    void setPortTable(const PortTable &table);
    void setHandOver(std::function<bool()> handOver) { m_handOver = std::move(handOver); }
    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }
    // A file chooser (title, folder, filter; empty when cancelled) and the
    // desktop's open action; tests answer the one and watch the other.
    using FileChooser = std::function<QString(const QString &, const QString &, const QString &)>;
    using Opener = std::function<bool(const QString &)>;
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    KeyerLink &link() { return m_link; }
    CwoipLink &cwoip() { return m_cwoip; }
    StartupResult startupResult() const { return m_result; }
    const TrainerConfig &record() const { return m_record; }
    TrainerMessagesTab *messagesTab() const { return m_messages; }
    // The CWoIP window, made on first use.
    CWoIP *cwoipWindow();

    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    void Form_Activate();
    void Wait(int milliseconds) { m_link.Wait(milliseconds); }
    // Writes the record with command "C"; false after a reported failure.
    bool SendConfig();
    void btnReadConfig_Click();
    void btnUseConfig_Click();
    void btnSaveConfig_Click();
    void btnRestoreConfig_Click();
    void btnUseMessages_Click();
    void KRTLabel_Click();
    void keyerPicture_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // TrainerEventSink
    qsizetype monitorLength() const override;
    void monitorAppend(const QString &text) override;
    void monitorNewLine() override;
    void monitorClear() override;
    bool nordic() const override { return m_nordic; }
    void speedReported(int charSpeed, int wordSpeed) override;
    void shiftMark(char mark) override;
    void messageTimer(TimerEvent event) override;
    void configurationBlock(const QByteArray &block) override;
    void keyedCharacter(char c) override;
    void monitorFull() override;
    void showError(const QString &text) override;

    QLayout *buildHeader();
    void connectTabs();
    StartupResult connectKeyer();
    bool readConfiguration(QString *error);
    void ApplyConfiguration();
    void fail(const QString &text);
    void setTabsEnabled(bool on);
    void showTab(int screen);
    bool linkUp() const;
    bool keyDown(QKeyEvent *event);
    void showHelp(bool shift);
    void saveMonitor();
    void reviewMonitor();
    void showSpeeds();
    void showStatus();
    void setKeyerPicture();
    void clockTick();

    SettingsStore *m_settings;
    KeyerLink m_link;
    TrainerEventStream m_events;
    CwoipLink m_cwoip;
    TrainerConfig m_record;
    RandomSource m_random;
    MessageTimer m_timer;
    QTimer Clock;

    QTabWidget *m_tabs;
    TrainerMonitorTab *m_monitor;
    TrainerConfigTab *m_configTab;
    TrainerMessagesTab *m_messages;
    SoftwareTab *m_software;
    CWoIP *m_cwoipWindow = nullptr;
    QLabel *m_title;
    QLabel *m_keyerImage;
    QLabel *lblOnAir;
    QLabel *lblTimer;
    QLabel *lblCSpeed;
    QLabel *lblWSpeed;
    QLabel *m_version;

    std::function<bool()> m_handOver;
    MessageHook m_messageHook;
    FileChooser m_chooser;
    Opener m_opener;
    StartupResult m_result = StartupResult::NotRun;
    QString m_startupMessage;
    bool m_nordic = false;
    bool m_windowOnTop = false;
    bool m_monitorFullShown = false;
    bool m_loading = false;
    bool m_started = false;
    bool m_closing = false;
    bool m_shutdownDone = false;
    ModifierTap m_ctrlTap;
    // The audit file a long session's scrolled-out monitor lines go to.
    QString m_spillName;
};
