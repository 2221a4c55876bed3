#pragma once

#include <functional>

// Turns SIGTERM and SIGINT into a call on the GUI thread (typically: close
// the main window the normal way, so its shutdown runs). No-op elsewhere.
void onTerminationSignal(std::function<void()> handler);

// A diagnostic written to a terminal or pipe that has gone away (the
// program that started this one has ended) must not end the program.
void ignoreBrokenPipes();
