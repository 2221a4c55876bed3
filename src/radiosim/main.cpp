// dashwright-radio: a simulated Elecraft K3 or KX3 on a pseudo-terminal.
// The first line of standard output is the device to open; after it comes
// one journal line per command the host sent. Front-panel actions arrive
// as lines on standard input, and on the control FIFO when one is named.

#include "ptyendpoint.h"
#include "radiocontrol.h"
#include "simulatedradio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void printLine(const QString &line)
{
    std::fputs((line.toLocal8Bit() + '\n').constData(), stdout);
    std::fflush(stdout);
}

void printError(const QString &line)
{
    std::fputs(("dashwright-radio: "_ba + line.toLocal8Bit() + '\n').constData(), stderr);
    std::fflush(stderr);
}

// Lines from a descriptor into the control input until it ends.
void readLines(int fd, RadioControl *control, QObject *owner)
{
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [fd, control, notifier] {
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            control->addText(QByteArray(buffer, n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            control->addText("\n"_ba);
            notifier->setEnabled(false);
        }
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"dashwright-radio"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Simulated Elecraft K3 or KX3 on a pseudo-terminal. Prints the device path as its first line, then one "
        "line per CAT command received. Front-panel actions are read from standard input: band N, mode N, "
        "vox [0|1], off, on, garbage on|off, busy N, answer CMD TEXT, raw TEXT, unplug."_s);
    parser.addHelpOption();
    const QCommandLineOption modelOption(u"model"_s, u"K3 (default) or KX3."_s, u"MODEL"_s, u"K3"_s);
    const QCommandLineOption baudOption(u"baud"_s, u"Answer only when the host uses this line speed."_s, u"N"_s);
    const QCommandLineOption idleOption(u"idle-exit"_s,
                                        u"End when nobody has had the device open for this many seconds."_s,
                                        u"SECONDS"_s);
    const QCommandLineOption controlOption(u"control"_s, u"Also read front-panel actions from this FIFO (made when missing)."_s,
                                           u"PATH"_s);
    const QCommandLineOption watchOption(u"watch-pid"_s, u"End when the process with this id has ended."_s, u"PID"_s);
    parser.addOptions({modelOption, baudOption, idleOption, controlOption, watchOption});
    parser.process(app);

    const auto fail = [](const QString &message) {
        printError(message);
        return 2;
    };
    const QString model = parser.value(modelOption).toUpper();
    if (model != u"K3" && model != u"KX3")
        return fail(u"--model must be K3 or KX3"_s);
    bool ok = true;
    const int baud = parser.isSet(baudOption) ? parser.value(baudOption).toInt(&ok) : 0;
    if (!ok || baud < 0)
        return fail(u"--baud must be a positive number"_s);
    const int idleExit = parser.isSet(idleOption) ? parser.value(idleOption).toInt(&ok) : 0;
    if (!ok || idleExit < 0)
        return fail(u"--idle-exit must be a positive number of seconds"_s);
    const qint64 watched = parser.isSet(watchOption) ? parser.value(watchOption).toLongLong(&ok) : 0;
    if (!ok || watched < 0)
        return fail(u"--watch-pid must be a process id"_s);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return fail(u"cannot set up signal handling"_s);
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimulatedRadio radio(model == u"K3" ? SimulatedRadio::Model::K3 : SimulatedRadio::Model::KX3);
    radio.setRequiredLineSpeed(baud);
    PtyEndpoint endpoint;
    if (!endpoint.open())
        return fail(u"cannot create a pseudo-terminal: "_s + endpoint.errorString());
    endpoint.setIdleExit(idleExit);
    QObject::connect(&endpoint, &PtyEndpoint::received, &radio, [&radio](const QByteArray &bytes, qint32 speed) {
        radio.setLineSpeed(speed);
        radio.feed(bytes);
    });
    QObject::connect(&radio, &SimulatedRadio::transmit, &endpoint, &PtyEndpoint::write);
    QObject::connect(&radio, &SimulatedRadio::journal, &app, &printLine);
    QObject::connect(&endpoint, &PtyEndpoint::idleTimeout, &app, [] {
        printError(u"nobody has opened the device; ending"_s);
        QCoreApplication::quit();
    });
    printLine(endpoint.slavePath());

    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

    RadioControl control(&radio);
    QObject::connect(&control, &RadioControl::error, &app, &printError);
    QObject::connect(&control, &RadioControl::unplugRequested, &app, [&endpoint] {
        endpoint.close();
        QCoreApplication::quit();
    });
    if (::fcntl(STDIN_FILENO, F_GETFD) != -1)
        readLines(STDIN_FILENO, &control, &app);

    QByteArray fifo;
    if (parser.isSet(controlOption)) {
        fifo = QFile::encodeName(parser.value(controlOption));
        if (::mkfifo(fifo.constData(), 0600) != 0 && errno != EEXIST)
            return fail(u"cannot make the control FIFO %1"_s.arg(parser.value(controlOption)));
        // Opened for writing too, so that the FIFO never reads as ended
        // between two writers.
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const int keeper = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader < 0 || keeper < 0)
            return fail(u"cannot open the control FIFO %1"_s.arg(parser.value(controlOption)));
        readLines(reader, &control, &app);
    }

    QTimer watch;
    if (watched > 0) {
        QObject::connect(&watch, &QTimer::timeout, &app, [watched] {
            if (::kill(pid_t(watched), 0) != 0 && errno == ESRCH)
                QCoreApplication::quit();
        });
        watch.start(1000);
    }

    const int result = app.exec();
    endpoint.close();
    if (!fifo.isEmpty())
        ::unlink(fifo.constData());
    return result;
}
