// dashwright-sim: the simulated keyer on a pseudo-terminal. The first line
// of standard output is the device to open; after it comes one journal line
// per command the host sent. Control commands arrive on standard input.

#include "controlinput.h"
#include "logseed.h"
#include "ptyendpoint.h"
#include "simulatedkeyer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the master is closed properly.
bool installSignalHandlers()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    // A host that vanished must not kill us through a broken journal pipe.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

// A closed standard descriptor would be handed to the pseudo-terminal, and
// then the journal or the control input would talk to the device.
void occupyClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int null = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
            if (null >= 0 && null != fd) {
                ::dup2(null, fd);
                ::close(null);
            }
        }
    }
}

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString &line)
{
    std::fputs(("dashwright-sim: "_ba + line.toLocal8Bit() + '\n').constData(), stderr);
    std::fflush(stderr);
}

} // namespace

int main(int argc, char *argv[])
{
    occupyClosedStandardDescriptors();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"dashwright-sim"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Simulated Dashwright keyer on a pseudo-terminal. Prints the device path as its first line, "
        "then one line per command received from the host. Reads control lines from standard input (\"help\" lists them)."_s);
    parser.addHelpOption();
    const QCommandLineOption letterOption(u"letter"_s, u"Device letter of the identify answer: K (default) or T."_s,
                                          u"K|T"_s, u"K"_s);
    const QCommandLineOption baudOption(u"baud"_s, u"Answer only when the host uses this line speed."_s, u"N"_s);
    const QCommandLineOption idleOption(u"idle-exit"_s,
                                        u"End when nobody has had the device open for this many seconds."_s,
                                        u"SECONDS"_s);
    const QCommandLineOption firmwareOption(u"firmware"_s, u"Firmware version, two characters (default 41)."_s,
                                            u"VV"_s, u"41"_s);
    const QCommandLineOption buildOption(u"build"_s, u"Firmware build, two characters (default 10)."_s, u"BB"_s,
                                         u"10"_s);
    const QCommandLineOption countOption(u"qso-count"_s,
                                         u"Number of QSOs in the log, made up as a station might have worked them (default 0)."_s,
                                         u"N"_s, u"0"_s);
    const QCommandLineOption logOption(u"log"_s, u"The log to start with: the records of a native log file (.krv)."_s,
                                       u"FILE"_s);
    const QCommandLineOption gapOption(u"event-gap"_s,
                                       u"Milliseconds between the parts of an answer (default 50, as the keyer)."_s,
                                       u"MS"_s, u"50"_s);
    const QCommandLineOption pacedOption(u"line-paced"_s,
                                         u"Read the host's bytes no faster than its line speed carries them."_s);
    parser.addOptions({letterOption, baudOption, idleOption, firmwareOption, buildOption, countOption, logOption,
                       pacedOption, gapOption});
    parser.process(app);

    auto fail = [&](const QString &message) {
        printError(message);
        return 2;
    };

    const QString letter = parser.value(letterOption);
    if (letter != u"K" && letter != u"T")
        return fail(u"--letter must be K or T"_s);
    const QString firmware = parser.value(firmwareOption);
    const QString build = parser.value(buildOption);
    if (firmware.size() != 2 || build.size() != 2)
        return fail(u"--firmware and --build take two characters"_s);
    bool ok = true;
    const int qsoCount = parser.value(countOption).toInt(&ok);
    if (!ok || qsoCount < 0 || qsoCount > 32767)
        return fail(u"--qso-count must be 0..32767"_s);
    int baud = 0;
    if (parser.isSet(baudOption)) {
        baud = parser.value(baudOption).toInt(&ok);
        if (!ok || baud <= 0)
            return fail(u"--baud must be a positive number"_s);
    }
    const int eventGap = parser.value(gapOption).toInt(&ok);
    if (!ok || eventGap < 0)
        return fail(u"--event-gap must be 0 or more milliseconds"_s);
    int idleExit = 0;
    if (parser.isSet(idleOption)) {
        idleExit = parser.value(idleOption).toInt(&ok);
        if (!ok || idleExit <= 0)
            return fail(u"--idle-exit must be a positive number of seconds"_s);
    }

    if (!installSignalHandlers())
        return fail(u"cannot set up signal handling"_s);

    SimulatedKeyer keyer;
    ConfigRecord config = keyer.config();
    config.firmwareVersion = firmware.toLatin1();
    config.firmwareBuild = build.toLatin1();
    keyer.setConfig(config);
    if (parser.isSet(logOption)) {
        QList<LogRecord> records;
        QString error;
        if (!LogSeed::readFile(parser.value(logOption), &records, &error))
            return fail(error);
        keyer.seedLog(records);
    } else {
        keyer.seedLog(LogSeed::generate(qsoCount, QDateTime::currentDateTimeUtc()));
    }
    keyer.setDeviceLetter(char(letter.at(0).unicode()));
    keyer.setRequiredLineSpeed(baud);
    keyer.setEventGap(eventGap);

    PtyEndpoint endpoint;
    if (!endpoint.open())
        return fail(u"cannot create a pseudo-terminal: "_s + endpoint.errorString());
    endpoint.setIdleExit(idleExit);
    endpoint.setLinePaced(parser.isSet(pacedOption));
    endpoint.attach(&keyer);
    QObject::connect(&endpoint, &PtyEndpoint::idleTimeout, &app, [] {
        printError(u"nobody has opened the device; ending"_s);
        QCoreApplication::quit();
    });
    QObject::connect(&keyer, &SimulatedKeyer::journal, &app, &printLine);

    printLine(endpoint.slavePath());

    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

    ControlInput control(&keyer);
    QObject::connect(&control, &ControlInput::error, &app, &printError);
    QObject::connect(&control, &ControlInput::help, &app, [](const QString &text) {
        std::fputs((text.toLocal8Bit() + '\n').constData(), stderr);
        std::fflush(stderr);
    });
    QObject::connect(&control, &ControlInput::vanishRequested, &app, [&endpoint] {
        endpoint.close();
        QCoreApplication::quit();
    });

    // Standard input may be closed, /dev/null or a pipe that ends; none of
    // that ends the program. At its end the notifier goes off, or it would
    // report the end for ever.
    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0) {
            control.addText(QByteArray(buffer, n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            control.addText("\n"_ba); // a last line without its line end
            stdinNotifier.setEnabled(false);
        }
    });

    const int result = app.exec();
    endpoint.close();
    return result;
}
