// Save Log and Restore Log of a full keyer log (12000 records) with the
// real window, offscreen, against the simulated keyer running as its own
// program:
//  - Save Log at 38400 baud with the keyer sending at the pace of the line:
//    the time of the transfer next to the wire time (12000 x 89 bytes x 10
//    bits);
//  - Restore Log at 38400 baud into an empty keyer that reads and echoes
//    at the pace of the line: next to the wire time of the records and
//    their echoes (12000 x 2 x 89 bytes x 10 bits; each record waits for
//    the echo of the one before);
//  - Save Log with the keyer sending as fast as the pseudo-terminal takes
//    it: the manager's CPU time per record.
// "--quick" leaves out the paced runs, which take as long as the wire;
// "--restore" runs only the Restore; "--records N" takes N records.

#include "configuration.h"
#include "logseed.h"
#include "nativelogfile.h"
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

int Records = 12000;
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

// One Save Log (or Restore Log of a file of Records records into an empty
// keyer) on a fresh manager; paced: the keyer keeps to the line rate.
bool transfer(bool restore, bool paced, Run *run)
{
    SimProcess sim;
    QStringList arguments{u"--qso-count"_s, QString::number(restore ? 0 : Records)};
    if (restore)
        arguments << u"--line-paced"_s;
    if (!sim.start(arguments)) {
        std::fprintf(stderr, "the simulated keyer did not start\n");
        return false;
    }
    if (!paced)
        sim.control(u"pace off"_s);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (restore) {
        QDir().mkpath(u"LogFiles"_s);
        QFile file(u"LogFiles/K1XYZ_230501120000.krv"_s);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QList<LogRecord> log = LogSeed::generate(Records, QDateTime(QDate(2023, 5, 1), QTime(12, 0), Qt::UTC));
        for (const LogRecord &record : log)
            NativeLogFile::writeRecord(&file, record.encode());
    }
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
    auto *button = window->findChild<QPushButton *>(restore ? u"btnRestoreLog"_s : u"btnSaveLog"_s);
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
    const QStringList arguments = app.arguments();
    const bool quick = arguments.contains(u"--quick"_s);
    const bool restoreOnly = arguments.contains(u"--restore"_s);
    if (const qsizetype at = arguments.indexOf(u"--records"_s); at > 0 && at + 1 < arguments.size())
        Records = qBound(1, arguments.at(at + 1).toInt(), 12000);

    if (!quick) {
        if (!restoreOnly) {
            Run run;
            if (!transfer(false, true, &run))
                return 1;
            const double wire = Records * 89.0 * 10 / LineRate;
            std::printf("Save Log of %d records at %d baud: %.2f s, wire time %.2f s (%+.2f %%; target within 1 %%)\n",
                        Records, LineRate, run.seconds, wire, (run.seconds - wire) * 100 / wire);
            std::printf("  message: %s\n", qPrintable(run.messages.join(u" | "_s)));
        }
        Run restore;
        if (!transfer(true, true, &restore))
            return 1;
        const double both = Records * 2 * 89.0 * 10 / LineRate;
        std::printf("Restore Log of %d records at %d baud: %.2f s, wire time of records and echoes %.2f s "
                    "(%+.2f %%; target within 2 %%)\n",
                    Records, LineRate, restore.seconds, both, (restore.seconds - both) * 100 / both);
        std::printf("  message: %s\n", qPrintable(restore.messages.join(u" | "_s)));
        if (restoreOnly)
            return 0;
    }
    Run run;
    if (!transfer(false, false, &run))
        return 1;
    std::printf("Save Log of %d records, keyer unpaced: %.2f s, CPU %.3f s = %.2f us per record (target < 20 us)\n",
                Records, run.seconds, run.cpu, run.cpu * 1e6 / Records);
    std::printf("  message: %s\n", qPrintable(run.messages.join(u" | "_s)));
    return 0;
}
