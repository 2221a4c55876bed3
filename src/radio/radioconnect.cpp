#include "radioconnect.h"

#include "radiohost.h"
#include "settingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 BaudRates[] = {4800, 9600, 19200, 38400};

int bounded(int value, int last, int fallback)
{
    return value >= 0 && value <= last ? value : fallback;
}

} // namespace

RadioConnect::RadioConnect(SettingsStore *settings, RadioHost *host, KeyerPort *port, QWidget *parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_host(host), m_cat(port)
{
    setObjectName(u"RadioConnect"_s);
    setWindowTitle(u"Radio Connection"_s);

    cboRadioType = new QComboBox;
    cboRadioType->setObjectName(u"cboRadioType"_s);
    cboRadioType->addItems({u"Elecraft KX3"_s, u"Elecraft K3"_s, u"Hamlib (rigctld)"_s});
    cboPort = new QComboBox;
    cboPort->setObjectName(u"cboPort"_s);
    for (int number = 1; number <= PortTable::MaxPorts; ++number)
        cboPort->addItem(u"%1"_s.arg(number, 2));
    cboPort->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboBaudRate = new QComboBox;
    cboBaudRate->setObjectName(u"cboBaudRate"_s);
    cboBaudRate->addItems({u" 4800"_s, u" 9600"_s, u"19200"_s, u"38400"_s});
    txtRadioDevice = new QLineEdit;
    txtRadioDevice->setObjectName(u"txtRadioDevice"_s);
    txtRadioDevice->setPlaceholderText(tr("or a device, e.g. /dev/rfcomm0"));
    txtRadioDevice->setToolTip(tr("A serial device not in the list (Bluetooth rfcomm, a udev link such as /dev/k3, "
                                  "a pseudo-terminal); empty: the port chosen above"));
    txtRigHost = new QLineEdit;
    txtRigHost->setObjectName(u"txtRigHost"_s);
    txtRigHost->setToolTip(tr("The computer rigctld runs on"));
    spnRigPort = new QSpinBox;
    spnRigPort->setObjectName(u"spnRigPort"_s);
    spnRigPort->setRange(1, 65535);
    spnRigPort->setToolTip(tr("rigctld's TCP port (its -t option)"));
    cbxAutoConnect = new QCheckBox(u"Auto Connect"_s);
    cbxAutoConnect->setObjectName(u"cbxAutoConnect"_s);
    cbxAutoConnect->setToolTip(tr("Connect the radio when the program starts"));
    lblResult = new QLabel;
    lblResult->setObjectName(u"lblResult"_s);
    QFont bold = lblResult->font();
    bold.setBold(true);
    lblResult->setFont(bold);
    lblResultDetail = new QLabel;
    lblResultDetail->setObjectName(u"lblResultDetail"_s);
    lblResultDetail->setWordWrap(true);
    lblResultDetail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnConnect = new QPushButton(u"C&onnect"_s);
    btnConnect->setObjectName(u"btnConnect"_s);
    btnConnect->setToolTip(u"Connect with selected port and speed"_s);
    btnCancel = new QPushButton(u"&Close"_s);
    btnCancel->setObjectName(u"btnCancel"_s);
    btnCancel->setToolTip(u"Close this Window"_s);

    auto *form = m_form = new QFormLayout;
    form->addRow(u"Radio"_s, cboRadioType);
    form->addRow(u"Serial port"_s, cboPort);
    form->addRow(QString(), txtRadioDevice);
    form->addRow(u"Baud Rate"_s, cboBaudRate);
    form->addRow(tr("rigctld host"), txtRigHost);
    form->addRow(tr("rigctld port"), spnRigPort);
    form->addRow(QString(), cbxAutoConnect);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnConnect);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblResult);
    layout->addWidget(lblResultDetail);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(380);

    m_deferred.setSingleShot(true);
    m_deferred.setInterval(250);
    connect(&m_deferred, &QTimer::timeout, this, &RadioConnect::runDeferred);
    connect(&m_cat, &CatLink::reportArrived, this, &RadioConnect::radioReport);
    connect(&m_cat, &CatLink::failed, this, [this](const QString &reason) {
        lost(tr("The radio's port failed: %1.").arg(reason));
    });
    connect(&m_rig, &RigctldLink::failed, this, [this](const QString &reason) {
        lost(tr("The link to the radio dropped: %1.").arg(reason));
    });
    m_rigPoll.setInterval(RigPollMs);
    connect(&m_rigPoll, &QTimer::timeout, this, [this] {
        // A transfer or a message owns the keyer: the band waits for it.
        if (!m_polling && !m_host->keyerBusy())
            pollRig();
    });
    m_catWatch.setInterval(CatWatchMs);
    connect(&m_catWatch, &QTimer::timeout, this, [this] {
        if (!m_polling && !m_host->keyerBusy())
            Poll();
    });
    connect(btnConnect, &QPushButton::clicked, this, &RadioConnect::btnConnect_Click);
    connect(btnCancel, &QPushButton::clicked, this, &RadioConnect::btnCancel_Click);
    for (QComboBox *list : {cboRadioType, cboPort, cboBaudRate})
        connect(list, &QComboBox::currentIndexChanged, this, &RadioConnect::listChanged);
    connect(cboRadioType, &QComboBox::currentIndexChanged, this, &RadioConnect::showRadioType);
    connect(txtRigHost, &QLineEdit::textEdited, this, &RadioConnect::listChanged);
    connect(txtRadioDevice, &QLineEdit::textEdited, this, &RadioConnect::listChanged);
    connect(spnRigPort, &QSpinBox::valueChanged, this, &RadioConnect::listChanged);
    showRadioType();
}

bool RadioConnect::hamlibChosen() const
{
    return cboRadioType->currentIndex() == Hamlib;
}

void RadioConnect::showRadioType()
{
    const bool hamlib = hamlibChosen();
    m_form->setRowVisible(cboPort, !hamlib);
    m_form->setRowVisible(txtRadioDevice, !hamlib);
    m_form->setRowVisible(cboBaudRate, !hamlib);
    m_form->setRowVisible(txtRigHost, hamlib);
    m_form->setRowVisible(spnRigPort, hamlib);
}

void RadioConnect::showPorts()
{
    const PortTable table = m_host->radioPortTable();
    const int keyer = table.numberOf(m_host->keyerDevice());
    auto *model = qobject_cast<QStandardItemModel *>(cboPort->model());
    for (int number = 1; number <= PortTable::MaxPorts; ++number) {
        QString text = u"%1"_s.arg(number, 2);
        if (const QString label = table.label(number); !label.isEmpty())
            text += u"  "_s + label;
        // The keyer's own port is never offered: the radio would get the
        // keyer's commands and the keyer the radio's.
        if (number == keyer)
            text += tr("  (keyer)");
        cboPort->setItemText(number - 1, text);
        if (model)
            model->item(number - 1)->setEnabled(number != keyer);
    }
}

void RadioConnect::loadSettings()
{
    m_loading = true;
    showPorts();
    cboRadioType->setCurrentIndex(bounded(m_settings->intSetting(u"RadioType"_s, 0), Hamlib, 0));
    txtRigHost->setText(m_settings->setting(u"RigctldHost"_s, u"localhost"_s));
    spnRigPort->setValue(bounded(m_settings->intSetting(u"RigctldPort"_s, RigctldLink::DefaultPort), 65535,
                                 RigctldLink::DefaultPort));
    const PortTable table = m_host->radioPortTable();
    int position = bounded(m_settings->intSetting(u"RadioPort"_s, 0), PortTable::MaxPorts - 1, 0);
    // A USB adapter renamed since the last run is found by its stable name.
    if (const int number = table.numberOf(m_settings->setting(u"RadioPortDevice"_s, {})); number > 0)
        position = number - 1;
    const int keyer = table.numberOf(m_host->keyerDevice());
    if (position + 1 == keyer) {
        for (int number = 1; number <= table.count(); ++number) {
            if (number != keyer) {
                position = number - 1;
                break;
            }
        }
    }
    cboPort->setCurrentIndex(position);
    txtRadioDevice->setText(m_settings->setting(u"RadioDevicePath"_s, {}));
    cboBaudRate->setCurrentIndex(bounded(m_settings->intSetting(u"RadioBaud"_s, 3), 3, 3));
    cbxAutoConnect->setChecked(m_settings->intSetting(u"RadioAutoConnect"_s, 0) == 1);
    m_loading = false;
}

void RadioConnect::open()
{
    loadSettings();
    show();
    raise();
    activateWindow();
}

void RadioConnect::autoConnect()
{
    if (m_connected || m_settings->intSetting(u"RadioAutoConnect"_s, 0) != 1)
        return;
    loadSettings();
    if (!Connect() && !isVisible())
        show();
}

void RadioConnect::shutdown()
{
    m_deferred.stop();
    if (m_connected)
        Disconnect();
    else {
        m_cat.close();
        m_rig.close();
    }
}

void RadioConnect::btnConnect_Click()
{
    if (m_connected)
        Disconnect();
    else
        Connect();
}

void RadioConnect::btnCancel_Click()
{
    m_settings->setSetting(u"RadioAutoConnect"_s, cbxAutoConnect->isChecked() ? 1 : 0);
    hide();
}

void RadioConnect::listChanged()
{
    if (m_loading)
        return;
    if (m_connected)
        Disconnect();
    else if (!m_busy) {
        lblResult->clear();
        lblResultDetail->clear();
    }
}

bool RadioConnect::Connect()
{
    if (m_connected || m_busy)
        return m_connected;
    m_busy = true;
    btnConnect->setEnabled(false);
    lblResult->clear();
    lblResultDetail->clear();
    const PortTable table = m_host->radioPortTable();
    const QString typed = txtRadioDevice->text().trimmed();
    const int number = typed.isEmpty() ? cboPort->currentIndex() + 1 : table.numberOf(typed);
    const bool hamlib = hamlibChosen();
    const QString device = hamlib ? QString() : typed.isEmpty() ? table.device(number) : typed;
    const auto model = CatLink::Model(cboRadioType->currentIndex());
    const QString rigHost = txtRigHost->text().trimmed().isEmpty() ? u"localhost"_s : txtRigHost->text().trimmed();
    const auto rigPort = quint16(spnRigPort->value());
    QString failure;
    if (hamlib) {
        if (!m_rig.open(rigHost, rigPort))
            failure = m_rig.errorString();
    } else if (device.isEmpty())
        failure = tr("Port %1 has no serial device on this computer.").arg(number);
    else if (number > 0 && number == table.numberOf(m_host->keyerDevice()))
        failure = tr("Port %1 (%2) is the keyer's port.").arg(number).arg(device);
    else if (!m_cat.open(device, BaudRates[cboBaudRate->currentIndex()], model))
        failure = m_cat.errorString();
    if (!failure.isEmpty()) {
        m_busy = false;
        btnConnect->setEnabled(true);
        showFailure(failure);
        return false;
    }

    m_device = device;
    m_hamlib = hamlib;
    m_connected = true;
    m_lastBand = -1;
    m_vox = -1;
    lblResult->setText(u"Connected"_s);
    m_settings->setSetting(u"RadioType"_s, cboRadioType->currentIndex());
    if (hamlib) {
        lblResultDetail->setText(tr("rigctld at %1:%2").arg(rigHost).arg(rigPort));
        m_settings->setSetting(u"RigctldHost"_s, rigHost);
        m_settings->setSetting(u"RigctldPort"_s, rigPort);
    } else {
        lblResultDetail->setText(tr("%1 on %2").arg(cboRadioType->currentText(), device));
        m_settings->setSetting(u"RadioPort"_s, cboPort->currentIndex());
        m_settings->setSetting(u"RadioBaud"_s, cboBaudRate->currentIndex());
        m_settings->setSetting(u"RadioDevicePath"_s, typed);
        if (typed.isEmpty())
            m_settings->setSetting(u"RadioPortDevice"_s, table.stableName(number));
    }
    m_host->radioConnected(true);
    btnConnect->setText(u"&Disconnect"_s);
    btnConnect->setToolTip(u"Disconnect from radio"_s);
    cbxAutoConnect->setEnabled(false);

    Poll();
    if (m_connected && m_hamlib)
        m_rigPoll.start();
    else if (m_connected)
        m_catWatch.start();
    if (m_connected) {
        alignVox(m_host->offTheAir());
        sendConfig();
        m_cat.pause(200);
    }
    m_busy = false;
    btnConnect->setEnabled(true);
    return m_connected;
}

void RadioConnect::Disconnect()
{
    m_cat.close();
    m_rigPoll.stop();
    m_catWatch.stop();
    m_rig.close();
    m_hamlib = false;
    m_connected = false;
    m_pollPending = false;
    cbxAutoConnect->setEnabled(true);
    lblResult->clear();
    lblResultDetail->clear();
    btnConnect->setText(u"C&onnect"_s);
    btnConnect->setToolTip(u"Connect with selected port and speed"_s);
    m_host->radioConnected(false);
    sendConfig();
}

void RadioConnect::Poll()
{
    if (m_hamlib) {
        pollRig();
        return;
    }
    if (!m_connected || m_polling)
        return;
    m_polling = true;
    CatReply reply;
    const CatLink::PollOutcome outcome = m_cat.poll(&reply);
    if (outcome == CatLink::PollOutcome::NoAnswer || outcome == CatLink::PollOutcome::Closed) {
        m_polling = false;
        lost(outcome == CatLink::PollOutcome::NoAnswer
                 ? tr("The radio stopped answering: switched off, unplugged, or at another speed?")
                 : tr("The radio's port closed."));
        return;
    }
    if (outcome == CatLink::PollOutcome::Taken) {
        m_vox = reply.vox;
        const int position = CatReply::bandPosition(reply.band);
        if (position >= 0 && reply.band != m_lastBand) {
            m_lastBand = reply.band;
            m_host->radioBand(position);
            sendConfig();
            m_cat.pause(200);
        }
        const int mode = CatReply::modePosition(reply.mode, m_host->ssbLogging());
        if (mode >= 0 && m_connected) {
            m_host->radioMode(mode);
            sendConfig();
            m_cat.pause(200);
        }
        emit reported(reply.band, reply.mode, reply.vox);
    }
    m_polling = false;
    if (m_connected)
        m_cat.setReceiveEvents(true);
}

void RadioConnect::pollRig()
{
    if (!m_connected || m_polling)
        return;
    m_polling = true;
    RigctldLink::Report report;
    const RigctldLink::PollOutcome outcome = m_rig.poll(&report);
    m_polling = false;
    switch (outcome) {
    case RigctldLink::PollOutcome::NoAnswer:
        lost(tr("rigctld did not answer within %1 seconds.").arg(RigctldLink::AnswerLimit / 1000));
        return;
    case RigctldLink::PollOutcome::Closed:
        lost(tr("The link to the radio dropped: rigctld closed the connection."));
        return;
    case RigctldLink::PollOutcome::Refused:
        lost(tr("rigctld reports an error: the radio does not answer it."));
        return;
    case RigctldLink::PollOutcome::Taken:
        break;
    }
    // A frequency outside the bands leaves the band as it is.
    const int position = RigctldLink::bandPosition(report.frequency);
    if (position >= 0 && position != m_lastBand) {
        m_lastBand = position;
        m_host->radioBand(position);
        sendConfig();
        m_cat.pause(200);
    }
    const bool cw = RigctldLink::isCw(report.mode);
    const bool ssb = m_host->ssbLogging();
    if (m_connected && cw == ssb) {
        m_host->radioMode(cw ? 0 : 1);
        sendConfig();
        m_cat.pause(200);
    }
}

void RadioConnect::alignVox(bool offTheAir)
{
    if (!m_connected || m_hamlib || m_vox < 0)
        return;
    // The front panel may have switched it since the last look.
    if (const int vox = m_cat.queryVox(); vox >= 0)
        m_vox = vox;
    if (m_vox == (offTheAir ? 1 : 0)) {
        m_cat.toggleVox();
        m_vox = 1 - m_vox;
    }
}

void RadioConnect::radioReport()
{
    if (!m_connected || m_polling)
        return;
    if (m_host->keyerBusy()) {
        m_pollPending = true;
        m_deferred.start();
        return;
    }
    Poll();
}

void RadioConnect::sendConfig()
{
    if (m_host->keyerBusy()) {
        m_configPending = true;
        m_deferred.start();
        return;
    }
    m_host->radioSendConfig();
}

void RadioConnect::runDeferred()
{
    if (m_host->keyerBusy()) {
        m_deferred.start();
        return;
    }
    if (std::exchange(m_configPending, false))
        m_host->radioSendConfig();
    if (std::exchange(m_pollPending, false))
        Poll();
}

void RadioConnect::lost(const QString &reason)
{
    if (!m_connected)
        return;
    Disconnect();
    showFailure(reason);
    // The operator may have hidden the window; the band no longer follows
    // the radio, and that must not go unseen.
    if (!isVisible()) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void RadioConnect::showFailure(const QString &reason)
{
    QApplication::beep();
    lblResult->setText(u"Connection Failed"_s);
    lblResultDetail->setText(reason);
}
