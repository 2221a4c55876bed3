// Keying from contest loggers: the cwdaemon-compatible UDP server and its
// way onto the Terminal tab's send path. Logger text is appended to the
// send buffer and goes out through Send Message, so the keyer gets the
// same send-character commands and acknowledgement waits as typed text.

#include "configuration.h"

#include "configurationtab.h"
#include "cwdaemonserver.h"
#include "settingsfieldsdialog.h"
#include "terminaltab.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTextCursor>

using namespace Qt::StringLiterals;

class ManagerCwDaemon : public QObject
{
public:
    explicit ManagerCwDaemon(Configuration *window);

    void setEnabled(bool on, bool fromOperator);
    void handle(const CwDaemonRequest &request, const QHostAddress &from);

    CwDaemonServer server;
    QCheckBox *cbxLoggerKeying;

private:
    // Why a request cannot be carried out now; empty when it can.
    QString refusal() const;
    void text(const QString &logged);
    void abort();
    void reset();
    void tune(int seconds);
    void setSpeed(int wpm);
    void note(const QString &what);

    Configuration &w;
    // A transmission that Send Message runs for the logger.
    bool m_sending = false;
    bool m_tuning = false;
    // The speed before the logger's first speed request; Reset returns to it.
    int m_operatorSpeed = 0;
    QTimer m_tuneEnd;
    QHash<QString, QDateTime> m_noted;
};

ManagerCwDaemon::ManagerCwDaemon(Configuration *window) : QObject(window), w(*window)
{
    cbxLoggerKeying = new QCheckBox(Configuration::tr("Logger keying"));
    cbxLoggerKeying->setObjectName(u"cbxLoggerKeying"_s);
    m_tuneEnd.setSingleShot(true);
    connect(&m_tuneEnd, &QTimer::timeout, this, [this] { tune(0); });
    // Queued: a request may start Send Message, whose waits must not run
    // inside the socket's read handler (it would not be called again).
    connect(&server, &CwDaemonServer::requested, this, &ManagerCwDaemon::handle, Qt::QueuedConnection);
    connect(cbxLoggerKeying, &QCheckBox::clicked, this, [this](bool on) { setEnabled(on, true); });
    // Right click: where the loggers' datagrams are taken.
    cbxLoggerKeying->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(cbxLoggerKeying, &QWidget::customContextMenuRequested, this, [this] {
        using Field = SettingsFieldsDialog::Field;
        using Kind = SettingsFieldsDialog::Kind;
        SettingsFieldsDialog dialog(
            w.m_settings, Configuration::tr("Logger keying"),
            {Field{u"LoggerKeyingAddress"_s, Configuration::tr("Address:"), Kind::HostAddress,
                   Configuration::tr("127.0.0.1: loggers on this computer only")},
             Field{u"LoggerKeyingPort"_s, Configuration::tr("UDP port:"), Kind::Port,
                   QString::number(CwDaemonServer::DefaultPort)}},
            &w);
        if (dialog.exec() == QDialog::Accepted)
            setEnabled(cbxLoggerKeying->isChecked(), false);
    });
}

void ManagerCwDaemon::setEnabled(bool on, bool fromOperator)
{
    const QString address = w.m_settings->setting(u"LoggerKeyingAddress"_s, {}).trimmed();
    const int port = w.m_settings->intSetting(u"LoggerKeyingPort"_s, CwDaemonServer::DefaultPort);
    const QString where = u"%1:%2"_s.arg(address.isEmpty() ? u"127.0.0.1"_s : address).arg(port);
    QString failure;
    if (!on) {
        abort();
        server.stop();
    } else if (port < 1 || port > 65535) {
        failure = Configuration::tr("Logger keying: %1 is no UDP port.").arg(port);
    } else if (!server.start(address, quint16(port))) {
        failure = Configuration::tr("Logger keying could not start: %1").arg(server.errorString());
    }
    const bool running = on && failure.isEmpty();
    cbxLoggerKeying->setChecked(running);
    cbxLoggerKeying->setToolTip(
        running ? Configuration::tr("Contest loggers key the keyer through UDP %1 (cwdaemon protocol); right click to "
                                    "change").arg(where)
                : Configuration::tr("Let contest loggers key the keyer through UDP %1 (cwdaemon protocol); right "
                                    "click to change").arg(where));
    if (fromOperator)
        w.m_settings->setSetting(u"LoggerKeying"_s, running ? 1 : 0);
    if (!failure.isEmpty()) {
        note(failure);
        if (fromOperator)
            w.message(QMessageBox::Critical, failure);
    }
}

QString ManagerCwDaemon::refusal() const
{
    if (!w.m_link.isOpen())
        return u"no keyer connected"_s;
    if (w.m_transferBusy || w.m_link.receiveThreshold() == 0 || w.m_configurationTab->configurationLoad())
        return u"a transfer with the keyer runs"_s;
    if (w.m_sender.busy() && !m_sending)
        return u"the operator's message is going out"_s;
    if (w.m_terminal->editMode())
        return u"a logged QSO is being edited"_s;
    return {};
}

void ManagerCwDaemon::handle(const CwDaemonRequest &request, const QHostAddress &from)
{
    using Kind = CwDaemonRequest::Kind;
    if (request.kind == Kind::Ignored)
        return;
    if (request.kind == Kind::Invalid) {
        note(u"%1: request not understood (ignored)"_s.arg(from.toString()));
        return;
    }
    if (const QString reason = refusal(); !reason.isEmpty()) {
        if (request.kind == Kind::Text)
            server.textRefused();
        note(u"%1: refused (%2)"_s.arg(from.toString(), reason));
        return;
    }
    switch (request.kind) {
    case Kind::Text:
        text(request.text);
        break;
    case Kind::Speed:
        setSpeed(request.value);
        break;
    case Kind::Abort:
        abort();
        break;
    case Kind::Reset:
        reset();
        break;
    case Kind::Tune:
        tune(request.value);
        break;
    default:
        break;
    }
}

void ManagerCwDaemon::text(const QString &logged)
{
    QPlainTextEdit *box = w.m_terminal->sendBuffer();
    // Each datagram is keyed as a word of its own, as cwdaemon keys it:
    // "K1XYZ" then "PURRING" are not one word.
    const QString before = box->toPlainText();
    const bool joined = !before.isEmpty() && !before.back().isSpace() && !logged.isEmpty() && !logged.front().isSpace();
    const QString text = joined ? u' ' + logged : logged;
    const qsizetype length = box->toPlainText().size();
    const qsizetype waiting = length - qMax<qsizetype>(1, w.m_sender.pointer()) + 1;
    if (!m_sending && waiting > 0) {
        // Send Message would key the operator's own text first.
        server.textRefused();
        note(u"refused (the send buffer holds text not yet sent)"_s);
        return;
    }
    if (waiting + text.size() > CwDaemonRequest::MaxWaiting) {
        server.textRefused();
        note(u"text dropped (more than %1 characters waiting)"_s.arg(CwDaemonRequest::MaxWaiting));
        return;
    }
    server.textAccepted();
    if (text.isEmpty()) {
        if (!m_sending)
            server.textKeyed();
        return;
    }
    if (m_tuning)
        tune(0);
    const bool running = m_sending;
    m_sending = true;
    QTextCursor end = box->textCursor();
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    if (running)
        return; // the running transmission takes it from the send buffer
    // Immediate mode may have sent it already while it was inserted.
    if (w.m_sender.pointer() <= box->toPlainText().size())
        w.m_sender.send();
    m_sending = false;
    if (!w.m_sender.cancelled() && w.m_sender.pointer() > box->toPlainText().size()) {
        server.textKeyed();
        return;
    }
    // Aborted, or the keyer failed: logger text that came meanwhile is not
    // keyed later as if the operator had typed it.
    w.m_sender.setPointer(box->toPlainText().size() + 1);
    server.textDropped();
}

void ManagerCwDaemon::abort()
{
    if (m_tuning)
        tune(0);
    server.textDropped();
    if (!m_sending)
        return;
    // The stop path: the keyer drops what it holds, nothing left to send,
    // and the running wait ends.
    w.m_sender.cancel();
}

void ManagerCwDaemon::reset()
{
    abort();
    if (m_operatorSpeed > 0)
        setSpeed(std::exchange(m_operatorSpeed, 0));
}

void ManagerCwDaemon::setSpeed(int wpm)
{
    if (m_operatorSpeed == 0)
        m_operatorSpeed = w.keyerSpeed();
    w.m_link.write(keyerCommand(KeyerCommand::SetSpeed, char(wpm)));
    // The keyer does not report a speed it was set to: show it here.
    w.speedReported(wpm);
}

void ManagerCwDaemon::tune(int seconds)
{
    m_tuneEnd.stop();
    if (seconds > 0 && !w.m_terminal->tuneLatched() && !m_sending) {
        w.btnTune_MouseDown(true);
        m_tuning = true;
        m_tuneEnd.start(seconds * 1000);
    } else if (seconds == 0 && m_tuning) {
        m_tuning = false;
        if (w.m_terminal->tuneLatched())
            w.btnTune_MouseDown(true);
    }
}

void ManagerCwDaemon::note(const QString &what)
{
    // One line per kind of note a minute: a flood must not flood the monitor.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto last = m_noted.constFind(what);
    if (last != m_noted.constEnd() && last->secsTo(now) < 60)
        return;
    if (m_noted.size() > 256)
        m_noted.clear();
    m_noted.insert(what, now);
    if (w.m_terminal->monitorLength() > KeyerEventStream::MonitorLimit)
        return;
    w.m_terminal->monitorNewLine();
    w.m_terminal->monitorAppend(u"[Logger keying %1 UTC: %2]"_s.arg(now.toString(u"HH:mm:ss"_s), what));
    w.m_terminal->monitorNewLine();
}

void Configuration::wireCwDaemon(QHBoxLayout *header)
{
    m_cwDaemon = new ManagerCwDaemon(this);
    header->insertWidget(header->count() - 1, m_cwDaemon->cbxLoggerKeying);
    m_cwDaemon->setEnabled(m_settings->intSetting(u"LoggerKeying"_s, 0) == 1, false);
}
