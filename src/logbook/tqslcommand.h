#pragma once

#include <QString>
#include <QStringList>

// The command line that has TQSL sign an ADIF file and upload it to LotW,
// what its exit code means, and the station locations TQSL knows.
class TqslCommand
{
public:
    enum class Outcome { Uploaded, PartlyUploaded, NotUploaded };

    // A program whose file name is tqsl or tqsl.exe, in any case.
    static bool isTqslProgram(const QString &path);
    // Upload, quietly, without the date-range question, every QSO of the
    // file, signed for the station location given (none: TQSL's choice,
    // which opens its chooser when it knows several). The file is one
    // argument whatever characters its path holds: the program is started
    // directly, never through a shell.
    static QStringList arguments(const QString &adifPath, const QString &location);
    // The same as the operator would type it, for the output window.
    static QString commandLine(const QString &program, const QString &adifPath, const QString &location);

    static Outcome outcome(int exitCode);
    // The exit code in words (codes without words are "failed with code
    // N"), followed by the last "Final Status:" line TQSL printed, which
    // says what happened in TQSL's own words.
    static QString words(int exitCode, QStringView output);

    // TQSL's station_data file: in the folder TQSLDIR names, else in
    // ~/.tqsl (on Windows %APPDATA%\TrustedQSL).
    static QString stationDataFile();
    // The names of the station locations in that file, in its order; none
    // when it cannot be read.
    static QStringList stationLocations(const QString &stationDataFile);
};
