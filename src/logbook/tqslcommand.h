#pragma once

#include <QString>
#include <QStringList>

// The command line that has TQSL sign an ADIF file and upload it to LotW,
// and what its exit code means.
class TqslCommand
{
public:
    enum class Outcome { Uploaded, PartlyUploaded, NotUploaded };

    // A program whose file name is tqsl or tqsl.exe, in any case.
    static bool isTqslProgram(const QString &path);
    // Upload, quietly, without the date-range question, every QSO of the
    // file. The file is one argument whatever characters its path holds:
    // the program is started directly, never through a shell.
    static QStringList arguments(const QString &adifPath);
    // The same as the operator would type it, for the output window.
    static QString commandLine(const QString &program, const QString &adifPath);

    static Outcome outcome(int exitCode);
    // The exit code in words; codes without words are "failed with code N".
    static QString words(int exitCode);
};
