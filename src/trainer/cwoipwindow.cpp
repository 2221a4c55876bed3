#include "cwoipwindow.h"

#include "cwoiplink.h"
#include "cwoipwire.h"
#include "remoteallowlist.h"
#include "settingsstore.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

CWoIP::CWoIP(CwoipLink *link, SettingsStore *settings, MessageFunction message, QWidget *parent)
    : QDialog(parent), m_link(link), m_settings(settings), m_message(std::move(message))
{
    setObjectName(u"CWoIP"_s);
    setWindowTitle(u"CW over IP"_s);
    IPAddress = new QLineEdit;
    IPAddress->setObjectName(u"IPAddress"_s);
    IPAddress->setToolTip(u"Remote IP address"_s);
    IPPort = new QLineEdit;
    IPPort->setObjectName(u"IPPort"_s);
    IPPort->setToolTip(tr("TCP port, 5000 - 40000, the same on both sides"));
    IPPort->setMaximumWidth(80);
    AllowedCallers = new QLineEdit;
    AllowedCallers->setObjectName(u"AllowedCallers"_s);
    AllowedCallers->setPlaceholderText(tr("this computer and the local networks"));
    AllowedCallers->setToolTip(tr("Who may call: addresses and networks such as 192.168.1.20, 10.0.0.0/8; "
                                  "empty: this computer and the private and link-local networks"));

    const auto button = [this](const QString &caption, const QString &tip, void (CWoIP::*handler)()) {
        auto *b = new QPushButton(caption);
        b->setObjectName(caption);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_connect = button(u"Connect"_s, u"Connect to this address"_s, &CWoIP::Connect_Click);
    m_listen = button(u"Listen"_s, u"Listen for incoming calls"_s, &CWoIP::Listen_Click);
    m_disconnect = button(u"Disconnect"_s, u"Disconnect and resume listening"_s, &CWoIP::Disconnect_Click);
    m_offline = button(u"Offline"_s, u"Disconnect and stop listening"_s, &CWoIP::Offline_Click);

    auto *form = new QFormLayout;
    form->addRow(u"Connect with"_s, IPAddress);
    form->addRow(tr("Port"), IPPort);
    form->addRow(tr("Allowed callers"), AllowedCallers);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_connect, m_listen, m_disconnect, m_offline})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(m_link, &CwoipLink::modeChanged, this, &CWoIP::showButtons);
}

void CWoIP::prepare()
{
    IPAddress->setText(m_settings->setting(u"CWoIPAddress"_s, {}));
    IPPort->setText(m_settings->setting(u"CWoIPPort"_s, QString::number(CwoipWire::DefaultPort)));
    AllowedCallers->setText(m_settings->setting(u"CWoIPAllow"_s, {}));
    m_link->setAllowList(RemoteAllowList::parse(AllowedCallers->text()));
    showButtons();
}

bool CWoIP::takeAllowedCallers()
{
    QStringList invalid;
    const RemoteAllowList allow = RemoteAllowList::parse(AllowedCallers->text(), &invalid);
    if (!invalid.isEmpty()) {
        m_message(true, tr("Not an address or network: %1").arg(invalid.join(u", "_s)));
        AllowedCallers->setFocus();
        return false;
    }
    m_settings->setSetting(u"CWoIPAllow"_s, AllowedCallers->text().trimmed());
    m_link->setAllowList(allow);
    return true;
}

void CWoIP::showButtons()
{
    const CwoipLink::Mode mode = m_link->mode();
    m_connect->setVisible(mode == CwoipLink::Offline || mode == CwoipLink::Listening);
    m_listen->setVisible(mode == CwoipLink::Offline);
    m_disconnect->setVisible(mode == CwoipLink::Calling || mode == CwoipLink::Answered);
    m_offline->setVisible(mode != CwoipLink::Offline);
}

quint16 CWoIP::checkedPort()
{
    const int port = decimalValue(IPPort->text());
    if (!CwoipWire::portValid(port)) {
        m_message(true, u"The port has to be 5000 - 40000"_s);
        IPPort->setFocus();
        return 0;
    }
    m_settings->setSetting(u"CWoIPPort"_s, port);
    return quint16(port);
}

void CWoIP::Listen_Click()
{
    if (!takeAllowedCallers())
        return;
    if (const quint16 port = checkedPort())
        m_link->listen(port);
}

void CWoIP::Connect_Click()
{
    const QString address = IPAddress->text().trimmed();
    if (address.isEmpty()) {
        m_message(true, u"Please specify the IP address to connect to"_s);
        return;
    }
    const quint16 port = checkedPort();
    if (!port)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = m_link->connectTo(address, port);
    QApplication::restoreOverrideCursor();
    if (connected)
        close();
}

void CWoIP::Disconnect_Click()
{
    m_link->disconnectLink();
}

void CWoIP::Offline_Click()
{
    m_link->goOffline();
}
