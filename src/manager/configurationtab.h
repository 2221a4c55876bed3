#pragma once

#include <QMessageBox>
#include <QWidget>

#include "configrecord.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class SettingsStore;

// The Configuration tab: shows the manager's configuration record and lets
// the operator change it. Every operator change goes into the record at once;
// only the hand-key box asks for the record to be sent. Talking to the keyer
// is the window's job, requested through the signals.
class ConfigurationTab : public QWidget
{
    Q_OBJECT
public:
    ConfigurationTab(ConfigRecord *record, SettingsStore *settings, QWidget *parent = nullptr);

    // Shows the record on the controls without changing it. Values the
    // controls cannot show (a contrast byte above 15, a volume between two
    // slider steps) stay in the record until the operator moves the control.
    void showRecord();

    // While set, the hand-key box does not ask for the configuration to be sent.
    bool configurationLoad() const { return m_configurationLoad; }
    void setConfigurationLoad(bool on) { m_configurationLoad = on; }

    void setTransferButtonsEnabled(bool on);

    // Nordic and AutoAudit boxes from the settings.
    void loadSettings();

    // The Terminal tab's instant controls act through these, as the
    // operator's own change of this tab's controls would.
    void chooseBand(int index);
    void chooseSsb(bool on);
    void chooseHandKey(bool on);
    void chooseAutoLogging(bool on);
    void setBandControlsEnabled(bool on);

signals:
    void readConfigRequested();
    void useConfigRequested();
    void sendConfigRequested();
    void restored();
    void contestModeChanged(bool on);
    void ssbChanged(bool on);
    void nordicChanged(bool on);

protected:
    // Message boxes go through these so that tests can answer them.
    virtual bool ask(const QString &question);
    virtual void inform(QMessageBox::Icon icon, const QString &text);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectHandlers();

    void setOption(quint16 mask, bool on);
    void setTRCompensation(bool on);

    void speedLowChanged(int value);
    void speedHighChanged(int value);
    void volumeChanged(int value);
    void trExtensionChanged(int value);
    void saveConfiguration();
    void restoreConfiguration();

    ConfigRecord *m_record;
    SettingsStore *m_settings;
    bool m_configurationLoad = false;
    // Set while showRecord() moves the sliders, whose valueChanged cannot
    // tell the program from the operator.
    bool m_showing = false;

    QWidget *fraConfigurationFrame = nullptr;
    QComboBox *cboKeyerMode = nullptr;
    QSlider *ctlSpeedLow = nullptr;
    QLabel *lblSpeedLow = nullptr;
    QSlider *ctlSpeedHigh = nullptr;
    QLabel *lblSpeedHigh = nullptr;
    QCheckBox *cbxPaddleReverse = nullptr;
    QCheckBox *cbxAlways = nullptr;
    QCheckBox *cbxAutoCS = nullptr;
    QCheckBox *cbxAutoWS = nullptr;
    QCheckBox *cbxMemory = nullptr;
    QSlider *ctlContrast = nullptr;
    QLabel *lblContrast = nullptr;
    QCheckBox *cbxToneOn = nullptr;
    QSlider *ctlPitch = nullptr;
    QLabel *lblPitch = nullptr;
    QSlider *ctlVolume = nullptr;
    QLabel *lblVolume = nullptr;
    QLabel *lblBuzzer = nullptr;
    QCheckBox *cbxTRComp = nullptr;
    QSlider *ctlTRDelay = nullptr;
    QLabel *lblTRDelay = nullptr;
    QSlider *ctlTRExt = nullptr;
    QLabel *lblTRExt = nullptr;
    QComboBox *cboBand = nullptr;
    QCheckBox *cbxContestMode = nullptr;
    QLineEdit *txtSerialNumber = nullptr;
    QCheckBox *cbxLogSearch = nullptr;
    QCheckBox *cbxDetect = nullptr;
    QCheckBox *cbxSSB = nullptr;
    QCheckBox *cbxHandkey = nullptr;
    QCheckBox *cbxNordic = nullptr;
    QCheckBox *cbxAutoAudit = nullptr;
    QPushButton *btnReadConfig = nullptr;
    QPushButton *btnUseConfig = nullptr;
    QPushButton *btnSaveConfig = nullptr;
    QPushButton *btnRestoreConfig = nullptr;
};
