// The monitors in a long session: CPU per character the keyer reports,
// after 0, 50,000 and 500,000 characters already shown, in the manager's
// Terminal tab and the trainer's Monitor tab (offscreen, painted as they
// would be on a screen). The cost should not grow with the text shown.

#include "terminaltab.h"
#include "trainermonitortab.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Measured = 10000;
const QString Traffic = u"CQ TEST DE K1XYZ K1XYZ TEST 5NN 001 TU "_s;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Appends count characters of traffic one at a time, the window handling
// its events (layout, paint) after each, as it does when the keyer reports
// them; returns the CPU milliseconds per character.
double appendCharacters(const std::function<void(const QString &)> &append, qint64 count, qint64 *at)
{
    const double before = cpuSeconds();
    for (qint64 i = 0; i < count; ++i, ++*at) {
        append(Traffic.mid(int(*at % Traffic.size()), 1));
        QCoreApplication::processEvents();
    }
    return (cpuSeconds() - before) * 1000.0 / double(count);
}

void measure(const char *name, QWidget *window, const std::function<void(const QString &)> &append)
{
    window->resize(900, 400);
    window->show();
    QCoreApplication::processEvents();
    qint64 at = 0;
    double figures[3];
    const qint64 levels[3] = {0, 50000, 500000};
    for (int i = 0; i < 3; ++i) {
        // Filled fast, then measured at the keyer's pace of events.
        while (at < levels[i]) {
            append(Traffic.mid(int(at % Traffic.size()), 1));
            if (++at % 1000 == 0)
                QCoreApplication::processEvents();
        }
        figures[i] = appendCharacters(append, Measured, &at);
    }
    std::printf("%s: CPU per character after 0 / 50,000 / 500,000 characters: %.4f / %.4f / %.4f ms "
                "(last over first %.2f, target <= 1.20)\n",
                name, figures[0], figures[1], figures[2], figures[2] / figures[0]);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QFile audit(dir.filePath(u"audit.txt"_s));
    if (!audit.open(QIODevice::Append)) {
        std::fprintf(stderr, "no audit file\n");
        return 1;
    }
    const auto spill = [&audit](const QString &lines) { return audit.write(lines.toUtf8()) > 0; };
    {
        TerminalTab terminal;
        terminal.setMonitorSpill(spill);
        measure("krv Terminal tab", &terminal, [&terminal](const QString &text) { terminal.monitorAppend(text); });
    }
    {
        TrainerMonitorTab monitor;
        monitor.setMonitorSpill(spill);
        measure("krt Monitor tab", &monitor, [&monitor](const QString &text) { monitor.monitorAppend(text); });
    }
    std::printf("scrolled out to the audit file: %lld bytes\n", audit.size());
    return 0;
}
