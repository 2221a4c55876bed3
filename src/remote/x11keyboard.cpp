#include "x11keyboard.h"

#include "desktopkeyboard.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

#include <algorithm>

// X11 headers last: their macros (None, Bool, KeyPress ...) clash with Qt's.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

namespace {

// Virtual keys are X key codes (8 to 255), except that the four key codes
// equal to the fixed virtual keys Enter, Shift, Control and Alt travel as 1
// to 4 instead.
constexpr int SwappedKeycodes[] = {VirtualKey::Enter, VirtualKey::Shift, VirtualKey::Control, VirtualKey::Alt};

int virtualKeyForKeycode(int keycode)
{
    for (int i = 0; i < 4; ++i) {
        if (SwappedKeycodes[i] == keycode)
            return i + 1;
    }
    return keycode;
}

KeySym keysymForCode(char32_t code)
{
    switch (code) {
    case 0x08: return XK_BackSpace;
    case 0x09: return XK_Tab;
    case 0x0A:
    case 0x0D: return XK_Return;
    case 0x1B: return XK_Escape;
    case 0x7F: return XK_Delete;
    default: break;
    }
    if ((code >= 0x20 && code <= 0x7E) || (code >= 0xA0 && code <= 0xFF))
        return KeySym(code); // Latin-1 key symbols equal their code
    if (code > 0xFF && code <= 0x10FFFF)
        return KeySym(0x01000000 | code);
    return NoSymbol;
}

struct KeyPosition
{
    int keycode = 0;
    int level = 0;
};

// The key of every symbol on the current group, lowest level first. Codes
// lent to symbols without a key do not count as keys: they are taken back
// as soon as another symbol needs them.
QHash<KeySym, KeyPosition> readKeyPositions(Display *display, const QSet<int> &lentKeycodes)
{
    QHash<KeySym, KeyPosition> positions;
    XkbDescPtr desc = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!desc)
        return positions;
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    for (int level = 0; level < 4; ++level) {
        for (int keycode = desc->min_key_code; keycode <= desc->max_key_code; ++keycode) {
            const int groups = XkbKeyNumGroups(desc, keycode);
            if (groups == 0 || lentKeycodes.contains(keycode))
                continue;
            const int group = state.group < groups ? state.group : 0;
            if (level >= XkbKeyGroupWidth(desc, keycode, group))
                continue;
            const KeySym sym = XkbKeySymEntry(desc, keycode, level, group);
            if (sym != NoSymbol && !positions.contains(sym))
                positions.insert(sym, {keycode, level});
        }
    }
    XkbFreeKeyboard(desc, 0, True);
    return positions;
}

bool capsLockFromIndicators(Display *display)
{
    const Atom capsLock = XInternAtom(display, "Caps Lock", False);
    Bool on = False;
    if (capsLock != 0 && XkbGetNamedIndicator(display, capsLock, nullptr, &on, nullptr, nullptr))
        return on;
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    return state.locked_mods & LockMask;
}

class X11Layout : public KeyboardLayout
{
public:
    X11Layout(QHash<KeySym, KeyPosition> positions, bool capsLock)
        : m_positions(std::move(positions)), m_capsLock(capsLock)
    {
    }

    int keyForCharacter(int code) const override
    {
        const KeySym sym = keysymForCode(char32_t(code));
        const auto it = m_positions.constFind(sym);
        if (sym == NoSymbol || it == m_positions.constEnd())
            return -1;
        // Level 2 is Shift, 3 AltGr (Control with Alt), 4 both.
        static constexpr int states[] = {0, ShiftState, ControlState | AltState, ShiftState | ControlState | AltState};
        return (states[it->level] << 8) | virtualKeyForKeycode(it->keycode);
    }

    quint16 scanCode(quint16 virtualKey) const override
    {
        const int keycode = keycodeFor(virtualKey);
        return quint16(keycode >= 8 ? keycode - 8 : 0); // the kernel's key number
    }

    bool capsLockOn() const override { return m_capsLock; }

    int keycodeFor(quint16 virtualKey) const
    {
        switch (virtualKey) {
        case VirtualKey::Enter: return keycodeOf(XK_Return);
        case VirtualKey::Shift: return keycodeOf(XK_Shift_L);
        case VirtualKey::Control: return keycodeOf(XK_Control_L);
        case VirtualKey::Alt: return keycodeOf(XK_Alt_L);
        default: break;
        }
        if (virtualKey >= 1 && virtualKey <= 4)
            return SwappedKeycodes[virtualKey - 1];
        return virtualKey;
    }

    int keycodeOf(KeySym sym) const
    {
        const auto it = m_positions.constFind(sym);
        return it == m_positions.constEnd() ? 0 : it->keycode;
    }

private:
    QHash<KeySym, KeyPosition> m_positions;
    bool m_capsLock = false;
};

} // namespace

struct X11Keyboard::Private
{
    Display *display = nullptr;
    // Spare key codes lent to symbols without a key, oldest first.
    QList<std::pair<int, KeySym>> lent;
    QList<int> spare;

    QSet<int> lentKeycodes() const
    {
        QSet<int> codes;
        for (const auto &entry : lent)
            codes.insert(entry.first);
        return codes;
    }

    ~Private()
    {
        if (!display)
            return;
        for (const auto &[keycode, sym] : std::as_const(lent)) {
            KeySym none = NoSymbol;
            XChangeKeyboardMapping(display, keycode, 1, &none, 1);
        }
        XSync(display, False);
        XCloseDisplay(display);
    }

    void findSpareKeycodes()
    {
        int minKeycode = 0, maxKeycode = 0;
        XDisplayKeycodes(display, &minKeycode, &maxKeycode);
        int perKeycode = 0;
        KeySym *map = XGetKeyboardMapping(display, KeyCode(minKeycode), maxKeycode - minKeycode + 1, &perKeycode);
        if (!map)
            return;
        // From the top: the low codes belong to real keys.
        for (int keycode = maxKeycode; keycode >= minKeycode; --keycode) {
            const KeySym *syms = map + (keycode - minKeycode) * perKeycode;
            if (std::all_of(syms, syms + perKeycode, [](KeySym s) { return s == NoSymbol; }))
                spare.append(keycode);
        }
        XFree(map);
    }

    // The key code that types sym, lending a spare one when needed: a
    // letter gets its lower and upper case, as letter keys have, so that
    // Caps Lock works on it as on them. Codes lent for this batch are not
    // taken back before it is sent.
    int lend(KeySym sym, const QSet<int> &inUse)
    {
        KeySym lower = sym, upper = sym;
        XConvertCase(sym, &lower, &upper);
        for (const auto &[keycode, lentSym] : std::as_const(lent)) {
            if (lentSym == lower)
                return keycode;
        }
        int keycode = 0;
        if (lent.size() < spare.size()) {
            keycode = spare.at(lent.size());
        } else {
            for (qsizetype i = 0; i < lent.size(); ++i) {
                if (!inUse.contains(lent.at(i).first)) {
                    keycode = lent.takeAt(i).first;
                    break;
                }
            }
        }
        if (keycode == 0)
            return 0;
        KeySym syms[2] = {lower, upper};
        XChangeKeyboardMapping(display, keycode, 2, syms, 1);
        lent.append({keycode, lower});
        return keycode;
    }
};

X11Keyboard::X11Keyboard(const QString &displayName) : m_displayName(displayName) {}

X11Keyboard::~X11Keyboard() = default;

bool X11Keyboard::open()
{
    if (d)
        return true;
    const QByteArray name = m_displayName.toLocal8Bit();
    Display *display = XOpenDisplay(name.isEmpty() ? nullptr : name.constData());
    if (!display) {
        m_error = keyboardUnavailableMessage(u"there is no X display to type into"_s);
        return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        m_error = keyboardUnavailableMessage(u"the X display has no XTEST extension"_s);
        return false;
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        m_error = keyboardUnavailableMessage(u"the X display has no keyboard extension (XKB)"_s);
        return false;
    }
    d = std::make_unique<Private>();
    d->display = display;
    d->findSpareKeycodes();
    return true;
}

std::unique_ptr<KeyboardLayout> X11Keyboard::currentLayout()
{
    if (!open())
        return nullptr;
    m_error.clear();
    return std::make_unique<X11Layout>(readKeyPositions(d->display, d->lentKeycodes()), capsLockFromIndicators(d->display));
}

bool X11Keyboard::inject(const KeyboardInput *records, int count)
{
    if (!open())
        return false;
    Display *display = d->display;
    const X11Layout layout(readKeyPositions(display, d->lentKeycodes()), false);

    // Symbols without a key get their spare codes before the first event,
    // so every key event is read with the map it was meant for.
    struct LentKey
    {
        int keycode = 0;
        bool shift = false; // the other case than the key gives now
    };
    const bool capsLock = capsLockFromIndicators(display);
    QHash<quint32, LentKey> unicodeKeys;
    QSet<int> inUse;
    for (int i = 0; i < count; ++i) {
        const KeyboardInput &r = records[i];
        if (!(r.flags & KeyboardInput::Unicode) || unicodeKeys.contains(r.scanCode))
            continue;
        const KeySym sym = keysymForCode(char32_t(r.scanCode));
        const int keycode = sym == NoSymbol ? 0 : d->lend(sym, inUse);
        KeySym lower = sym, upper = sym;
        XConvertCase(sym, &lower, &upper);
        // Caps Lock turns a letter key to upper case, Shift turns it back.
        const bool cased = lower != upper;
        unicodeKeys.insert(r.scanCode, {keycode, cased && ((sym == upper) != capsLock)});
        if (keycode)
            inUse.insert(keycode);
    }
    XSync(display, False);
    const int shiftKeycode = layout.keycodeFor(VirtualKey::Shift);

    const int level3 = layout.keycodeOf(XK_ISO_Level3_Shift) ? layout.keycodeOf(XK_ISO_Level3_Shift)
                                                              : layout.keycodeOf(XK_Mode_switch);
    int unsent = 0;
    for (int i = 0; i < count; ++i) {
        const KeyboardInput &r = records[i];
        const bool press = !(r.flags & KeyboardInput::KeyUp);
        int keycode = 0;
        if (r.flags & KeyboardInput::Unicode) {
            const LentKey key = unicodeKeys.value(r.scanCode);
            if (key.keycode >= 8 && key.shift && shiftKeycode >= 8) {
                if (press)
                    XTestFakeKeyEvent(display, unsigned(shiftKeycode), True, CurrentTime);
                XTestFakeKeyEvent(display, unsigned(key.keycode), press ? True : False, CurrentTime);
                if (!press)
                    XTestFakeKeyEvent(display, unsigned(shiftKeycode), False, CurrentTime);
                continue;
            }
            keycode = key.keycode;
        } else if (r.virtualKey == VirtualKey::Control && level3 && i + 1 < count
                   && records[i + 1].virtualKey == VirtualKey::Alt
                   && (records[i + 1].flags & KeyboardInput::KeyUp) == (r.flags & KeyboardInput::KeyUp)) {
            // Control with Alt stands for AltGr, which X calls level 3.
            keycode = level3;
            ++i;
        } else {
            keycode = layout.keycodeFor(r.virtualKey);
        }
        if (keycode < 8) {
            ++unsent;
            continue;
        }
        XTestFakeKeyEvent(display, unsigned(keycode), press ? True : False, CurrentTime);
    }
    XSync(display, False);
    if (unsent > 0) {
        m_error = u"%1 key events had no key on this X display"_s.arg(unsent);
        return false;
    }
    return true;
}
