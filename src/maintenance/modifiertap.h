#pragma once

#include <Qt>

class QEvent;

// A modifier key pressed and released with nothing else between: a tap,
// which some keys treat as a command of its own, unlike the same key held
// for a chord (Ctrl+Enter, Ctrl+A, a Ctrl+click).
class ModifierTap
{
public:
    explicit ModifierTap(int key = Qt::Key_Control) : m_key(key) {}

    // Every key, shortcut and mouse event the window sees; true when the
    // event is the release that ends a tap.
    bool take(const QEvent *event);

private:
    int m_key;
    bool m_pending = false;
};
