#include "porttable.h"
#include "settingsstore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The settings store and the port table.
class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void keyNamesIgnoreCase();
    void defaultsAndNumbers_data();
    void defaultsAndNumbers();
    void valuesSurviveReopening();
    void portTableOrder();
    void portTableNumbers();
};

void TestSettingsStore::keyNamesIgnoreCase()
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"s.ini"_s));
    store.setSetting(u"Baudrate"_s, 19200);
    QCOMPARE(store.intSetting(u"BaudRate"_s, 38400), 19200);
    store.setSetting(u"BAUDRATE"_s, 9600);
    QCOMPARE(store.intSetting(u"baudrate"_s, 38400), 9600);
    // One key, not three.
    store.sync();
    QSettings raw(store.fileName(), QSettings::IniFormat);
    raw.beginGroup(u"Settings"_s);
    QCOMPARE(raw.childKeys(), QStringList{u"Baudrate"_s});
}

void TestSettingsStore::defaultsAndNumbers_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("number");
    QTest::newRow("plain") << u"38400"_s << 38400;
    QTest::newRow("not a number") << u"abc"_s << 0;
    QTest::newRow("leading digits") << u"12abc"_s << 12;
    QTest::newRow("blanks and sign") << u"  -5"_s << -5;
    QTest::newRow("empty") << QString() << 0;
}

void TestSettingsStore::defaultsAndNumbers()
{
    QFETCH(QString, stored);
    QFETCH(int, number);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(u"s.ini"_s));
    QCOMPARE(store.intSetting(u"WindowWidth"_s, -1), -1);
    QCOMPARE(store.setting(u"RemoteIP"_s, u"none"_s), u"none"_s);
    store.setSetting(u"WindowWidth"_s, stored);
    QCOMPARE(store.intSetting(u"WindowWidth"_s, -1), number);
}

void TestSettingsStore::valuesSurviveReopening()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"s.ini"_s);
    {
        SettingsStore store(path);
        store.setValue(u"PROFILE 3"_s, u"CALL1"_s, u"DL1ABC"_s);
        store.setSetting(u"COMPort"_s, 4);
    }
    SettingsStore store(path);
    QCOMPARE(store.value(u"PROFILE 3"_s, u"call1"_s, {}), u"DL1ABC"_s);
    QCOMPARE(store.intSetting(u"comport"_s, 1), 4);
}

void TestSettingsStore::portTableOrder()
{
    const QStringList ordered = PortTable::ordered({u"/dev/ttyS10"_s, u"/dev/ttyS2"_s, u"/dev/ttyACM0"_s,
                                                    u"/dev/ttyUSB10"_s, u"/dev/ttyUSB1"_s, u"/dev/rfcomm0"_s});
    QCOMPARE(ordered, (QStringList{u"/dev/ttyUSB1"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyACM0"_s, u"/dev/ttyS2"_s,
                                   u"/dev/ttyS10"_s, u"/dev/rfcomm0"_s}));
}

void TestSettingsStore::portTableNumbers()
{
    QStringList many;
    for (int i = 0; i < 20; ++i)
        many << u"/dev/ttyUSB%1"_s.arg(i);
    const PortTable table(many);
    QCOMPARE(table.count(), PortTable::MaxPorts);
    QCOMPARE(table.device(1), u"/dev/ttyUSB0"_s);
    QCOMPARE(table.device(16), u"/dev/ttyUSB15"_s);
    QVERIFY(table.device(0).isEmpty());
    QVERIFY(table.device(17).isEmpty());
    // The device named on the command line is port 1, and not listed twice.
    const PortTable discovered = PortTable::discover(u"/dev/pts/99"_s);
    QCOMPARE(discovered.device(1), u"/dev/pts/99"_s);
    QCOMPARE(discovered.devices().count(u"/dev/pts/99"_s), 1);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
