#include "terminalstate.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

enum class SendButton { Disabled, EnabledUnlessMill, Enabled };
enum class CheckKey { EnterUnlessMill, CtrlEnter, Enter };

// The first row whose condition holds sets the buttons.
struct Row
{
    bool (*applies)(const TerminalState &);
    SendButton send;
    const char16_t *sendCaption;
    const char16_t *sendToolTip;
    bool alwaysChange; // "Change Call" even without a call
    CheckKey checkKey;
};

const Row Rows[] = {
    {[](const TerminalState &s) { return !s.editMode && (s.ssb || s.sendImmediate); }, SendButton::Disabled,
     u"Send &Message", u"Use the Enter key to send the message", false, CheckKey::EnterUnlessMill},
    {[](const TerminalState &s) { return !s.editMode; }, SendButton::EnabledUnlessMill, u"Send &Message",
     u"Use the Enter key to send the message", false, CheckKey::CtrlEnter},
    {[](const TerminalState &s) { return s.infoEndsInSsb; }, SendButton::Disabled, u"Sen&t RST",
     u"Use Enter key to send the last word that you entered as his correct RST", true, CheckKey::Enter},
    {[](const TerminalState &) { return true; }, SendButton::Enabled, u"Sen&t RST",
     u"Use Enter key to send the last word that you entered as his correct RST", true, CheckKey::CtrlEnter},
};

} // namespace

TerminalButtons terminalButtons(const TerminalState &state)
{
    const Row &row = *std::find_if(std::begin(Rows), std::end(Rows), [&](const Row &r) { return r.applies(state); });
    TerminalButtons buttons;
    buttons.sendMessageEnabled = row.send == SendButton::Enabled
        || (row.send == SendButton::EnabledUnlessMill && !state.millKeyboard);
    buttons.sendMessageCaption = QString::fromUtf16(row.sendCaption);
    buttons.sendMessageToolTip = QString::fromUtf16(row.sendToolTip);
    const bool change = row.alwaysChange || state.callShown;
    buttons.checkCallCaption = change ? u"Cha&nge Call"_s : u"Chec&k Call"_s;
    const bool enter = row.checkKey == CheckKey::Enter || (row.checkKey == CheckKey::EnterUnlessMill && !state.millKeyboard);
    const QString key = enter ? u"Enter"_s : u"Ctrl-Enter"_s;
    buttons.checkCallToolTip = change ? u"Use %1 to change the call to the last word that you entered"_s.arg(key)
                                      : u"Use %1 to check the call that you entered as the last word"_s.arg(key);
    buttons.ctrlEnterCaption = u"<%1>"_s.arg(key);
    buttons.immediateEnabled = !state.editMode && !state.ssb;
    return buttons;
}
