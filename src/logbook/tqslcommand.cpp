#include "tqslcommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// TQSL's final words are its own text: cut to a line.
constexpr int ShownStatus = 200;

QString finalStatus(QStringView output)
{
    const QLatin1StringView marker("Final Status:");
    const qsizetype at = output.lastIndexOf(marker);
    if (at < 0)
        return {};
    QStringView status = output.sliced(at + marker.size());
    if (const qsizetype end = status.indexOf(u'\n'); end >= 0)
        status = status.first(end);
    status = status.trimmed();
    return status.size() <= ShownStatus ? status.toString() : status.first(ShownStatus - 1).toString() + QChar(0x2026);
}

} // namespace

bool TqslCommand::isTqslProgram(const QString &path)
{
    const QString name = QFileInfo(path.trimmed()).fileName();
    return name.compare(u"tqsl"_s, Qt::CaseInsensitive) == 0 || name.compare(u"tqsl.exe"_s, Qt::CaseInsensitive) == 0;
}

QStringList TqslCommand::arguments(const QString &adifPath, const QString &location)
{
    QStringList arguments{u"-u"_s, u"-q"_s, u"-d"_s, u"-a"_s, u"all"_s};
    if (!location.isEmpty())
        arguments << u"-l"_s << location;
    return arguments << adifPath;
}

QString TqslCommand::commandLine(const QString &program, const QString &adifPath, const QString &location)
{
    const QString where = location.isEmpty() ? QString() : u"-l \""_s + location + u"\" "_s;
    return program + u" -u -q -d -a all "_s + where + u'"' + adifPath + u'"';
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

QString TqslCommand::words(int exitCode, QStringView output)
{
    QString text;
    switch (exitCode) {
    case 0:
        text = u"TQSL has signed the QSOs and uploaded them to LotW"_s;
        break;
    case 1:
        text = u"TQSL was cancelled: nothing was uploaded"_s;
        break;
    case 2:
        text = u"LotW rejected the upload"_s;
        break;
    // TQSL's code for "nothing signed": no certificate for the station's
    // call, no QSO it could sign, or all of them uploaded before.
    case 8:
        text = u"TQSL signed and uploaded no QSOs"_s;
        break;
    case 9:
        text = u"TQSL uploaded the QSOs, but some were duplicates and were left out"_s;
        break;
    case 10:
        text = u"TQSL did not take its command line (is the station location one it knows?): nothing was uploaded"_s;
        break;
    case 11:
        text = u"TQSL could not reach LotW (network error): nothing was uploaded"_s;
        break;
    default:
        text = u"TQSL failed with code %1"_s.arg(exitCode);
    }
    if (const QString status = finalStatus(output); !status.isEmpty())
        text += u"\r\nTQSL's final status: "_s + status;
    return text;
}

QString TqslCommand::stationDataFile()
{
    QString folder = qEnvironmentVariable("TQSLDIR");
#ifdef Q_OS_WIN
    if (folder.isEmpty())
        folder = qEnvironmentVariable("APPDATA") + u"/TrustedQSL"_s;
#else
    if (folder.isEmpty())
        folder = QDir::homePath() + u"/.tqsl"_s;
#endif
    return folder + u"/station_data"_s;
}

QStringList TqslCommand::stationLocations(const QString &stationDataFile)
{
    QFile file(stationDataFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList names;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"StationData"_s)
            continue;
        const QString name = xml.attributes().value(u"name"_s).toString().trimmed();
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}
