#pragma once

#include "keyersearch.h"
#include "porttable.h"

#include <QWidget>

#include <functional>

class KeyerLink;
class SettingsStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The Software tab: the keyer port and the versions. Shown whenever the
// keyer could not be reached, so the operator can choose another port.
class SoftwareTab : public QWidget
{
    Q_OBJECT
public:
    SoftwareTab(SettingsStore *settings, QWidget *parent = nullptr);

    // Names the devices behind the port numbers in the list.
    void setPortTable(const PortTable &table);
    // Shows the stored COMPort and AutoCOM.
    void loadSettings();

    // The start-up search for the keyer, shown here: the device and rate
    // being tried, and a Cancel button that ends the search at once. It
    // starts at the port the keyer was last found on, by its stable name
    // when that device is present. closing() ends it too.
    KeyerSearch::Result searchForKeyer(KeyerLink &link, qint32 baudRate, const std::function<bool()> &closing);
    // Remembers where the keyer answered: number, stable name, rate.
    void keyerFound(const KeyerSearch::Result &found);
    // The port to start the search at.
    int startPort() const;
    // 0 selects " ?".
    void selectPort(int number);
    int selectedPort() const;
    bool autoCom() const;
    void setBaudRateText(const QString &text);
    void setFirmwareVersion(const QString &text);

private:
    void portChosen(int index);
    void autoComClicked(bool on);

    SettingsStore *m_settings;
    PortTable m_table;
    bool m_searchCancelled = false;
    QLabel *m_searchStatus;
    QPushButton *m_cancelSearch;
    QComboBox *m_portList;
    QCheckBox *m_autoCom;
    QLabel *m_baudRate;
    QLabel *m_firmwareVersion;
    QLabel *m_programVersion;
    QLabel *m_device;
};
