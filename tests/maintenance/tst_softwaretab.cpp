#include "configuration.h"
#include "fakekeyerport.h"
#include "keyersearch.h"
#include "serialkeyerport.h"
#include "settingsfieldsdialog.h"
#include "settingsstore.h"
#include "simprocess.h"
#include "softwaretab.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>

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
    void serverFieldsTakeOnlySoundValues_data();
    void serverFieldsTakeOnlySoundValues();
};

void TestSoftwareTab::loadFirmware_data()
{
    QTest::addColumn<QString>("command"); // %LOADER%: a stand-in printing "says"; avrdude: the real one
    QTest::addColumn<QByteArray>("image"); // empty: none stored
    QTest::addColumn<QByteArray>("says");
    QTest::addColumn<QString>("message"); // %D the data folder; empty: the loader runs
    QTest::addColumn<bool>("verified");

    const QString standIn = u"%LOADER% -c avr109 -p m1284p -P %PORT% -b %BAUD% -U flash:w:%IMAGE%:i"_s;
    const QString real = u"avrdude"_s + standIn.mid(8);
    const QByteArray good = ":100000000C9400000C9400000C9400000C94000070\n:020000040001F9\n:040010001122334442\n"
                            ":00000001FF\n";
    const QByteArray verified = "avrdude: 1234 bytes of flash verified";
    QTest::newRow("loader writes the stored image") << standIn << good << verified << QString() << true;
    QTest::newRow("avrdude not installed")
        << u"no-such-avrdude -c avr109 -P %PORT%"_s << good << verified
        << u"The firmware loader no-such-avrdude is not installed.\r\nInstall it (on Debian and Ubuntu: sudo apt "
           "install avrdude) and try again."_s
        << false;
    QTest::newRow("no image stored")
        << u"%LOADER% -P %PORT%"_s << QByteArray() << verified
        << u"No keyer firmware has been stored yet: %D/Updates/morlanda.hex is missing.\r\nClick \"Check for "
           "Updates\" first."_s
        << false;
    QTest::newRow("image without data") << standIn << QByteArray(":020000020000FC\n:00000001FF\n") << verified
                                        << u"The stored keyer firmware %D/Updates/morlanda.hex is unsound: the file "
                                           "holds no data.\r\nNothing has been written. Click \"Check for Updates\" "
                                           "to fetch it again."_s
                                        << false;
    QTest::newRow("exit 0, not verified") << standIn << good << QByteArray("avrdude: 1234 bytes of flash written")
                                          << QString() << false;
    QTest::newRow("verification off") << standIn + u" -V"_s << good << verified << QString() << false;
    QTest::newRow("real avrdude verifies") << real << good << QByteArray() << QString() << true;
    QTest::newRow("real avrdude, -V") << real + u" -V"_s << good << QByteArray() << QString() << false;
}

void TestSoftwareTab::loadFirmware()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, says);
    QFETCH(QString, message);
    QFETCH(bool, verified);

    // A blank in the folder name must not split the image's argument.
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString data = temp.filePath(u"data folder"_s);
    QVERIFY(QDir().mkpath(data + u"/Updates"_s));
    QDir::setCurrent(data);
    if (!image.isEmpty()) {
        QFile stored(u"Updates/morlanda.hex"_s);
        QVERIFY(stored.open(QIODevice::WriteOnly));
        stored.write(image);
    }
    const QString loader = temp.filePath(u"avrdude-stand-in"_s);
    QFile script(loader);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/arguments.txt\"\n"
                 "echo '" + says + "'\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    SettingsStore settings(temp.filePath(u"settings.ini"_s));
    settings.setSetting(u"FirmwareLoader"_s, QString(command).replace(u"%LOADER%"_s, loader));
    settings.setSetting(u"Baudrate"_s, 19200);
    const bool real = command.startsWith(u"avrdude"_s);
    QProcess bootLoader; // the keyer's boot loader, for the real avrdude
    if (real)
        bootLoader.start(u"python3"_s, {QStringLiteral(DW_AVR109_BOOT), temp.filePath(u"flash.bin"_s)});
    QVERIFY(!real || bootLoader.waitForReadyRead());
    const QString device = real ? QString::fromLocal8Bit(bootLoader.readLine()).trimmed() : u"dev1"_s;
    FakeKeyerPort port;
    port.devices = {device};
    KeyerLink link(&port);
    link.setPortTable(PortTable({device}));
    link.openPort(1, 19200);

    QTabWidget tabs;
    tabs.addTab(new QWidget, u"Terminal"_s);
    auto *tab = new SoftwareTab(&settings);
    tabs.addTab(tab, u"Software"_s);
    tab->setPortTable(PortTable({device}));
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
    const QString arguments = temp.filePath(u"arguments.txt"_s);
    if (!runs) {
        QVERIFY(!QFile::exists(arguments));
        return;
    }
    auto *output = tab->findChild<QPlainTextEdit *>(u"txtLoaderOutput"_s);
    QVERIFY(output && output->isVisible());
    // The verdict comes once the loader has ended.
    QTRY_VERIFY_WITH_TIMEOUT(!tab->findChild<QPushButton *>(u"btnStopLoader"_s)->isEnabled(), 30000);
    const QString state = tab->findChild<QLabel *>(u"lblLoaderState"_s)->text();
    QVERIFY2(state.contains(verified ? u"written and verified"_s : u"written but NOT verified"_s), qPrintable(state));
    QFile recorded(real ? temp.filePath(u"flash.bin"_s) : arguments);
    QVERIFY(recorded.open(QIODevice::ReadOnly));
    const QByteArray written = recorded.readAll();
    if (real) {
        QCOMPARE(written.mid(0, 16).toHex() + written.mid(0x10010, 4).toHex(),
                 "0c9400000c9400000c9400000c94000011223344");
    } else {
        QVERIFY(output->toPlainText().contains(QString::fromLatin1(says)));
        QCOMPARE(QString::fromUtf8(written).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{u"-c"_s, u"avr109"_s, u"-p"_s, u"m1284p"_s, u"-P"_s, u"dev1"_s, u"-b"_s, u"19200"_s,
                              u"-U"_s, u"flash:w:"_s + data + u"/Updates/morlanda.hex:i"_s}
                  + QStringList(command.count(u" -V"_s), u"-V"_s)));
    }
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

// Typed into the download server's window: only sound values are stored,
// and an emptied field gives the setting back its default.
void TestSoftwareTab::serverFieldsTakeOnlySoundValues_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("certificates"); // %C a real certificate file
    QTest::addColumn<QString>("stored");       // DownloadServer afterwards; "(none)" when removed
    QTest::newRow("https and a certificate") << u"https://updates.example.org/dw"_s << u"%C"_s
                                             << u"https://updates.example.org/dw"_s;
    QTest::newRow("plain http refused") << u"http://updates.example.org"_s << QString() << u"old"_s;
    QTest::newRow("no host refused") << u"https://"_s << QString() << u"old"_s;
    QTest::newRow("a file without certificates refused") << u"https://a.example.org"_s << u"%S"_s << u"old"_s;
    QTest::newRow("emptied: back to the default") << u"  "_s << QString() << u"(none)"_s;
}

void TestSoftwareTab::serverFieldsTakeOnlySoundValues()
{
    QFETCH(QString, server);
    QFETCH(QString, certificates);
    QFETCH(QString, stored);
    QTemporaryDir temp;
    QProcess openssl;
    openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-subj"_s,
                                 u"/CN=test"_s, u"-keyout"_s, temp.filePath(u"key.pem"_s), u"-out"_s,
                                 temp.filePath(u"cert.pem"_s)});
    QVERIFY(openssl.waitForFinished(30000));
    SettingsStore settings(temp.filePath(u"settings.ini"_s));
    settings.setSetting(u"DownloadServer"_s, u"old"_s);
    SettingsFieldsDialog dialog(&settings, u"Download server"_s,
                                {{u"DownloadServer"_s, u"Server:"_s, SettingsFieldsDialog::Kind::HttpsAddress, {}},
                                 {u"DownloadCertificates"_s, u"Certificates:"_s,
                                  SettingsFieldsDialog::Kind::CertificateFile, {}}});
    dialog.findChild<QLineEdit *>(u"txtDownloadServer"_s)->setText(server);
    dialog.findChild<QLineEdit *>(u"txtDownloadCertificates"_s)
        ->setText(QString(certificates)
                      .replace(u"%C"_s, temp.filePath(u"cert.pem"_s))
                      .replace(u"%S"_s, temp.filePath(u"settings.ini"_s)));
    // A refusal is told in a box of its own; it is closed unread here.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->close();
    });
    closer.start(20);
    dialog.show();
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
    QCOMPARE(settings.setting(u"DownloadServer"_s, u"(none)"_s), stored);
}

QTEST_MAIN(TestSoftwareTab)
#include "tst_softwaretab.moc"
