#include "softwaretab.h"

#include "keyerlink.h"
#include "settingsstore.h"
#include "versionrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SoftwareTab::SoftwareTab(SettingsStore *settings, QWidget *parent)
    : QWidget(parent), m_settings(settings)
{
    setObjectName(u"fraFirmwareFrame"_s);

    m_portList = new QComboBox;
    m_portList->setObjectName(u"cboCOMPort"_s);
    m_portList->setToolTip(u"Select COM port if you have several KRV on this computer"_s);
    m_portList->addItem(u" ?"_s);
    for (int number = 1; number <= PortTable::MaxPorts; ++number)
        m_portList->addItem(u"%1"_s.arg(number, 2));
    m_portList->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    m_autoCom = new QCheckBox(tr("Search ports automatically"));
    m_autoCom->setObjectName(u"AutoCOM"_s);
    m_autoCom->setToolTip(u"Search COM ports to detect Dashwright device"_s);

    m_device = new QLabel;
    m_device->setObjectName(u"lblPortDevice"_s);
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_baudRate = new QLabel;
    m_baudRate->setObjectName(u"lblBaudRate"_s);
    m_firmwareVersion = new QLabel;
    m_firmwareVersion->setObjectName(u"lblCurrentVersion"_s);
    m_programVersion = new QLabel(VersionRules::programVersionLabel().mid(2));
    m_programVersion->setObjectName(u"lblProgramVersion"_s);

    m_searchStatus = new QLabel;
    m_searchStatus->setObjectName(u"lblSearchStatus"_s);
    m_cancelSearch = new QPushButton(tr("Cancel"));
    m_cancelSearch->setObjectName(u"btnCancelSearch"_s);
    m_cancelSearch->setToolTip(tr("Stop looking for the keyer"));
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchStatus, 1);
    searchRow->addWidget(m_cancelSearch);
    m_searchStatus->hide();
    m_cancelSearch->hide();

    auto *portBox = new QGroupBox(tr("Keyer Port"));
    auto *portForm = new QFormLayout(portBox);
    portForm->addRow(tr("Port:"), m_portList);
    portForm->addRow(QString(), m_autoCom);
    portForm->addRow(tr("Device:"), m_device);
    portForm->addRow(tr("Baud rate:"), m_baudRate);
    portForm->addRow(searchRow);

    auto *versionBox = new QGroupBox(tr("Versions"));
    auto *versionForm = new QFormLayout(versionBox);
    versionForm->addRow(tr("Program:"), m_programVersion);
    versionForm->addRow(tr("Keyer firmware:"), m_firmwareVersion);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(portBox);
    layout->addWidget(versionBox);
    layout->addStretch();

    connect(m_portList, &QComboBox::activated, this, &SoftwareTab::portChosen);
    connect(m_autoCom, &QCheckBox::clicked, this, &SoftwareTab::autoComClicked);
    connect(m_portList, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_device->setText(m_portList->itemData(index).toString());
    });
}

void SoftwareTab::setPortTable(const PortTable &table)
{
    m_table = table;
    for (int number = 1; number <= PortTable::MaxPorts; ++number) {
        const QString label = table.label(number);
        m_portList->setItemText(number, label.isEmpty() ? u"%1"_s.arg(number, 2)
                                                        : u"%1  %2"_s.arg(number, 2).arg(label));
        m_portList->setItemData(number, label);
    }
    m_device->setText(m_portList->currentData().toString());
}

int SoftwareTab::startPort() const
{
    // Where the keyer was plugged in last time matters less than which
    // adapter it is on.
    if (const int number = m_table.numberOf(m_settings->setting(u"COMPortDevice"_s, {})); number > 0)
        return number;
    return m_settings->intSetting(u"COMPort"_s, 1);
}

KeyerSearch::Result SoftwareTab::searchForKeyer(KeyerLink &link, qint32 baudRate,
                                                const std::function<bool()> &closing)
{
    m_searchCancelled = false;
    const QMetaObject::Connection cancel = connect(m_cancelSearch, &QPushButton::clicked, this, [this, &link] {
        m_searchCancelled = true;
        link.cancel();
    });
    KeyerSearch search(link);
    search.setProgress([this](int port, qint32 baud) {
        m_searchStatus->setText(tr("Looking for the keyer on %1 at %2 baud \u2026")
                                    .arg(m_table.device(port).isEmpty() ? tr("port %1").arg(port)
                                                                        : m_table.device(port))
                                    .arg(baud));
    });
    m_searchStatus->show();
    m_cancelSearch->show();
    const KeyerSearch::Result found =
        search.run(startPort(), baudRate, autoCom(), [&] { return m_searchCancelled || (closing && closing()); });
    disconnect(cancel);
    m_searchStatus->hide();
    m_cancelSearch->hide();
    if (found.portUnknown) {
        setBaudRateText(u"?"_s);
        selectPort(0);
    }
    return found;
}

void SoftwareTab::keyerFound(const KeyerSearch::Result &found)
{
    m_settings->setSetting(u"BaudRate"_s, found.baudRate);
    m_settings->setSetting(u"COMPort"_s, found.port);
    m_settings->setSetting(u"COMPortDevice"_s, m_table.stableName(found.port));
    selectPort(found.port);
    setBaudRateText(QString::number(found.baudRate));
}

void SoftwareTab::loadSettings()
{
    selectPort(m_settings->intSetting(u"COMPort"_s, 1));
    m_autoCom->setChecked(m_settings->intSetting(u"AutoCOM"_s, 1) != 0);
    m_portList->setEnabled(!m_autoCom->isChecked());
}

void SoftwareTab::selectPort(int number)
{
    m_portList->setCurrentIndex(number >= 1 && number <= PortTable::MaxPorts ? number : 0);
}

int SoftwareTab::selectedPort() const
{
    return m_portList->currentIndex();
}

bool SoftwareTab::autoCom() const
{
    return m_autoCom->isChecked();
}

void SoftwareTab::setBaudRateText(const QString &text)
{
    m_baudRate->setText(text);
}

void SoftwareTab::setFirmwareVersion(const QString &text)
{
    m_firmwareVersion->setText(text);
}

void SoftwareTab::portChosen(int index)
{
    m_settings->setSetting(u"COMPort"_s, index);
    m_settings->setSetting(u"COMPortDevice"_s, m_table.stableName(index));
}

void SoftwareTab::autoComClicked(bool on)
{
    m_settings->setSetting(u"AutoCOM"_s, on ? u"1"_s : u"0"_s);
    m_portList->setEnabled(!on);
}
