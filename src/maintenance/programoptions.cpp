#include "programoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

ProgramOptions ProgramOptions::parse(const QCoreApplication &app, const QString &description, bool withRadio)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(u"port"_s,
                                        u"Serial device of the keyer, tried as port 1; a stable name under /dev/serial/by-id works too "
                                          "(default: $DASHWRIGHT_PORT)."_s,
                                        u"DEVICE"_s);
    const QCommandLineOption dataOption(u"data"_s,
                                        u"Folder for log files, ADIF files, audit files and the configuration file."_s,
                                        u"DIR"_s);
    const QCommandLineOption demoOption(u"demo"_s, u"Start the simulated keyer and connect to it."_s);
    const QCommandLineOption radioOption(u"radio-port"_s,
                                         u"Serial device of the radio (a pseudo-terminal, an rfcomm or udev link such "
                                           "as /dev/k3 too), listed after the keyer's port."_s,
                                         u"DEVICE"_s);
    parser.addOption(portOption);
    parser.addOption(dataOption);
    parser.addOption(demoOption);
    if (withRadio)
        parser.addOption(radioOption);
    parser.process(app);

    ProgramOptions options;
    options.port = parser.isSet(portOption) ? parser.value(portOption)
                                            : qEnvironmentVariable("DASHWRIGHT_PORT");
    options.dataDir = parser.value(dataOption);
    options.demo = parser.isSet(demoOption);
    if (withRadio)
        options.radioPort = parser.value(radioOption);
    return options;
}

QStringList ProgramOptions::siblingArguments() const
{
    QStringList arguments;
    if (!port.isEmpty())
        arguments << u"--port"_s << port;
    if (!dataDir.isEmpty())
        arguments << u"--data"_s << dataDir;
    return arguments;
}

namespace {

bool writableFolder(const QString &path)
{
    QTemporaryFile probe(path + u"/.write-test-XXXXXX"_s);
    return probe.open();
}

} // namespace

QString chooseDataFolder(const QString &requested, QString *error)
{
    QString folder = requested;
    if (folder.isEmpty()) {
        // The program's own folder only for a portable installation: one
        // marked so, or one that already holds a data folder's files. A
        // build tree or /usr/bin gets the user's data folder, so that
        // removing the build never takes the logs with it.
        const QString programs = QCoreApplication::applicationDirPath();
        const bool portable = QFileInfo::exists(programs + u"/portable"_s)
                              || QFileInfo::exists(programs + u"/configuration.krv"_s);
        folder = portable && writableFolder(programs)
                     ? programs
                     : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    folder = QDir(folder).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        *error = QCoreApplication::translate("ProgramOptions", "The data folder %1 cannot be created.").arg(folder);
        return {};
    }
    return folder;
}

QString siblingProgram(const QString &name)
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + u'/' + name + u".exe"_s;
#else
    return QCoreApplication::applicationDirPath() + u'/' + name;
#endif
}

bool startSibling(const QString &name, const QStringList &arguments)
{
    return QProcess::startDetached(siblingProgram(name), arguments);
}

bool wantsTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-?"
            || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}
