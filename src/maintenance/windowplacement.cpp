#include "windowplacement.h"

#include "settingsstore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace WindowPlacement {

void restore(QWidget *window, const SettingsStore &settings, const QString &prefix)
{
    const QSize designed = window->size();
    const int width = settings.intSetting(prefix + u"WindowWidth"_s, -1);
    const int height = settings.intSetting(prefix + u"WindowHeight"_s, -1);
    QRect placed(window->pos(), width > 0 && height > 0 ? QSize(width, height) : designed);
    const QPoint topLeft(settings.intSetting(prefix + u"WindowLeft"_s, 0), settings.intSetting(prefix + u"WindowTop"_s, 0));
    // A position from a screen that is no longer attached would hide the window.
    if (QScreen *screen = QGuiApplication::screenAt(topLeft + QPoint(40, 20))) {
        placed.moveTopLeft(topLeft);
        // Nor may a small screen leave part of it out of reach.
        const QRect available = screen->availableGeometry();
        placed.setSize(placed.size().boundedTo(available.size()));
        placed.moveLeft(std::max(available.left(), std::min(placed.left(), available.right() - placed.width() + 1)));
        placed.moveTop(std::max(available.top(), std::min(placed.top(), available.bottom() - placed.height() + 1)));
    }
    // The inner geometry is set and saved: the frame the window manager adds
    // is not known before the window is shown, and moving by the outer corner
    // made the window creep up by its title bar on every start.
    window->setGeometry(placed);
    switch (settings.intSetting(prefix + u"WindowState"_s, 0)) {
    case 1: window->showMinimized(); break;
    case 2: window->showMaximized(); break;
    default: break;
    }
}

void save(const QWidget *window, SettingsStore &settings, const QString &prefix)
{
    const int state = window->isMinimized() ? 1 : window->isMaximized() ? 2 : 0;
    settings.setSetting(prefix + u"WindowState"_s, state);
    const QRect normal = state == 0 ? window->geometry() : window->normalGeometry();
    settings.setSetting(prefix + u"WindowWidth"_s, normal.width());
    settings.setSetting(prefix + u"WindowHeight"_s, normal.height());
    settings.setSetting(prefix + u"WindowLeft"_s, normal.x());
    settings.setSetting(prefix + u"WindowTop"_s, normal.y());
    settings.sync();
}

} // namespace WindowPlacement
