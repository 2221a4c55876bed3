#pragma once

#include "porttable.h"

#include <QString>

// What the radio link asks of the manager's main window.
class RadioHost
{
public:
    virtual ~RadioHost() = default;

    // Connected: the radio-connected mark (bit 15 of the option word) set
    // and the band and mode controls locked for the operator; disconnected:
    // the mark cleared and the controls free again. Nothing is sent.
    virtual void radioConnected(bool connected) = 0;
    // The radio's band as a position of the terminal band list, and its
    // mode as a position of the mode list (0 CW, 1 SSB), taken into the
    // configuration record as the operator's choice would be.
    virtual void radioBand(int position) = 0;
    virtual void radioMode(int position) = 0;
    // The configuration record to the keyer (SendConfig).
    virtual void radioSendConfig() = 0;

    // QSO mode SSB (the SSB box).
    virtual bool ssbLogging() const = 0;
    // Bit 0 of the keyer's status: off the air.
    virtual bool offTheAir() const = 0;
    // A transfer with the keyer or a message is under way; sending the
    // configuration now would cut into it.
    virtual bool keyerBusy() const = 0;

    // The ports of this computer, the same table as the keyer's.
    virtual PortTable radioPortTable() const = 0;
    // The device the keyer is on (never the radio's); empty when none.
    virtual QString keyerDevice() const = 0;
};
