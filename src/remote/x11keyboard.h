#pragma once

#include "keyboardlayout.h"

#include <QString>
#include <memory>

// Key strokes for an X display: the X keyboard map as the layout, XTest as
// the injector. Characters without a key are typed by giving a spare key
// code their symbol for as long as this object lives. The display is
// opened on first use, so a missing one is reported, not fatal.
class X11Keyboard : public KeyboardPlatform
{
public:
    // displayName empty: the DISPLAY environment variable.
    explicit X11Keyboard(const QString &displayName = QString());
    ~X11Keyboard() override;

    std::unique_ptr<KeyboardLayout> currentLayout() override;
    bool inject(const KeyboardInput *records, int count) override;
    QString errorString() const override { return m_error; }

    struct Private;

private:
    bool open();

    QString m_displayName;
    QString m_error;
    std::unique_ptr<Private> d;
};
