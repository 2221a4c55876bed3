#pragma once

#include <functional>

// Turns SIGTERM and SIGINT into a call on the main thread from its event
// loop (the windows: close the main window the normal way, so that its
// shutdown runs; dwlog: stop the keyer and keep what came). No-op where
// there are no such signals.
void onTerminationSignal(std::function<void()> handler);

// A diagnostic written to a terminal or pipe that has gone away (the
// program that started this one has ended) must not end the program.
void ignoreBrokenPipes();
