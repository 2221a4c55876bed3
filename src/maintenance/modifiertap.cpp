#include "modifiertap.h"

#include <QKeyEvent>

bool ModifierTap::take(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: {
        // A shortcut (Ctrl+C on a text box, a window action) arrives as an
        // override without a key press: it counts as another key all the same.
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->key() != m_key)
            m_pending = false;
        else if (!key->isAutoRepeat())
            m_pending = true;
        return false;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->key() != m_key || key->isAutoRepeat())
            return false;
        const bool tap = m_pending;
        m_pending = false;
        return tap;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::WindowDeactivate:
        m_pending = false;
        return false;
    default:
        return false;
    }
}
