// Load Lessons of a full message set (540300 bytes, the keyer's capacity)
// with the trainer's real window, offscreen, into the simulated trainer
// keyer reading at the pace of a 38400-baud line: the time of the load
// next to the wire time of its stream.

#include "messageload.h"
#include "messagestore.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "trainerwindow.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int LineRate = 38400;

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimProcess sim;
    if (!sim.start({u"--letter"_s, u"T"_s, u"--line-paced"_s})) {
        std::fprintf(stderr, "the simulated trainer keyer did not start\n");
        return 1;
    }
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    settings.setSetting(u"LastUpdateTrainer"_s, QDate::currentDate().year() * 100 + QDate::currentDate().month());
    settings.setSetting(u"Baudrate"_s, LineRate);
    // Ten lessons of ten messages, 540300 bytes with their terminators.
    const qint64 each = MessageLoad::Capacity / 100 - 1;
    for (int message = 0; message < 100; ++message)
        MessageStore::write(MessageStore::fileName(message), QByteArray(each, 'e'));
    const MessageLoad::Survey survey = MessageLoad::survey();
    SerialKeyerPort port;
    TrainerWindow window(&settings, &port);
    window.setPortTable(PortTable({sim.device()}));
    QStringList messages;
    window.setMessageHook([&messages](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                                      QMessageBox::StandardButton) {
        messages << text;
        return QMessageBox::Ok;
    });
    window.show();
    if (!QTest::qWaitFor([&] { return window.startupResult() != TrainerWindow::StartupResult::NotRun; }, 30000)
        || window.startupResult() != TrainerWindow::StartupResult::Ready) {
        std::fprintf(stderr, "krt did not connect to the simulated keyer\n");
        return 1;
    }
    window.findChild<QTabWidget *>(u"tabScreens"_s)->setCurrentIndex(TrainerWindow::MessagesPage);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton *>(u"btnUseMessages"_s)->click();
    const double seconds = clock.nsecsElapsed() / 1e9;
    // The stream: each body and its terminator, the headers of messages 1..99, the end of the set.
    const qint64 stream = survey.total + 99 * 4 + 1;
    const double wire = stream * 10.0 / LineRate;
    std::printf("Load Lessons of %lld bytes (stream %lld bytes) at %d baud: %.2f s, wire time %.2f s "
                "(%+.2f %%; target within 2 %%)\n",
                survey.total, stream, LineRate, seconds, wire, (seconds - wire) * 100 / wire);
    std::printf("  messages: %s\n", qPrintable(messages.join(u" | "_s)));
    return messages.contains(u"Messages have been loaded into the keyer"_s) ? 0 : 1;
}
