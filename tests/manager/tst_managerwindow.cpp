#include "configuration.h"
#include "configurationtab.h"
#include "fakekeyerport.h"
#include "manualwindow.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "shortcutclashes.h"
#include "station.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

using namespace Qt::StringLiterals;


class TestManagerWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUpConfigureKeyAndShutDown();
    void lookupFilesLoadAtStartUp();
    void keyerVanishingLeavesWindowUsable();
    void failedUseConfigurationCanBeRetried();
    void keyerIsRememberedByItsStableName_data();
    void keyerIsRememberedByItsStableName();
    void searchShowsEachTryAndCanBeCancelled();
    void unframedBlockIsReportedAndWindowGoesOn();
    void trainerKeyerIsHandedOver();
    void wrongDeviceLetterAsksForFirmware();
    void oldFirmwareStopsStartUp();
    void silentKeyerFailsWithPresetMessage();
    void everyShortcutIsUniqueAndEveryControlFits();
    void demoStationPlaysAWholeQso();
    void f1OpensTheManualAtTheTabsSection_data();
    void f1OpensTheManualAtTheTabsSection();
};

void TestManagerWindow::startUpConfigureKeyAndShutDown()
{
    Station station;
    QVERIFY(station.simStarted);
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    station.settings->setSetting(u"MonitorFontSize"_s, u"10.75"_s);
    // Stray clicks on the empty tab bar or a disabled tab must not stop
    // the start-up.
    QTimer strayClicks;
    connect(&strayClicks, &QTimer::timeout, this, [&station] {
        if (auto *tabs = station.window ? station.child<QTabWidget>(u"tabScreens"_s) : nullptr) {
            emit tabs->tabBarClicked(-1);
            if (!tabs->isTabEnabled(Configuration::UsersPage))
                emit tabs->tabBarClicked(Configuration::UsersPage);
        }
    });
    strayClicks.start(20);
    station.startWindow();
    strayClicks.stop();
    Configuration &window = *station.window;
    QCOMPARE(window.startupResult(), Configuration::StartupResult::Ready);

    // The start-up conversation, in order.
    const QStringList journal = station.sim.journal();
    QCOMPARE(journal.value(0), u"identify"_s);
    QCOMPARE(journal.value(1), u"command S"_s);
    QCOMPARE(journal.value(2), u"command T"_s);
    QVERIFY(journal.value(3).startsWith(u"clock "_s));
    QCOMPARE(journal.value(3).size(), 6 + 12);

    QCOMPARE(station.child<QLabel>(u"lblCurrentVersion"_s)->text(), u"4.1.10"_s);
    QCOMPARE(station.child<QLabel>(u"lblVersion"_s)->text(), u"V.4.1.10"_s);
    QCOMPARE(station.child<QLabel>(u"lblBaudRate"_s)->text(), u"38400"_s);
    auto *tabs = station.child<QTabWidget>(u"tabScreens"_s);
    QCOMPARE(tabs->currentIndex(), int(Configuration::TerminalPage));
    for (int i = 0; i < tabs->count(); ++i)
        QVERIFY(tabs->isTabEnabled(i));
    // First start of the month: the update reminder.
    QCOMPARE(station.texts(), QStringList{u"Please check for software updates"_s});
    QCOMPARE(station.settings->intSetting(u"BaudRate"_s, 0), 38400);
    // The monitor's font size as stored, fraction and all.
    QCOMPARE(station.child<QPlainTextEdit>(u"txtMonitorText"_s)->font().pointSizeF(), 10.75);

    // A configuration change goes to the keyer and comes back from it.
    auto *speedHigh = station.child<QSlider>(u"ctlSpeedHigh"_s);
    speedHigh->setValue(35);
    QCOMPARE(int(window.record().speedHigh), 35);
    window.btnUseConfig_Click();
    QVERIFY(station.sim.waitForJournal(u"config "_s));
    // The keyer answers a write with its block, which enables the buttons again.
    QTRY_VERIFY(station.child<QPushButton>(u"btnReadConfig"_s)->isEnabled());
    window.record().speedHigh = 20;
    window.btnReadConfig_Click();
    QCOMPARE(int(window.record().speedHigh), 35);
    QCOMPARE(speedHigh->value(), 35);
    QVERIFY(station.messages.size() == 1);

    // Keyed text shows in the monitor, mapped.
    station.sim.control(u"key CQ TEST 0 +"_s);
    auto *monitor = station.child<QPlainTextEdit>(u"txtMonitorText"_s);
    QTRY_COMPARE_WITH_TIMEOUT(monitor->toPlainText(), u"CQ TEST \u00D8 <ar> "_s, 20000);

    // The speed knob.
    station.sim.control(u"knob 25"_s);
    QTRY_COMPARE(station.child<QLabel>(u"lblSpeed"_s)->text(), u"25 wpm"_s);
    QCOMPARE(window.record().currentSpeed, QByteArray("25"));

    // Shutdown says goodbye with the identify command before the port closes.
    const int before = int(station.sim.journal().size());
    window.close();
    QVERIFY(!window.link().isOpen());
    QVERIFY(station.sim.waitForJournal(u"identify"_s, 3000, before));
    QCOMPARE(station.settings->intSetting(u"WindowWidth"_s, -1), window.width());
}

void TestManagerWindow::lookupFilesLoadAtStartUp()
{
    Station station;
    QVERIFY(station.simStarted);
    QFile notes(station.dataDir.filePath(u"specialnotes.txt"_s));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("G3ABC Old friend\r\nDL1ABC Hans\r\n");
    notes.close();
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    // The shipped country list arrives in a data folder that had none.
    QVERIFY(QFileInfo::exists(station.dataDir.filePath(u"countries.txt"_s)));
    QCOMPARE(station.window->countries().country(u"DL1ABC"_s), u"Federal Republic of Germany"_s);
    QCOMPARE(station.texts(), (QStringList{u"Sequence error in specialNotes.txt at DL1ABC"_s,
                                          u"Please check for software updates"_s}));
    QCOMPARE(station.window->specialNotes().lookUp(u"G3ABC"_s), u"OLD FRIEND"_s);
    station.window->close();
}

void TestManagerWindow::keyerVanishingLeavesWindowUsable()
{
    Station station;
    QVERIFY(station.simStarted);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    station.messages.clear();
    station.sim.control(u"vanish"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!station.messages.isEmpty(), 10000);
    QVERIFY(station.messages.first().text.contains(u"connection to the keyer was lost"_s));
    QVERIFY(!station.window->link().isOpen());
    auto *tabs = station.child<QTabWidget>(u"tabScreens"_s);
    QCOMPARE(tabs->currentIndex(), int(Configuration::SoftwarePage));
    // The log and ADIF files stay at hand; what needs the keyer rests.
    QVERIFY(tabs->isTabEnabled(Configuration::LogbookPage));
    QVERIFY(!tabs->isTabEnabled(Configuration::TerminalPage));
    tabs->setCurrentIndex(Configuration::LogbookPage);
    for (const char *name : {"btnSaveLog", "btnRestoreLog", "btnSetCount", "btnSaveADIF"})
        QVERIFY2(!station.child<QPushButton>(QString::fromLatin1(name))->isEnabled(), name);
    for (const char *name : {"btnADIFImport", "btnEditImport", "btnDeleteLogfile", "btnEditADIF"})
        QVERIFY2(station.child<QPushButton>(QString::fromLatin1(name))->isEnabled(), name);
    tabs->setCurrentIndex(Configuration::SoftwarePage);
    // Still responsive: a read now fails with a message instead of hanging.
    station.messages.clear();
    station.window->btnReadConfig_Click();
    QCOMPARE(station.texts(), QStringList{u"Communication with keyer failed - Error  2014M"_s});
    station.window->close();
}

void TestManagerWindow::failedUseConfigurationCanBeRetried()
{
    Station station;
    QVERIFY(station.simStarted);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    station.messages.clear();
    station.sim.control(u"silent on"_s);
    // The keyer notes what it ignores: once it does, it is silent.
    QTRY_VERIFY_WITH_TIMEOUT((station.window->link().write("\x12"), station.sim.waitForJournal(u"silent 12"_s, 100)), 10000);
    station.window->link().setWaitScale(0.1);
    station.child<QPushButton>(u"btnUseConfig"_s)->click();
    QTRY_COMPARE(station.texts(), QStringList{u"Communication with keyer failed - Error  2010X"_s});
    QVERIFY(station.child<QPushButton>(u"btnUseConfig"_s)->isEnabled());
    QVERIFY(station.child<QPushButton>(u"btnReadConfig"_s)->isEnabled());
    station.window->close();
}

// A USB adapter keeps its name under /dev/serial/by-id wherever it is plugged in.
void TestManagerWindow::keyerIsRememberedByItsStableName_data()
{
    QTest::addColumn<bool>("givenAsLink");
    QTest::newRow("--port names the link") << true;
    QTest::newRow("the kernel name has a link") << false;
}

void TestManagerWindow::keyerIsRememberedByItsStableName()
{
    QFETCH(bool, givenAsLink);
    Station station;
    QVERIFY(station.simStarted);
    QDir links(station.dataDir.filePath(u"by-id"_s));
    QVERIFY(links.mkpath(u"."_s));
    const QString link = links.filePath(u"usb-Dashwright_Keyer_0001-if00-port0"_s);
    QVERIFY(QFile::link(station.sim.device(), link));
    // Another device sits at port 1 and the keyer was last on port 1: the
    // stored stable name sends the search to the keyer's port first.
    station.settings->setSetting(u"COMPort"_s, 1);
    station.settings->setSetting(u"COMPortDevice"_s, link);
    const QStringList devices{u"/dev/null"_s, givenAsLink ? link : station.sim.device()};
    station.startWindow(20000, 1.0, PortTable(devices, PortTable::readStableNames(links.path())));
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    QCOMPARE(station.settings->setting(u"COMPortDevice"_s, {}), link);
    QCOMPARE(station.settings->intSetting(u"COMPort"_s, 0), 2);
    QCOMPARE(station.child<QComboBox>(u"cboCOMPort"_s)->currentText(),
             u" 2  %1 (usb-Dashwright_Keyer_0001-if00-port0)"_s.arg(station.sim.device()));
    station.window->close();
}

void TestManagerWindow::searchShowsEachTryAndCanBeCancelled()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    FakeKeyerPort port;
    port.devices = {u"p1"_s, u"p2"_s, u"p3"_s};
    Configuration window(&settings, &port, ProgramOptions{});
    QStringList messages;
    window.setMessageHook([&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                              QMessageBox::StandardButton) {
        messages << text;
        return QMessageBox::Ok;
    });
    window.link().setWaitScale(0.1);
    window.setPortTable(PortTable({u"p1"_s, u"p2"_s, u"p3"_s}));
    auto *status = window.findChild<QLabel *>(u"lblSearchStatus"_s);
    // The search runs inside the window's own event processing: the
    // operator's view of it is a timer's.
    QStringList shown;
    qsizetype attempts = -1;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (!status->isVisible() || shown.value(shown.size() - 1) == status->text())
            return;
        shown << status->text();
        if (shown.last() == u"Looking for the keyer on p3 at 19200 baud \u2026"_s) {
            attempts = port.openAttempts.size();
            window.findChild<QPushButton *>(u"btnCancelSearch"_s)->click();
        }
    });
    watch.start(2);
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(window.startupResult(), Configuration::StartupResult::Failed, 20000);
    // Nothing is tried after the click.
    QVERIFY(attempts > 0);
    QCOMPARE(port.openAttempts.size(), attempts);
    QCOMPARE(messages, QStringList{u"The search for the Dashwright was cancelled."_s});
    QCOMPARE(shown.mid(0, 4), (QStringList{u"Looking for the keyer on p1 at 38400 baud \u2026"_s,
                                           u"Looking for the keyer on p1 at 19200 baud \u2026"_s,
                                           u"Looking for the keyer on p1 at 9600 baud \u2026"_s,
                                           u"Looking for the keyer on p1 at 4800 baud \u2026"_s}));
    QVERIFY(shown.contains(u"Looking for the keyer on p2 at 38400 baud \u2026"_s));
    QVERIFY(!status->isVisible());
    window.close();
}

void TestManagerWindow::unframedBlockIsReportedAndWindowGoesOn()
{
    Station station;
    QVERIFY(station.simStarted);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    station.messages.clear();
    station.sim.control(u"unframed"_s);
    QTRY_COMPARE_WITH_TIMEOUT(station.texts(), QStringList{u"Communication with keyer failed - Error  2016N"_s}, 10000);
    station.sim.control(u"key K"_s);
    QTRY_COMPARE_WITH_TIMEOUT(station.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText(), u"K"_s, 10000);
    station.window->close();
}

void TestManagerWindow::trainerKeyerIsHandedOver()
{
    Station station({u"--letter"_s, u"T"_s});
    QVERIFY(station.simStarted);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::HandedOver);
    QCOMPARE(station.handOvers, 1);
    QVERIFY(!station.window->link().isOpen());
    QTRY_VERIFY(!station.window->isVisible());
    QVERIFY(station.messages.isEmpty());
}

void TestManagerWindow::wrongDeviceLetterAsksForFirmware()
{
    Station station;
    QVERIFY(station.simStarted);
    station.sim.control(u"letter X"_s);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Failed);
    QCOMPARE(station.texts(), QStringList{u"Please load the keyer firmware into the Dashwright"_s});
    QCOMPARE(station.messages.first().icon, QMessageBox::Critical);
    auto *tabs = station.child<QTabWidget>(u"tabScreens"_s);
    QCOMPARE(tabs->currentIndex(), int(Configuration::SoftwarePage));
    QVERIFY(!tabs->isTabEnabled(Configuration::TerminalPage));
    station.window->close();
}

void TestManagerWindow::oldFirmwareStopsStartUp()
{
    Station station({u"--firmware"_s, u"40"_s});
    QVERIFY(station.simStarted);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Failed);
    QCOMPARE(station.texts(), QStringList{u"The software and the keyer firmware both have to be version 4.1.x"_s});
    // The configuration read stays visible.
    QCOMPARE(station.child<QLabel>(u"lblCurrentVersion"_s)->text(), u"4.0.10"_s);
    station.window->close();
}

void TestManagerWindow::silentKeyerFailsWithPresetMessage()
{
    Station station;
    QVERIFY(station.simStarted);
    station.sim.control(u"silent on"_s);
    station.startWindow(20000, 0.1);
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Failed);
    QCOMPARE(station.texts(),
             QStringList{u"Could not connect to Dashwright. Please make sure it is connected and the firmware is loaded"_s});
    QCOMPARE(station.child<QLabel>(u"lblBaudRate"_s)->text(), u"?"_s);
    station.window->close();
}

void TestManagerWindow::everyShortcutIsUniqueAndEveryControlFits()
{
    Station station({u"--qso-count"_s, u"2"_s});
    QVERIFY(station.simStarted);
    station.settleOn(1);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    auto *tabs = station.child<QTabWidget>(u"tabScreens"_s);
    const auto noClash = [&](const QString &where) {
        const QStringList clashes = shortcutClashes(station.window.get());
        QVERIFY2(clashes.isEmpty(), qPrintable(where + u": "_s + clashes.join(u"; "_s)));
    };
    // A netbook's 1024x600 screen, less a panel and the title bar.
    station.window->resize(1024, 540);
    QVERIFY(station.window->minimumSizeHint().height() <= 540);
    const QRect inside = station.window->rect();
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QCoreApplication::processEvents();
        noClash(tabs->tabText(page));
        // A page taller than the window scrolls up and down, never sideways.
        auto *area = qobject_cast<QScrollArea *>(tabs->currentWidget());
        QVERIFY(area);
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        for (QWidget *control : station.window->findChildren<QWidget *>()) {
            if (!control->isVisible() || control->window() != station.window.get() || area->widget()->isAncestorOf(control))
                continue;
            const QRect placed(control->mapTo(station.window.get(), QPoint()), control->size());
            QVERIFY2(inside.contains(placed), qPrintable(tabs->tabText(page) + u": "_s + control->objectName()
                                                         + u" "_s + QString::fromLatin1(control->metaObject()->className())));
        }
    }
    // The Terminal tab's captions change with the contact: a call being
    // worked, a logged QSO being edited.
    tabs->setCurrentIndex(Configuration::TerminalPage);
    auto *sendBuffer = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    sendBuffer->setPlainText(u"G4XYZ"_s);
    sendBuffer->moveCursor(QTextCursor::End);
    station.child<QPushButton>(u"btnCheckCall"_s)->click();
    auto *deleteButton = station.child<QPushButton>(u"btnDeleteQSO"_s);
    QTRY_COMPARE_WITH_TIMEOUT(deleteButton->text(), u"&Previous QSO"_s, 10000);
    QCOMPARE(deleteButton->toolTip(), u"Search previous QSO with this station"_s);
    noClash(u"a call being worked"_s);
    station.child<QPushButton>(u"btnEditQSO"_s)->click();
    QTRY_COMPARE_WITH_TIMEOUT(deleteButton->text(), u"&Delete QSO"_s, 10000);
    QTRY_COMPARE(station.child<QPushButton>(u"btnSendMessage"_s)->text(), u"Sen&t RST"_s);
    noClash(u"a QSO being edited"_s);
    station.window->close();
}

// The demo's other station through a contact, the keyer keying each
// transmission first.
void TestManagerWindow::demoStationPlaysAWholeQso()
{
    Station station;
    QVERIFY(station.simStarted);
    station.settleOn(1);
    station.options.demo = true;
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    station.child<QSlider>(u"speedSlider"_s)->setValue(40);
    auto *heard = station.child<QPlainTextEdit>(u"txtDemoStation"_s);
    QVERIFY(heard);
    auto *sendBuffer = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    const QList<QPair<QString, QString>> contact{
        {u"CQ CQ DE DL1ABC K "_s, u"DL1ABC DE PA3XYZ PA3XYZ K"_s},
        {u"PA3XYZ DE DL1ABC UR 599 K "_s, u"NAME HANS HANS QTH AMSTERDAM"_s},
        {u"PA3XYZ TU 73 "_s, u"DL1ABC DE PA3XYZ TNX FER QSO 73 GL SK"_s}};
    for (const auto &[sent, answer] : contact) {
        sendBuffer->moveCursor(QTextCursor::End);
        QTest::keyClicks(sendBuffer, sent);
        station.child<QPushButton>(u"btnSendMessage"_s)->click();
        QTRY_VERIFY2_WITH_TIMEOUT(heard->toPlainText().contains(answer), qPrintable(heard->toPlainText()), 30000);
    }
    station.window->close();
}

// No PDF in Docs: the built-in manual at the tab's section (on the Terminal
// and Users tabs through the Help button of their summary).
void TestManagerWindow::f1OpensTheManualAtTheTabsSection_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("section");
    const QStringList sections{u"terminal-tab"_s, u"configuration-tab"_s, u"users-tab"_s, u"logbook-tab"_s,
                               u"software-tab"_s};
    for (int tab = 0; tab < int(sections.size()); ++tab)
        QTest::newRow(qPrintable(sections[tab])) << tab << false << sections[tab];
    QTest::newRow("Shift+F1") << int(Configuration::LogbookPage) << true << u"keyer-commands-and-prosigns"_s;
}

void TestManagerWindow::f1OpensTheManualAtTheTabsSection()
{
    QFETCH(int, tab);
    QFETCH(bool, shift);
    QFETCH(QString, section);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    FakeKeyerPort port;
    Configuration window(&settings, &port, ProgramOptions{});
    window.setMessageHook([](auto, const QString &, QMessageBox::StandardButtons buttons, auto) {
        return buttons & QMessageBox::Help ? QMessageBox::Help : QMessageBox::Ok;
    });
    window.findChild<QTabWidget *>(u"tabScreens"_s)->setCurrentIndex(tab);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QVERIFY(window.keyDown(&f1));
    const auto *manual = window.findChild<ManualWindow *>();
    QVERIFY(manual && manual->isVisible());
    QCOMPARE(manual->section(), section);
}

QTEST_MAIN(TestManagerWindow)
#include "tst_managerwindow.moc"
