// Start-up and idle cost of krv against the simulated keyer.
//
// Prints the time from launching krv to the end of its start-up (the keyer
// clock is set last) against the waits that start-up prescribes itself, and
// the CPU time krv uses while connected and idle for 10 seconds.

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Waits prescribed by start-up: 100 before opening, 200 after, 500 before
// the configuration read, 200 after it.
constexpr int PrescribedWaitMs = 1000;
constexpr int IdleSeconds = 10;
constexpr int Launches = 5;

double cpuSeconds(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses; utime and stime are 14 and 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

bool waitForLine(QProcess &sim, const QByteArray &prefix, int timeoutMs, QByteArray *pending)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        sim.waitForReadyRead(5);
        *pending += sim.readAllStandardOutput();
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            const QByteArray line = pending->left(end);
            pending->remove(0, end + 1);
            if (line.startsWith(prefix))
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();

    QList<qint64> readyTimes;
    double idleCpu = -1;
    for (int launch = 0; launch < Launches; ++launch) {
        QProcess sim;
        // The keyer answering at once: what is left beyond the prescribed
        // waits is the program's own.
        sim.start(bin + u"/dashwright-sim"_s, {u"--event-gap"_s, u"0"_s});
        if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "dashwright-sim did not start\n");
            return 1;
        }
        const QString device = QString::fromLocal8Bit(sim.readLine().trimmed());

        QTemporaryDir dir;
        QSettings settings(dir.filePath(u"config/Dashwright/Dashwright.conf"_s), QSettings::IniFormat);
        const QDate today = QDate::currentDate();
        settings.setValue(u"Settings/LastUpdate"_s, QString::number(today.year() * 100 + today.month()));
        settings.sync();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);

        QProcess krv;
        krv.setProcessEnvironment(env);
        krv.setProcessChannelMode(QProcess::ForwardedChannels);
        QElapsedTimer clock;
        clock.start();
        krv.start(bin + u"/krv"_s, {u"--port"_s, device, u"--data"_s, dir.path()});
        QByteArray pending;
        if (!waitForLine(sim, "clock", 30000, &pending)) {
            std::fprintf(stderr, "krv did not reach the end of its start-up\n");
            return 1;
        }
        readyTimes << clock.elapsed();

        if (launch == 0) {
            // Let the last replies settle, then measure a quiet stretch.
            QThread::msleep(500);
            const double before = cpuSeconds(krv.processId());
            QThread::sleep(IdleSeconds);
            const double after = cpuSeconds(krv.processId());
            idleCpu = (after - before) / IdleSeconds * 100.0;
        }
        ::kill(pid_t(krv.processId()), SIGTERM);
        krv.waitForFinished(10000);
        sim.terminate();
        sim.waitForFinished(3000);
    }

    std::sort(readyTimes.begin(), readyTimes.end());
    const qint64 median = readyTimes.at(readyTimes.size() / 2);
    std::printf("launch to ready: min %lld ms, median %lld ms, max %lld ms over %d launches\n",
                readyTimes.first(), median, readyTimes.last(), Launches);
    std::printf("waits prescribed by start-up: %d ms; beyond them: median %lld ms (target <= 100 ms)\n",
                PrescribedWaitMs, median - PrescribedWaitMs);
    std::printf("CPU while connected and idle for %d s: %.2f %% of one core (target < 1 %%)\n", IdleSeconds,
                idleCpu);
    return 0;
}
