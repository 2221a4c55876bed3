#include "trainerconfigtab.h"

#include "configrecord.h"
#include "settingsstore.h"
#include "spacingrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QHBoxLayout *sliderRow(QSlider *slider, QLabel *value)
{
    auto *row = new QHBoxLayout;
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(u"000 Hz"_s));
    row->addWidget(slider, 1);
    row->addWidget(value);
    return row;
}

// Volume byte 0-254 against the slider's percent, rounded half to even.
int volumePercent(int byte)
{
    return int(roundedRatio(qMin(byte, 254) * 100, 254));
}

} // namespace

TrainerConfigTab::TrainerConfigTab(TrainerConfig *record, SettingsStore *settings, QWidget *parent)
    : QWidget(parent), m_record(record), m_settings(settings)
{
    setObjectName(u"fraConfigurationFrame"_s);
    ctlContrast = slider(u"ctlContrast"_s, 0, 15, tr("LCD contrast 0-15"));
    ctlPitch = slider(u"ctlPitch"_s, 8, 15, tr("Sidetone frequency 400-750Hz"));
    ctlVolume = slider(u"ctlVolume"_s, 0, 100, tr("Sidetone volume 0-100%"));
    ctlSpeedLow = slider(u"ctlSpeedLow"_s, 5, 75, tr("Speed when potentiometer is fully CCW"));
    ctlSpeedHigh = slider(u"ctlSpeedHigh"_s, 5, 75, tr("Speed when potentiometer is fully clockwise"));
    ctlCSpace = slider(u"ctlCSpace"_s, SpacingRules::StandardCharSpace, SpacingRules::MostCharSpace,
                       tr("Space between characters"));
    ctlWSpace = slider(u"ctlWSpace"_s, SpacingRules::StandardWordSpace, SpacingRules::MostWordSpace,
                       tr("Space between words"));
    for (QLabel **label : {&lblContrast, &lblPitch, &lblVolume, &lblSpeedLow, &lblSpeedHigh, &lblCSpace, &lblWSpace})
        *label = new QLabel;
    lblCSpace->setObjectName(u"lblCSpace"_s);
    lblWSpace->setObjectName(u"lblWSpace"_s);

    txtLesson = new QLineEdit;
    txtLesson->setObjectName(u"txtLesson"_s);
    txtLesson->setReadOnly(true);
    txtLesson->setMaximumWidth(40);
    txtLesson->setToolTip(tr("The lesson the keyer plays; select another with the keypad: / and its number"));
    cboAutominutes = new QComboBox;
    cboAutominutes->setObjectName(u"cboAutominutes"_s);
    for (int minutes = 0; minutes <= 9; ++minutes)
        cboAutominutes->addItem(QString::number(minutes));
    cboKeyerMode = new QComboBox;
    cboKeyerMode->setObjectName(u"cboKeyerMode"_s);
    cboKeyerMode->addItems({u"Iambic B1"_s, u"Iambic B2"_s, u"Iambic B3"_s, u"Iambic A"_s, u"Bug"_s, u"Hand"_s,
                            u"Ultimatic"_s});
    cboKeyerMode->setToolTip(u"Select keying mode"_s);

    cbxMemory = checkBox(u"cbxMemory"_s, tr("Dash/Dot memory enabled"));
    cbxAutoCS = checkBox(u"cbxAutoCS"_s, tr("Automatic character spacing"));
    cbxDashPlus = checkBox(u"cbxDashPlus"_s, u"Longer dah elements"_s);
    cbxPaddleReverse = checkBox(u"cbxPaddleReverse"_s, tr("Reverse paddle orientation"));
    cbxAutoWS = checkBox(u"cbxAutoWS"_s, tr("Automatic word spacing"));
    cbxToneOff = checkBox(u"cbxToneOff"_s, u"Switch sidetone off"_s);
    cbxTransmitOn = checkBox(u"cbxTransmitOn"_s, u"Enable transmitter keying"_s);
    cbxHandkey = checkBox(u"cbxHandkey"_s, u"Instant Hand key toggle"_s);
    cbxNordic = checkBox(u"cbxNordic"_s, u"Scandinavian Characters"_s);

    auto *standard = new QPushButton(u"S&tandard"_s);
    standard->setObjectName(u"btnStandardSpacing"_s);
    standard->setToolTip(u"Restore standard character spacing"_s);
    connect(standard, &QPushButton::clicked, this, &TrainerConfigTab::standardSpacing);

    const auto transfer = [this](const QString &name, const QString &caption, const QString &tip) {
        auto *b = new QPushButton(caption);
        b->setObjectName(name);
        b->setToolTip(tip);
        return b;
    };
    btnReadConfig = transfer(u"btnReadConfig"_s, u"&Read Configuration"_s, tr("Read values from the keyer"));
    btnUseConfig = transfer(u"btnUseConfig"_s, u"&Use Configuration"_s, tr("Load these values into the keyer"));
    QPushButton *save = transfer(u"btnSaveConfig"_s, u"&Save Configuration"_s, tr("Save configuration in a file"));
    QPushButton *restore = transfer(u"btnRestoreConfig"_s, u"Rest&ore Configuration"_s,
                                    tr("Load the saved configuration into the keyer"));
    connect(btnReadConfig, &QPushButton::clicked, this, &TrainerConfigTab::readClicked);
    connect(btnUseConfig, &QPushButton::clicked, this, &TrainerConfigTab::useClicked);
    connect(save, &QPushButton::clicked, this, &TrainerConfigTab::saveClicked);
    connect(restore, &QPushButton::clicked, this, &TrainerConfigTab::restoreClicked);

    auto *keying = new QGroupBox(tr("Keying"));
    auto *keyingForm = new QFormLayout(keying);
    keyingForm->addRow(tr("Keyer mode:"), cboKeyerMode);
    keyingForm->addRow(tr("Lowest speed:"), sliderRow(ctlSpeedLow, lblSpeedLow));
    keyingForm->addRow(tr("Highest speed:"), sliderRow(ctlSpeedHigh, lblSpeedHigh));
    auto *increase = new QHBoxLayout;
    increase->addWidget(new QLabel(u"Increase every"_s));
    increase->addWidget(cboAutominutes);
    increase->addWidget(new QLabel(u"minutes"_s));
    increase->addStretch();
    keyingForm->addRow(increase);
    for (QCheckBox *box : {cbxMemory, cbxPaddleReverse, cbxHandkey, cbxTransmitOn})
        keyingForm->addRow(box);

    auto *spacing = new QGroupBox(tr("Spacing"));
    auto *spacingForm = new QFormLayout(spacing);
    spacingForm->addRow(u"Char Space:"_s, sliderRow(ctlCSpace, lblCSpace));
    spacingForm->addRow(u"Word Space:"_s, sliderRow(ctlWSpace, lblWSpace));
    for (QCheckBox *box : {cbxAutoCS, cbxAutoWS, cbxDashPlus})
        spacingForm->addRow(box);
    spacingForm->addRow(standard);
    spacingForm->addRow(buildFarnsworth());

    auto *sidetone = new QGroupBox(tr("LCD and Sidetone"));
    auto *sidetoneForm = new QFormLayout(sidetone);
    sidetoneForm->addRow(tr("Contrast:"), sliderRow(ctlContrast, lblContrast));
    sidetoneForm->addRow(tr("Pitch:"), sliderRow(ctlPitch, lblPitch));
    sidetoneForm->addRow(tr("Volume:"), sliderRow(ctlVolume, lblVolume));
    sidetoneForm->addRow(cbxToneOff);
    sidetoneForm->addRow(cbxNordic);
    sidetoneForm->addRow(tr("Lesson:"), txtLesson);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {btnReadConfig, btnUseConfig, save, restore})
        buttons->addWidget(b);
    buttons->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(keying, 0, 0, 2, 1);
    grid->addWidget(spacing, 0, 1);
    grid->addWidget(sidetone, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connectControls();
    showRecord();
}

QWidget *TrainerConfigTab::buildFarnsworth()
{
    auto *panel = new QGroupBox(tr("Farnsworth timing"));
    const auto speedBox = [](const QString &name, const QString &tip) {
        auto *box = new QSpinBox;
        box->setObjectName(name);
        box->setRange(5, 75);
        box->setSuffix(tr(" wpm"));
        box->setToolTip(tip);
        return box;
    };
    spnCharSpeed = speedBox(u"spnCharSpeed"_s, tr("The speed of each character"));
    spnEffectiveSpeed = speedBox(u"spnEffectiveSpeed"_s, tr("The speed of the text as a whole, gaps included"));
    spnCharSpeed->setValue(20);
    spnEffectiveSpeed->setValue(12);
    lblFarnsworth = new QLabel;
    lblFarnsworth->setObjectName(u"lblFarnsworth"_s);
    lblFarnsworth->setWordWrap(true);
    auto *apply = new QPushButton(tr("Set &Farnsworth"));
    apply->setObjectName(u"btnFarnsworth"_s);
    apply->setToolTip(tr("Set the speed range to the character speed and the spaces to the effective speed; "
                         "Use Configuration sends them to the keyer"));
    connect(spnCharSpeed, &QSpinBox::valueChanged, this, &TrainerConfigTab::showFarnsworth);
    connect(spnEffectiveSpeed, &QSpinBox::valueChanged, this, &TrainerConfigTab::showFarnsworth);
    connect(apply, &QPushButton::clicked, this, &TrainerConfigTab::applyFarnsworth);

    auto *form = new QFormLayout(panel);
    form->addRow(tr("Character speed:"), spnCharSpeed);
    form->addRow(tr("Effective speed:"), spnEffectiveSpeed);
    form->addRow(lblFarnsworth);
    form->addRow(apply);
    showFarnsworth();
    return panel;
}

void TrainerConfigTab::showFarnsworth()
{
    const int charSpeed = spnCharSpeed->value();
    const SpacingRules::Spacing spacing = SpacingRules::farnsworth(charSpeed, spnEffectiveSpeed->value());
    lblFarnsworth->setText(tr("Char Space %1, Word Space %2: %3 wpm effective")
                               .arg(spacing.charSpace)
                               .arg(spacing.wordSpace)
                               .arg(SpacingRules::effectiveWordSpeed(charSpeed, spacing.charSpace,
                                                                     spacing.wordSpace)));
}

void TrainerConfigTab::applyFarnsworth()
{
    const int charSpeed = spnCharSpeed->value();
    const SpacingRules::Spacing spacing = SpacingRules::farnsworth(charSpeed, spnEffectiveSpeed->value());
    // The knob cannot change a range of one speed: the lesson keeps its timing.
    (*m_record)[TrainerConfig::SpeedLow] = quint8(charSpeed);
    (*m_record)[TrainerConfig::SpeedHigh] = quint8(charSpeed);
    (*m_record)[TrainerConfig::CharSpace] = quint8(spacing.charSpace);
    (*m_record)[TrainerConfig::WordSpace] = quint8(spacing.wordSpace);
    showRecord();
}

QSlider *TrainerConfigTab::slider(const QString &name, int minimum, int maximum, const QString &tip)
{
    auto *s = new QSlider(Qt::Horizontal);
    s->setObjectName(name);
    s->setRange(minimum, maximum);
    s->setToolTip(tip);
    s->setMinimumWidth(140);
    return s;
}

QCheckBox *TrainerConfigTab::checkBox(const QString &name, const QString &caption, const QString &tip)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setToolTip(tip.isEmpty() ? caption : tip);
    return box;
}

void TrainerConfigTab::connectControls()
{
    using C = TrainerConfig;
    // Each handler writes its field only when the operator moved the control.
    const auto byteSlider = [this](QSlider *s, QLabel *label, C::Byte field, auto shown) {
        connect(s, &QSlider::valueChanged, this, [=, this](int value) {
            label->setText(shown(value));
            if (!m_loading)
                (*m_record)[field] = quint8(value);
        });
    };
    byteSlider(ctlContrast, lblContrast, C::Contrast, [](int v) { return QString::number(v); });
    byteSlider(ctlPitch, lblPitch, C::Pitch, [](int v) { return u"%1 Hz"_s.arg(v * 50); });
    connect(ctlVolume, &QSlider::valueChanged, this, [this](int value) {
        lblVolume->setText(u"%1 %"_s.arg(value));
        if (!m_loading)
            (*m_record)[C::Volume] = quint8(roundedRatio(qint64(value) * 254, 100));
    });
    connect(ctlSpeedLow, &QSlider::valueChanged, this, [this](int value) {
        lblSpeedLow->setText(QString::number(value));
        if (m_loading)
            return;
        (*m_record)[C::SpeedLow] = quint8(value);
        if (value > ctlSpeedHigh->value())
            ctlSpeedHigh->setValue(value);
    });
    connect(ctlSpeedHigh, &QSlider::valueChanged, this, [this](int value) {
        lblSpeedHigh->setText(QString::number(value));
        if (m_loading)
            return;
        (*m_record)[C::SpeedHigh] = quint8(value);
        if (value < ctlSpeedLow->value())
            ctlSpeedLow->setValue(value);
    });
    connect(ctlCSpace, &QSlider::valueChanged, this, [this](int value) {
        if (!m_loading)
            setCharSpace(value);
    });
    connect(ctlWSpace, &QSlider::valueChanged, this, [this](int value) {
        if (!m_loading)
            setWordSpace(value);
    });
    connect(cboAutominutes, &QComboBox::activated, this,
            [this](int index) { (*m_record)[C::AutoMinutes] = quint8(index); });
    connect(cboKeyerMode, &QComboBox::activated, this,
            [this](int index) { m_record->flags = TrainerBlock::withKeyerMode(m_record->flags, index); });
    const auto flagBox = [this](QCheckBox *box, quint16 mask, bool inverted = false) {
        connect(box, &QCheckBox::clicked, this, [=, this](bool on) { m_record->setFlag(mask, on != inverted); });
    };
    flagBox(cbxMemory, TrainerFlag::MemoryOff, true);
    flagBox(cbxAutoCS, TrainerFlag::AutoCharSpace);
    flagBox(cbxDashPlus, TrainerFlag::DashPlus);
    flagBox(cbxPaddleReverse, TrainerFlag::PaddleReverse);
    flagBox(cbxAutoWS, TrainerFlag::AutoWordSpace);
    flagBox(cbxToneOff, TrainerFlag::ToneOff);
    flagBox(cbxHandkey, TrainerFlag::HandKey);
    connect(cbxHandkey, &QCheckBox::clicked, this, &TrainerConfigTab::handKeyClicked);
    connect(cbxTransmitOn, &QCheckBox::clicked, this, [this](bool on) {
        // Keying a transmitter, the sidetone goes with it.
        m_record->setFlag(TrainerFlag::TransmitOn, on);
        cbxToneOff->setChecked(on);
        m_record->setFlag(TrainerFlag::ToneOff, on);
        emit transmitChanged(on);
    });
    connect(cbxNordic, &QCheckBox::clicked, this, [this](bool on) {
        m_settings->setSetting(u"Nordic"_s, on ? u"1"_s : u"0"_s);
        emit nordicChanged(on);
    });
}

void TrainerConfigTab::setCharSpace(int value)
{
    (*m_record)[TrainerConfig::CharSpace] = quint8(value);
    (*m_record)[TrainerConfig::WordSpace] =
        quint8(SpacingRules::wordSpaceFor(value, (*m_record)[TrainerConfig::WordSpace]));
    showSpacing();
}

void TrainerConfigTab::setWordSpace(int value)
{
    (*m_record)[TrainerConfig::WordSpace] =
        quint8(SpacingRules::wordSpaceFor((*m_record)[TrainerConfig::CharSpace], value));
    showSpacing();
}

void TrainerConfigTab::showSpacing()
{
    const QSignalBlocker blockC(ctlCSpace);
    const QSignalBlocker blockW(ctlWSpace);
    ctlCSpace->setValue((*m_record)[TrainerConfig::CharSpace]);
    ctlWSpace->setValue((*m_record)[TrainerConfig::WordSpace]);
    lblCSpace->setText(QString::number((*m_record)[TrainerConfig::CharSpace]));
    lblWSpace->setText(QString::number((*m_record)[TrainerConfig::WordSpace]));
    emit spacingChanged();
}

void TrainerConfigTab::standardSpacing()
{
    (*m_record)[TrainerConfig::CharSpace] = SpacingRules::StandardCharSpace;
    (*m_record)[TrainerConfig::WordSpace] = SpacingRules::StandardWordSpace;
    cbxDashPlus->setChecked(false);
    m_record->setFlag(TrainerFlag::DashPlus, false);
    showSpacing();
}

void TrainerConfigTab::showRecord()
{
    const bool wasLoading = std::exchange(m_loading, true);
    const TrainerConfig &r = *m_record;
    using C = TrainerConfig;
    ctlContrast->setValue(r[C::Contrast] & 0x0F);
    lblContrast->setText(QString::number(r[C::Contrast] & 0x0F));
    ctlPitch->setValue(r[C::Pitch]);
    lblPitch->setText(u"%1 Hz"_s.arg(r[C::Pitch] * 50));
    ctlVolume->setValue(volumePercent(r[C::Volume]));
    lblVolume->setText(u"%1 %"_s.arg(volumePercent(r[C::Volume])));
    ctlSpeedLow->setValue(r[C::SpeedLow]);
    lblSpeedLow->setText(QString::number(r[C::SpeedLow]));
    ctlSpeedHigh->setValue(r[C::SpeedHigh]);
    lblSpeedHigh->setText(QString::number(r[C::SpeedHigh]));
    txtLesson->setText(QString::number(r[C::Lesson]));
    cboAutominutes->setCurrentIndex(qBound(0, int(r[C::AutoMinutes]), 9));
    cboKeyerMode->setCurrentIndex(TrainerBlock::keyerMode(r.flags));
    cbxMemory->setChecked(!r.flag(TrainerFlag::MemoryOff));
    cbxAutoCS->setChecked(r.flag(TrainerFlag::AutoCharSpace));
    cbxDashPlus->setChecked(r.flag(TrainerFlag::DashPlus));
    cbxPaddleReverse->setChecked(r.flag(TrainerFlag::PaddleReverse));
    cbxAutoWS->setChecked(r.flag(TrainerFlag::AutoWordSpace));
    cbxToneOff->setChecked(r.flag(TrainerFlag::ToneOff));
    cbxTransmitOn->setChecked(r.flag(TrainerFlag::TransmitOn));
    cbxHandkey->setChecked(r.flag(TrainerFlag::HandKey));
    showSpacing();
    m_loading = wasLoading;
}

void TrainerConfigTab::loadSettings()
{
    cbxNordic->setChecked(m_settings->intSetting(u"Nordic"_s, 0) == 1);
}

void TrainerConfigTab::setTransferButtonsEnabled(bool on)
{
    btnReadConfig->setEnabled(on);
    btnUseConfig->setEnabled(on);
}
