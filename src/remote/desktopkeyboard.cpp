#include "desktopkeyboard.h"

#ifdef DW_HAVE_X11
#include "x11keyboard.h"
#endif

using namespace Qt::StringLiterals;

#ifndef DW_HAVE_X11
namespace {

class UnavailableKeyboard : public KeyboardPlatform
{
public:
    std::unique_ptr<KeyboardLayout> currentLayout() override { return nullptr; }
    bool inject(const KeyboardInput *, int) override { return false; }
    QString errorString() const override
    {
        return keyboardUnavailableMessage(u"this build has no key-stroke injection for this platform"_s);
    }
};

} // namespace
#endif

QString keyboardUnavailableMessage(const QString &reason)
{
    return u"Keyboard simulation is unavailable: %1."_s.arg(reason);
}

std::unique_ptr<KeyboardPlatform> createDesktopKeyboard()
{
#ifdef DW_HAVE_X11
    return std::make_unique<X11Keyboard>();
#else
    return std::make_unique<UnavailableKeyboard>();
#endif
}
