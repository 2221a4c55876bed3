// The Terminal tab's operations of the manager's main window: sending
// typed text, QSO entry and the monitor functions.

#include "configuration.h"

#include "auditfile.h"
#include "callsign.h"
#include "configurationtab.h"
#include "desktopopen.h"
#include "keyererror.h"
#include "manualwindow.h"
#include "profilestore.h"
#include "qsopanel.h"
#include "sendtext.h"
#include "smarttext.h"
#include "softwaretab.h"
#include "terminalstate.h"
#include "terminaltab.h"
#include "userstab.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Keypad function 26, the keyer's command key; code 30 stores the record.
constexpr char CommandKey = 26;
constexpr char StoreRecord = 30;
constexpr int ToggleUserNotAcknowledged = 2009;

QByteArray keypad(int key)
{
    return keyerCommand(KeyerCommand::KeypadFunction, char(key));
}

QByteArray character(char c)
{
    return keyerCommand(KeyerCommand::SendCharacter, c);
}

} // namespace

void Configuration::wireTerminal()
{
    TerminalTab *t = m_terminal;
    connect(t, &TerminalTab::clearMonitorClicked, this, [this] {
        m_terminal->monitorClear();
        m_terminal->focusSendBuffer();
    });
    connect(t, &TerminalTab::saveMonitorClicked, this, &Configuration::saveMonitor);
    connect(t, &TerminalTab::reviewMonitorClicked, this, &Configuration::reviewMonitor);
    connect(t, &TerminalTab::clearSendBufferClicked, this, [this] { clearSendBuffer(true); });
    connect(t, &TerminalTab::sendMessageClicked, this, &Configuration::btnSendMessage_Click);
    connect(t, &TerminalTab::sendBufferEdited, this, [this] {
        // Immediate mode: what is typed goes out at once.
        if (m_terminal->sendImmediate() && !(m_record.optionWord & Option::SSB) && m_terminal->onAirShown()
            && m_terminal->sendBuffer()->toPlainText().size() >= m_sender.pointer())
            m_sender.send();
    });
    // The send pointer keeps to its character whatever is edited before it.
    connect(t->sendBuffer()->document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) { m_sender.textChanged(position, removed, added); });
    connect(t, &TerminalTab::sendImmediateClicked, this, [this] {
        refreshTerminal();
        m_terminal->focusSendBuffer();
    });
    connect(t, &TerminalTab::checkCallClicked, this, &Configuration::btnCheckCall_Click);
    connect(t, &TerminalTab::logQsoClicked, this, &Configuration::btnLogQSO_Click);
    connect(t, &TerminalTab::deleteQsoClicked, this, &Configuration::btnDeleteQSO_Click);
    connect(t, &TerminalTab::undeleteRequested, this, &Configuration::btnUndelete_Click);
    connect(t, &TerminalTab::editQsoClicked, this, &Configuration::btnEditQSO_Click);
    connect(t, &TerminalTab::tunePressed, this, &Configuration::btnTune_MouseDown);
    connect(t, &TerminalTab::bandChosen, this, &Configuration::instantBand);
    connect(t, &TerminalTab::modeChosen, this, &Configuration::instantMode);
    connect(t, &TerminalTab::handKeyClicked, m_configurationTab, &ConfigurationTab::chooseHandKey);
    connect(t, &TerminalTab::autoLoggingClicked, this, [this](bool on) {
        m_configurationTab->chooseAutoLogging(on);
        m_terminal->focusSendBuffer();
    });
    connect(t, &TerminalTab::serialNumberLeft, this, &Configuration::serialNumberLeft);
    connect(t, &TerminalTab::millKeyboardRequested, this, &Configuration::setMillKeyboard);
    connect(t, &TerminalTab::fontSizeChanged, this, [this](double points) {
        m_settings->setSetting(u"MonitorFontSize"_s, QString::number(points));
    });
    connect(t->qsoPanel(), &QsoPanel::noteEdited, this, [this](const QString &call, const QString &note) {
        if (call.trimmed().isEmpty() || !m_specialNotes.setNote(call, note))
            return;
        QString error;
        if (!m_specialNotes.save(CallNotes::fileName(), &error))
            message(QMessageBox::Critical, error);
        m_terminal->qsoPanel()->showNote(m_specialNotes.lookUp(call));
    });
    connect(m_configurationTab, &ConfigurationTab::ssbChanged, this, [this] { refreshTerminal(); });
    connect(m_configurationTab, &ConfigurationTab::contestModeChanged, this, [this](bool on) {
        m_terminal->showSerialNumber(m_record.serialNumber, on);
    });
    // A long session's oldest monitor lines go to this year's audit file.
    m_terminal->setMonitorSpill([this](const QString &lines) {
        const int year = QDateTime::currentDateTimeUtc().date().year();
        return AuditFile::append(u"Audit"_s, u"krv"_s, year, m_utc->text(), lines).isEmpty();
    });
    // Keys reach the window before the focused control.
    qApp->installEventFilter(this);
}

bool Configuration::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this || m_closing)
        return QMainWindow::eventFilter(watched, event);
    if (m_ctrlTap.take(event)) {
        execute(KeyCommands::decideCtrlTap(keyState()), nullptr, nullptr);
        return false;
    }
    // Each key once: for the focus widget, inside this window, not in a dialog.
    if (event->type() == QEvent::KeyPress && widget == QApplication::focusWidget())
        return keyDown(static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event);
}

// --- State --------------------------------------------------------------

void Configuration::refreshTerminal()
{
    QsoPanel *panel = m_terminal->qsoPanel();
    TerminalState state;
    state.editMode = m_terminal->editMode();
    state.ssb = m_record.optionWord & Option::SSB;
    state.sendImmediate = m_terminal->sendImmediate();
    state.millKeyboard = m_terminal->millKeyboard();
    state.callShown = !panel->call().trimmed().isEmpty();
    state.infoEndsInSsb = panel->info().endsWith(u"SSB"_s);
    QPlainTextEdit *box = m_terminal->typingBox();
    QTextCursor end = box->textCursor();
    end.movePosition(QTextCursor::End);
    box->setTextCursor(end);
    if (m_currentScreen == TerminalPage + 1 && m_tabs->currentIndex() == TerminalPage)
        box->setFocus();
    m_terminal->applyButtons(terminalButtons(state));
}

QString Configuration::lastWord() const
{
    QPlainTextEdit *box = m_terminal->typingBox();
    return CallSign::lastWord(box->toPlainText(), box->textCursor().position());
}

QString Configuration::ownCall() const
{
    const bool user2 = m_record.optionWord & Option::User2;
    const QString section = u"PROFILE"_s + numberText(m_record.profileIndex);
    return m_settings->value(section, user2 ? u"CALL2"_s : u"CALL1"_s, {}).trimmed();
}

// --- MessageSenderHost --------------------------------------------------

QString Configuration::sendBufferText() const
{
    return m_terminal->sendBuffer()->toPlainText();
}

void Configuration::transmissionStarted()
{
    m_terminal->showOnAir();
    QPlainTextEdit *box = m_terminal->sendBuffer();
    box->setFocus();
    QTextCursor end = box->textCursor();
    end.movePosition(QTextCursor::End);
    box->setTextCursor(end);
}

void Configuration::setSending(bool sending)
{
    // The other tabs rest; this one stays, or the send buffer would lose
    // the focus and the operator could not type on during the message.
    for (int page = 0; page < m_tabs->count(); ++page) {
        if (page != m_tabs->currentIndex())
            m_tabs->tabBar()->setTabEnabled(page, !sending);
    }
    const bool ssb = m_record.optionWord & Option::SSB;
    const bool editing = m_terminal->editMode();
    m_terminal->setSending(sending, ssb, editing);
    // While a radio is connected, it alone chooses band and mode.
    const bool radio = m_record.optionWord & Option::RadioConnected;
    if (radio)
        m_terminal->setBandControlsEnabled(false);
    m_configurationTab->setBandControlsEnabled(!sending && !editing && !radio);
    if (!sending)
        m_terminal->focusSendBuffer();
}

bool Configuration::editMode() const
{
    return m_terminal->editMode();
}

void Configuration::sentRst()
{
    const QString word = lastWord();
    if (!word.isEmpty())
        sendKeyboard(u' ' + word.toUpper() + u' ');
}

bool Configuration::autoLogging() const
{
    return !(m_record.optionWord & Option::AutoLoggingOff);
}

bool Configuration::callShown() const
{
    return !m_terminal->qsoPanel()->call().trimmed().isEmpty();
}

void Configuration::qsoLogged()
{
    qsoStored();
}

int Configuration::keyerSpeed() const
{
    const int wpm = m_record.currentSpeed.toInt();
    return wpm > 0 ? wpm : 20;
}

bool Configuration::millKeyboard() const
{
    return m_terminal->millKeyboard();
}

void Configuration::sendFailed(const QString &text)
{
    message(QMessageBox::Critical, text);
}

void Configuration::unsentLeft(qsizetype from)
{
    m_terminal->markUnsent(from - 1);
}

// --- Event stream -------------------------------------------------------

void Configuration::releaseTune()
{
    // A latched Tune is released by whatever the keyer says next.
    if (m_terminal->tuneLatched())
        m_terminal->setTuneLatched(false);
}

void Configuration::recordForEditing()
{
    if (m_terminal->millKeyboard())
        m_terminal->monitorNewLine();
    m_terminal->setEditMode(true);
    m_terminal->qsoPanel()->clearContact();
}

void Configuration::qsoStored()
{
    QsoPanel *panel = m_terminal->qsoPanel();
    panel->clearContact();
    m_keyboardText.clear();
    m_terminal->setScrollEnabled(true);
    m_terminal->setTuneEnabled(true);
    m_terminal->setEditMode(false);
    const bool bands = !(m_record.optionWord & Option::RadioConnected) && !m_sender.busy();
    m_terminal->setBandControlsEnabled(bands);
    m_configurationTab->setBandControlsEnabled(bands);
    panel->setEditCaption(false);
    m_terminal->setDeleteCaption(TerminalTab::DeleteCaption::LastQso);
    refreshTerminal();
    m_link.setReceiveThreshold(1);
}

void Configuration::callReported(const CallReport &report)
{
    QsoPanel *panel = m_terminal->qsoPanel();
    panel->setInfo({});
    if (report.hasDot) {
        // A deleted record's call starts with "-".
        const QString country = report.call.startsWith(u'-') ? u"Deleted Log Entry"_s
                                                             : m_countries.country(report.call);
        panel->showCall(report.call, country);
        panel->showNote(m_specialNotes.lookUp(report.call));
        panel->setInfo(report.info);
        refreshTerminal();
    }
    // Outside edit mode the same button looks for an earlier QSO with the
    // station reported.
    const bool editing = m_terminal->editMode();
    panel->setEditCaption(editing);
    m_terminal->setDeleteCaption(editing ? TerminalTab::DeleteCaption::ThisQso
                                         : TerminalTab::DeleteCaption::PreviousQso);
}

void Configuration::endOfMessage()
{
    if (!m_sender.busy())
        return;
    m_sender.setPointer(m_sender.pointer() - 2);
    if (m_terminal->sendImmediate()) {
        clearSendBuffer(false);
        m_sender.setPointer(0);
    }
}

// --- Operations ---------------------------------------------------------

void Configuration::sendKeyboard(const QString &text)
{
    if (text.isEmpty())
        return;
    m_link.write(QByteArray(1, KeyerCommand::KeyboardEntry));
    Wait(50);
    m_link.write(QByteArray(1, KeyerCommand::StartOfText));
    m_keyboardText.clear();
    const bool mill = m_terminal->millKeyboard();
    for (const QChar c : text) {
        m_link.write(character(char(SendText::keyerByte(c, mill))));
        m_keyboardText += c;
        Wait(50);
    }
    m_link.write(QByteArray(1, KeyerCommand::EndOfText));
}

void Configuration::btnCheckCall_Click()
{
    if (m_sender.busy())
        return;
    m_terminal->focusSendBuffer();
    const QString word = lastWord().left(13).toUpper();
    if (word.isEmpty())
        return;
    sendKeyboard(word);
    QsoPanel *panel = m_terminal->qsoPanel();
    panel->showCall(m_keyboardText, m_countries.country(m_keyboardText));
    panel->showNote(m_specialNotes.lookUp(m_keyboardText));
    panel->setInfo({});
    m_link.write(keypad(13));
    refreshTerminal();
}

void Configuration::btnLogQSO_Click()
{
    if (m_sender.busy())
        return;
    m_terminal->focusSendBuffer();
    m_link.write(character(StoreRecord));
}

void Configuration::btnMinus_Click()
{
    if (m_currentScreen != TerminalPage + 1)
        return;
    releaseTune();
    if (m_dataEntry != KeyCommands::DataEntry::None)
        m_terminal->qsoPanel()->clearDataEntry();
    else if (m_terminal->editMode())
        btnLogQSO_Click();
    else
        keypadFunction(u'-');
}

void Configuration::btnDeleteQSO_Click()
{
    m_terminal->focusSendBuffer();
    if (m_sender.busy() || m_record.qsoCount < 1)
        return;
    const QString call = m_terminal->qsoPanel()->call().trimmed();
    QString question;
    if (call.isEmpty())
        question = u"Do you really want to delete the last QSO?"_s;
    else if (m_terminal->editMode() && !call.startsWith(u'-'))
        question = u"Do you really want to delete this QSO?"_s;
    if (!question.isEmpty()
        && message(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    m_link.write(keypad(CommandKey));
    Wait(50);
    m_link.write(character('<'));
}

void Configuration::btnUndelete_Click()
{
    m_link.write(keypad(CommandKey));
    Wait(50);
    m_link.write(character('U'));
    m_terminal->focusSendBuffer();
}

void Configuration::btnEditQSO_Click()
{
    if (m_record.qsoCount == 0 || m_sender.busy())
        return;
    m_terminal->focusSendBuffer();
    m_terminal->qsoPanel()->clearContact();
    if (!m_link.SendCommand('Q'))
        message(QMessageBox::Critical, communicationFailedMessage(2017, u'B'));
    m_link.setReceiveThreshold(1);
}

void Configuration::btnTune_MouseDown(bool leftButton)
{
    if (!m_terminal->tuneLatched()) {
        m_link.write(keypad(CommandKey));
        Wait(100);
        m_link.write(character(leftButton ? 'T' : 'P'));
        m_terminal->setTuneLatched(true);
    } else {
        m_link.write(keypad(CommandKey));
        m_terminal->setTuneLatched(false);
    }
    m_terminal->focusSendBuffer();
}

void Configuration::clearSendBuffer(bool fromButton)
{
    m_terminal->clearSendBuffer();
    m_sender.setPointer(1);
    if (fromButton) {
        m_link.write(character(' '));
        m_terminal->sendBuffer()->setFocus();
    } else if (m_tabs->currentIndex() == TerminalPage) {
        m_terminal->focusSendBuffer();
    }
}

void Configuration::keypadFunction(QChar key)
{
    m_link.write(keypad(key.unicode()));
}

void Configuration::instantBand(int index)
{
    m_configurationTab->chooseBand(index);
    if (!m_configurationTab->configurationLoad()) {
        SendConfig();
        Wait(200);
    }
    if (isActiveWindow())
        m_terminal->focusSendBuffer();
}

void Configuration::instantMode(int index)
{
    m_configurationTab->chooseSsb(index == 1);
    if (!m_configurationTab->configurationLoad()) {
        SendConfig();
        Wait(200);
    }
    m_terminal->focusSendBuffer();
}

void Configuration::serialNumberLeft()
{
    QLineEdit *box = m_terminal->serialNumberBox();
    bool ok = false;
    const double value = box->text().trimmed().toDouble(&ok);
    if (!ok || value < 0 || value > 999999) {
        message(QMessageBox::Critical, u"Serial number must be 0 through 999999"_s);
        box->setFocus();
        return;
    }
    m_record.serialNumber = qint32(value);
    m_configurationTab->showRecord();
}

void Configuration::setMillKeyboard(bool on)
{
    m_terminal->setMillKeyboard(on);
    m_settings->setSetting(u"MillKeyboard"_s, on ? u"1"_s : u"0"_s);
    refreshTerminal();
}

void Configuration::saveMonitor()
{
    const QString text = m_terminal->monitorText();
    if (text.size() >= 2) {
        const int year = QDateTime::currentDateTimeUtc().date().year();
        const QString error = AuditFile::append(u"Audit"_s, u"krv"_s, year, m_utc->text(), text);
        if (!error.isEmpty()) {
            // The monitor keeps its text when it could not be saved.
            message(QMessageBox::Critical, tr("The monitor text could not be saved: %1").arg(error));
            return;
        }
        message(QMessageBox::Information, u"Monitor contents saved in "_s + AuditFile::fileName(u"krv"_s, year));
    }
    m_terminal->monitorClear();
    m_terminal->focusSendBuffer();
}

void Configuration::reviewMonitor()
{
    QDir().mkpath(u"Audit"_s);
    const QString file = QFileDialog::getOpenFileName(this, u"Select Audit File"_s, u"Audit"_s,
                                                      u"Audit File (krv*.txt)"_s);
    if (!file.isEmpty())
        DesktopOpen::open(this, file);
}

void Configuration::startDataEntry(KeyCommands::DataEntry mode, const QString &caption)
{
    m_dataEntry = mode;
    m_terminal->qsoPanel()->startDataEntry(caption);
}

void Configuration::finishDataEntry()
{
    m_dataEntry = KeyCommands::DataEntry::None;
    const QString value = m_terminal->qsoPanel()->finishDataEntry();
    sendKeyboard(value);
    m_terminal->focusSendBuffer();
}

void Configuration::messageKey(QChar key)
{
    if (m_sender.busy()) {
        m_terminal->insertIntoSendBuffer(QString(QChar(0xA4)) + key);
        return;
    }
    const int textLength = int(m_terminal->sendBuffer()->toPlainText().size());
    const bool millPending = m_terminal->millKeyboard() && textLength > m_sender.pointer()
        && (!m_terminal->sendImmediate() || !m_terminal->onAirShown());
    if (millPending || m_firstKeyMarker) {
        sendKeyboard(lastWord().toUpper());
        m_firstKeyMarker = false;
        Wait(200);
    }
    keypadFunction(key);
}

void Configuration::toggleUser()
{
    try {
        m_link.write(QByteArray(1, KeyerCommand::ToggleUser));
        m_link.ReceiveCount(1);
        if (m_link.linkStatus != KeyerLink::Arrived)
            throw KeyerError(ToggleUserNotAcknowledged);
    } catch (const KeyerError &error) {
        m_link.setReceiveThreshold(1);
        message(QMessageBox::Critical, communicationFailedMessage(error.number(), u'P'));
        return;
    }
    // The acknowledgement is the keyer's; anything behind it is the event stream's.
    m_link.pushBack(m_link.rxBuffer.mid(1));
    m_link.setReceiveThreshold(1);
    if (m_record.optionWord & Option::ContestMode) {
        keypadFunction(u'/');
        if (callShown())
            startDataEntry(KeyCommands::DataEntry::Serial, u"Serial #:"_s);
    }
}

void Configuration::receivedReport()
{
    if (m_terminal->qsoPanel()->info().contains(u" SSB"_s))
        startDataEntry(KeyCommands::DataEntry::Rs, u"Recvd RS:"_s);
    else
        startDataEntry(KeyCommands::DataEntry::Rst, u"Recvd RST:"_s);
    keypadFunction(u'*');
}

void Configuration::showHelp(bool shift)
{
    // Each tab's section of the manual, in tab order.
    static const QString sections[] = {u"terminal-tab"_s, u"configuration-tab"_s, u"users-tab"_s,
                                       u"logbook-tab"_s, u"software-tab"_s};
    const QString section = sections[qBound(0, m_tabs->currentIndex(), int(std::size(sections)) - 1)];
    // The short help of a tab; its Help button goes on to the manual.
    const auto summary = [this, &section](const QString &text) {
        if (message(QMessageBox::Information, text, QMessageBox::Ok | QMessageBox::Help, QMessageBox::Ok)
            == QMessageBox::Help)
            ManualWindow::open(this, u"krv"_s, section);
    };
    if (m_tabs->currentIndex() == TerminalPage) {
        summary(u"Esc\t= Toggle Keying\r\n\r\nKeypad Functions:\r\n\r\nNumLock\t= SSB: Sent RS\r\n/\t= Toggle User "
                "(Contest Mode: Received Number)\r\n*\t= received RS(T)\r\n-\t= Clear Log Record (Edit mode: Save "
                "Record)\r\n+\t= Record Name/QTH/Info\r\n.\t= Send Call / Stop and Resume Message\r\n\t    (SSB: Start "
                "Id Timer)\r\nEnter\t= Record and Check Call\r\n0...9\t= Start Message\r\n\r\nProsign Characters:\r\n\r\n"
                "#\t= <sk>\r\n(\t= <kn>\r\n%\t= <ka>\r\n+\t= <ar>\r\n=\t= <bt>\r\n>\t= <bk>\r\n^\t= <ve>\r\n&\t= <as>"_s);
        return;
    }
    if (m_tabs->currentIndex() == UsersPage) {
        summary(UsersTab::messageLanguageHelp());
        return;
    }
    // A PDF manual the operator put into Docs comes first.
    const QString pdf = QDir::current().filePath(shift ? u"Docs/Dashwright.pdf"_s : u"Docs/DashwrightManager.pdf"_s);
    if (QFileInfo::exists(pdf)) {
        DesktopOpen::open(this, pdf);
        return;
    }
    if (shift) {
        const QString where = tr("The keyer's own manual is not installed. Put it at %1 and Shift+F1 opens it.");
        ManualWindow::open(this, u"krv"_s, u"keyer-commands-and-prosigns"_s, where.arg(pdf));
    } else {
        ManualWindow::open(this, u"krv"_s, section);
    }
}

QString Configuration::smartText(int key) const
{
    // The profile loaded in the keyer, whatever the Users tab shows.
    const ProfileStore profiles(*m_settings);
    const int profile = m_record.profileIndex;
    const QString user = m_record.optionWord & Option::User2 ? u"2"_s : u"1"_s;
    const QsoPanel *panel = m_terminal->qsoPanel();
    const SmartText::Context context{panel->call(), panel->info(), profiles.value(profile, u"CALL"_s + user),
                                     profiles.value(profile, u"NAME"_s + user)};
    return SmartText::typed(SmartText::expand(profiles.smartText(key), context), m_terminal->millKeyboard());
}
