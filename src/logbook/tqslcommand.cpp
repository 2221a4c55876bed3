#include "tqslcommand.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

bool TqslCommand::isTqslProgram(const QString &path)
{
    const QString name = QFileInfo(path.trimmed()).fileName();
    return name.compare(u"tqsl"_s, Qt::CaseInsensitive) == 0 || name.compare(u"tqsl.exe"_s, Qt::CaseInsensitive) == 0;
}

QStringList TqslCommand::arguments(const QString &adifPath)
{
    return {u"-u"_s, u"-q"_s, u"-d"_s, u"-a"_s, u"all"_s, adifPath};
}

QString TqslCommand::commandLine(const QString &program, const QString &adifPath)
{
    return program + u" -u -q -d -a all "_s + u'"' + adifPath + u'"';
}

TqslCommand::Outcome TqslCommand::outcome(int exitCode)
{
    switch (exitCode) {
    case 0:
        return Outcome::Uploaded;
    case 9:
        return Outcome::PartlyUploaded;
    default:
        return Outcome::NotUploaded;
    }
}

QString TqslCommand::words(int exitCode)
{
    switch (exitCode) {
    case 0:
        return u"TQSL has signed the QSOs and uploaded them to LotW"_s;
    case 1:
        return u"TQSL was cancelled: nothing was uploaded"_s;
    case 2:
        return u"LotW rejected the upload"_s;
    case 8:
        return u"Nothing was uploaded: all QSOs were duplicates"_s;
    case 9:
        return u"TQSL uploaded the QSOs, but some were duplicates and were left out"_s;
    case 11:
        return u"TQSL could not reach LotW (network error): nothing was uploaded"_s;
    default:
        return u"TQSL failed with code %1"_s.arg(exitCode);
    }
}
