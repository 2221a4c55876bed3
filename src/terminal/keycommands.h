#pragma once

#include <QString>
#include <Qt>

// The PC keyboard as the operator's second keyer keyboard: what a key does
// on the Terminal tab, decided from the key and the state alone. The window
// carries the decision out.
namespace KeyCommands {

enum class DataEntry { None, Rst, Rs, Serial };

struct KeyState
{
    bool terminalTab = true;
    bool keyboardSimulator = false; // decoded text goes to another program
    bool noteFocused = false;
    bool sendImmediateEnabled = true;
    bool keypadIndicator = false;   // "Ctrl": the number row acts as the keypad
    bool ssb = false;
    bool sendImmediate = false;
    bool millKeyboard = false;
    bool sending = false;           // a message is going out
    bool editMode = false;
    bool infoEndsInSsb = false;
    bool infoHasSsb = false;        // the information line contains " SSB"
    bool sendBufferEmpty = true;
    bool sendBufferFull = false;    // 65501 characters or more
    bool everythingSent = false;    // the send pointer lies beyond the text
    DataEntry dataEntry = DataEntry::None;
};

enum class Command {
    Pass,               // not for us: the focused box gets the key
    Swallow,            // consumed, nothing to do
    Beep,               // refused in this state
    Help,
    FocusSendBuffer,
    ToggleMillKeyboard,
    ToggleSendImmediate,
    ToggleKeypadIndicator,
    MonitorFull,
    SendMessage,
    RecordAndCheckCall, // keypad function 13
    CheckCall,
    Insert,             // text into the send buffer at the caret
    StoreRecordNow,     // code 30
    Escape,             // release Tune; toggle keying unless sending
    ToggleKeying,       // NumLock
    ToggleKeyingSentRs, // NumLock on an SSB contact: and collect the report sent
    MessageKey,         // the keyer's message `key`
    ToggleUser,
    ReceivedReport,
    KeypadMinus,
    KeypadFunction,     // keypad function `key`
    SmartText,          // F-key `number`
    ScrollEdit,
    TakeBack,           // the keyer takes back its last character; the key goes on
    FinishDataEntry,
    SpeedStep,          // the keyer's speed up or down by `number` wpm
};

// The speed step of PgUp and PgDn, in wpm.
constexpr int SpeedStepWpm = 2;

struct Decision
{
    Command command = Command::Pass;
    QChar key;       // MessageKey, KeypadFunction
    QString text;    // Insert
    int number = 0;  // SmartText: 2..12
};

// A key-down on the main window, before any control sees it. Ctrl pressed
// by itself decides nothing: see decideCtrlTap.
Decision decide(int key, Qt::KeyboardModifiers modifiers, const KeyState &state);

// Ctrl pressed and released with no other key between.
Decision decideCtrlTap(const KeyState &state);

} // namespace KeyCommands
