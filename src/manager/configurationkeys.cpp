// The keyboard on the Terminal tab: every key reaches the main window
// first; keyboard commands are carried out here, typed characters filtered.

#include "configuration.h"

#include "keyererror.h"
#include "qsopanel.h"
#include "sendtext.h"
#include "terminaltab.h"

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
    const KeyCommands::Decision decision = KeyCommands::decide(event->key(), event->modifiers(), keyState());
    bool consumed = true;
    execute(decision, event, &consumed);
    return consumed;
}

void Configuration::execute(const KeyCommands::Decision &d, QKeyEvent *event, bool *consumed)
{
    using KeyCommands::Command;
    switch (d.command) {
    case Command::Pass:
        if (m_terminal->millKeyboard() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter))
            m_firstKeyMarker = false; // the mill keyboard's line ends
        *consumed = m_tabs->currentIndex() == TerminalPage && typedCharacter(event);
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
        m_terminal->insertIntoSendBuffer(d.text);
        return;
    case Command::StoreRecordNow:
        m_link.write(keyerCommand(KeyerCommand::SendCharacter, 30)); // store the record now
        return;
    case Command::Escape:
        if (m_terminal->tuneLatched())
            btnTune_MouseDown(true);
        if (!m_sender.busy())
            keypadFunction(QChar(27));
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
            m_terminal->insertIntoSendBuffer(text + u' ');
        return;
    case Command::ScrollEdit:
        btnEditQSO_Click();
        return;
    case Command::TakeBack:
        keypadFunction(u'<');
        m_terminal->monitorChop(1);
        m_sender.setPointer(m_sender.pointer() - 1);
        *consumed = false;
        return;
    case Command::FinishDataEntry:
        finishDataEntry();
        return;
    }
}

// Typed characters: "<" and "¤" are reserved for the keyer's codes, text
// goes to the keyer in upper case, and the mill keyboard writes a slashed
// zero. Returns whether the key was handled here.
bool Configuration::typedCharacter(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return false;
    const QChar c = text.at(0);
    if (c == u'<' || c == QChar(SendText::Escape))
        return true;
    QWidget *focus = QApplication::focusWidget();
    if (focus == m_terminal->qsoPanel()->noteBox())
        return false;
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
    if (auto *line = qobject_cast<QLineEdit *>(focus)) {
        line->insert(typed);
        return true;
    }
    if (auto *box = qobject_cast<QPlainTextEdit *>(focus); box && !box->isReadOnly()) {
        box->insertPlainText(typed);
        box->ensureCursorVisible();
        return true;
    }
    return false;
}
