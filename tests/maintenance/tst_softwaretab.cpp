#include "configuration.h"
#include "fakekeyerport.h"
#include "keyersearch.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "softwaretab.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Load firmware and Restart on the Software tab.
class TestSoftwareTab : public QObject
{
    Q_OBJECT

private slots:
    void loadFirmware_data();
    void loadFirmware();
    void restartRunsStartUpAgain_data();
    void restartRunsStartUpAgain();
};

void TestSoftwareTab::loadFirmware_data()
{
    QTest::addColumn<QString>("command"); // %LOADER% is a stand-in avrdude
    QTest::addColumn<bool>("imageStored");
    QTest::addColumn<QString>("message"); // %D the data folder; empty: the loader runs

    QTest::newRow("loader writes the stored image")
        << u"%LOADER% -c avr109 -p m1284p -P %PORT% -b %BAUD% -U flash:w:%IMAGE%:i"_s << true << QString();
    QTest::newRow("avrdude not installed")
        << u"no-such-avrdude -c avr109 -P %PORT%"_s << true
        << u"The firmware loader no-such-avrdude is not installed.\r\nInstall it (on Debian and Ubuntu: sudo apt "
           "install avrdude) and try again."_s;
    QTest::newRow("no image stored")
        << u"%LOADER% -P %PORT%"_s << false
        << u"No keyer firmware has been stored yet: %D/Updates/morlanda.hex is missing.\r\nClick \"Check for "
           "Updates\" first."_s;
}

void TestSoftwareTab::loadFirmware()
{
    QFETCH(QString, command);
    QFETCH(bool, imageStored);
    QFETCH(QString, message);

    // A blank in the folder name must not split the image's argument.
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString data = temp.filePath(u"data folder"_s);
    QVERIFY(QDir().mkpath(data + u"/Updates"_s));
    QDir::setCurrent(data);
    if (imageStored) {
        QFile image(u"Updates/morlanda.hex"_s);
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(":100000000C94FC00\n");
    }
    const QString loader = temp.filePath(u"avrdude-stand-in"_s);
    QFile script(loader);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/arguments.txt\"\n"
                 "echo 'avrdude: 1234 bytes of flash verified'\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    SettingsStore settings(temp.filePath(u"settings.ini"_s));
    settings.setSetting(u"FirmwareLoader"_s, QString(command).replace(u"%LOADER%"_s, loader));
    settings.setSetting(u"Baudrate"_s, 19200);
    FakeKeyerPort port;
    port.devices = {u"dev1"_s};
    KeyerLink link(&port);
    link.setPortTable(PortTable({u"dev1"_s}));
    link.openPort(1, 19200);

    QTabWidget tabs;
    tabs.addTab(new QWidget, u"Terminal"_s);
    auto *tab = new SoftwareTab(&settings);
    tabs.addTab(tab, u"Software"_s);
    tab->setPortTable(PortTable({u"dev1"_s}));
    tab->selectPort(1);
    tab->attach(&link, {});
    QStringList shown;
    tab->setMessageHook([&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                            QMessageBox::StandardButton) {
        shown << text;
        return QMessageBox::Ok;
    });
    auto *updateFirmware = tab->findChild<QPushButton *>(u"btnUpdateFirmware"_s);
    updateFirmware->click();

    const bool runs = message.isEmpty();
    QCOMPARE(shown, runs ? QStringList() : QStringList{QString(message).replace(u"%D"_s, QDir::toNativeSeparators(data))});
    // The keyer's port is given up only for a loader that can run; until
    // Restart the other tabs, the update check and back-out stay off.
    QCOMPARE(link.isOpen(), !runs);
    QCOMPARE(tabs.isTabEnabled(0), !runs);
    QCOMPARE(tab->findChild<QPushButton *>(u"btnInetUpdate"_s)->isEnabled(), !runs);
    QCOMPARE(tab->findChild<QPushButton *>(u"btnBackout"_s)->isEnabled(), !runs);
    QVERIFY(updateFirmware->isEnabled());
    if (!runs)
        return;
    const QString arguments = temp.filePath(u"arguments.txt"_s);
    QTRY_VERIFY(QFile::exists(arguments));
    auto *output = tab->findChild<QPlainTextEdit *>(u"txtLoaderOutput"_s);
    QVERIFY(output && output->isVisible());
    QTRY_VERIFY(output->toPlainText().contains(u"1234 bytes of flash verified"_s));
    QFile recorded(arguments);
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(recorded.readAll()).split(u'\n', Qt::SkipEmptyParts),
             (QStringList{u"-c"_s, u"avr109"_s, u"-p"_s, u"m1284p"_s, u"-P"_s, u"dev1"_s, u"-b"_s, u"19200"_s, u"-U"_s,
                          u"flash:w:"_s + data + u"/Updates/morlanda.hex:i"_s}));
    QDir::setCurrent(QDir::tempPath());
}

void TestSoftwareTab::restartRunsStartUpAgain_data()
{
    QTest::addColumn<bool>("keyerThere");
    QTest::newRow("keyer still attached") << true;
    QTest::newRow("no keyer") << false;
}

void TestSoftwareTab::restartRunsStartUpAgain()
{
    QFETCH(bool, keyerThere);
    QTemporaryDir data;
    QVERIFY(data.isValid());
    QDir::setCurrent(data.path());
    SettingsStore settings(data.filePath(u"settings.ini"_s));
    settings.setSetting(u"AutoCOM"_s, 0);
    SimProcess sim;
    QVERIFY(sim.start());
    SerialKeyerPort port;
    Configuration window(&settings, &port, ProgramOptions{});
    window.link().setWaitScale(0.2);
    window.setPortTable(PortTable({sim.device()}));
    QStringList shown;
    window.setMessageHook([&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                              QMessageBox::StandardButton) {
        shown << text;
        return QMessageBox::Ok;
    });
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(window.startupResult(), Configuration::StartupResult::Ready, 20000);
    QVERIFY(sim.waitForJournal(u"clock"_s));
    shown.clear();
    const int before = int(sim.journal().size());
    if (!keyerThere)
        sim.stop();

    window.findChild<QPushButton *>(u"btnRestartProgram"_s)->click();

    auto *tabs = window.findChild<QTabWidget *>(u"tabScreens"_s);
    if (keyerThere) {
        QCOMPARE(window.startupResult(), Configuration::StartupResult::Ready);
        QCOMPARE(sim.journal().value(before), u"identify"_s);
        QVERIFY(window.link().isOpen());
        QVERIFY(tabs->isTabEnabled(Configuration::TerminalPage));
        QCOMPARE(shown, QStringList());
    } else {
        QCOMPARE(window.startupResult(), Configuration::StartupResult::Failed);
        QCOMPARE(shown, QStringList{KeyerSearch::noKeyerMessage()});
        QVERIFY(!window.link().isOpen());
        QVERIFY(!tabs->isTabEnabled(Configuration::TerminalPage));
        QCOMPARE(tabs->currentIndex(), int(Configuration::SoftwarePage));
    }
    window.close();
    QDir::setCurrent(QDir::tempPath());
}

QTEST_MAIN(TestSoftwareTab)
#include "tst_softwaretab.moc"
