// The main window's part of the remote control link: lblTCP and the Remote
// Control button beside the keyer picture, a click on the picture starting
// and stopping the role of this station, the keyboard simulator, and where
// the event stream's forwarding goes.

#include "configuration.h"

#include "clickfilter.h"
#include "configurationtab.h"
#include "userstab.h"
#include "desktopkeyboard.h"
#include "keystrokesimulator.h"
#include "remoteclient.h"
#include "remoteserver.h"
#include "remotewire.h"
#include "tcpparms.h"
#include "terminaltab.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

class ManagerRemote : public QObject
{
public:
    enum Role { NoRole = 0, Simulator = 1, Server = 2, Client = 3 };

    explicit ManagerRemote(Configuration *window);

    void imgKRV_Click();
    void btnRemoteControl_Click();
    void start(int role);
    void stop();
    // The link's state (0 idle, 1 listening, 2 connected or simulating)
    // and its caption in lblTCP.
    void setLinkState(int state);
    bool up(Role role) const { return m_linkState != 0 && m_running == role; }
    // The keyboard simulator's pump: each text, translated, typed.
    void simulate(const QString &text);
    // A line in the monitor about another station; the same line about the
    // same address at most once a minute, so that no peer fills the monitor.
    void note(const QHostAddress &address, const QString &what);
    void pause(int milliseconds);
    double timeScale() const { return w.m_link.scaled(1000) / 1000.0; }

    Configuration &w;
    RemoteServer *server;
    RemoteClient *client;
    QLabel *lblTCP;
    QToolButton *btnRemoteControl;
    int m_linkState = 0;
    Role m_running = NoRole;
    bool m_toneWasOn = false;
    std::unique_ptr<KeyboardPlatform> m_keyboard;
    QStringList m_typing;
    bool m_pumping = false;
    QHash<QString, QDateTime> m_noted;
    QElapsedTimer m_lastClick;
    // Keyer commands from the client held while the keyer is busy.
    void sendHeld();
    QList<QByteArray> m_held;
    QTimer m_heldPace;
};

namespace {

quint16 portOf(const QString &text)
{
    bool number = false;
    const uint port = text.trimmed().toUInt(&number);
    return number && port > 0 && port <= 65535 ? quint16(port) : RemoteWire::DefaultPort;
}

} // namespace

ManagerRemote::ManagerRemote(Configuration *window)
    : QObject(window), w(*window), server(new RemoteServer(this)), client(new RemoteClient(this))
{
    lblTCP = new QLabel;
    lblTCP->setObjectName(u"lblTCP"_s);
    lblTCP->setStyleSheet(u"color: #1f5fa8; font-weight: bold;"_s);
    btnRemoteControl = new QToolButton;
    btnRemoteControl->setObjectName(u"btnRemoteControl"_s);
    btnRemoteControl->setText(u"Remote Control"_s);
    btnRemoteControl->setToolTip(u"Configure Remote Control options"_s);
    connect(btnRemoteControl, &QToolButton::clicked, this, &ManagerRemote::btnRemoteControl_Click);
    w.m_keyerImage->installEventFilter(new ClickFilter(this, [this] { imgKRV_Click(); }));

    client->setSpeedSource([this] { return w.m_record.currentSpeed.toInt(); });
    connect(client, &RemoteClient::dropped, this, [this] {
        if (!up(Client))
            return;
        stop();
        w.message(QMessageBox::Warning, u"Server dropped connection"_s);
    });
    connect(client, &RemoteClient::failed, this, [this](const QString &error) {
        if (!up(Client))
            return;
        stop();
        w.message(QMessageBox::Critical, error);
    });

    connect(server, &RemoteServer::stateChanged, this, [this](int state) {
        if (m_running == Server)
            setLinkState(state);
    });
    connect(server, &RemoteServer::keyerCommand, this, [this](const QByteArray &command) {
        if (!w.m_link.isOpen())
            return;
        // A transfer or a configuration read owns the keyer: the client's
        // characters wait for its end (the receiver keeps them bounded).
        m_held.append(command);
        sendHeld();
    });
    m_heldPace.setInterval(100);
    connect(&m_heldPace, &QTimer::timeout, this, &ManagerRemote::sendHeld);
    connect(server, &RemoteServer::dropped, this, [this](const QHostAddress &address, RemoteServer::Drop reason) {
        if (reason != RemoteServer::Drop::Goodbye)
            note(address, u"dropped (%1)"_s.arg(RemoteServer::dropText(reason)));
    });
    connect(server, &RemoteServer::refused, this, [this](const QHostAddress &address, RemoteServer::Refusal reason) {
        note(address, u"refused (%1)"_s.arg(RemoteServer::refusalText(reason)));
    });
    connect(server, &RemoteServer::overflow, this, [this](const QHostAddress &address) {
        note(address, u"sends faster than the keyer keys (text dropped)"_s);
    });
}

void ManagerRemote::setLinkState(int state)
{
    m_linkState = state;
    if (state == 0)
        m_running = NoRole;
    static const char *const captions[] = {"", "Server", "Connected", "Kbd Simulator"};
    const int caption = state == 2 && m_running == Simulator ? 3 : qBound(0, state, 2);
    lblTCP->setText(QString::fromLatin1(captions[caption]));
    QString tip;
    if (state == 2 && m_running == Server)
        tip = u"Connected: "_s + server->peerAddress().toString();
    else if (state == 2 && m_running == Client)
        tip = u"Connected to "_s + w.m_remote.remoteIP;
    lblTCP->setToolTip(tip);
}

void ManagerRemote::imgKRV_Click()
{
    if (client->isConnecting())
        return;
    // A double click is one click: its second half would undo the first
    // while the keyer is still answering the configuration it was sent.
    if (m_lastClick.isValid() && m_lastClick.elapsed() < QApplication::doubleClickInterval())
        return;
    m_lastClick.start();
    if (m_linkState != 0) {
        stop();
        return;
    }
    const int role = w.m_remote.role;
    if (role < Simulator || role > Client)
        return;
    if (w.m_record.optionWord & Option::SSB) {
        w.message(QMessageBox::Warning, u"SSB modes not supported for remote operation"_s);
        return;
    }
    if (!w.m_link.isOpen() || w.m_startupResult != Configuration::StartupResult::Ready) {
        w.message(QMessageBox::Warning, w.tr("Remote operation needs the keyer, and the keyer is not connected"));
        return;
    }
    start(role);
}

void ManagerRemote::start(int role)
{
    switch (role) {
    case Server:
        server->setTimeScale(timeScale());
        server->setBuffering(w.m_remote.bufferSize);
        server->setInactivityTimeout(w.m_remote.timeout);
        server->setAllowList(RemoteAllowList::parse(w.m_settings->setting(u"RemoteAllow"_s, {})));
        m_running = Server;
        if (!server->listen(w.m_remote.localIP, portOf(w.m_remote.localPort))) {
            setLinkState(0);
            w.message(QMessageBox::Critical, server->errorString());
        }
        return;
    case Simulator: {
        m_keyboard = createDesktopKeyboard();
        if (!m_keyboard->currentLayout()) {
            w.message(QMessageBox::Critical, m_keyboard->errorString());
            m_keyboard.reset();
            return;
        }
        // The keyer decodes with its tone on.
        m_toneWasOn = w.m_record.optionWord & Option::ToneOn;
        w.m_record.optionWord |= Option::ToneOn;
        w.SendConfig();
        w.m_terminal->setSendImmediate(true);
        w.refreshTerminal();
        w.setKeyboardSimulatorOn(true);
        m_typing.clear();
        m_running = Simulator;
        setLinkState(2);
        return;
    }
    case Client: {
        client->setTimeScale(timeScale());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool connected = client->connectToServer(w.m_remote.remoteIP, portOf(w.m_remote.remotePort));
        QApplication::restoreOverrideCursor();
        if (!connected) {
            setLinkState(0);
            // Connected, but the server closed at once (it refused us).
            const QString error = client->errorString();
            w.message(error.isEmpty() ? QMessageBox::Warning : QMessageBox::Critical,
                      error.isEmpty() ? u"Server dropped connection"_s : error);
            return;
        }
        m_running = Client;
        setLinkState(2);
        return;
    }
    default:
        return;
    }
}

void ManagerRemote::stop()
{
    const Role running = m_running;
    setLinkState(0);
    switch (running) {
    case Client:
        client->disconnectFromServer();
        break;
    case Server:
        server->stop();
        break;
    case Simulator:
        w.setKeyboardSimulatorOn(false);
        m_typing.clear();
        m_keyboard.reset();
        // Bit 7 back as the operator had it, and the keyer told so.
        if (m_toneWasOn)
            w.m_record.optionWord |= Option::ToneOn;
        else
            w.m_record.optionWord &= quint16(~Option::ToneOn);
        w.SendConfig();
        break;
    case NoRole:
        break;
    }
}

void ManagerRemote::btnRemoteControl_Click()
{
    if (m_linkState != 0)
        stop();
    auto *dialog = new TCPParms(w.m_settings, [this](QMessageBox::Icon icon, const QString &text) { w.message(icon, text); },
                                &w);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] {
        w.readRemoteSettings();
        w.setKRVImageFunction();
    });
    dialog->open();
}

void ManagerRemote::sendHeld()
{
    const bool busy = w.m_transferBusy || w.m_link.receiveThreshold() == 0
        || w.m_configurationTab->configurationLoad() || w.m_users->busy();
    if (busy || !w.m_link.isOpen()) {
        if (!w.m_link.isOpen())
            m_held.clear();
        if (!m_held.isEmpty())
            m_heldPace.start();
        return;
    }
    m_heldPace.stop();
    while (!m_held.isEmpty()) {
        const QByteArray command = m_held.takeFirst();
        w.m_link.write(command);
        // The keyer does not report a speed it was set to: show it here.
        if (command.at(0) == KeyerCommand::SetSpeed)
            w.speedReported(quint8(command.at(1)));
    }
}

void ManagerRemote::pause(int milliseconds)
{
    bool done = false;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [&done] { done = true; });
    timer.start(w.m_link.scaled(milliseconds));
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ManagerRemote::simulate(const QString &text)
{
    if (!text.isEmpty())
        m_typing.append(text);
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_typing.isEmpty() && up(Simulator)) {
        const QString typed = w.m_translation.translate(m_typing.takeFirst());
        KeyStrokeSimulator keys(*m_keyboard);
        if (!keys.SendText(typed)) {
            const QString error = keys.errorString();
            stop();
            w.message(QMessageBox::Critical, error);
            break;
        }
        // The application typed into takes its time with the keys.
        pause(50);
    }
    m_pumping = false;
}

void ManagerRemote::note(const QHostAddress &address, const QString &what)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString key = address.toString() + what;
    const auto last = m_noted.constFind(key);
    if (last != m_noted.constEnd() && last->secsTo(now) < 60)
        return;
    if (m_noted.size() > 256)
        m_noted.clear();
    m_noted.insert(key, now);
    if (w.m_terminal->monitorLength() > KeyerEventStream::MonitorLimit)
        return;
    w.m_terminal->monitorNewLine();
    const QString who = address.isNull() ? u"a peer"_s : address.toString();
    w.m_terminal->monitorAppend(u"[Remote control %1 UTC: %2 %3]"_s.arg(now.toString(u"HH:mm:ss"_s), who, what));
    w.m_terminal->monitorNewLine();
}

// The window's side.

void Configuration::wireRemote(QHBoxLayout *header)
{
    m_remoteLink = new ManagerRemote(this);
    header->insertWidget(header->indexOf(m_keyerImage) + 1, m_remoteLink->lblTCP);
    header->insertWidget(header->indexOf(m_title) + 1, m_remoteLink->btnRemoteControl);
}

bool Configuration::remoteEscape()
{
    if (m_remoteLink->up(ManagerRemote::Client) && m_sender.busy())
        m_remoteLink->client->send(QByteArray(1, RemoteWire::Abort));
    if (!m_remoteLink->up(ManagerRemote::Server))
        return false;
    const bool held = !std::exchange(m_remoteLink->m_held, {}).isEmpty();
    return m_remoteLink->server->discardPending() || held;
}

void Configuration::remoteShutdown()
{
    if (m_remoteLink->m_linkState != 0)
        m_remoteLink->stop();
}

void Configuration::forwardSpeed(int wpm)
{
    if (m_remoteLink->up(ManagerRemote::Client))
        m_remoteLink->client->send(RemoteWire::withSpeed(RemoteWire::SetSpeed, wpm));
}

void Configuration::forwardStateCode(char code)
{
    if (m_terminal->onAirShown() && m_remoteLink->up(ManagerRemote::Client))
        m_remoteLink->client->send(QByteArray(1, code));
}

void Configuration::forwardKeyboardEcho(char code)
{
    if (m_remoteLink->up(ManagerRemote::Client))
        m_remoteLink->client->send(QByteArray(1, code));
    else if (m_remoteLink->up(ManagerRemote::Simulator))
        m_remoteLink->simulate(QString());
}

void Configuration::forwardText(const QString &, char keyed)
{
    // A server forwards nothing; what its keyer keys makes room for more.
    if (m_remoteLink->up(ManagerRemote::Server)) {
        m_remoteLink->server->keyerKeyed();
        return;
    }
    if (!m_terminal->onAirShown())
        return;
    // The keyer's own character, not the monitor's form of it: "+" rather
    // than "<ar> ", which the other keyer would take for an erase and three
    // more characters.
    if (m_remoteLink->up(ManagerRemote::Client)) {
        m_remoteLink->client->send(QByteArray(1, keyed));
    } else if (m_remoteLink->up(ManagerRemote::Simulator)) {
        // The other program gets the keyer's character too, translated by
        // remote.txt: "0" and not the monitor's slashed zero, "+" and not
        // "<ar> "; the Nordic letters as the letters they are.
        const QChar own{char16_t(quint8(keyed))};
        m_remoteLink->simulate(QString(m_nordic ? KeyerEventStream::nordicLetter(own) : own));
    }
}

void Configuration::forwardErase(int trailingSpaces)
{
    if (!m_terminal->onAirShown())
        return;
    if (m_remoteLink->up(ManagerRemote::Client)) {
        m_remoteLink->client->send(QByteArray(1, '<'));
    } else if (m_remoteLink->up(ManagerRemote::Simulator)) {
        for (int i = 0; i <= trailingSpaces; ++i)
            m_remoteLink->simulate(QString(QChar(8)));
    }
}

void Configuration::forwardBackspace()
{
    if (m_terminal->onAirShown() && m_remoteLink->up(ManagerRemote::Simulator))
        m_remoteLink->simulate(QString(QChar(8)));
}
