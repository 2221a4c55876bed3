#pragma once

#include <functional>

// Turns SIGTERM and SIGINT into a call on the GUI thread (typically: close
// the main window the normal way, so its shutdown runs). No-op elsewhere.
void onTerminationSignal(std::function<void()> handler);
