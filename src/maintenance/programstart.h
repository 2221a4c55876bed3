#pragma once

#include "programoptions.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class KeyerPort;
class QWidget;
class SettingsStore;

// What tells krv and krt apart at start.
struct ProgramIdentity
{
    QString name;        // "krv"
    QString displayName; // "Dashwright Manager"
    QString description; // one line for --help
    QString sibling;     // the program a keyer of the other kind is handed to
    bool demoRadio = false; // --demo starts the simulated radio too
    // --demo: further arguments of the simulated keyer ("--letter T" for
    // the trainer's keyer).
    QStringList demoKeyerArguments = {};
};

// Builds the main window. handOver starts the sibling program for a keyer
// of the other kind and reports whether it started.
using MainWindowFactory = std::function<std::unique_ptr<QWidget>(
    SettingsStore &settings, KeyerPort &port, const ProgramOptions &options, std::function<bool()> handOver)>;

// The common start of both programs: help and version without a display,
// the command line, the data folder as the current folder, the demo keyer,
// the settings store and the keyer port, SIGTERM/SIGINT closing the window
// the normal way. Returns the exit code.
int runKeyerProgram(int argc, char *argv[], const ProgramIdentity &identity, const MainWindowFactory &makeWindow);
