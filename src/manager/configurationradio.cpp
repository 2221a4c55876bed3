// The main window's part of the radio link: the radio button and the view
// of this window that the Radio Connection window drives.

#include "configuration.h"

#include "configurationtab.h"
#include "radioconnect.h"
#include "radiohost.h"
#include "serialkeyerport.h"
#include "softwaretab.h"
#include "terminaltab.h"

#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

class ManagerRadioHost : public QObject, public RadioHost
{
public:
    explicit ManagerRadioHost(Configuration *window) : QObject(window), w(*window) {}

    void radioConnected(bool connected) override
    {
        if (connected)
            w.m_record.optionWord |= Option::RadioConnected;
        else
            w.m_record.optionWord &= quint16(~Option::RadioConnected);
        const bool bands = !connected && !w.m_sender.busy() && !w.m_terminal->editMode();
        w.m_terminal->setBandControlsEnabled(bands);
        w.m_configurationTab->setBandControlsEnabled(bands);
        // The keyer is never looked for on the radio's port.
        const QString device = w.m_radio->connectedDevice();
        w.m_software->setExcludedDevices(connected && !device.isEmpty() ? QStringList{device} : QStringList{});
        w.m_radioButton->setText(connected ? Configuration::tr("Radio connected") : Configuration::tr("Radio"));
        if (!connected)
            w.m_radioButton->setToolTip(Configuration::tr("Connect an Elecraft K3 or KX3, or any radio through Hamlib's rigctld: band and mode follow the radio"));
    }

    void radioBand(int position) override
    {
        w.m_terminal->showBand(position);
        w.m_configurationTab->chooseBand(position);
    }

    void radioMode(int position) override
    {
        w.m_terminal->showMode(position == 1);
        w.m_configurationTab->chooseSsb(position == 1);
    }

    void radioSendConfig() override { w.SendConfig(); }
    bool ssbLogging() const override { return w.m_record.optionWord & Option::SSB; }
    bool offTheAir() const override { return w.m_record.status & 1; }

    bool keyerBusy() const override
    {
        // Threshold 0: a synchronous transfer owns the keyer port.
        return w.m_link.isOpen()
            && (w.m_link.receiveThreshold() == 0 || w.m_transferBusy || w.m_sender.busy()
                || w.m_configurationTab->configurationLoad());
    }

    PortTable radioPortTable() const override { return w.m_link.portTable(); }
    QString keyerDevice() const override
    {
        // The table's name: the port's own is without "/dev/".
        return w.m_link.isOpen() ? w.m_link.portTable().device(w.m_comPort) : QString();
    }

private:
    Configuration &w;
};

void Configuration::wireRadio()
{
    m_radio = new RadioConnect(m_settings, new ManagerRadioHost(this), new SerialKeyerPort(this), this);
    m_radioButton = new QToolButton;
    m_radioButton->setObjectName(u"btnRadio"_s);
    m_radioButton->setText(tr("Radio"));
    m_radioButton->setToolTip(tr("Connect an Elecraft K3 or KX3, or any radio through Hamlib's rigctld: band and mode follow the radio"));
    m_tabs->setCornerWidget(m_radioButton, Qt::TopRightCorner);
    connect(m_radioButton, &QToolButton::clicked, m_radio, &RadioConnect::open);
    connect(m_radio, &RadioConnect::reported, this, [this](int band, int mode, int vox) {
        static const char *const modes[] = {"?", "LSB", "USB", "CW", "FM", "AM", "DATA", "CW-REV", "?", "DATA-REV"};
        m_radioButton->setToolTip(tr("The radio reports band %1, %2, VOX %3")
                                      .arg(band, 2, 10, QChar(u'0'))
                                      .arg(QString::fromLatin1(modes[mode >= 0 && mode <= 9 ? mode : 0]),
                                           vox ? tr("on") : tr("off")));
    });
}

void Configuration::radioAutoConnect()
{
    m_radio->autoConnect();
}

void Configuration::radioShutdown()
{
    m_radio->shutdown();
    m_radio->hide();
}

void Configuration::alignRadioVox()
{
    // In SSB the keyer does not key; the operator's VOX stays as it is.
    if (!(m_record.optionWord & Option::SSB))
        m_radio->alignVox(m_record.status & 1);
}
