#pragma once

#include <QWidget>

class PortTable;
class SettingsStore;
class QCheckBox;
class QComboBox;
class QLabel;

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
    QComboBox *m_portList;
    QCheckBox *m_autoCom;
    QLabel *m_baudRate;
    QLabel *m_firmwareVersion;
    QLabel *m_programVersion;
    QLabel *m_device;
};
