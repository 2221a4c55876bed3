#include "windowplacement.h"

#include "settingsstore.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace WindowPlacement {

void restore(QWidget *window, const SettingsStore &settings)
{
    const int width = settings.intSetting(u"WindowWidth"_s, -1);
    const int height = settings.intSetting(u"WindowHeight"_s, -1);
    if (width > 0 && height > 0)
        window->resize(width, height);
    const QPoint topLeft(settings.intSetting(u"WindowLeft"_s, 0), settings.intSetting(u"WindowTop"_s, 0));
    // A position from a screen that is no longer attached would hide the window.
    if (QGuiApplication::screenAt(topLeft + QPoint(40, 20)))
        window->move(topLeft);
    switch (settings.intSetting(u"WindowState"_s, 0)) {
    case 1: window->showMinimized(); break;
    case 2: window->showMaximized(); break;
    default: break;
    }
}

void save(const QWidget *window, SettingsStore &settings)
{
    const int state = window->isMinimized() ? 1 : window->isMaximized() ? 2 : 0;
    settings.setSetting(u"WindowState"_s, state);
    const QRect normal = state == 0 ? QRect(window->pos(), window->size()) : window->normalGeometry();
    settings.setSetting(u"WindowWidth"_s, normal.width());
    settings.setSetting(u"WindowHeight"_s, normal.height());
    settings.setSetting(u"WindowLeft"_s, normal.x());
    settings.setSetting(u"WindowTop"_s, normal.y());
    settings.sync();
}

} // namespace WindowPlacement
