#pragma once

#include "keyboardlayout.h"

#include <memory>

// The keyboard of the desktop this program runs on: X11 where the build
// has it; elsewhere one that reports keyboard simulation as unavailable.
std::unique_ptr<KeyboardPlatform> createDesktopKeyboard();

// The message for the window when no key strokes can be typed.
QString keyboardUnavailableMessage(const QString &reason);
