#pragma once

class QWidget;
class SettingsStore;

// The main window's placement between runs: WindowState (0 normal,
// 1 minimized, 2 maximized), WindowWidth and WindowHeight (-1: the designed
// size), WindowLeft and WindowTop.
namespace WindowPlacement {

void restore(QWidget *window, const SettingsStore &settings);
void save(const QWidget *window, SettingsStore &settings);

} // namespace WindowPlacement
