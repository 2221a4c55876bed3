#pragma once

#include <QString>

// Which of the Terminal tab's buttons are live, and what they say, in a
// given state of the QSO entry.
struct TerminalState
{
    bool editMode = false;      // a stored record is being corrected
    bool ssb = false;           // SSB logging
    bool sendImmediate = false; // typed text goes out as it is typed
    bool millKeyboard = false;  // typing goes into the monitor
    bool callShown = false;
    bool infoEndsInSsb = false; // the record being edited is an SSB QSO
};

struct TerminalButtons
{
    bool sendMessageEnabled = false; // btnSendMessage and lblEnter
    QString sendMessageCaption;
    QString sendMessageToolTip;
    QString checkCallCaption;
    QString checkCallToolTip;
    QString ctrlEnterCaption;  // lblCtrlEnter: the key that checks the call
    bool immediateEnabled = false; // cbxSendImmediate and lblCtrlAlt
};

TerminalButtons terminalButtons(const TerminalState &state);
