#pragma once

#include "catlink.h"
#include "rigctldlink.h"

#include <QTimer>
#include <QWidget>

class KeyerPort;
class RadioHost;
class SettingsStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;

// The "Radio Connection" window: the CAT link to an Elecraft K3 or KX3, so
// that the keyer's band and QSO mode follow the radio and the radio's VOX
// follows the keyer's on-the-air state; or any radio that Hamlib's rigctld
// serves, polled once a second for band and mode (it has no VOX link).
// Hiding the window leaves the link up.
class RadioConnect : public QWidget
{
    Q_OBJECT
public:
    // The port is the radio's own (Radio); the host is the main window.
    RadioConnect(SettingsStore *settings, RadioHost *host, KeyerPort *port, QWidget *parent = nullptr);

    // Positions in the radio list.
    enum RadioType { ElecraftKX3 = 0, ElecraftK3 = 1, Hamlib = 2 };
    static constexpr int RigPollMs = 1000;
    // A K3 or KX3 reports only what changes: between its reports it is
    // asked this often, so that one switched off or unplugged is dropped
    // within two seconds.
    static constexpr int CatWatchMs = 1000;

    CatLink &cat() { return m_cat; }
    RigctldLink &rig() { return m_rig; }
    bool isConnected() const { return m_connected; }
    // The device of the connected radio; empty while disconnected.
    QString connectedDevice() const { return m_connected ? m_device : QString(); }
    // 0 or 1 as last reported or toggled; -1 before the first report.
    int voxState() const { return m_vox; }

    // The main window's radio button: the settings into the lists, shown.
    void open();
    // Start-up: connects when RadioAutoConnect is 1. A failure shows the window.
    void autoConnect();
    // Program end: the link goes down the ordinary way.
    void shutdown();

    // The radio's VOX on while the keyer is on the air, off while off:
    // asked first, then toggled when it equals the off-the-air bit. Only
    // while connected.
    void alignVox(bool offTheAir);

    void btnConnect_Click();
    void btnCancel_Click();
    // False with "Connection Failed" shown.
    bool Connect();
    void Disconnect();
    void Poll();
    // One round of the rigctld link: frequency and mode taken over.
    void pollRig();

signals:
    // After every poll whose values were numbers.
    void reported(int band, int mode, int vox);

private:
    void loadSettings();
    void showRadioType();
    bool hamlibChosen() const;
    void showPorts();
    void listChanged();
    void radioReport();
    void runDeferred();
    void sendConfig();
    // The link went down without the operator: disconnected, told why.
    void lost(const QString &reason);
    void showFailure(const QString &reason);

    SettingsStore *m_settings;
    RadioHost *m_host;
    CatLink m_cat;
    RigctldLink m_rig;
    QTimer m_rigPoll;
    QTimer m_catWatch;
    bool m_hamlib = false;
    // Polls and configuration writes that wait for the keyer to be free.
    QTimer m_deferred;
    bool m_pollPending = false;
    bool m_configPending = false;

    QString m_device;
    bool m_connected = false;
    bool m_busy = false;
    bool m_polling = false;
    bool m_loading = false;
    int m_lastBand = -1;
    int m_vox = -1;

    QComboBox *cboRadioType;
    QComboBox *cboPort;
    QComboBox *cboBaudRate;
    // A device path typed in (a pseudo-terminal, rfcomm, a udev link):
    // used instead of the port list when not empty.
    QLineEdit *txtRadioDevice;
    QLineEdit *txtRigHost;
    QSpinBox *spnRigPort;
    class QFormLayout *m_form;
    QCheckBox *cbxAutoConnect;
    QLabel *lblResult;
    QLabel *lblResultDetail;
    QPushButton *btnConnect;
    QPushButton *btnCancel;
};
