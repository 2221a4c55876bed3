#include "keycommands.h"

#include "sendtext.h"

using namespace Qt::StringLiterals;

namespace KeyCommands {

namespace {

// The keypad's digit under its navigation name (NumLock off).
int keypadDigit(int key, bool keypad)
{
    if (!keypad)
        return -1;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    static constexpr int twins[] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Left,
                                    Qt::Key_Clear,  Qt::Key_Right, Qt::Key_Home, Qt::Key_Up,       Qt::Key_PageUp};
    for (int digit = 0; digit < 10; ++digit) {
        if (twins[digit] == key)
            return digit;
    }
    return -1;
}

Decision command(Command c)
{
    return Decision{c, {}, {}, 0};
}

Decision insert(const QString &text)
{
    return Decision{Command::Insert, {}, text, 0};
}

Decision keypadFunction(QChar key)
{
    return Decision{Command::KeypadFunction, key, {}, 0};
}

QString escaped(QChar letter)
{
    return QString(QChar(SendText::Escape)) + letter;
}

bool acceptedInDataEntry(int key, bool keypad, DataEntry entry)
{
    switch (key) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_End: case Qt::Key_Home:
    case Qt::Key_Insert: case Qt::Key_Clear: case Qt::Key_Enter: case Qt::Key_Return:
    case Qt::Key_Backspace:
        return true;
    case Qt::Key_Minus:
        return keypad;
    case Qt::Key_Delete:
        return entry == DataEntry::Rst;
    case Qt::Key_Plus: case Qt::Key_Asterisk: case Qt::Key_Period: case Qt::Key_Slash:
        return keypad && entry == DataEntry::Rst;
    default:
        return key >= Qt::Key_0 && key <= Qt::Key_9;
    }
}

} // namespace

Decision decide(int key, Qt::KeyboardModifiers modifiers, const KeyState &state)
{
    if (key == Qt::Key_F1)
        return command(Command::Help);
    // Esc stops a message wherever the caret is: in the note box, in a
    // report being entered.
    if (key == Qt::Key_Escape && state.sending)
        return command(Command::Escape);
    if (!state.terminalTab)
        return command(Command::Pass);
    if (state.keyboardSimulator)
        return command(Command::Swallow);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (state.noteFocused)
        return command(enter ? Command::FocusSendBuffer : Command::Pass);

    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    if (key == Qt::Key_CapsLock)
        return command(Command::ToggleMillKeyboard);
    if ((key == Qt::Key_Control && alt) || (key == Qt::Key_Alt && ctrl))
        return command(state.sendImmediateEnabled ? Command::ToggleSendImmediate : Command::Pass);
    // Ctrl alone is told on its release (decideCtrlTap): its press may
    // begin any Ctrl chord.
    if (key == Qt::Key_Control)
        return command(Command::Pass);
    if (state.sendBufferFull)
        return command(Command::MonitorFull);

    // With the "Ctrl" indicator on, the main keyboard stands in for the keypad.
    bool keypad = modifiers & Qt::KeypadModifier;
    if (state.keypadIndicator && !keypad) {
        static const struct { int from, to; } stand[] = {{Qt::Key_Equal, Qt::Key_Plus}, {Qt::Key_Minus, Qt::Key_Minus},
                                                          {Qt::Key_Period, Qt::Key_Period}, {Qt::Key_Slash, Qt::Key_Slash},
                                                          {Qt::Key_Comma, Qt::Key_Asterisk}};
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            keypad = true;
        for (const auto &s : stand) {
            if (key == s.from) {
                key = s.to;
                keypad = true;
            }
        }
    }
    const int digit = keypadDigit(key, keypad);

    if (state.dataEntry != DataEntry::None) {
        if (!acceptedInDataEntry(key, keypad, state.dataEntry))
            return command(Command::Beep);
        if (enter)
            return command(Command::FinishDataEntry);
        if (key == Qt::Key_Minus && keypad)
            return command(Command::KeypadMinus);
        return command(Command::Pass);
    }
    if (state.ssb && digit >= 0)
        return command(Command::Beep);
    if ((key == Qt::Key_PageUp || key == Qt::Key_PageDown) && !keypad && !ctrl && !alt)
        return Decision{Command::SpeedStep, {}, {}, key == Qt::Key_PageUp ? SpeedStepWpm : -SpeedStepWpm};

    if (key == Qt::Key_Backspace) {
        const bool takeBack = !state.millKeyboard && state.everythingSent && !state.sendBufferEmpty;
        return command(takeBack ? Command::TakeBack : Command::Pass);
    }
    if (enter) {
        const bool sendMessageOff = state.editMode ? state.infoEndsInSsb : (state.ssb || state.sendImmediate);
        if (ctrl || (!alt && sendMessageOff))
            return state.sending ? insert(escaped(u'E') + u' ') : command(Command::CheckCall);
        if (alt)
            return state.sending ? insert(escaped(u'#') + u' ') : command(Command::StoreRecordNow);
        if (state.sending)
            return command(Command::Swallow);
        if (state.editMode || !state.millKeyboard)
            return command(state.sendBufferEmpty ? Command::RecordAndCheckCall : Command::SendMessage);
        // The mill keyboard ends its line in the monitor.
        return command(Command::Pass);
    }
    if (key == Qt::Key_Escape)
        return command(Command::Escape);
    if (key == Qt::Key_NumLock)
        return command(state.ssb && state.infoHasSsb ? Command::ToggleKeyingSentRs : Command::ToggleKeying);
    if (digit >= 0)
        return Decision{Command::MessageKey, QChar(u'0' + digit), {}, 0};
    if (keypad && key == Qt::Key_Slash)
        return command(Command::ToggleUser);
    if (keypad && key == Qt::Key_Asterisk)
        return command(Command::ReceivedReport);
    if (keypad && key == Qt::Key_Minus)
        return command(Command::KeypadMinus);
    if (keypad && key == Qt::Key_Plus)
        return state.sending ? insert(escaped(u'+') + u' ') : keypadFunction(u'+');
    if (keypad && (key == Qt::Key_Period || key == Qt::Key_Delete))
        return keypadFunction(u'.');
    if (key >= Qt::Key_F2 && key <= Qt::Key_F12)
        return Decision{Command::SmartText, {}, {}, key - Qt::Key_F1 + 1};
    if (key == Qt::Key_ScrollLock)
        return command(Command::ScrollEdit);
    return command(Command::Pass);
}

Decision decideCtrlTap(const KeyState &state)
{
    if (!state.terminalTab || state.keyboardSimulator || state.noteFocused)
        return command(Command::Pass);
    return command(Command::ToggleKeypadIndicator);
}

} // namespace KeyCommands
