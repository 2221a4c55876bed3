#include "settingsstore.h"
#include "tcpparms.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The Remote Control dialog: its checks, their messages, the keys it stores.
class TestTCPParms : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
    void roleRelabelsTheAddressFields();
};

void TestTCPParms::save_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("timeout");
    QTest::addColumn<QString>("buffering");
    QTest::addColumn<QString>("allow");
    QTest::addColumn<QString>("message");
    // Stored keys as key=value, empty when nothing may be stored.
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("client with port 80")
        << 3 << u"192.168.1.5"_s << u"80"_s << u"0"_s << u"2"_s << QString() << QString()
        << QStringList{u"RemoteRole=3"_s, u"RemoteIP=192.168.1.5"_s, u"RemotePort=80"_s, u"LocalPort=18074"_s,
                       u"remoteBufferSize=2"_s};
    QTest::newRow("server with port 80")
        << 2 << QString() << u"80"_s << u"0"_s << u"1"_s << QString()
        << u"The port must be a number between 10000 and 49151"_s << QStringList();
    QTest::newRow("server: a buffering out of range is stored as 1")
        << 2 << u"10.0.0.2"_s << u"20000"_s << u"99"_s << u"7"_s << u"10.0.0.0/8 192.168.1.20"_s << QString()
        << QStringList{u"RemoteRole=2"_s, u"LocalIP=10.0.0.2"_s, u"LocalPort=20000"_s, u"TCPTimeout=99"_s,
                       u"remoteBufferSize=1"_s, u"RemoteAllow=10.0.0.0/8 192.168.1.20"_s};
    QTest::newRow("client without an address")
        << 3 << QString() << u"18074"_s << u"0"_s << u"1"_s << QString()
        << u"You have to specify the remote port and IP address"_s << QStringList();
    QTest::newRow("server without a port") << 2 << QString() << QString() << u"0"_s << u"1"_s << QString()
                                           << u"You have to specify the local port"_s << QStringList();
    QTest::newRow("an address that is not dotted IPv4")
        << 3 << u"192.168.1"_s << u"18074"_s << u"0"_s << u"1"_s << QString() << u"Invalid IP address"_s
        << QStringList();
    QTest::newRow("a timeout of 100 minutes") << 2 << QString() << u"18074"_s << u"100"_s << u"1"_s << QString()
                                              << u"The inactivity timeout should be 0-99 minutes"_s << QStringList();
    QTest::newRow("an allowed client that is no address")
        << 2 << QString() << u"18074"_s << u"0"_s << u"1"_s << u"my-pc"_s << u"Not an address or network: my-pc"_s
        << QStringList();
}

void TestTCPParms::save()
{
    QFETCH(int, role);
    QFETCH(QString, message);
    QFETCH(QStringList, stored);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    QStringList shown;
    TCPParms dialog(&settings, [&shown](QMessageBox::Icon, const QString &text) { shown << text; });
    dialog.findChild<QButtonGroup *>(u"optRemoteRole"_s)->button(role)->click();
    QFETCH(QString, ip);
    QFETCH(QString, port);
    QFETCH(QString, timeout);
    QFETCH(QString, buffering);
    QFETCH(QString, allow);
    dialog.findChild<QLineEdit *>(u"txtIP"_s)->setText(ip);
    dialog.findChild<QLineEdit *>(u"txtPort"_s)->setText(port);
    dialog.findChild<QLineEdit *>(u"txtTimeout"_s)->setText(timeout);
    dialog.findChild<QLineEdit *>(u"txtBuffering"_s)->setText(buffering);
    dialog.findChild<QLineEdit *>(u"txtAllow"_s)->setText(allow);
    dialog.findChild<QAbstractButton *>(u"btnSave"_s)->click();

    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(dialog.result(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(settings.setting(u"RemoteRole"_s, u"none"_s), stored.isEmpty() ? u"none"_s : QString::number(role));
    for (const QString &pair : stored) {
        const QString key = pair.section(u'=', 0, 0);
        QCOMPARE(key + u'=' + settings.setting(key, u"?"_s), pair);
    }
}

void TestTCPParms::roleRelabelsTheAddressFields()
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    settings.setSetting(u"RemoteRole"_s, 2);
    settings.setSetting(u"LocalPort"_s, u"20000"_s);
    settings.setSetting(u"RemoteIP"_s, u"192.168.1.5"_s);
    TCPParms dialog(&settings, [](QMessageBox::Icon, const QString &) {});
    QVERIFY(dialog.windowTitle().startsWith(u"Remote Control "_s));
    auto *ip = dialog.findChild<QLineEdit *>(u"txtIP"_s);
    auto *port = dialog.findChild<QLineEdit *>(u"txtPort"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"lblIP"_s)->text(), u"Local IP Addr"_s);
    QCOMPARE(port->text(), u"20000"_s);
    // The client's fields are the server machine's.
    dialog.findChild<QButtonGroup *>(u"optRemoteRole"_s)->button(3)->click();
    QCOMPARE(dialog.findChild<QLabel *>(u"lblIP"_s)->text(), u"Remote IP Addr"_s);
    QCOMPARE(dialog.findChild<QLabel *>(u"lblPort"_s)->toolTip(), u"Port on server machine"_s);
    QCOMPARE(ip->text(), u"192.168.1.5"_s);
    QCOMPARE(port->text(), u"18074"_s);
    dialog.findChild<QButtonGroup *>(u"optRemoteRole"_s)->button(1)->click();
    QCOMPARE(dialog.findChild<QLabel *>(u"lblPort"_s)->text(), u"Local Port"_s);
    QCOMPARE(port->text(), u"20000"_s);
}

QTEST_MAIN(TestTCPParms)
#include "tst_tcpparms.moc"
