#pragma once

#include "keyersearch.h"
#include "porttable.h"
#include "updateproduct.h"

#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include <functional>

class FirmwareLoader;
class FirmwareLoaderWindow;
class KeyerLink;
class SerialPortsWindow;
class SettingsStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The Software tab: the keyer port and the versions, updates and back-out,
// firmware loading, restart, the serial ports and the settings file. Shown
// whenever the keyer could not be reached, so the operator can choose
// another port.
class SoftwareTab : public QWidget
{
    Q_OBJECT
public:
    // Shows a message box; tests replace it to answer without a dialog.
    using MessageHook = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton)>;

    SoftwareTab(SettingsStore *settings, const UpdateProduct &product = UpdateProduct::krv(), QWidget *parent = nullptr);
    ~SoftwareTab() override;

    // The keyer link: the update check switches its receive events off,
    // Load firmware and Restart close its port. restart re-runs the main
    // window's start-up.
    void attach(KeyerLink *link, std::function<void()> restart);
    void setMessageHook(MessageHook hook) { m_messageHook = std::move(hook); }

    // Names the devices behind the port numbers in the list.
    void setPortTable(const PortTable &table);
    // Shows the stored COMPort and AutoCOM.
    void loadSettings();

    // The start-up search for the keyer, shown here: the device and rate
    // being tried, and a Cancel button that ends the search at once. It
    // starts at the port the keyer was last found on, by its stable name
    // when that device is present. closing() ends it too.
    KeyerSearch::Result searchForKeyer(KeyerLink &link, qint32 baudRate, const std::function<bool()> &closing);
    // Devices the search passes over: the radio's port while it is connected.
    void setExcludedDevices(const QStringList &devices) { m_excludedDevices = devices; }
    // Remembers where the keyer answered: number, stable name, rate.
    void keyerFound(const KeyerSearch::Result &found);
    // The port to start the search at.
    int startPort() const;
    // 0 selects " ?".
    void selectPort(int number);
    int selectedPort() const;
    bool autoCom() const;
    void setBaudRateText(const QString &text);
    // The keyer's version digits and build digits, as read at start-up;
    // the update check compares the server's firmware with them.
    void setFirmwareVersion(const QByteArray &version, const QByteArray &build);

    // Shortens the overall deadline of each download (tests of a server
    // that drips its bytes).
    void setDownloadDeadline(int milliseconds) { m_downloadDeadline = milliseconds; }

    // Set when an installer was downloaded or restored in this run.
    bool updatePending() const { return m_updatePending; }
    // Program end: starts the installer downloaded or restored in this run.
    void startPendingInstaller();

    void btnInetUpdate_Click();
    void btnBackout_Click();
    void btnUpdateFirmware_Click();
    void btnRestartProgram_Click();
    void btnSettings_Click();
    void btnDownloadServer_Click();
    void btnExport_Click();
    void btnImport_Click();
    // The program, its version, its copyright and licence.
    void btnAbout_Click();

private:
    // The `DownloadServer` setting; empty when none is set.
    QUrl downloadServer() const;
    static QString noServerText();
    void portChosen(int index);
    void autoComClicked(bool on);
    void setOtherTabsEnabled(bool on);
    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    QPushButton *button(const QString &name, const QString &text, const QString &tip, void (SoftwareTab::*handler)());

    SettingsStore *m_settings;
    UpdateProduct m_product;
    KeyerLink *m_link = nullptr;
    std::function<void()> m_restart;
    MessageHook m_messageHook;
    PortTable m_table;
    QStringList m_excludedDevices;
    bool m_searchCancelled = false;
    bool m_updatePending = false;
    QByteArray m_pendingInstallerSha256;
    int m_downloadDeadline = 0;
    int m_firmwareFirst = 0;
    int m_firmwareSecond = 0;
    QLabel *m_searchStatus;
    QPushButton *m_cancelSearch;
    QComboBox *m_portList;
    QCheckBox *m_autoCom;
    QLabel *m_baudRate;
    QLabel *m_firmwareVersion;
    QLabel *m_programVersion;
    QLabel *m_updateSource;
    QLabel *m_device;
    QPushButton *m_inetUpdate;
    QPushButton *m_backout;
    QPushButton *m_updateFirmware;
    FirmwareLoader *m_loader;
    FirmwareLoaderWindow *m_loaderWindow = nullptr;
    SerialPortsWindow *m_portsWindow = nullptr;
};
