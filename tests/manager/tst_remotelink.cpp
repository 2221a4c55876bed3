#include "station.h"

#include "remotewire.h"

#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

// Two managers, each with its own simulated keyer, as client and server of
// the remote control link over loopback; and a server under a storm of
// random bytes and broken connections.
class TestRemoteLink : public QObject
{
    Q_OBJECT

private slots:
    void clientKeyingReachesServerKeyer_data();
    void clientKeyingReachesServerKeyer();
    void serverDropsClient_data();
    void serverDropsClient();
    void serverSurvivesRandomBytesAndBrokenConnections();
    void keyboardSimulatorTypesDecodedText();

private:
    static quint16 freePort();
    static void configure(Station &station, int role, quint16 port);
    static void start(Station &station, double remoteScale);
    static void clickKeyerPicture(Station &station);
    static QString linkCaption(Station &station);
    // The keyer's journal from line from on: a send-character as its
    // character, a set-speed to 75 wpm as "|", any other speed as "{N}".
    static QString keyerTold(Station &station, int from);
};

quint16 TestRemoteLink::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void TestRemoteLink::configure(Station &station, int role, quint16 port)
{
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    station.settings->setSetting(u"RemoteRole"_s, role);
    station.settings->setSetting(u"LocalIP"_s, u"127.0.0.1"_s);
    station.settings->setSetting(u"RemoteIP"_s, u"127.0.0.1"_s);
    station.settings->setSetting(u"LocalPort"_s, port);
    station.settings->setSetting(u"RemotePort"_s, port);
}

void TestRemoteLink::start(Station &station, double remoteScale)
{
    QVERIFY(station.simStarted);
    station.startWindow(20000, 0.25);
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    // The link's wait scale is the remote link's too: watchdog, keep-alive.
    station.window->link().setWaitScale(remoteScale);
}

void TestRemoteLink::clickKeyerPicture(Station &station)
{
    QTest::mouseClick(station.child<QLabel>(u"imgKRV"_s), Qt::LeftButton);
}

QString TestRemoteLink::linkCaption(Station &station)
{
    return station.child<QLabel>(u"lblTCP"_s)->text();
}

QString TestRemoteLink::keyerTold(Station &station, int from)
{
    QString told;
    const QStringList lines = station.sim.journal();
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.startsWith(u"char "_s))
            told += line.size() == 6 ? line.mid(5) : QString(QChar(line.mid(5).toInt(nullptr, 16)));
        else if (line == u"speed 75"_s)
            told += u'|';
        else if (line.startsWith(u"speed "_s))
            told += u'{' + line.mid(6) + u'}';
    }
    return told;
}

void TestRemoteLink::clientKeyingReachesServerKeyer_data()
{
    QTest::addColumn<int>("buffering");
    QTest::addColumn<QString>("keyed");
    // What the server's keyer is told, keep-alives ("|") before the first
    // and after the last character left out.
    QTest::addColumn<QString>("told");

    QTest::newRow("buffering off; zero and prosign as the keyer keys them")
        << 0 << u"CQ DE K1ABC 0 +"_s << u"CQ DE K1ABC 0 +"_s;
    QTest::newRow("level 3: the last word waits for the keep-alive") << 3 << u"CQ DE K1ABC"_s << u"CQ DE |K1ABC"_s;
    QTest::newRow("level 1: eleven characters, then the keep-alive")
        << 1 << u"ABCDEFGHIJKLM"_s << u"ABCDEFGHIJK|LM"_s;
}

void TestRemoteLink::clientKeyingReachesServerKeyer()
{
    QFETCH(int, buffering);
    QFETCH(QString, keyed);
    const quint16 port = freePort();
    Station server;
    configure(server, 2, port);
    server.settings->setSetting(u"remoteBufferSize"_s, buffering);
    start(server, 0.5);
    Station client;
    configure(client, 3, port);
    start(client, 0.5);
    client.sim.control(u"knob 75"_s);
    QTRY_COMPARE(client.window->record().currentSpeed, "75"_ba);

    clickKeyerPicture(server);
    QCOMPARE(linkCaption(server), u"Server"_s);
    const int from = int(server.sim.journal().size());
    clickKeyerPicture(client);
    QCOMPARE(linkCaption(client), u"Connected"_s);
    QTRY_COMPARE(linkCaption(server), u"Connected"_s);

    client.sim.control(u"key "_s + keyed);
    QTRY_COMPARE_WITH_TIMEOUT(keyerTold(server, from).remove(u'|'), keyed, 20000);
    QString told = keyerTold(server, from);
    while (told.startsWith(u'|'))
        told.remove(0, 1);
    QTEST(told, "told");
    // The server's keyer keyed it, so its monitor shows it.
    QTRY_VERIFY(server.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText().startsWith(keyed.left(3)));

    // The operator ends it: goodbye, and the server listens again.
    client.window->close();
    QTRY_COMPARE(linkCaption(server), u"Server"_s);
    QCOMPARE(server.texts(), QStringList());
    QCOMPARE(client.texts(), QStringList());
    server.window->close();
}

void TestRemoteLink::serverDropsClient_data()
{
    QTest::addColumn<int>("clientSpeed");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QString>("allowed");
    QTest::addColumn<QString>("note");

    QTest::newRow("hello with 80 wpm: the watchdog") << 80 << 0 << QString() << u"dropped (no valid hello)"_s;
    QTest::newRow("inactive for a minute") << 30 << 1 << QString() << u"dropped (inactive)"_s;
    QTest::newRow("not on the allow list")
        << 30 << 0 << u"10.0.0.0/8"_s << u"refused (not in the allowed clients)"_s;
}

void TestRemoteLink::serverDropsClient()
{
    QFETCH(int, clientSpeed);
    QFETCH(int, timeout);
    QFETCH(QString, allowed);
    const quint16 port = freePort();
    Station server;
    configure(server, 2, port);
    server.settings->setSetting(u"TCPTimeout"_s, timeout);
    server.settings->setSetting(u"RemoteAllow"_s, allowed);
    start(server, 0.1);
    Station client;
    configure(client, 3, port);
    start(client, 0.1);
    client.sim.control(u"knob %1"_s.arg(clientSpeed));
    QTRY_COMPARE(client.window->record().currentSpeed, QByteArray::number(clientSpeed));

    clickKeyerPicture(server);
    const int from = int(server.sim.journal().size());
    clickKeyerPicture(client);
    QTRY_COMPARE_WITH_TIMEOUT(client.texts(), QStringList{u"Server dropped connection"_s}, 20000);
    QCOMPARE(linkCaption(client), QString());
    QTRY_COMPARE(linkCaption(server), u"Server"_s);
    QFETCH(QString, note);
    const QString monitor = server.child<QPlainTextEdit>(u"txtMonitorText"_s)->toPlainText();
    QVERIFY2(monitor.contains(QRegularExpression(u"^\\[Remote control \\d\\d:\\d\\d:\\d\\d UTC: 127\\.0\\.0\\.1 "_s
                                                 + QRegularExpression::escape(note) + u"\\]$"_s,
                                                 QRegularExpression::MultilineOption)),
             qPrintable(monitor));
    QCOMPARE(keyerTold(server, from).remove(QRegularExpression(u"\\{\\d+\\}|\\|"_s)), QString());
    QCOMPARE(server.texts(), QStringList());
    client.window->close();
    server.window->close();
}

void TestRemoteLink::serverSurvivesRandomBytesAndBrokenConnections()
{
    const int runMs = qEnvironmentVariableIntValue("DW_REMOTE_RANDOM_MS") > 0
                          ? qEnvironmentVariableIntValue("DW_REMOTE_RANDOM_MS")
                          : 3000;
    const quint32 seed = qEnvironmentVariableIsSet("DW_REMOTE_RANDOM_SEED")
                             ? quint32(qEnvironmentVariableIntValue("DW_REMOTE_RANDOM_SEED"))
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (DW_REMOTE_RANDOM_SEED), %d ms (DW_REMOTE_RANDOM_MS)", seed, runMs);
    QRandomGenerator random(seed);
    const quint16 port = freePort();
    Station server;
    configure(server, 2, port);
    server.settings->setSetting(u"TCPTimeout"_s, 1);
    start(server, 0.05);
    clickKeyerPicture(server);
    QCOMPARE(linkCaption(server), u"Server"_s);
    const int from = int(server.sim.journal().size());

    static const char protocol[] = {RemoteWire::SetSpeed, RemoteWire::Goodbye, RemoteWire::KeepAlive,
                                    RemoteWire::Hello,    RemoteWire::Flush,   RemoteWire::KeypadEcho};
    QDeadlineTimer deadline(runMs);
    int connections = 0;
    while (!deadline.hasExpired()) {
        QTcpSocket peer;
        peer.connectToHost(QHostAddress::LocalHost, port);
        QTRY_COMPARE(peer.state(), QAbstractSocket::ConnectedState);
        ++connections;
        if (random.bounded(10) < 8)
            peer.write(RemoteWire::withSpeed(RemoteWire::Hello, random.bounded(1, 90)));
        // Now and then a second peer while the first is there.
        std::unique_ptr<QTcpSocket> intruder;
        if (random.bounded(5) == 0) {
            intruder = std::make_unique<QTcpSocket>();
            intruder->connectToHost(QHostAddress::LocalHost, port);
        }
        for (int chunk = int(random.bounded(1, 8)); chunk > 0 && peer.state() == QAbstractSocket::ConnectedState;
             --chunk) {
            QByteArray bytes(int(random.bounded(1, 80)), Qt::Uninitialized);
            for (char &c : bytes)
                c = random.bounded(3) == 0 ? protocol[random.bounded(6)] : char(random.bounded(256));
            peer.write(bytes);
            QTest::qWait(int(random.bounded(30)));
        }
        switch (random.bounded(3)) {
        case 0: peer.abort(); break;
        case 1: peer.disconnectFromHost(); break;
        default: peer.write(QByteArray(2, RemoteWire::Goodbye)); peer.flush(); peer.abort(); break;
        }
        intruder.reset();
        QTRY_COMPARE(linkCaption(server), u"Server"_s);
    }

    // Nothing stuck: a well-behaved client still gets through.
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(client.state(), QAbstractSocket::ConnectedState);
    client.write(QByteArray("\x05\x4b" "CQ ZZ "));
    QTRY_COMPARE(linkCaption(server), u"Connected"_s);
    QTRY_VERIFY_WITH_TIMEOUT(keyerTold(server, from).endsWith(u"CQ ZZ "_s), 30000);

    // Only text and speeds 5 to 75 reached the keyer.
    for (const QString &line : server.sim.journal().mid(from)) {
        QVERIFY2(!line.startsWith(u"keypad"_s) && !line.startsWith(u"byte"_s), qPrintable(line));
        if (line.startsWith(u"speed "_s))
            QVERIFY2(RemoteWire::validSpeed(line.mid(6).toInt()), qPrintable(line));
    }
    for (const QChar c : keyerTold(server, from)) {
        if (c != u'|' && c != u'{' && c != u'}' && !c.isDigit())
            QVERIFY2(RemoteWire::keyable(char(c.unicode())), qPrintable(QString::number(c.unicode())));
    }
    QVERIFY2(connections > 1, qPrintable(QString::number(connections)));
    QCOMPARE(server.texts(), QStringList());
    server.window->close();
}

void TestRemoteLink::keyboardSimulatorTypesDecodedText()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("types into an X display: ctest runs this case under Xvfb as tst_remotelink_xvfb");
#ifndef DW_HAVE_X11
    QSKIP("built without XTest: the keyboard simulator cannot type here");
#endif
    Station station;
    configure(station, 1, freePort());
    // The translation table: "E" is typed as "e", "K" as Enter.
    QFile table(station.dataDir.filePath(u"remote.txt"_s));
    QVERIFY(table.open(QIODevice::WriteOnly) && table.write("E,e\nK,~\n") > 0);
    table.close();
    start(station, 1.0);
    // The operator keeps the sidetone off; the simulator needs it on. The
    // keyer answers a configuration with its block: let that pass first.
    station.window->record().optionWord &= quint16(~Option::ToneOn);
    QVERIFY(station.window->SendConfig());
    QTest::qWait(500);
    const quint16 optionsBefore = station.window->record().optionWord;
    const auto configs = [&station] { return station.sim.journal().filter(u"config "_s).size(); };
    const qsizetype configsBefore = configs();
    auto *sendImmediate = station.child<QCheckBox>(u"cbxSendImmediate"_s);
    sendImmediate->setChecked(false);

    clickKeyerPicture(station);
    QVERIFY2(station.texts().isEmpty(), qPrintable(station.texts().join(u'\n')));
    QCOMPARE(linkCaption(station), u"Kbd Simulator"_s);
    QVERIFY(station.window->record().optionWord & Option::ToneOn);
    QVERIFY(sendImmediate->isChecked());
    QTRY_VERIFY(configs() > configsBefore);
    const qsizetype configsOn = configs();

    // Another program has the keyboard focus (no window manager here: Qt
    // hands the X focus over itself).
    QPlainTextEdit target;
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&target));
    target.activateWindow();
    QTRY_VERIFY(target.hasFocus());
    // The keyer's own characters: a zero and not the monitor's slashed
    // one, "+" and not its "<ar> ".
    station.sim.control(u"key CQ TEST DE K0ABC +"_s);
    QTRY_COMPARE_WITH_TIMEOUT(target.toPlainText(), u"CQ TeST De \n0ABC +"_s, 20000);

    // Stopping puts the keyer's option back as it was.
    clickKeyerPicture(station);
    QCOMPARE(linkCaption(station), QString());
    QCOMPARE(station.window->record().optionWord, optionsBefore);
    QTRY_VERIFY(configs() > configsOn);
    QCOMPARE(station.texts(), QStringList());
    station.window->close();
}

QTEST_MAIN(TestRemoteLink)
#include "tst_remotelink.moc"
