// Typing to the keyer: how long a key typed in immediate mode takes to
// leave the serial port as its send-character command, the manager's CPU
// time per character while a 500-character message goes out, and how fast
// Esc stops a message: the stop byte at the keyer, any send-character
// command after the key, and the transmission closed.
//
// The window runs offscreen in this process. For the latency the keyer is
// simulated in this process too, so that the moment the bytes come out of
// the pseudo-terminal is read on the same clock as the key. For the CPU
// time the simulated keyer runs as its own program, so that only the
// manager's work is counted.

#include "configuration.h"
#include "demokeyer.h"
#include "ptyendpoint.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simulatedkeyer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Keys = 60;
constexpr int MessageLength = 500;
constexpr int EscapeRuns = 5;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Manager
{
    explicit Manager(const QString &device)
    {
        const QDate today = QDate::currentDate();
        settings.setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
        settings.setSetting(u"KRVLastScreen"_s, 1);
        QDir::setCurrent(dir.path());
        window = std::make_unique<Configuration>(&settings, &port, ProgramOptions{});
        window->setPortTable(PortTable({device}));
        window->setMessageHook([](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                                  QMessageBox::StandardButton) {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
            return QMessageBox::Ok;
        });
        window->show();
        QElapsedTimer wait;
        wait.start();
        while (window->startupResult() == Configuration::StartupResult::NotRun && wait.elapsed() < 30000)
            QTest::qWait(20);
        QTest::qWait(1500); // the clock setting ends start-up
        sendBuffer = window->findChild<QPlainTextEdit *>(u"txtSendBuffer"_s);
        QApplication::setActiveWindow(window.get());
        sendBuffer->setFocus();
        // Keys reach the window's keyboard handling through the focus.
        for (int i = 0; i < 100 && !sendBuffer->hasFocus(); ++i)
            QTest::qWait(20);
        if (!sendBuffer->hasFocus())
            std::fprintf(stderr, "the send buffer does not get the focus\n");
    }

    void setSpeed(int wpm) { window->findChild<QSlider *>(u"speedSlider"_s)->setValue(wpm); }

    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(u"settings.ini"_s)};
    SerialKeyerPort port;
    std::unique_ptr<Configuration> window;
    QPlainTextEdit *sendBuffer = nullptr;
};

// The simulated keyer in this process, so that what comes out of the
// pseudo-terminal is read on the same clock as the keys.
struct InProcessKeyer
{
    bool open()
    {
        if (!pty.open()) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(pty.errorString()));
            return false;
        }
        pty.attach(&keyer);
        return true;
    }

    SimulatedKeyer keyer;
    PtyEndpoint pty;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Key to wire, in immediate mode while the transmission is open.
    QList<qint64> latencies;
    {
        InProcessKeyer inProcess;
        if (!inProcess.open())
            return 1;
        PtyEndpoint &pty = inProcess.pty;
        QElapsedTimer clock;
        clock.start();
        qint64 keyAt = -1;
        QObject::connect(&pty, &PtyEndpoint::received, [&](const QByteArray &bytes) {
            if (keyAt >= 0 && bytes.contains("\x09" "E")) {
                latencies << clock.nsecsElapsed() - keyAt;
                keyAt = -1;
            }
        });
        Manager manager(pty.slavePath());
        if (manager.window->startupResult() != Configuration::StartupResult::Ready) {
            std::fprintf(stderr, "krv did not connect to the simulated keyer\n");
            return 1;
        }
        manager.setSpeed(30);
        manager.window->findChild<QCheckBox *>(u"cbxSendImmediate"_s)->setChecked(true);
        // "E" is keyed in 160 ms at 30 wpm and the transmission stays open
        // for 400 ms, so a key every 250 ms finds it open and the keyer idle.
        // The first key opens the transmission (with its 50 ms pause) and is
        // not counted. Each key has a timer of its own: the key's handling
        // runs the transmission, and a timer does not fire inside itself.
        int typed = 0;
        std::function<void()> typeNext = [&] {
            if (typed++ == Keys)
                return;
            QTimer::singleShot(250, typeNext);
            keyAt = typed > 1 ? clock.nsecsElapsed() : -1;
            QTest::keyClick(manager.sendBuffer, Qt::Key_E);
        };
        typeNext();
        while (typed <= Keys)
            QTest::qWait(50);
        QTest::qWait(1000);
    }

    // Esc 3 s into a 60-character message at 20 wpm.
    QList<qint64> toStopByte, toClosed;
    int charactersAfterEscape = 0;
    {
        InProcessKeyer inProcess;
        if (!inProcess.open())
            return 1;
        PtyEndpoint &pty = inProcess.pty;
        QElapsedTimer clock;
        clock.start();
        qint64 escAt = -1;
        qint64 stopAt = -1;
        QObject::connect(&pty, &PtyEndpoint::received, [&](const QByteArray &bytes) {
            if (escAt < 0)
                return;
            for (qsizetype i = 0; i < bytes.size(); ++i) {
                if (bytes.at(i) == KeyerCommand::StopTransfer && stopAt < 0)
                    stopAt = clock.nsecsElapsed();
                if (bytes.at(i) == KeyerCommand::SendCharacter && stopAt < 0)
                    ++charactersAfterEscape;
            }
        });
        Manager manager(pty.slavePath());
        manager.setSpeed(20);
        for (int run = 0; run < EscapeRuns; ++run) {
            manager.window->clearSendBuffer(false);
            manager.sendBuffer->setPlainText(u"CQ CQ CQ DE K1XYZ K1XYZ K1XYZ PSE K CQ CQ CQ DE K1XYZ K1XYZ K "_s);
            escAt = stopAt = -1;
            qint64 closedAt = -1;
            // The message runs inside its own handler; the key comes from
            // a timer within it, as a key press would.
            QTimer::singleShot(0, [&] {
                manager.window->btnSendMessage_Click();
                closedAt = clock.nsecsElapsed();
            });
            QTimer::singleShot(3000, [&] {
                escAt = clock.nsecsElapsed();
                QTest::keyClick(manager.sendBuffer, Qt::Key_Escape);
            });
            while (closedAt < 0)
                QTest::qWait(20);
            QTest::qWait(500);
            if (stopAt > 0)
                toStopByte << stopAt - escAt;
            toClosed << closedAt - escAt;
        }
    }

    // CPU per character of a long message, the keyer in its own process.
    double cpuPerCharacterMs = -1;
    double idlePerCharacterMs = -1;
    {
        DemoKeyer keyer;
        if (!keyer.start()) {
            std::fprintf(stderr, "%s\n", qPrintable(keyer.errorString()));
            return 1;
        }
        Manager manager(keyer.device());
        manager.setSpeed(75);
        QString message;
        while (message.size() < MessageLength)
            message += u"CQ TEST DE K1XYZ "_s;
        message.truncate(MessageLength);
        manager.sendBuffer->setPlainText(message);
        // What the window costs doing nothing (clock, caret) over as long.
        QElapsedTimer sending;
        sending.start();
        const double before = cpuSeconds();
        manager.window->btnSendMessage_Click();
        const double busy = cpuSeconds() - before;
        const qint64 duration = sending.elapsed();
        const double idleBefore = cpuSeconds();
        // A plain event loop: QTest::qWait would wake every 10 ms itself.
        QEventLoop idleLoop;
        QTimer::singleShot(int(duration), &idleLoop, &QEventLoop::quit);
        idleLoop.exec();
        const double idle = cpuSeconds() - idleBefore;
        cpuPerCharacterMs = busy * 1000.0 / MessageLength;
        idlePerCharacterMs = idle * 1000.0 / MessageLength;
        std::printf("message of %d characters sent in %.1f s\n", MessageLength, duration / 1000.0);
    }

    if (latencies.isEmpty()) {
        std::fprintf(stderr, "no key reached the keyer\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("key to wire in immediate mode: median %.3f ms, 90th percentile %.3f ms, max %.3f ms over %lld keys"
                " (target: median < 2 ms)\n",
                latencies.at(latencies.size() / 2) / 1e6, latencies.at(latencies.size() * 9 / 10) / 1e6,
                latencies.last() / 1e6, qint64(latencies.size()));
    std::printf("CPU per character of a %d-character message: %.4f ms, of which the idle window's share %.4f ms "
                "(target < 0.2 ms)\n",
                MessageLength, cpuPerCharacterMs, idlePerCharacterMs);
    std::sort(toStopByte.begin(), toStopByte.end());
    std::sort(toClosed.begin(), toClosed.end());
    if (toStopByte.size() != EscapeRuns) {
        std::fprintf(stderr, "the stop byte reached the keyer in %lld of %d runs\n", qint64(toStopByte.size()),
                     EscapeRuns);
        return 1;
    }
    std::printf("Esc in a message at 20 wpm, %d runs: stop byte at the keyer after median %.3f ms, max %.3f ms; "
                "transmission closed after median %.3f ms, max %.3f ms; send-character commands after Esc: %d "
                "(target: none, closed within 5 ms)\n",
                EscapeRuns, toStopByte.at(EscapeRuns / 2) / 1e6, toStopByte.last() / 1e6,
                toClosed.at(EscapeRuns / 2) / 1e6, toClosed.last() / 1e6, charactersAfterEscape);
    return 0;
}
