#pragma once

#include "keyerlink.h"
#include "programoptions.h"
#include "settingsstore.h"

#include <QMainWindow>
#include <QMessageBox>

#include <functional>

class SoftwareTab;
class QLabel;
class QTabWidget;

// The trainer's main window. For now it finds and identifies the keyer,
// hands a manager keyer over to krv, and shuts the link down cleanly.
class TrainerWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class StartupResult { NotRun, Ready, HandedOver, Failed, Aborted };
    using MessageHook = std::function<void(QMessageBox::Icon, const QString &)>;

    TrainerWindow(SettingsStore *settings, KeyerPort *port, QWidget *parent = nullptr);

    void setPortTable(const PortTable &table);
    void setHandOver(std::function<bool()> handOver) { m_handOver = std::move(handOver); }
    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }
    KeyerLink &link() { return m_link; }
    StartupResult startupResult() const { return m_result; }

    void Form_Activate();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void message(QMessageBox::Icon icon, const QString &text);
    void fail(const QString &text);

    SettingsStore *m_settings;
    KeyerLink m_link;
    QTabWidget *m_tabs;
    SoftwareTab *m_software;
    QLabel *m_version;
    std::function<bool()> m_handOver;
    MessageHook m_messageHook;
    StartupResult m_result = StartupResult::NotRun;
    bool m_started = false;
    bool m_closing = false;
    bool m_shutdownDone = false;
};
