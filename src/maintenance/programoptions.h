#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// Command line shared by the manager and the trainer.
struct ProgramOptions
{
    QString port;    // device for port 1 (--port, else DASHWRIGHT_PORT)
    QString dataDir; // --data
    bool demo = false;
    // The radio's device (manager only: --radio-port, or the simulated
    // radio with --demo): listed as the port after the keyer's.
    QString radioPort;

    // Parses the command line; prints help or an error and exits the
    // process for --help, --version and bad options. withRadio: the
    // program follows a radio and takes --radio-port.
    static ProgramOptions parse(const QCoreApplication &app, const QString &description, bool withRadio = false);

    // Arguments that hand the same choices to the sibling program.
    QStringList siblingArguments() const;
};

// The data folder: --data when given, else the program's folder when it
// is writable (a portable install or the build tree), else the user's data
// folder. Created when missing. Empty with *error set when it cannot be made.
QString chooseDataFolder(const QString &requested, QString *error);

// Full path of a program that sits beside the running one.
QString siblingProgram(const QString &name);

// Starts a program beside this one, detached; false when it could not start.
bool startSibling(const QString &name, const QStringList &arguments);

// True when the command line only asks for help or the version: the
// program answers without opening a window or needing a display.
bool wantsTextOnly(int argc, char *argv[]);
