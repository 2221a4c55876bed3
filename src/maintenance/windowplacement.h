#pragma once

#include <QString>

class QWidget;
class SettingsStore;

// The main window's placement between runs: WindowState (0 normal,
// 1 minimized, 2 maximized), WindowWidth and WindowHeight (-1: the designed
// size), WindowLeft and WindowTop. Each program names its own keys with
// its prefix, so the manager and the trainer keep their own places.
namespace WindowPlacement {

void restore(QWidget *window, const SettingsStore &settings, const QString &prefix = {});
void save(const QWidget *window, SettingsStore &settings, const QString &prefix = {});

} // namespace WindowPlacement
