#include "tcpparms.h"

#include "remoteallowlist.h"
#include "remotewire.h"
#include "settingsstore.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int ClientRole = 3;
constexpr int ServerRole = 2;

bool dottedIPv4(const QString &text)
{
    static const QRegularExpression dotted(u"^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"_s);
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return false;
    for (int i = 1; i <= 4; ++i) {
        if (match.captured(i).toInt() > 255)
            return false;
    }
    return true;
}

} // namespace

TCPParms::TCPParms(SettingsStore *settings, MessageFunction message, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_message(std::move(message))
{
    setObjectName(u"TCPParms"_s);
    setWindowTitle(u"Remote Control "_s + ownAddress());

    auto *roles = new QGroupBox(tr("Role of this station"));
    auto *roleRow = new QHBoxLayout(roles);
    m_role = new QButtonGroup(this);
    m_role->setObjectName(u"optRemoteRole"_s);
    const QString captions[] = {tr("None"), tr("Keyboard simulator"), tr("Server"), tr("Client")};
    for (int i = 0; i < 4; ++i) {
        auto *option = new QRadioButton(captions[i]);
        option->setObjectName(u"optRemoteRole%1"_s.arg(i));
        m_role->addButton(option, i);
        roleRow->addWidget(option);
    }

    auto makeBox = [this](const QString &name, const QString &tip) {
        auto *box = new QLineEdit;
        box->setObjectName(name);
        box->setToolTip(tip);
        box->installEventFilter(this);
        return box;
    };
    m_ipLabel = new QLabel;
    m_ipLabel->setObjectName(u"lblIP"_s);
    m_portLabel = new QLabel;
    m_portLabel->setObjectName(u"lblPort"_s);
    m_ip = makeBox(u"txtIP"_s, {});
    m_port = makeBox(u"txtPort"_s, {});
    m_timeout = makeBox(u"txtTimeout"_s, tr("Server: minutes without anything but keep-alives"));
    m_buffering = makeBox(u"txtBuffering"_s, tr("Server: hold the text until a word is complete"));
    m_allow = makeBox(u"txtAllow"_s,
                      tr("Server: addresses and networks that may connect, e.g. 192.168.1.20, 10.0.0.0/8.\n"
                         "Empty: this computer and the local networks only."));
    m_allow->setPlaceholderText(tr("this computer and the local networks"));

    auto *form = new QFormLayout;
    form->addRow(m_ipLabel, m_ip);
    form->addRow(m_portLabel, m_port);
    form->addRow(u"Drop connection after x minutes of inactivity. (0 = never)"_s, m_timeout);
    form->addRow(u"Dynamic Buffering: 0=off, 1...3=on"_s, m_buffering);
    form->addRow(tr("Allowed clients"), m_allow);

    auto *buttons = new QDialogButtonBox;
    QPushButton *save = buttons->addButton(u"Save"_s, QDialogButtonBox::AcceptRole);
    save->setObjectName(u"btnSave"_s);
    save->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(u"btnCancel"_s);
    connect(save, &QPushButton::clicked, this, &TCPParms::btnSave_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(roles);
    layout->addLayout(form);
    layout->addWidget(buttons);

    int role = settings->intSetting(u"RemoteRole"_s, 0);
    if (role < 0 || role > 3)
        role = 0;
    const QString port = QString::number(RemoteWire::DefaultPort);
    const bool client = role == ClientRole;
    m_ip->setText(settings->setting(client ? u"RemoteIP"_s : u"LocalIP"_s, {}));
    m_port->setText(settings->setting(client ? u"RemotePort"_s : u"LocalPort"_s, port));
    m_otherIP = settings->setting(client ? u"LocalIP"_s : u"RemoteIP"_s, {});
    m_otherPort = settings->setting(client ? u"LocalPort"_s : u"RemotePort"_s, port);
    m_timeout->setText(settings->setting(u"TCPTimeout"_s, u"0"_s));
    const int buffering = settings->intSetting(u"remoteBufferSize"_s, 1);
    m_buffering->setText(QString::number(buffering >= 0 && buffering <= 3 ? buffering : 1));
    m_allow->setText(settings->setting(u"RemoteAllow"_s, {}));
    m_shownRole = role;
    m_role->button(role)->setChecked(true);
    optRemoteRole_Click(role);
    connect(m_role, &QButtonGroup::idClicked, this, &TCPParms::optRemoteRole_Click);
}

QString TCPParms::ownAddress()
{
    for (const QHostAddress &address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    }
    return u"127.0.0.1"_s;
}

bool TCPParms::clientRole() const
{
    return m_role->checkedId() == ClientRole;
}

void TCPParms::optRemoteRole_Click(int role)
{
    // The boxes show the client's fields or this machine's.
    if ((role == ClientRole) != (m_shownRole == ClientRole)) {
        const QString ip = m_ip->text(), port = m_port->text();
        m_ip->setText(m_otherIP);
        m_port->setText(m_otherPort);
        m_otherIP = ip;
        m_otherPort = port;
    }
    m_shownRole = role;
    if (role == ClientRole) {
        m_ipLabel->setText(u"Remote IP Addr"_s);
        m_ipLabel->setToolTip(u"IP address of server machine"_s);
        m_portLabel->setText(u"Remote Port"_s);
        m_portLabel->setToolTip(u"Port on server machine"_s);
    } else {
        m_ipLabel->setText(u"Local IP Addr"_s);
        m_ipLabel->setToolTip(u"IP address on this machine if more than one adapter installed"_s);
        m_portLabel->setText(u"Local Port"_s);
        m_portLabel->setToolTip(u"Listener port on this machine"_s);
    }
    m_ip->setToolTip(m_ipLabel->toolTip());
    m_port->setToolTip(m_portLabel->toolTip());
}

bool TCPParms::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !m_checking) {
        // The message box takes the focus too: one check at a time.
        m_checking = true;
        if (watched == m_ip)
            txtIP_LostFocus();
        else if (watched == m_port)
            txtPort_LostFocus();
        else if (watched == m_timeout)
            txtTimeout_LostFocus();
        m_checking = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TCPParms::show(QMessageBox::Icon icon, const QString &text)
{
    if (m_message) {
        m_message(icon, text);
        return;
    }
    QMessageBox box(icon, u"Remote Control"_s, text, QMessageBox::Ok, this);
    box.exec();
}

bool TCPParms::txtIP_LostFocus()
{
    const QString text = m_ip->text().trimmed();
    if (text.isEmpty() || dottedIPv4(text))
        return true;
    m_ip->setText(u"127.0.0.1"_s);
    show(QMessageBox::Critical, u"Invalid IP address"_s);
    return false;
}

bool TCPParms::txtPort_LostFocus()
{
    const QString text = m_port->text().trimmed();
    bool number = false;
    const int port = text.toInt(&number);
    // An empty port is Save's to point out.
    if (text.isEmpty() || (number && ((port >= 10000 && port <= 49151) || (port == 80 && clientRole()))))
        return true;
    m_port->setText(QString::number(RemoteWire::DefaultPort));
    show(QMessageBox::Critical, u"The port must be a number between 10000 and 49151"_s);
    return false;
}

bool TCPParms::txtTimeout_LostFocus()
{
    bool number = false;
    const int minutes = m_timeout->text().trimmed().toInt(&number);
    if (number && minutes >= 0 && minutes <= 99)
        return true;
    m_timeout->setText(u"0"_s);
    show(QMessageBox::Critical, u"The inactivity timeout should be 0-99 minutes"_s);
    return false;
}

void TCPParms::btnSave_Click()
{
    if (!txtIP_LostFocus() || !txtPort_LostFocus() || !txtTimeout_LostFocus())
        return;
    const int role = m_role->checkedId();
    const QString ip = m_ip->text().trimmed();
    const QString port = m_port->text().trimmed();
    if (role == ClientRole && (ip.isEmpty() || port.isEmpty())) {
        show(QMessageBox::Warning, u"You have to specify the remote port and IP address"_s);
        return;
    }
    if (role == ServerRole && port.isEmpty()) {
        show(QMessageBox::Warning, u"You have to specify the local port"_s);
        return;
    }
    QStringList invalid;
    RemoteAllowList::parse(m_allow->text(), &invalid);
    if (!invalid.isEmpty()) {
        show(QMessageBox::Critical, tr("Not an address or network: %1").arg(invalid.join(u", "_s)));
        return;
    }
    bool number = false;
    const int buffering = m_buffering->text().trimmed().toInt(&number);
    const bool client = role == ClientRole;
    m_settings->setSetting(u"RemoteRole"_s, role);
    m_settings->setSetting(u"RemoteIP"_s, client ? ip : m_otherIP);
    m_settings->setSetting(u"RemotePort"_s, client ? port : m_otherPort);
    m_settings->setSetting(u"LocalIP"_s, client ? m_otherIP : ip);
    m_settings->setSetting(u"LocalPort"_s, client ? m_otherPort : port);
    m_settings->setSetting(u"TCPTimeout"_s, m_timeout->text().trimmed().toInt());
    m_settings->setSetting(u"remoteBufferSize"_s, number && buffering >= 0 && buffering <= 3 ? buffering : 1);
    m_settings->setSetting(u"RemoteAllow"_s, m_allow->text().simplified());
    m_settings->sync();
    accept();
}
