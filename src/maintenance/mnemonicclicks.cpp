#include "mnemonicclicks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QShortcutEvent>

MnemonicClicks::MnemonicClicks(QWidget *window) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
}

bool MnemonicClicks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Shortcut)
        return false;
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || button->window() != m_window || !button->isEnabled())
        return false;
    // Two buttons with one letter: Qt's own handling steps through them.
    if (static_cast<QShortcutEvent *>(event)->isAmbiguous())
        return false;
    button->click();
    return true;
}
