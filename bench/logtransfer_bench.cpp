// Save Log of a full keyer log (12000 records) with the real window,
// offscreen, against the simulated keyer running as its own program:
//  - at 38400 baud with the keyer sending at the pace of the line: the time
//    of the transfer next to the wire time (12000 x 89 bytes x 10 bits);
//  - with the keyer sending as fast as the pseudo-terminal takes it: the
//    manager's CPU time per record.
// "--quick" leaves out the first run, which takes as long as the wire.

#include "configuration.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Records = 12000;
constexpr int LineRate = 38400;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Run
{
    double seconds = 0;
    double cpu = 0;
    QStringList messages;
};

// One Save Log on a fresh manager; paced: the keyer keeps to the line rate.
bool saveLog(bool paced, Run *run)
{
    SimProcess sim;
    if (!sim.start({u"--qso-count"_s, QString::number(Records)})) {
        std::fprintf(stderr, "the simulated keyer did not start\n");
        return false;
    }
    if (!paced)
        sim.control(u"pace off"_s);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    const QDate today = QDate::currentDate();
    settings.setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    settings.setSetting(u"KRVLastScreen"_s, 4);
    settings.setSetting(u"Baudrate"_s, LineRate);
    SerialKeyerPort port;
    auto window = std::make_unique<Configuration>(&settings, &port, ProgramOptions{});
    window->setPortTable(PortTable({sim.device()}));
    window->setMessageHook([run](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                                 QMessageBox::StandardButton) {
        run->messages << text;
        return QMessageBox::Ok;
    });
    window->show();
    if (!QTest::qWaitFor([&] { return window->startupResult() != Configuration::StartupResult::NotRun
                                      && sim.waitForJournal(u"clock"_s, 0); },
                         30000)
        || window->startupResult() != Configuration::StartupResult::Ready) {
        std::fprintf(stderr, "krv did not connect to the simulated keyer\n");
        return false;
    }
    auto *button = window->findChild<QPushButton *>(u"btnSaveLog"_s);
    QElapsedTimer clock;
    clock.start();
    const double before = cpuSeconds();
    button->click();
    run->cpu = cpuSeconds() - before;
    run->seconds = clock.nsecsElapsed() / 1e9;
    window->close();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(u"--quick"_s);

    if (!quick) {
        Run run;
        if (!saveLog(true, &run))
            return 1;
        const double wire = Records * 89.0 * 10 / LineRate;
        std::printf("Save Log of %d records at %d baud: %.2f s, wire time %.2f s (%+.2f %%; target within 1 %%)\n",
                    Records, LineRate, run.seconds, wire, (run.seconds - wire) * 100 / wire);
        std::printf("  message: %s\n", qPrintable(run.messages.join(u" | "_s)));
    }
    Run run;
    if (!saveLog(false, &run))
        return 1;
    std::printf("Save Log of %d records, keyer unpaced: %.2f s, CPU %.3f s = %.2f us per record (target < 20 us)\n",
                Records, run.seconds, run.cpu, run.cpu * 1e6 / Records);
    std::printf("  message: %s\n", qPrintable(run.messages.join(u" | "_s)));
    return 0;
}
