#pragma once

#include "trainerconfig.h"

#include <QWidget>

class SettingsStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

// The trainer's Configuration tab: every option of the trainer keyer's
// block on its control. Moving a control changes the record only; "&Use
// Configuration" sends it (the main window does the sending).
class TrainerConfigTab : public QWidget
{
    Q_OBJECT
public:
    TrainerConfigTab(TrainerConfig *record, SettingsStore *settings, QWidget *parent = nullptr);

    // The record on the controls; no handler writes back meanwhile.
    void showRecord();
    void loadSettings();
    void setTransferButtonsEnabled(bool on);
    // True from a read request until a block has been shown.
    bool configurationLoad() const { return m_loading; }
    void setConfigurationLoad(bool on) { m_loading = on; }

signals:
    void readClicked();
    void useClicked();
    void saveClicked();
    void restoreClicked();
    // The hand-key box acts at once, as in the manager.
    void handKeyClicked();
    // Spacing or speed changed: the effective word speed is shown anew.
    void spacingChanged();
    void transmitChanged(bool on);
    void nordicChanged(bool on);

private:
    QSlider *slider(const QString &name, int minimum, int maximum, const QString &tip);
    QCheckBox *checkBox(const QString &name, const QString &caption, const QString &tip = {});
    void connectControls();
    void setCharSpace(int value);
    void setWordSpace(int value);
    void showSpacing();
    void standardSpacing();
    // Character and effective speed in wpm onto the keyer's spaces.
    QWidget *buildFarnsworth();
    void showFarnsworth();
    void applyFarnsworth();

    TrainerConfig *m_record;
    SettingsStore *m_settings;
    bool m_loading = false;

    QSlider *ctlContrast;
    QSlider *ctlPitch;
    QSlider *ctlVolume;
    QSlider *ctlSpeedLow;
    QSlider *ctlSpeedHigh;
    QSlider *ctlCSpace;
    QSlider *ctlWSpace;
    QLabel *lblContrast;
    QLabel *lblPitch;
    QLabel *lblVolume;
    QLabel *lblSpeedLow;
    QLabel *lblSpeedHigh;
    QLabel *lblCSpace;
    QLabel *lblWSpace;
    QLineEdit *txtLesson;
    QComboBox *cboAutominutes;
    QComboBox *cboKeyerMode;
    QCheckBox *cbxMemory;
    QCheckBox *cbxAutoCS;
    QCheckBox *cbxDashPlus;
    QCheckBox *cbxPaddleReverse;
    QCheckBox *cbxAutoWS;
    QCheckBox *cbxToneOff;
    QCheckBox *cbxTransmitOn;
    QCheckBox *cbxHandkey;
    QCheckBox *cbxNordic;
    QPushButton *btnReadConfig;
    QPushButton *btnUseConfig;
    QSpinBox *spnCharSpeed;
    QSpinBox *spnEffectiveSpeed;
    QLabel *lblFarnsworth;
};
