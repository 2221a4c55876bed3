// The keyboard on the Terminal tab: every key reaches the main window
// first; keyboard commands are carried out here, typed characters filtered.

#include "configuration.h"

#include "keyererror.h"
#include "qsopanel.h"
#include "sendtext.h"
#include "terminaltab.h"
#include "userstab.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype SendBufferLimit = 65501;

} // namespace

KeyCommands::KeyState Configuration::keyState() const
{
    KeyCommands::KeyState s;
    const QsoPanel *panel = m_terminal->qsoPanel();
    const QString text = m_terminal->sendBuffer()->toPlainText();
    s.terminalTab = m_tabs->currentIndex() == TerminalPage;
    s.keyboardSimulator = m_keyboardSimulatorOn;
    s.noteFocused = QApplication::focusWidget() == panel->noteBox();
    s.sendImmediateEnabled = m_terminal->findChild<QWidget *>(u"cbxSendImmediate"_s)->isEnabled();
    s.keypadIndicator = m_terminal->keypadIndicator();
    s.ssb = m_record.optionWord & Option::SSB;
    s.sendImmediate = m_terminal->sendImmediate();
    s.millKeyboard = m_terminal->millKeyboard();
    s.sending = m_sender.busy();
    s.editMode = m_terminal->editMode();
    s.infoEndsInSsb = panel->info().endsWith(u"SSB"_s);
    s.infoHasSsb = panel->info().contains(u" SSB"_s);
    s.sendBufferEmpty = text.isEmpty();
    s.sendBufferFull = text.size() >= SendBufferLimit;
    s.everythingSent = m_sender.pointer() > text.size();
    s.dataEntry = m_dataEntry;
    return s;
}

bool Configuration::keyDown(QKeyEvent *event)
{
    // Held modifiers repeat; a toggle must not.
    if (event->isAutoRepeat() && (event->key() == Qt::Key_Control || event->key() == Qt::Key_Alt))
        return true;
    if (stepTab(event))
        return true;
    // Esc stops a transfer with the keyer on any tab, as its Cancel does.
    if (event->key() == Qt::Key_Escape && (m_transferBusy || m_users->busy())) {
        m_link.cancel();
        m_link.port()->discardOutput();
        return true;
    }
    const KeyCommands::Decision decision = KeyCommands::decide(event->key(), event->modifiers(), keyState());
    bool consumed = true;
    execute(decision, event, &consumed);
    return consumed;
}

bool Configuration::stepTab(QKeyEvent *event)
{
    // Ctrl+Tab and Ctrl+PgDn go to the next tab the operator may open,
    // Ctrl+Shift+Tab and Ctrl+PgUp to the one before, from any control.
    if (!(event->modifiers() & Qt::ControlModifier) || (event->modifiers() & Qt::AltModifier))
        return false;
    int step = 0;
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_PageDown)
        step = event->modifiers() & Qt::ShiftModifier ? -1 : 1;
    else if (event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp)
        step = -1;
    if (step == 0)
        return false;
    const int count = m_tabs->count();
    for (int i = 1; i < count; ++i) {
        const int page = (m_tabs->currentIndex() + step * i + count) % count;
        if (m_tabs->isTabEnabled(page)) {
            chooseTab(page);
            m_tabs->setCurrentIndex(page);
            break;
        }
    }
    return true;
}

void Configuration::execute(const KeyCommands::Decision &d, QKeyEvent *event, bool *consumed)
{
    using KeyCommands::Command;
    switch (d.command) {
    case Command::Pass:
        if (!event)
            return;
        if (m_terminal->millKeyboard() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
            m_firstKeyMarker = false; // the mill keyboard's line ends
        if (m_tabs->currentIndex() != TerminalPage) {
            *consumed = false;
            return;
        }
        // What went to the keyer stays as it went.
        if (m_sender.busy() && QApplication::focusWidget() == m_terminal->sendBuffer()
            && m_terminal->refusesEdit(event, m_sender.pointer() - 1)) {
            QApplication::beep();
            return;
        }
        *consumed = typedCharacter(event);
        return;
    case Command::Swallow:
        return;
    case Command::Beep:
        QApplication::beep();
        return;
    case Command::Help:
        showHelp(event->modifiers() & Qt::ShiftModifier);
        return;
    case Command::FocusSendBuffer:
        m_terminal->sendBuffer()->setFocus();
        return;
    case Command::ToggleMillKeyboard:
        setMillKeyboard(!m_terminal->millKeyboard());
        return;
    case Command::ToggleSendImmediate:
        m_terminal->setSendImmediate(!m_terminal->sendImmediate());
        refreshTerminal();
        return;
    case Command::ToggleKeypadIndicator:
        m_terminal->setKeypadIndicator(!m_terminal->keypadIndicator());
        return;
    case Command::MonitorFull:
        monitorFull();
        return;
    case Command::SendMessage:
        m_sender.send();
        return;
    case Command::RecordAndCheckCall:
        keypadFunction(QChar(13));
        return;
    case Command::CheckCall:
        btnCheckCall_Click();
        return;
    case Command::Insert:
        m_terminal->insertIntoSendBuffer(d.text, lockedLength());
        return;
    case Command::StoreRecordNow:
        m_link.write(keyerCommand(KeyerCommand::SendCharacter, 30)); // store the record now
        return;
    case Command::Escape:
        if (m_terminal->tuneLatched())
            btnTune_MouseDown(true);
        // Esc stops what goes out now, whoever typed it; with nothing going
        // out it toggles the keying.
        if (m_sender.busy()) {
            m_sender.cancel();
            remoteEscape();
        } else if (!remoteEscape()) {
            keypadFunction(QChar(27));
        }
        return;
    case Command::ToggleKeying:
        keypadFunction(QChar(27));
        return;
    case Command::ToggleKeyingSentRs:
        keypadFunction(QChar(27));
        startDataEntry(KeyCommands::DataEntry::Rs, u"Sent RS:"_s);
        return;
    case Command::MessageKey:
        messageKey(d.key);
        return;
    case Command::ToggleUser:
        toggleUser();
        return;
    case Command::ReceivedReport:
        receivedReport();
        return;
    case Command::KeypadMinus:
        if (m_dataEntry != KeyCommands::DataEntry::None) {
            m_terminal->qsoPanel()->clearDataEntry();
        } else if (m_terminal->editMode()) {
            btnMinus_Click();
        } else {
            releaseTune();
            keypadFunction(u'-');
            Wait(100);
            clearSendBuffer(false);
        }
        return;
    case Command::KeypadFunction:
        keypadFunction(d.key);
        return;
    case Command::SmartText:
        if (const QString text = smartText(d.number); !text.isEmpty())
            m_terminal->insertIntoSendBuffer(text + u' ', lockedLength());
        return;
    case Command::ScrollEdit:
        btnEditQSO_Click();
        return;
    case Command::TakeBack:
        // The send buffer deletes its character next, and the send pointer
        // follows that edit back by one.
        keypadFunction(u'<');
        m_terminal->monitorChop(1);
        *consumed = false;
        return;
    case Command::FinishDataEntry:
        finishDataEntry();
        return;
    case Command::SpeedStep:
        stepSpeed(d.number);
        return;
    }
}

qsizetype Configuration::lockedLength() const
{
    return m_sender.busy() ? m_sender.pointer() - 1 : 0;
}

// PgUp and PgDn, and a contest logger's speed steps inside its text.
void Configuration::stepSpeed(int wpm)
{
    // At once, in the middle of a message too: the set-speed command is a
    // raw write that waits for nothing.
    const int speed = qBound(TerminalTab::MinSpeed, keyerSpeed() + wpm, TerminalTab::MaxSpeed);
    if (!m_link.isOpen() || speed == keyerSpeed())
        return;
    m_link.write(keyerCommand(KeyerCommand::SetSpeed, char(speed)));
    speedReported(speed);
    forwardSpeed(speed);
}

// Typed characters: "<" and "¤" are reserved for the keyer's codes, text
// goes to the keyer in upper case, and the mill keyboard writes a slashed
// zero. A character typed while a button or a list has the focus goes to
// the typing box: a space must not press the button. Returns whether the
// key was handled here.
bool Configuration::typedCharacter(QKeyEvent *event)
{
    const QString text = event->text();
    // Alt with a letter no button has is no typing (AltGr, where it comes
    // as Ctrl+Alt, is).
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (text.size() != 1 || !text.at(0).isPrint() || ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)))
        return false;
    const QChar c = text.at(0);
    if (c == u'<' || c == QChar(SendText::Escape))
        return true;
    QWidget *focus = QApplication::focusWidget();
    if (focus == m_terminal->qsoPanel()->noteBox())
        return false;
    auto *line = qobject_cast<QLineEdit *>(focus);
    auto *box = qobject_cast<QPlainTextEdit *>(focus);
    if (box && box->isReadOnly())
        box = nullptr;
    if (!line && !box) {
        box = m_terminal->typingBox();
        box->setFocus();
    }
    QString typed = c.toUpper();
    const bool mill = m_terminal->millKeyboard();
    if (mill) {
        if (typed == u"\u00D8"_s)
            typed = u"\u00F8"_s;
        if (typed == u"0"_s)
            typed = u"\u00D8"_s;
        if (m_dataEntry == KeyCommands::DataEntry::None && !m_terminal->editMode() && !m_firstKeyMarker) {
            m_terminal->monitorNewLine();
            m_firstKeyMarker = true;
        }
    }
    if (line) {
        line->insert(typed);
        return true;
    }
    box->insertPlainText(typed);
    box->ensureCursorVisible();
    return true;
}
