#include "configurationtab.h"

#include "settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QSlider>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString ConfigurationFile = u"configuration.krv"_s;

QSlider *makeSlider(QWidget *parent, const QString &name, int minimum, int maximum, const QString &toolTip)
{
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setPageStep(qMax(1, (maximum - minimum) / 10));
    slider->setToolTip(toolTip);
    slider->setMinimumWidth(160);
    return slider;
}

QLabel *makeValueLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(u"Buzzer"_s) + 4);
    return label;
}

QCheckBox *makeCheckBox(QWidget *parent, const QString &name, const QString &caption, const QString &toolTip = {})
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    if (!toolTip.isEmpty())
        box->setToolTip(toolTip);
    return box;
}

QGroupBox *makeGroup(QWidget *parent, const QString &title)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(title);
    return group;
}

// A caption, the slider and its value label on one grid row.
void addSliderRow(QGridLayout *grid, int row, const QString &caption, QSlider *slider, QLabel *value)
{
    auto *label = new QLabel(caption, slider->parentWidget());
    label->setBuddy(slider);
    label->setToolTip(slider->toolTip());
    grid->addWidget(label, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
}

QString trDelayText(int sliderValue)
{
    return QString::number(sliderValue / 10.0, 'f', 1);
}

} // namespace

ConfigurationTab::ConfigurationTab(ConfigRecord *record, SettingsStore *settings, QWidget *parent)
    : QWidget(parent), m_record(record), m_settings(settings)
{
    Q_ASSERT(record && settings);
    buildControls();
    connectHandlers();
    showRecord();
}

void ConfigurationTab::buildControls()
{
    fraConfigurationFrame = new QWidget(this);
    fraConfigurationFrame->setObjectName(u"fraConfigurationFrame"_s);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(fraConfigurationFrame);
    outer->addStretch();

    // Keying
    auto *keying = makeGroup(fraConfigurationFrame, u"Keying"_s);
    cboKeyerMode = new QComboBox(keying);
    cboKeyerMode->setObjectName(u"cboKeyerMode"_s);
    cboKeyerMode->addItems({u"Iambic B1"_s, u"Iambic B2"_s, u"Iambic B3"_s, u"Iambic A"_s,
                            u"Bug"_s, u"Hand"_s, u"Ultimatic"_s});
    ctlSpeedLow = makeSlider(keying, u"ctlSpeedLow"_s, 5, 75, u"Speed when potentiometer is fully CCW"_s);
    lblSpeedLow = makeValueLabel(keying, u"lblSpeedLow"_s);
    ctlSpeedHigh = makeSlider(keying, u"ctlSpeedHigh"_s, 5, 75, u"Speed when potentiometer is fully clockwise"_s);
    lblSpeedHigh = makeValueLabel(keying, u"lblSpeedHigh"_s);
    cbxPaddleReverse = makeCheckBox(keying, u"cbxPaddleReverse"_s, u"Reverse paddle orientation"_s);
    cbxAlways = makeCheckBox(keying, u"cbxAlways"_s, u"Keying always on (no quiet mode)"_s);
    cbxAutoCS = makeCheckBox(keying, u"cbxAutoCS"_s, u"Automatic character spacing"_s);
    cbxAutoWS = makeCheckBox(keying, u"cbxAutoWS"_s, u"Automatic word spacing"_s);
    cbxMemory = makeCheckBox(keying, u"cbxMemory"_s, u"Dash/Dot memory enabled"_s);
    {
        auto *grid = new QGridLayout(keying);
        auto *modeLabel = new QLabel(u"Keyer mode"_s, keying);
        modeLabel->setBuddy(cboKeyerMode);
        grid->addWidget(modeLabel, 0, 0);
        grid->addWidget(cboKeyerMode, 0, 1, 1, 2);
        addSliderRow(grid, 1, u"Low speed (WPM)"_s, ctlSpeedLow, lblSpeedLow);
        addSliderRow(grid, 2, u"High speed (WPM)"_s, ctlSpeedHigh, lblSpeedHigh);
        int row = 3;
        for (QCheckBox *box : {cbxPaddleReverse, cbxAlways, cbxAutoCS, cbxAutoWS, cbxMemory})
            grid->addWidget(box, row++, 0, 1, 3);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(row, 1);
    }

    // LCD and Sidetone
    auto *sidetone = makeGroup(fraConfigurationFrame, u"LCD and Sidetone"_s);
    ctlContrast = makeSlider(sidetone, u"ctlContrast"_s, 0, 15, u"LCD contrast 0-16"_s);
    lblContrast = makeValueLabel(sidetone, u"lblContrast"_s);
    cbxToneOn = makeCheckBox(sidetone, u"cbxToneOn"_s, u"Sidetone on"_s,
                             u"Enable/disable tone when keying is active (tone is always on in silent mode)"_s);
    ctlPitch = makeSlider(sidetone, u"ctlPitch"_s, 8, 15, u"Sidetone frequency 400-750Hz"_s);
    lblPitch = makeValueLabel(sidetone, u"lblPitch"_s);
    ctlVolume = makeSlider(sidetone, u"ctlVolume"_s, 1, 101, u"Sidetone volume 0-100%"_s);
    lblVolume = makeValueLabel(sidetone, u"lblVolume"_s);
    lblBuzzer = makeValueLabel(sidetone, u"lblBuzzer"_s);
    lblBuzzer->setText(u"Buzzer"_s);
    lblBuzzer->setCursor(Qt::PointingHandCursor);
    lblBuzzer->installEventFilter(this);
    {
        auto *grid = new QGridLayout(sidetone);
        addSliderRow(grid, 0, u"LCD contrast"_s, ctlContrast, lblContrast);
        grid->addWidget(cbxToneOn, 1, 0, 1, 3);
        addSliderRow(grid, 2, u"Pitch (Hz)"_s, ctlPitch, lblPitch);
        addSliderRow(grid, 3, u"Volume (%)"_s, ctlVolume, lblVolume);
        // Only one of the two is visible: the buzzer takes the volume's place.
        grid->addWidget(lblBuzzer, 3, 2);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(4, 1);
    }

    // Compensation
    auto *compensation = makeGroup(fraConfigurationFrame, u"Compensation"_s);
    cbxTRComp = makeCheckBox(compensation, u"cbxTRComp"_s, u"T/R compensation"_s,
                             u"Enable/disable T/R switchover delay compensation "_s);
    ctlTRDelay = makeSlider(compensation, u"ctlTRDelay"_s, 0, 30, u"Transmit to receive transition delay"_s);
    lblTRDelay = makeValueLabel(compensation, u"lblTRDelay"_s);
    ctlTRExt = makeSlider(compensation, u"ctlTRExt"_s, 0, 99, u"Additional key-down time for code elements"_s);
    lblTRExt = makeValueLabel(compensation, u"lblTRExt"_s);
    {
        auto *grid = new QGridLayout(compensation);
        grid->addWidget(cbxTRComp, 0, 0, 1, 3);
        addSliderRow(grid, 1, u"T/R delay"_s, ctlTRDelay, lblTRDelay);
        addSliderRow(grid, 2, u"Key-down extension"_s, ctlTRExt, lblTRExt);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(3, 1);
    }

    // Operation
    auto *operation = makeGroup(fraConfigurationFrame, u"Operation"_s);
    cboBand = new QComboBox(operation);
    cboBand->setObjectName(u"cboBand"_s);
    cboBand->addItems({u" 2"_s, u" 4"_s, u" 6"_s, u"10"_s, u"12"_s, u"15"_s, u"17"_s,
                       u"20"_s, u"30"_s, u"40"_s, u"60"_s, u"80"_s, u"160"_s});
    cboBand->setToolTip(u"Immediate band changes can be made on Terminal screen"_s);
    cbxContestMode = makeCheckBox(operation, u"cbxContestMode"_s, u"Contest mode"_s);
    txtSerialNumber = new QLineEdit(operation);
    txtSerialNumber->setObjectName(u"txtSerialNumber"_s);
    txtSerialNumber->setToolTip(u"Next serial number in contest mode"_s);
    // The keyer stores six decimal digits.
    txtSerialNumber->setMaxLength(6);
    txtSerialNumber->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"[0-9]{0,6}"_s), txtSerialNumber));
    txtSerialNumber->setMaximumWidth(txtSerialNumber->fontMetrics().horizontalAdvance(u"0000000000"_s));
    cbxLogSearch = makeCheckBox(operation, u"cbxLogSearch"_s, u"Automatic log search"_s);
    cbxDetect = makeCheckBox(operation, u"cbxDetect"_s, u"Automatic logging"_s);
    {
        auto *grid = new QGridLayout(operation);
        auto *bandLabel = new QLabel(u"Band (m)"_s, operation);
        bandLabel->setBuddy(cboBand);
        grid->addWidget(bandLabel, 0, 0);
        grid->addWidget(cboBand, 0, 1, Qt::AlignLeft);
        grid->addWidget(cbxContestMode, 1, 0, 1, 2);
        auto *serialLabel = new QLabel(u"Serial number"_s, operation);
        serialLabel->setBuddy(txtSerialNumber);
        grid->addWidget(serialLabel, 2, 0);
        grid->addWidget(txtSerialNumber, 2, 1, Qt::AlignLeft);
        grid->addWidget(cbxLogSearch, 3, 0, 1, 2);
        grid->addWidget(cbxDetect, 4, 0, 1, 2);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(5, 1);
    }

    // Special Features
    auto *features = makeGroup(fraConfigurationFrame, u"Special Features"_s);
    cbxSSB = makeCheckBox(features, u"cbxSSB"_s, u"SSB logging"_s,
                          u"Log SSB QSOs - disables keying and acitvates built-in sidetone"_s);
    cbxHandkey = makeCheckBox(features, u"cbxHandkey"_s, u"Instant Hand key toggle"_s);
    cbxNordic = makeCheckBox(features, u"cbxNordic"_s, u"Scandinavian Characters"_s);
    cbxAutoAudit = makeCheckBox(features, u"cbxAutoAudit"_s, u"Save Monitor text when program ends"_s);
    {
        auto *column = new QVBoxLayout(features);
        for (QCheckBox *box : {cbxSSB, cbxHandkey, cbxNordic, cbxAutoAudit})
            column->addWidget(box);
        column->addStretch();
    }

    auto makeButton = [this](const QString &name, const QString &caption, const QString &toolTip) {
        auto *button = new QPushButton(caption, fraConfigurationFrame);
        button->setObjectName(name);
        if (!toolTip.isEmpty())
            button->setToolTip(toolTip);
        return button;
    };
    btnReadConfig = makeButton(u"btnReadConfig"_s, u"&Read Configuration"_s, u"Read values from the keyer"_s);
    btnUseConfig = makeButton(u"btnUseConfig"_s, u"&Use Configuration"_s, u"Load these values into the keyer"_s);
    btnSaveConfig = makeButton(u"btnSaveConfig"_s, u"&Save Configuration"_s, u"Save configuration in a file"_s);
    btnRestoreConfig = makeButton(u"btnRestoreConfig"_s, u"Res&tore Configuration"_s, {});

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnReadConfig);
    buttons->addWidget(btnUseConfig);
    buttons->addStretch();
    buttons->addWidget(btnSaveConfig);
    buttons->addWidget(btnRestoreConfig);

    auto *grid = new QGridLayout(fraConfigurationFrame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(keying, 0, 0, 2, 1);
    grid->addWidget(sidetone, 0, 1);
    grid->addWidget(compensation, 1, 1);
    grid->addWidget(operation, 2, 0);
    grid->addWidget(features, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void ConfigurationTab::connectHandlers()
{
    // Check boxes and lists react to clicked/activated, which only the
    // operator raises; showRecord() sets them without touching the record.
    struct PlainOption
    {
        QCheckBox *box;
        quint16 mask;
        bool inverted;
    };
    const PlainOption plain[] = {
        {cbxPaddleReverse, Option::PaddleReverse, false},
        {cbxAutoCS, Option::AutoCharSpacing, false},
        {cbxAutoWS, Option::AutoWordSpacing, false},
        {cbxMemory, Option::MemoryOff, true},
        {cbxToneOn, Option::ToneOn, false},
        {cbxLogSearch, Option::LogSearchOff, true},
        {cbxDetect, Option::AutoLoggingOff, true},
    };
    for (const PlainOption &o : plain)
        connect(o.box, &QCheckBox::clicked, this, [this, o](bool checked) { setOption(o.mask, checked != o.inverted); });

    connect(cboKeyerMode, &QComboBox::activated, this, [this](int index) {
        m_record->optionWord = quint16((m_record->optionWord & ~Option::KeyerModeMask) | (index & Option::KeyerModeMask));
        cbxPaddleReverse->setEnabled(true);
        ctlSpeedLow->setEnabled(true);
        ctlSpeedHigh->setEnabled(true);
    });
    connect(cboBand, &QComboBox::activated, this, &ConfigurationTab::chooseBand);
    connect(cbxAlways, &QCheckBox::clicked, this, [this](bool checked) {
        // Bits 5-7 have no control; a click clears them.
        m_record->band = quint8((checked ? 16 : 0) + qMax(0, cboBand->currentIndex()));
    });
    connect(cbxContestMode, &QCheckBox::clicked, this, [this](bool checked) {
        setOption(Option::ContestMode, checked);
        txtSerialNumber->setEnabled(checked);
        emit contestModeChanged(checked);
    });
    connect(txtSerialNumber, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_record->serialNumber = text.toInt();
    });
    connect(cbxSSB, &QCheckBox::clicked, this, &ConfigurationTab::chooseSsb);
    connect(cbxHandkey, &QCheckBox::clicked, this, &ConfigurationTab::chooseHandKey);
    connect(cbxTRComp, &QCheckBox::clicked, this, &ConfigurationTab::setTRCompensation);
    connect(cbxNordic, &QCheckBox::clicked, this, [this](bool checked) {
        m_settings->setSetting(u"Nordic"_s, checked ? u"1"_s : u"0"_s);
        emit nordicChanged(checked);
    });
    connect(cbxAutoAudit, &QCheckBox::clicked, this, [this](bool checked) {
        m_settings->setSetting(u"AutoAudit"_s, checked ? u"1"_s : u"0"_s);
    });

    // Sliders: the label always follows; the record only when the operator moved it.
    connect(ctlSpeedLow, &QSlider::valueChanged, this, &ConfigurationTab::speedLowChanged);
    connect(ctlSpeedHigh, &QSlider::valueChanged, this, &ConfigurationTab::speedHighChanged);
    connect(ctlContrast, &QSlider::valueChanged, this, [this](int value) {
        lblContrast->setText(QString::number(value));
        if (!m_showing)
            m_record->contrast = quint8(value);
    });
    connect(ctlPitch, &QSlider::valueChanged, this, [this](int value) {
        lblPitch->setText(QString::number(value * 50));
        if (!m_showing)
            m_record->pitch = quint8(value);
    });
    connect(ctlVolume, &QSlider::valueChanged, this, &ConfigurationTab::volumeChanged);
    connect(ctlTRDelay, &QSlider::valueChanged, this, [this](int value) {
        lblTRDelay->setText(trDelayText(value));
        if (!m_showing)
            m_record->trDelay = qint16(value * 800);
    });
    connect(ctlTRExt, &QSlider::valueChanged, this, &ConfigurationTab::trExtensionChanged);

    connect(btnReadConfig, &QPushButton::clicked, this, &ConfigurationTab::readConfigRequested);
    connect(btnUseConfig, &QPushButton::clicked, this, [this] {
        setTransferButtonsEnabled(false);
        emit useConfigRequested();
    });
    connect(btnSaveConfig, &QPushButton::clicked, this, &ConfigurationTab::saveConfiguration);
    connect(btnRestoreConfig, &QPushButton::clicked, this, &ConfigurationTab::restoreConfiguration);

    // The labels start in step with the sliders' initial values; the
    // record is not theirs to change.
    const QScopedValueRollback<bool> guard(m_showing, true);
    speedLowChanged(ctlSpeedLow->value());
    speedHighChanged(ctlSpeedHigh->value());
    volumeChanged(ctlVolume->value());
    lblContrast->setText(QString::number(ctlContrast->value()));
    lblPitch->setText(QString::number(ctlPitch->value() * 50));
    lblTRDelay->setText(trDelayText(ctlTRDelay->value()));
    lblTRExt->setText(QString::number(ctlTRExt->value()));
}

void ConfigurationTab::showRecord()
{
    const QScopedValueRollback<bool> guard(m_showing, true);
    const ConfigRecord &r = *m_record;
    const quint16 options = r.optionWord;

    // Each step stands alone: a value a control cannot take is clamped by
    // the slider or, for the lists, leaves the list as it was.
    ctlSpeedLow->setEnabled(true);
    ctlSpeedHigh->setEnabled(true);
    txtSerialNumber->setText(QString::number(r.serialNumber));
    ctlContrast->setValue(r.contrast % 16);
    ctlPitch->setValue(r.pitch);
    ctlVolume->setValue(r.volume == 255 ? 101 : int(roundedRatio(r.volume * 100, 254)));
    ctlSpeedLow->setValue(r.speedLow);
    ctlSpeedHigh->setValue(r.speedHigh);
    if (const int band = r.band % 16; band < cboBand->count())
        cboBand->setCurrentIndex(band);
    cbxAlways->setChecked(r.band & 0x10);
    ctlTRDelay->setValue(int(roundedRatio(r.trDelay, 800)));
    ctlTRExt->setValue(int(roundedRatio(r.trExtension, 8)));

    cbxTRComp->setChecked(options & Option::TRComp);
    cbxContestMode->setChecked(options & Option::ContestMode);
    cbxPaddleReverse->setChecked(options & Option::PaddleReverse);
    cbxToneOn->setChecked(options & Option::ToneOn);
    cbxHandkey->setChecked(options & Option::HandKey);
    cbxAutoCS->setChecked(options & Option::AutoCharSpacing);
    cbxAutoWS->setChecked(options & Option::AutoWordSpacing);
    cbxDetect->setChecked(!(options & Option::AutoLoggingOff));
    cbxMemory->setChecked(!(options & Option::MemoryOff));
    cbxLogSearch->setChecked(!(options & Option::LogSearchOff));
    cbxSSB->setChecked(options & Option::SSB);
    cbxLogSearch->setEnabled(!(options & Option::SSB));
    txtSerialNumber->setEnabled(options & Option::ContestMode);
    ctlTRDelay->setEnabled(options & Option::TRComp);
    ctlTRExt->setEnabled(options & Option::TRComp);

    const int mode = keyerModeOf(options);
    cboKeyerMode->setCurrentIndex(mode);
    if (mode == 5) {
        // Hand mode ticks the hand key; the record must say the same, or
        // the next Use Configuration would turn the hand key off unseen.
        cbxHandkey->setChecked(true);
        m_record->optionWord |= Option::HandKey;
    }
}

void ConfigurationTab::chooseBand(int index)
{
    cboBand->setCurrentIndex(index);
    m_record->band = quint8((m_record->band & 0xF0) | (index & 0x0F));
}

void ConfigurationTab::chooseSsb(bool on)
{
    cbxSSB->setChecked(on);
    setOption(Option::SSB, on);
    if (on) {
        // SSB QSOs are always searched in the log.
        cbxLogSearch->setChecked(true);
        setOption(Option::LogSearchOff, false);
    }
    cbxLogSearch->setEnabled(!on);
    emit ssbChanged(on);
}

void ConfigurationTab::chooseHandKey(bool on)
{
    cbxHandkey->setChecked(on);
    setOption(Option::HandKey, on);
    if (!m_configurationLoad)
        emit sendConfigRequested();
}

void ConfigurationTab::chooseAutoLogging(bool on)
{
    cbxDetect->setChecked(on);
    setOption(Option::AutoLoggingOff, !on);
}

void ConfigurationTab::setBandControlsEnabled(bool on)
{
    cboBand->setEnabled(on);
    cbxSSB->setEnabled(on);
}

void ConfigurationTab::setTransferButtonsEnabled(bool on)
{
    btnReadConfig->setEnabled(on);
    btnUseConfig->setEnabled(on);
}

void ConfigurationTab::loadSettings()
{
    cbxNordic->setChecked(m_settings->intSetting(u"Nordic"_s, 0) != 0);
    cbxAutoAudit->setChecked(m_settings->intSetting(u"AutoAudit"_s, 0) != 0);
}

bool ConfigurationTab::ask(const QString &question)
{
    QMessageBox box(QMessageBox::Question, window()->windowTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ConfigurationTab::inform(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, window()->windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

bool ConfigurationTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblBuzzer && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        ctlVolume->setValue(100);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ConfigurationTab::setOption(quint16 mask, bool on)
{
    if (on)
        m_record->optionWord |= mask;
    else
        m_record->optionWord &= quint16(~mask);
}

void ConfigurationTab::setTRCompensation(bool on)
{
    if (on) {
        // Compensation with no extension would do nothing; start at 80 units.
        if (ctlTRExt->value() == 0)
            ctlTRExt->setValue(10);
    } else {
        ctlTRDelay->setValue(0);
        ctlTRExt->setValue(0);
        m_record->trDelay = 0;
        m_record->trExtension = 0;
    }
    ctlTRDelay->setEnabled(on);
    ctlTRExt->setEnabled(on);
    setOption(Option::TRComp, on);
}

void ConfigurationTab::speedLowChanged(int value)
{
    lblSpeedLow->setText(QString::number(value));
    if (m_showing)
        return;
    m_record->speedLow = quint8(value);
    if (value > ctlSpeedHigh->value())
        ctlSpeedHigh->setValue(value);
}

void ConfigurationTab::speedHighChanged(int value)
{
    lblSpeedHigh->setText(QString::number(value));
    if (m_showing)
        return;
    m_record->speedHigh = quint8(value);
    if (value < ctlSpeedLow->value())
        ctlSpeedLow->setValue(value);
}

void ConfigurationTab::volumeChanged(int value)
{
    const bool buzzer = value == 101;
    lblVolume->setText(QString::number(value));
    lblVolume->setVisible(!buzzer);
    lblBuzzer->setVisible(buzzer);
    if (!m_showing)
        m_record->volume = buzzer ? 255 : quint8(roundedRatio(value * 254, 100));
}

void ConfigurationTab::trExtensionChanged(int value)
{
    lblTRExt->setText(QString::number(value));
    if (m_showing)
        return;
    m_record->trExtension = qint16(value * 8);
    if (value == 0 && cbxTRComp->isChecked()) {
        cbxTRComp->setChecked(false);
        setTRCompensation(false);
    }
}

void ConfigurationTab::saveConfiguration()
{
    const QString error = ConfigBlock::saveFile(ConfigurationFile, *m_record);
    if (!error.isEmpty())
        inform(QMessageBox::Critical, u"The configuration could not be saved in "_s + ConfigurationFile
                                          + u": "_s + error);
}

void ConfigurationTab::restoreConfiguration()
{
    if (!ask(u"Restore the last saved configuration?"_s))
        return;
    ConfigRecord saved;
    if (!ConfigBlock::loadFile(ConfigurationFile, &saved))
        return;
    ConfigBlock::copyOperatorSettings(saved, m_record);
    emit restored();
}
