#pragma once

#include <QStringList>

class QWidget;

// The keys that two controls of a window offer at this moment (visible and
// enabled: a button's underlined letter, a buddy label's, a tab's, an
// action's shortcut), one line per clash naming both. Qt does
// not run either of them on such a key; it only moves the focus.
QStringList shortcutClashes(QWidget *window);
