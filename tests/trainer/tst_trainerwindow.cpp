#include "cwoiplink.h"
#include "cwoipwindow.h"
#include "fakekeyerport.h"
#include "manualwindow.h"
#include "messageload.h"
#include "messagestore.h"
#include "serialkeyerport.h"
#include "shortcutclashes.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "trainermessagestab.h"
#include "trainerwindow.h"

#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// krt's window, offscreen, against a simulated trainer keyer on a
// pseudo-terminal, in a temporary data folder.
struct Trainer
{
    explicit Trainer(const QStringList &simArguments = {u"--letter"_s, u"T"_s}, bool reminderDone = true)
    {
        QDir::setCurrent(dir.path());
        settings = std::make_unique<SettingsStore>(dir.filePath(u"settings.ini"_s));
        if (reminderDone)
            settings->setSetting(u"LastUpdateTrainer"_s, QDate::currentDate().year() * 100 + QDate::currentDate().month());
        simStarted = sim.start(simArguments);
    }

    void start()
    {
        window = std::make_unique<TrainerWindow>(settings.get(), &port);
        window->link().setWaitScale(0.1);
        window->setPortTable(PortTable({sim.device()}));
        window->setMessageHook([this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                                      QMessageBox::StandardButton) {
            messages << text;
            return answer;
        });
        window->setOpener([this](const QString &path) {
            opened << path;
            return true;
        });
        window->setHandOver([this] {
            ++handOvers;
            return true;
        });
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(window->startupResult() != TrainerWindow::StartupResult::NotRun, 20000);
        // The keyer reports its speeds after its block; the test goes on once they are in.
        if (window->startupResult() != TrainerWindow::StartupResult::HandedOver)
            QTRY_COMPARE(child<QLabel>(u"lblCSpeed"_s)->text(), u"CSpeed 20"_s);
    }

    template<typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QString monitor() const { return child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText(); }
    // The journal from line `from` on, without the identification.
    QStringList journalFrom(qsizetype from) { return sim.journal().mid(from); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings;
    SimProcess sim;
    bool simStarted = false;
    SerialKeyerPort port;
    std::unique_ptr<TrainerWindow> window;
    QStringList messages;
    QStringList opened;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    int handOvers = 0;
};

quint16 freePort()
{
    QTcpServer probe;
    for (quint16 port = quint16(20000 + QRandomGenerator::global()->bounded(15000));; ++port) {
        if (probe.listen(QHostAddress::Any, port))
            return port;
    }
}

} // namespace

// The trainer's window against the simulated trainer keyer: start-up, the
// keyer's events, the keypad, loading lessons, and two trainers on CW over IP.
class TestTrainerWindow : public QObject
{
    Q_OBJECT

private slots:
    void startup_data();
    void startup();
    void keyerEvents_data();
    void keyerEvents();
    void keypad_data();
    void keypad();
    void loadLessons_data();
    void loadLessons();
    void portCheck_data();
    void portCheck();
    void twoTrainersOverLoopback();
    void everyShortcutIsUnique();
    void f1OpensTheManualAtTheTabsSection_data();
    void f1OpensTheManualAtTheTabsSection();
};

void TestTrainerWindow::startup_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<bool>("reminderDone");
    QTest::addColumn<TrainerWindow::StartupResult>("result");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("tab");
    const QStringList trainer{u"--letter"_s, u"T"_s};
    QTest::newRow("trainer keyer") << trainer << true << TrainerWindow::StartupResult::Ready << QStringList{}
                                   << int(TrainerWindow::ConfigurationPage);
    QTest::newRow("update reminder due") << trainer << false << TrainerWindow::StartupResult::Ready
                                         << QStringList{u"Please check for software updates"_s}
                                         << int(TrainerWindow::SoftwarePage);
    QTest::newRow("firmware 4.0") << QStringList{u"--letter"_s, u"T"_s, u"--firmware"_s, u"40"_s} << true
                                  << TrainerWindow::StartupResult::Failed
                                  << QStringList{u"The trainer firmware has to be version 4.1.00 or higher"_s}
                                  << int(TrainerWindow::SoftwarePage);
    QTest::newRow("manager keyer: krv takes over") << QStringList{u"--letter"_s, u"K"_s} << true
                                                   << TrainerWindow::StartupResult::HandedOver << QStringList{}
                                                   << int(TrainerWindow::SoftwarePage);
}

void TestTrainerWindow::startup()
{
    QFETCH(QStringList, simArguments);
    QFETCH(bool, reminderDone);
    QFETCH(TrainerWindow::StartupResult, result);
    Trainer t(simArguments, reminderDone);
    QVERIFY(t.simStarted);
    t.settings->setSetting(u"MonitorFontSize"_s, u"11.75"_s);
    t.start();
    QCOMPARE(t.window->startupResult(), result);
    QTEST(t.messages, "messages");
    QTEST(t.child<QTabWidget>(u"tabScreens"_s)->currentIndex(), "tab");
    QCOMPARE(t.handOvers, result == TrainerWindow::StartupResult::HandedOver ? 1 : 0);
    if (result == TrainerWindow::StartupResult::HandedOver)
        return;
    // The configuration was read and shown whatever the firmware; the
    // monitor's font size is the stored one, fraction and all.
    QCOMPARE(t.child<QSlider>(u"ctlSpeedHigh"_s)->value(), 40);
    QCOMPARE(t.child<QPlainTextEdit>(u"txtMonitorText"_s)->font().pointSizeF(), 11.75);
    QCOMPARE(t.child<QLabel>(u"lblCSpeed"_s)->text(), u"CSpeed 20"_s);
    if (result == TrainerWindow::StartupResult::Ready) {
        QCOMPARE(t.window->record().firmwareVersion, "41"_ba);
        // Nobody is on CW over IP: the keyer is told so once.
        QVERIFY(t.sim.waitForJournal(u"cwoip listen"_s, 5000));
    }
    t.window->close();
}

void TestTrainerWindow::keyerEvents_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QString>("speeds");
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<QStringList>("messages");
    const QString standard = u"CSpeed 20 WSpeed 20"_s;
    QTest::newRow("speed report") << u"3C 31 39 30 45"_s << QString() << u"CSpeed 25 WSpeed 14"_s << u"0"_s
                                  << QStringList{};
    QTest::newRow("shift marks break lines") << u"41 0E 42 0F 43"_s << u"A\nB\nC"_s << standard << u"0"_s
                                             << QStringList{};
    QTest::newRow("prosigns, zero, accents") << u"2B 30 28 C0 23"_s << u"<ar>\u00D8<kn>\u00C0<sk>"_s << standard
                                             << u"0"_s << QStringList{};
    QTest::newRow("timer reset clears the monitor") << u"41 42 07 12"_s << QString() << standard << u"0"_s
                                                    << QStringList{};
    // Character space 5, word space 10, lesson 7: 20 × 50 / 71.
    QTest::newRow("configuration block")
        << u"14 30 38 30 43 35 41 37 46 30 41 32 38 33 33 30 35 30 41 30 37 30 30 30 30 30 30 03"_s << QString()
        << u"CSpeed 20 WSpeed 14"_s << u"7"_s << QStringList{};
    QTest::newRow("block cut short") << u"14 30 38 30 43 03"_s << QString() << standard << u"0"_s
                                     << QStringList{u"Communication with keyer failed - Error  2016N"_s};
}

void TestTrainerWindow::keyerEvents()
{
    QFETCH(QString, raw);
    QFETCH(QString, monitor);
    Trainer t;
    QVERIFY(t.simStarted);
    t.start();
    QCOMPARE(t.window->startupResult(), TrainerWindow::StartupResult::Ready);
    // The closing "." shows that everything before it has been handled.
    t.sim.control(u"raw "_s + raw + u" 2E"_s);
    QTRY_COMPARE_WITH_TIMEOUT(t.monitor(), monitor + u"."_s, 5000);
    QTEST(t.child<QLabel>(u"lblCSpeed"_s)->text() + u' ' + t.child<QLabel>(u"lblWSpeed"_s)->text(), "speeds");
    QTEST(t.child<QLineEdit>(u"txtLesson"_s)->text(), "lesson");
    QTEST(t.messages, "messages");
    t.window->close();
}

void TestTrainerWindow::keypad_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("ctrlFirst");
    QTest::addColumn<QString>("copied");
    QTest::addColumn<QString>("sent");
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << pad << false << QString() << u"keypad 5"_s;
    QTest::newRow("keypad Delete is .") << int(Qt::Key_Delete) << pad << false << QString() << u"keypad ."_s;
    QTest::newRow("keypad Page Up is 9") << int(Qt::Key_PageUp) << pad << false << QString() << u"keypad 9"_s;
    QTest::newRow("top-row 3 after Ctrl") << int(Qt::Key_3) << Qt::KeyboardModifiers() << true << QString()
                                          << u"keypad 3"_s;
    QTest::newRow("comma after Ctrl is *") << int(Qt::Key_Comma) << Qt::KeyboardModifiers() << true << QString()
                                           << u"keypad *"_s;
    QTest::newRow("top-row 3 is copy text") << int(Qt::Key_3) << Qt::KeyboardModifiers() << false << QString()
                                            << QString();
    QTest::newRow("Enter, copy box empty") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false << QString()
                                           << u"keypad 0D"_s;
    QTest::newRow("Enter while copying") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false << u"CQ"_s
                                         << QString();
    QTest::newRow("Escape") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << false << QString()
                            << u"keypad 02"_s;
}

void TestTrainerWindow::keypad()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, ctrlFirst);
    QFETCH(QString, copied);
    QFETCH(QString, sent);
    Trainer t;
    QVERIFY(t.simStarted);
    t.start();
    QCOMPARE(t.window->startupResult(), TrainerWindow::StartupResult::Ready);
    t.child<QTabWidget>(u"tabScreens"_s)->setCurrentIndex(TrainerWindow::MonitorPage);
    auto *copy = t.child<QPlainTextEdit>(u"txtMillText"_s);
    QApplication::setActiveWindow(t.window.get());
    copy->setFocus();
    QTRY_VERIFY(copy->hasFocus());
    copy->setPlainText(copied);
    if (ctrlFirst)
        QTest::keyClick(copy, Qt::Key_Control);
    QTest::keyClick(copy, Qt::Key(key), modifiers);
    // Keypad 7 afterwards: every key before it has arrived.
    QTest::keyClick(copy, Qt::Key_7, Qt::KeypadModifier);
    QVERIFY(t.sim.waitForJournal(u"keypad 7"_s, 5000));
    QStringList keypad = t.sim.journal().filter(QRegularExpression(u"^keypad "_s));
    keypad.removeLast();
    QCOMPARE(keypad, sent.isEmpty() ? QStringList{} : QStringList{sent});
    t.window->close();
}

void TestTrainerWindow::loadLessons_data()
{
    QTest::addColumn<bool>("generate");
    QTest::addColumn<QByteArray>("message37");
    QTest::addColumn<qsizetype>("message00Length");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<int>("cancelAt"); // percent of the bar; -1 never
    const QString question = u"This will erase and replace all messages in the keyer"_s;
    QTest::newRow("a generated lesson and a text file")
        << true << "TEST"_ba << qsizetype(0) << QMessageBox::Ok
        << QStringList{question, u"Messages have been loaded into the keyer"_s} << u"messages 2"_s << -1;
    // A keyer reading at its line speed: the output fills the terminal's
    // buffer many times over and has to wait for it.
    QTest::newRow("120 KB to a keyer that reads at line speed")
        << false << "TEST"_ba << qsizetype(120000) << QMessageBox::Ok
        << QStringList{question, u"Messages have been loaded into the keyer"_s} << u"messages 2"_s << -1;
    QTest::newRow("cancelled half-way") << false << "TEST"_ba << qsizetype(120000) << QMessageBox::Ok
                                        << QStringList{question, u"Data Transfer cancelled"_s} << QString() << 50;
    QTest::newRow("nothing to load") << false << QByteArray() << qsizetype(0) << QMessageBox::Ok
                                     << QStringList{u"No lessons found - you have to create some training material"_s}
                                     << QString() << -1;
    QTest::newRow("one byte over the capacity")
        << false << QByteArray() << qsizetype(540300) << QMessageBox::Ok
        << QStringList{u"Length of all messages exeeds keyer capacity by  1 bytes"_s} << QString() << -1;
    QTest::newRow("the operator cancels") << false << "TEST"_ba << qsizetype(0) << QMessageBox::Cancel
                                          << QStringList{question} << QString() << -1;
}

void TestTrainerWindow::loadLessons()
{
    QFETCH(bool, generate);
    QFETCH(QByteArray, message37);
    QFETCH(qsizetype, message00Length);
    QFETCH(QString, loaded);
    QFETCH(int, cancelAt);
    const bool large = message00Length > 0 && message00Length <= MessageLoad::Capacity;
    Trainer t(large ? QStringList{u"--letter"_s, u"T"_s, u"--line-paced"_s} : QStringList{u"--letter"_s, u"T"_s});
    QVERIFY(t.simStarted);
    if (large)
        t.settings->setSetting(u"Baudrate"_s, 460800);
    t.start();
    QCOMPARE(t.window->startupResult(), TrainerWindow::StartupResult::Ready);
    auto *progress = t.child<QProgressBar>(u"ctlLoadProgressBar"_s);
    connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
        if (cancelAt > 0 && value * 100 >= cancelAt * progress->maximum() && value < progress->maximum())
            t.child<QPushButton>(u"btnCancel"_s)->click();
    });
    if (!message37.isNull())
        QVERIFY(MessageStore::write(MessageStore::fileName(3, 7), message37).isEmpty());
    if (message00Length > 0)
        QVERIFY(MessageStore::write(MessageStore::fileName(0), QByteArray(message00Length, 'e')).isEmpty());
    if (generate) {
        t.child<QPushButton>(u"btnGenLetters"_s)->click();
        t.child<QPushButton>(u"btnCreateMessage"_s)->click();
        QCOMPARE(t.opened, QStringList{QDir(t.dir.path()).filePath(MessageStore::fileName(0))});
    }
    QFETCH(QMessageBox::StandardButton, answer);
    t.answer = answer;
    auto *tabs = t.child<QTabWidget>(u"tabScreens"_s);
    tabs->setCurrentIndex(TrainerWindow::MessagesPage);
    const qsizetype from = t.sim.journal().size();
    t.child<QPushButton>(u"btnUseMessages"_s)->click();
    QTEST(t.messages, "messages");
    if (cancelAt > 0) {
        // The stream stops short: the keyer gives the load up, and nothing of
        // the set counts as loaded.
        QVERIFY(t.sim.waitForJournal(u"abandoned load"_s, 5000, int(from)));
        QVERIFY(t.journalFrom(from).filter(u"messages "_s).isEmpty());
    } else if (loaded.isEmpty()) {
        QVERIFY(!t.journalFrom(from).contains(u"command L"_s));
    } else {
        QVERIFY(t.sim.waitForJournal(u"stop"_s, 5000, int(from)));
        QFile lesson(MessageStore::fileName(0));
        QVERIFY(lesson.open(QIODevice::ReadOnly));
        const QStringList expected{u"command L"_s,
                                   u"message 00 "_s + QString::fromLatin1(lesson.readAll().toHex().toUpper()),
                                   u"message 37 "_s + QString::fromLatin1(message37.toHex().toUpper()), loaded,
                                   u"stop"_s};
        QCOMPARE(t.journalFrom(from), expected);
    }
    // Everything the load rested is back.
    QVERIFY(t.child<QPushButton>(u"btnUseMessages"_s)->isEnabled());
    QVERIFY(tabs->tabBar()->isEnabled() && tabs->isTabEnabled(TrainerWindow::MonitorPage));
    QCOMPARE(tabs->currentIndex(), int(TrainerWindow::MessagesPage));
    t.window->close();
}

void TestTrainerWindow::portCheck_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("4999") << u"4999"_s << false;
    QTest::newRow("5000") << u"5000"_s << true;
    QTest::newRow("40000") << u"40000"_s << true;
    QTest::newRow("40001") << u"40001"_s << false;
    QTest::newRow("no number") << u"port"_s << false;
}

void TestTrainerWindow::portCheck()
{
    QFETCH(QString, port);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    CwoipLink link;
    QStringList messages;
    CWoIP window(&link, &settings, [&messages](bool, const QString &text) { messages << text; });
    window.prepare();
    window.findChild<QLineEdit *>(u"IPPort"_s)->setText(port);
    window.Listen_Click();
    const QString refused = u"The port has to be 5000 - 40000"_s;
    QCOMPARE(messages.contains(refused), !accepted);
    QCOMPARE(settings.setting(u"CWoIPPort"_s, {}), accepted ? port : QString());
    link.goOffline();
}

void TestTrainerWindow::twoTrainersOverLoopback()
{
    Trainer callee, caller;
    QVERIFY(callee.simStarted && caller.simStarted);
    callee.start();
    caller.start();
    QCOMPARE(callee.window->startupResult(), TrainerWindow::StartupResult::Ready);
    QCOMPARE(caller.window->startupResult(), TrainerWindow::StartupResult::Ready);
    CwoipLink::Intervals quiet;
    quiet.silenceMs = 600;
    quiet.leavePauseMs = 50;
    callee.window->cwoip().setIntervals(quiet);
    CwoipLink::Intervals chatty;
    chatty.greetingMs = 10;
    chatty.keepAliveMs = 100;
    chatty.leavePauseMs = 50;
    caller.window->cwoip().setIntervals(chatty);
    const QString port = QString::number(freePort());
    auto *calleeStatus = callee.child<QLabel>(u"lblOnAir"_s);
    auto *callerStatus = caller.child<QLabel>(u"lblOnAir"_s);

    callee.settings->setSetting(u"CWoIPPort"_s, port);
    callee.window->keyerPicture_Click();
    callee.window->cwoipWindow()->Listen_Click();
    QCOMPARE(calleeStatus->text(), u"Ready"_s);
    caller.settings->setSetting(u"CWoIPAddress"_s, u"127.0.0.1"_s);
    caller.settings->setSetting(u"CWoIPPort"_s, port);
    caller.window->keyerPicture_Click();
    caller.window->cwoipWindow()->Connect_Click();
    QCOMPARE(callerStatus->text(), u"Connected"_s);
    QVERIFY(!caller.window->cwoipWindow()->isVisible());
    QTRY_COMPARE(calleeStatus->text(), u"Connected"_s);
    QCOMPARE(callee.settings->setting(u"CWoIPAddress"_s, {}), u"127.0.0.1"_s);

    // Keyed on the caller's keyer, sounded by the callee's at the caller's speed.
    caller.sim.control(u"knob 24"_s);
    QTRY_COMPARE(caller.child<QLabel>(u"lblCSpeed"_s)->text(), u"CSpeed 24"_s);
    caller.sim.control(u"key CQ DE"_s);
    QVERIFY(callee.sim.waitForJournal(u"cwoip 24 E"_s, 10000));
    QCOMPARE(callee.sim.journal().filter(QRegularExpression(u"^cwoip 24"_s)),
             (QStringList{u"cwoip 24 C"_s, u"cwoip 24 Q"_s, u"cwoip 24 20"_s, u"cwoip 24 D"_s, u"cwoip 24 E"_s}));
    // The callee shows what it sounded, after SO, and sends none of it back.
    QTRY_COMPARE(callee.monitor(), u"CQ DE"_s);
    QVERIFY(caller.sim.journal().filter(QRegularExpression(u"^cwoip [0-9]"_s)).isEmpty());

    // Keep-alives hold the link through more than the callee's patience.
    QTest::qWait(1200);
    QCOMPARE(calleeStatus->text(), u"Connected"_s);
    QVERIFY(callee.messages.isEmpty());
    // The caller falls silent: the callee drops the link and listens again.
    chatty.keepAliveMs = 60000;
    caller.window->cwoip().setIntervals(chatty);
    QTRY_COMPARE_WITH_TIMEOUT(calleeStatus->text(), u"Ready"_s, 5000);
    QTRY_COMPARE(callee.messages, QStringList{u"CWoIP connection was dropped"_s});
    caller.window->close();
    callee.window->close();
}

void TestTrainerWindow::everyShortcutIsUnique()
{
    Trainer t;
    QVERIFY(t.simStarted);
    t.start();
    QCOMPARE(t.window->startupResult(), TrainerWindow::StartupResult::Ready);
    auto *tabs = t.child<QTabWidget>(u"tabScreens"_s);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        const QStringList clashes = shortcutClashes(t.window.get());
        QVERIFY2(clashes.isEmpty(), qPrintable(tabs->tabText(page) + u": "_s + clashes.join(u"; "_s)));
    }
    t.window->close();
}

// No keyer and no PDF in Docs: the built-in manual at the tab's section.
void TestTrainerWindow::f1OpensTheManualAtTheTabsSection_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("section");
    const QStringList sections{u"monitor-tab"_s, u"configuration-tab"_s, u"messages-tab"_s, u"software-tab"_s};
    for (int tab = 0; tab < int(sections.size()); ++tab)
        QTest::newRow(qPrintable(sections[tab])) << tab << false << sections[tab];
    QTest::newRow("Shift+F1") << int(TrainerWindow::SoftwarePage) << true << u"trainer-keyer-commands"_s;
}

void TestTrainerWindow::f1OpensTheManualAtTheTabsSection()
{
    QFETCH(int, tab);
    QFETCH(bool, shift);
    QFETCH(QString, section);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    FakeKeyerPort port;
    TrainerWindow window(&settings, &port);
    window.setMessageHook([](auto &&...) { return QMessageBox::Ok; });
    window.show();
    QTRY_VERIFY(window.startupResult() != TrainerWindow::StartupResult::NotRun);
    auto *tabs = window.findChild<QTabWidget *>(u"tabScreens"_s);
    tabs->setCurrentIndex(tab);
    QApplication::setActiveWindow(&window);
    tabs->tabBar()->setFocus();
    QTRY_VERIFY(tabs->tabBar()->hasFocus());
    QTest::keyClick(tabs->tabBar(), Qt::Key_F1, shift ? Qt::ShiftModifier : Qt::NoModifier);
    const auto *manual = window.findChild<ManualWindow *>();
    QVERIFY(manual && manual->isVisible());
    QCOMPARE(manual->section(), section);
}

QTEST_MAIN(TestTrainerWindow)
#include "tst_trainerwindow.moc"
