#include "fakekeyerport.h"
#include "keyerlink.h"
#include "settingsstore.h"
#include "softwaretab.h"
#include "updaterules.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QByteArray oldInstaller = "#!/bin/sh\necho old > installed.txt\n";
const QByteArray olderInstaller = "#!/bin/sh\necho older > installed.txt\n";
const QByteArray newInstaller = "#!/bin/sh\necho new > installed.txt\n";
const QByteArray oldImage = ":100000000C94FC000000000000000000000000AAAA\n:00000001FF\n";
const QByteArray olderImage = ":100000000C94FC000000000000000000000000BB99\n:00000001FF\n";
const QByteArray newImage = ":100000000C94FC000000000000000000000000CC88\n:00000001FF\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

// The update check of the Software tab against a local HTTPS server whose
// certificate only this test trusts.
class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void checkForUpdates_data();
    void checkForUpdates();

private:
    QTemporaryDir m_server;
    QProcess m_serverProcess;
    QString m_base;
    QString m_certificate;
};

void TestUpdateCheck::initTestCase()
{
    QVERIFY(m_server.isValid());
    QDir(m_server.path()).mkdir(u"root"_s);
    m_serverProcess.start(u"python3"_s, {QStringLiteral(DW_UPDATE_SERVER), m_server.filePath(u"root"_s),
                                          u"--certdir"_s, m_server.filePath(u"cert"_s)});
    QVERIFY(m_serverProcess.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_serverProcess.canReadLine(), 30000);
    const QStringList line = QString::fromUtf8(m_serverProcess.readLine().trimmed()).split(u' ');
    QCOMPARE(line.size(), 2);
    m_base = line.at(0);
    m_certificate = line.at(1);
}

void TestUpdateCheck::cleanupTestCase()
{
    m_serverProcess.kill();
    m_serverProcess.waitForFinished();
}

void TestUpdateCheck::checkForUpdates_data()
{
    QTest::addColumn<QByteArray>("versionFile");
    QTest::addColumn<QByteArray>("installer");
    QTest::addColumn<QByteArray>("installerSum"); // "good", "bad" or none
    QTest::addColumn<QByteArray>("image");
    // "down", "untrusted", "http redirect", a hostile answer or the test's
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("message");         // %S server, %M its other name, %D data folder
    QTest::addColumn<bool>("detail");             // the network's reason follows the message
    QTest::addColumn<bool>("programStored");
    QTest::addColumn<bool>("imageStored");

    const QString software = u"Your software is at the latest level"_s;
    const QString install = u"A new version of the %1 software will be installed\r\nafter this program ends."_s
                                .arg(UpdateRules::platformName());
    const QString firmware = u"A new version of the keyer firmware has been stored at \r\n%D/Updates/morlanda.hex\r\n"
                             "Please follow the instructions on this screen to load it into the keyer"_s;
    const QString source = u"\r\n\r\nThe installer was downloaded from %S/krvupdate.exe (%1)."_s;
    const QString unsummed = source.arg(u"the server publishes no SHA-256 checksum for it"_s);
    const QString unreachable = u"Download server could not be reached"_s;
    const int info = QMessageBox::Information, warn = QMessageBox::Warning, critical = QMessageBox::Critical;

    // The running program is 4.1.10, the keyer's firmware 41 10.
    QTest::newRow("current") << QByteArray("410104110\n") << newInstaller << QByteArray() << newImage << QString()
                             << info << software << false << false << false;
    QTest::newRow("same version, higher unused digit")
        << QByteArray("410194110") << newInstaller << QByteArray() << newImage << QString() << info << software
        << false << false << false;
    QTest::newRow("program revision newer")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << QString() << info
        << u"Your keyer firmware is at the latest level\r\n\r\n"_s + install + unsummed << false << true << false;
    QTest::newRow("program checksum matches")
        << QByteArray("500000000") << newInstaller << QByteArray("good") << newImage << QString() << info
        << u"Your keyer firmware is at the latest level\r\n\r\n"_s + install
               + source.arg(u"its SHA-256 checksum matches the server's"_s)
        << false << true << false;
    QTest::newRow("firmware second number newer")
        << QByteArray("410104111") << newInstaller << QByteArray() << newImage << QString() << warn
        << u"Your %1 software is at the latest level\r\n\r\n"_s.arg(UpdateRules::platformName()) + firmware << false
        << false << true;
    QTest::newRow("both newer") << QByteArray("500004200") << newInstaller << QByteArray() << newImage << QString()
                                << warn << install + u"\r\n\r\n"_s + firmware + unsummed << false << true << true;
    QTest::newRow("installer with bad magic")
        << QByteArray("411104110") << QByteArray("PK\x03\x04zip") << QByteArray() << newImage << QString() << critical
        << u"The file %S/krvupdate.exe is not a program installer and was discarded."_s << false << false << false;
    QTest::newRow("image with bad magic, installer kept")
        << QByteArray("500004200") << newInstaller << QByteArray() << QByteArray(":100000000C94AB00000000") << QString()
        << critical
        << u"The file %S/Morlanda.hex is not a keyer firmware image and was discarded.\r\n\r\nline 1: the record says 16 "
           "data bytes but holds 6\r\n\r\n"_s + install << false
        << true << false;
    QTest::newRow("installer checksum mismatch")
        << QByteArray("411104110") << newInstaller << QByteArray("bad") << newImage << QString() << critical
        << u"The file %S/krvupdate.exe does not match its SHA-256 checksum %S/krvupdate.exe.sha256 and was discarded."_s
        << false << false << false;
    QTest::newRow("version file too short") << QByteArray("41010411") << newInstaller << QByteArray() << newImage
                                            << QString() << critical << unreachable << false << false << false;
    QTest::newRow("version file not digits") << QByteArray("4101O4110") << newInstaller << QByteArray() << newImage
                                             << QString() << critical << unreachable << false << false << false;
    QTest::newRow("server down") << QByteArray("500004200") << newInstaller << QByteArray() << newImage
                                 << u"down"_s << critical << unreachable << true << false << false;
    QTest::newRow("certificate not trusted") << QByteArray("500004200") << newInstaller << QByteArray() << newImage
                                             << u"untrusted"_s << critical << unreachable << true << false << false;
    QTest::newRow("redirect to plain http")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << u"http redirect"_s << critical
        << u"%S/krvupdate.exe: the server sent us on to %H/krvupdate.exe, an address without https; refused"_s
        << false << false << false;

    // Hostile servers and planted files: each leaves both folders as they were.
    QTest::newRow("installer announces 1.5 GB")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << u"announce"_s << critical
        << u"%S/krvupdate.exe: the file is 1536 MB, more than the 200 MB such a file can be; not downloaded"_s
        << false << false << false;
    QTest::newRow("image floods without a length")
        << QByteArray("410104111") << newInstaller << QByteArray() << newImage << u"flood"_s << critical
        << u"%S/Morlanda.hex: the server sent more than the 1 MB such a file can be; stopped"_s << false << false
        << false;
    QTest::newRow("version file dripping")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << u"drip"_s << critical
        << unreachable + u"\r\n\r\n%S/krvversion.txt: the transfer took longer than 2 seconds; stopped"_s << false
        << false << false;
    QTest::newRow("cancel during a dripping installer")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << u"cancel"_s << info
        << u"The check for updates was cancelled; nothing new was stored."_s << false << false << false;
    QTest::newRow("redirect chain to another host, checksum from there")
        << QByteArray("411104110") << newInstaller << QByteArray("bad") << newImage << u"mirror"_s << info
        << u"Your keyer firmware is at the latest level\r\n\r\n"_s + install
               + u"\r\n\r\nThe installer was downloaded from %M/mirror/krvupdate.exe, where %S/krvupdate.exe sent us "
                 "(its SHA-256 checksum matches the server's)."_s
        << false << true << false;
    QTest::newRow("planted link as the download's part file")
        << QByteArray("411104110") << newInstaller << QByteArray() << newImage << u"planted link"_s << critical
        << u"%D/Updates/krvupdate.exe.part is a symbolic link, which is never followed here: nothing was changed. "
           "Remove it if you did not make it."_s
        << false << false << false;
    QTest::newRow("installer changed after the check") << QByteArray("411104110") << newInstaller << QByteArray()
                                                        << newImage << u"tampered"_s << info
                                                        << u"Your keyer firmware is at the latest level\r\n\r\n"_s
                                                               + install + unsummed
                                                        << false << true << false;
    QTest::newRow("image of a start record only")
        << QByteArray("410104111") << newInstaller << QByteArray() << QByteArray(":020000020000FC\n:00000001FF\n")
        << QString() << critical << u"The file %S/Morlanda.hex is not a keyer firmware image and was discarded."_s
        << true << false << false;
    QTest::newRow("no download server set")
        << QByteArray("500004200") << newInstaller << QByteArray() << newImage << u"none"_s << info
        << u"No download server is set (setting DownloadServer): updates of this program and of the keyer firmware "
           "come with its package. Nothing is fetched from the internet."_s
        << false << false << false;
}

void TestUpdateCheck::checkForUpdates()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(QByteArray, installer);
    QFETCH(QByteArray, installerSum);
    QFETCH(QByteArray, image);
    QFETCH(QString, server);
    QFETCH(int, icon);
    QFETCH(QString, message);
    QFETCH(bool, detail);
    QFETCH(bool, programStored);
    QFETCH(bool, imageStored);

    // The server's files.
    const QString root = m_server.filePath(u"root"_s);
    for (const QString &name : QDir(root).entryList(QDir::Files))
        QFile::remove(root + u'/' + name);
    write(root + u"/krvversion.txt"_s, versionFile);
    write(root + u"/krvupdate.exe"_s, installer);
    write(root + u"/Morlanda.hex"_s, image);
    if (!installerSum.isEmpty())
        write(root + u"/krvupdate.exe.sha256"_s,
              UpdateRules::sha256Hex(installerSum == "good" ? installer : installer + ' ') + "  krvupdate.exe\n");
    for (const QString &sub : {u"hop"_s, u"mirror"_s})
        QDir(root + u'/' + sub).removeRecursively();
    const QString plainBase = QString(m_base).replace(u"https:"_s, u"http:"_s);
    const QString mirrorBase = QString(m_base).replace(u"127.0.0.1"_s, u"localhost"_s);
    if (server == u"http redirect"_s)
        write(root + u"/krvupdate.exe.redirect"_s, plainBase.toUtf8() + "/krvupdate.exe");
    if (server == u"announce"_s)
        write(root + u"/krvupdate.exe.announce"_s, "1610612736");
    if (server == u"flood"_s)
        write(root + u"/Morlanda.hex.flood"_s, "2097152");
    if (server == u"drip"_s)
        write(root + u"/krvversion.txt.drip"_s, "");
    if (server == u"cancel"_s)
        write(root + u"/krvupdate.exe.drip"_s, "");
    if (server == u"mirror"_s) {
        // Two hops, the last to the server's other name; only the file
        // there has a matching checksum beside it.
        QDir(root).mkpath(u"hop"_s);
        QDir(root).mkpath(u"mirror"_s);
        write(root + u"/krvupdate.exe.redirect"_s, m_base.toUtf8() + "/hop/krvupdate.exe");
        write(root + u"/hop/krvupdate.exe.redirect"_s, mirrorBase.toUtf8() + "/mirror/krvupdate.exe");
        write(root + u"/mirror/krvupdate.exe"_s, installer);
        write(root + u"/mirror/krvupdate.exe.sha256"_s, UpdateRules::sha256Hex(installer) + "  krvupdate.exe\n");
    }

    // The data folder with the last two downloads.
    QTemporaryDir data;
    QVERIFY(data.isValid());
    QDir::setCurrent(data.path());
    QDir().mkpath(u"Updates"_s);
    QDir().mkpath(u"Backup"_s);
    write(u"Updates/krvupdate.exe"_s, oldInstaller);
    write(u"Backup/krvupdate.exe"_s, olderInstaller);
    write(u"Updates/morlanda.hex"_s, oldImage);
    write(u"Backup/morlanda.hex"_s, olderImage);
    write(u"victim.txt"_s, "mine");
    if (server == u"planted link"_s)
        QVERIFY(QFile::link(data.filePath(u"victim.txt"_s), u"Updates/krvupdate.exe.part"_s));

    SettingsStore settings(data.filePath(u"settings.ini"_s));
    const QString base = server == u"down"_s ? u"https://127.0.0.1:1"_s : m_base;
    if (server != u"none"_s)
        settings.setSetting(u"DownloadServer"_s, base);
    if (server != u"untrusted"_s)
        settings.setSetting(u"DownloadCertificates"_s, m_certificate);

    // A keyer on the link, talking while the check runs.
    FakeKeyerPort port;
    port.devices = {u"dev1"_s};
    KeyerLink link(&port);
    link.setPortTable(PortTable({u"dev1"_s}));
    link.openPort(1, 38400);
    link.setReceiveThreshold(1);
    int keyerEvents = 0;
    connect(&link, &KeyerLink::receiveEvent, this, [&] {
        ++keyerEvents;
        link.takeInput();
    });

    SoftwareTab tab(&settings);
    tab.attach(&link, {});
    tab.setFirmwareVersion("41", "10");
    struct Shown
    {
        int icon;
        QString text;
        int keyerEvents;
    };
    QList<Shown> shown;
    tab.setMessageHook([&](QMessageBox::Icon i, const QString &text, QMessageBox::StandardButtons,
                           QMessageBox::StandardButton) {
        shown.append({int(i), text, keyerEvents});
        return QMessageBox::Ok;
    });
    tab.setDownloadDeadline(2000);
    if (server == u"cancel"_s)
        QTimer::singleShot(1500, this, [] {
            if (auto *cancel = qApp->activeModalWidget()->findChild<QPushButton *>(u"btnCancelDownload"_s))
                cancel->click();
        });
    port.arrive("x");
    tab.findChild<QPushButton *>(u"btnInetUpdate"_s)->click();

    QCOMPARE(shown.size(), 1);
    const QString expected = QString(message)
                                 .replace(u"%S"_s, base)
                                 .replace(u"%M"_s, mirrorBase)
                                 .replace(u"%H"_s, plainBase)
                                 .replace(u"%D"_s, QDir::toNativeSeparators(data.path()));
    if (detail) {
        QVERIFY2(shown.first().text.startsWith(expected + u"\r\n\r\n"_s), qPrintable(shown.first().text));
        QVERIFY(shown.first().text.size() > expected.size() + 4);
    } else {
        QCOMPARE(shown.first().text, expected);
    }
    QCOMPARE(shown.first().icon, icon);
    // The keyer's events were off during the check and are on again.
    QCOMPARE(shown.first().keyerEvents, 0);
    if (server != u"none"_s)
        QTRY_COMPARE(keyerEvents, 1);
    QCOMPARE(readAll(u"victim.txt"_s), QByteArray("mine"));

    // Rotation only after a valid download; a failure touches nothing.
    QCOMPARE(readAll(u"Updates/krvupdate.exe"_s), programStored ? installer : oldInstaller);
    QCOMPARE(readAll(u"Backup/krvupdate.exe"_s), programStored ? oldInstaller : olderInstaller);
    QCOMPARE(readAll(u"Updates/morlanda.hex"_s), imageStored ? image : oldImage);
    QCOMPARE(readAll(u"Backup/morlanda.hex"_s), imageStored ? oldImage : olderImage);
    QCOMPARE(QDir(u"Updates"_s).entryList(QDir::Files | QDir::NoSymLinks).size(), 2);

    // At program end, the installer of this run is made a program and run,
    // unless it is no longer the file that was checked.
    QCOMPARE(tab.updatePending(), programStored);
    if (server == u"tampered"_s) {
        write(u"Updates/krvupdate.exe"_s, "#!/bin/sh\necho planted > installed.txt\n");
        tab.startPendingInstaller();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.last().text.endsWith(u"is no longer the installer that was downloaded and checked; it was not "
                                            "started."_s),
                 qPrintable(shown.last().text));
        QVERIFY(!QFile::exists(u"installed.txt"_s));
    } else if (programStored) {
        tab.startPendingInstaller();
        QTRY_COMPARE(readAll(u"installed.txt"_s), QByteArray("new\n"));
    }
    QDir::setCurrent(QDir::tempPath());
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
