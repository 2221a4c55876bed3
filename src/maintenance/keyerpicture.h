#pragma once

#include <QColor>
#include <QPixmap>

// The keyer as the windows draw it beside their title: a box with its
// display; the lamp shows the state of the link.
QPixmap keyerPicture(const QColor &body, const QColor &display, const QColor &lamp);
