#include "fakekeyerport.h"
#include "keyerlink.h"
#include "keyersearch.h"
#include "simulatedkeyer.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Attempts = QList<QPair<QString, qint32>>;
Q_DECLARE_METATYPE(Attempts)

// The start-up search for the keyer: which ports are tried at which line
// speeds, in which order. The waits run at a tenth of their length.
class TestKeyerSearch : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void answerWithoutAckIsBadAnswer();
    void answerSplitAcrossReads_data();
    void answerSplitAcrossReads();
    void portsThatDoNotOpenArePassedOverAndExplained();
    void radioPortIsNeverTried();

private:
    static constexpr double WaitScale = 0.1;

    static QStringList portNames()
    {
        QStringList names;
        for (int i = 1; i <= 16; ++i)
            names << u"p%1"_s.arg(i);
        return names;
    }
};

void TestKeyerSearch::search_data()
{
    QTest::addColumn<QStringList>("existing");   // devices that open
    QTest::addColumn<QString>("keyerDevice");    // where the keyer answers
    QTest::addColumn<qint32>("keyerBaud");
    QTest::addColumn<int>("startPort");
    QTest::addColumn<qint32>("startBaud");
    QTest::addColumn<bool>("autoSearch");
    QTest::addColumn<bool>("found");
    QTest::addColumn<Attempts>("expected");

    QTest::newRow("keyer on the stored port answers at once")
        << QStringList{u"p1"_s, u"p2"_s} << u"p2"_s << 38400 << 2 << 38400 << true << true
        << Attempts{{u"p2"_s, 38400}};

    // Port 1 only at 19200 with 38400 stored: 38400 twice (the second time
    // after the search flag is cleared), then 19200.
    QTest::newRow("baud fallback on port 1")
        << QStringList{u"p1"_s} << u"p1"_s << 19200 << 1 << 38400 << true << true
        << Attempts{{u"p1"_s, 38400}, {u"p1"_s, 38400}, {u"p1"_s, 19200}};

    // Ports 2 and 3 exist but stay silent: each is tried at every speed;
    // port 4 does not exist; port 5 answers.
    QTest::newRow("search moves up to port 5")
        << QStringList{u"p1"_s, u"p2"_s, u"p3"_s, u"p5"_s} << u"p5"_s << 38400 << 1 << 38400 << true << true
        << Attempts{{u"p1"_s, 38400}, {u"p1"_s, 38400}, {u"p1"_s, 19200}, {u"p1"_s, 9600}, {u"p1"_s, 4800},
                    {u"p2"_s, 38400}, {u"p2"_s, 19200}, {u"p2"_s, 9600}, {u"p2"_s, 4800},
                    {u"p3"_s, 38400}, {u"p3"_s, 19200}, {u"p3"_s, 9600}, {u"p3"_s, 4800},
                    {u"p4"_s, 38400}, {u"p5"_s, 38400}};

    // Without the automatic search a silent port 3 is tried once at the
    // stored speed, then port 1 at every speed, then start-up fails.
    QTest::newRow("no automatic search")
        << QStringList{u"p1"_s, u"p3"_s} << QString() << 38400 << 3 << 38400 << false << false
        << Attempts{{u"p3"_s, 38400}, {u"p1"_s, 38400}, {u"p1"_s, 19200}, {u"p1"_s, 9600}, {u"p1"_s, 4800}};

    // A stored port that no longer exists falls back to port 1 first.
    QTest::newRow("missing stored port falls back to port 1")
        << QStringList{u"p1"_s} << u"p1"_s << 38400 << 7 << 38400 << true << true
        << Attempts{{u"p7"_s, 38400}, {u"p1"_s, 38400}};

    // The first miss away from port 1 still sends the search back to port 1
    // once, then it walks up to 16.
    Attempts allMissing{{u"p1"_s, 38400}, {u"p2"_s, 38400}};
    for (int i = 1; i <= 16; ++i)
        allMissing.append({u"p%1"_s.arg(i), 38400});
    QTest::newRow("no ports at all: up to port 16 and no further")
        << QStringList{} << QString() << 38400 << 1 << 38400 << true << false << allMissing;
}

void TestKeyerSearch::search()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, keyerDevice);
    QFETCH(qint32, keyerBaud);
    QFETCH(int, startPort);
    QFETCH(qint32, startBaud);
    QFETCH(bool, autoSearch);
    QFETCH(bool, found);
    QFETCH(Attempts, expected);

    FakeKeyerPort port;
    port.devices = existing;
    port.responder = [&](FakeKeyerPort &p, const QByteArray &written) {
        if (written == "\x05?" && p.device() == keyerDevice && p.baudRate() == keyerBaud)
            p.arrive("?K\x06", 5);
    };
    KeyerLink link(&port);
    link.setWaitScale(WaitScale);
    link.setPortTable(PortTable(portNames()));

    const KeyerSearch::Result result = KeyerSearch(link).run(startPort, startBaud, autoSearch);
    QCOMPARE(port.openAttempts, expected);
    if (found) {
        QCOMPARE(result.outcome, KeyerSearch::Outcome::Answered);
        QCOMPARE(result.deviceLetter, 'K');
        QCOMPARE(result.baudRate, keyerBaud);
        QCOMPARE(port.device(), keyerDevice);
        QVERIFY(link.isOpen());
    } else {
        QCOMPARE(result.outcome, KeyerSearch::Outcome::NotFound);
        QVERIFY(!link.isOpen());
    }
}

void TestKeyerSearch::answerWithoutAckIsBadAnswer()
{
    FakeKeyerPort port;
    port.devices = {u"p1"_s};
    port.responder = [](FakeKeyerPort &p, const QByteArray &) { p.arrive("?K\x15", 5); };
    KeyerLink link(&port);
    link.setWaitScale(WaitScale);
    link.setPortTable(PortTable(portNames()));
    const KeyerSearch::Result result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::BadAnswer);
    QCOMPARE(port.openAttempts.size(), 1);
}

// USB adapters may hand over "?K" and the ACK in separate reads.
void TestKeyerSearch::answerSplitAcrossReads_data()
{
    QTest::addColumn<int>("split");
    QTest::newRow("one write") << 0;
    QTest::newRow("after ?") << 1;
    QTest::newRow("after ?K") << 2;
}

void TestKeyerSearch::answerSplitAcrossReads()
{
    QFETCH(int, split);
    SimulatedKeyer keyer;
    keyer.setAnswerSplit(split);
    keyer.setEventGap(30);
    FakeKeyerPort port;
    port.devices = {u"p1"_s};
    port.responder = [&](FakeKeyerPort &, const QByteArray &written) { keyer.feed(written); };
    connect(&keyer, &SimulatedKeyer::transmit, &port, [&](const QByteArray &bytes) { port.arrive(bytes); });
    KeyerLink link(&port);
    link.setPortTable(PortTable(portNames()));
    const KeyerSearch::Result result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::Answered);
    QCOMPARE(result.deviceLetter, 'K');
    QCOMPARE(port.openAttempts.size(), 1);
}

void TestKeyerSearch::portsThatDoNotOpenArePassedOverAndExplained()
{
    FakeKeyerPort port;
    port.forbiddenDevices = {u"p1"_s};
    port.brokenDevices = {u"p2"_s};
    port.devices = {u"p3"_s};
    port.responder = [](FakeKeyerPort &p, const QByteArray &) { p.arrive("?K\x06", 5); };
    KeyerLink link(&port);
    link.setWaitScale(WaitScale);
    link.setPortTable(PortTable(portNames()));
    KeyerSearch::Result result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::Answered);
    QCOMPARE(result.port, 3);

    port.devices.clear();
    result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::NotFound);
    const QString text = KeyerSearch::problemText(result.problems);
    QCOMPARE(text.count(u"could not be opened"_s), 2);
    QVERIFY(text.startsWith(u"p1 could not be opened: Permission denied\np2 could not be opened: Device or resource busy\n"_s));
    QVERIFY(text.contains(u"sudo usermod -aG dialout $USER"_s));

    // Without the automatic search the chosen port's reason is given too.
    result = KeyerSearch(link).run(2, 38400, false);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::NotFound);
    QCOMPARE(KeyerSearch::problemText(result.problems), u"p2 could not be opened: Device or resource busy"_s);
}

// The connected radio's port is passed over, even as the stored port, and
// named if no keyer is found.
void TestKeyerSearch::radioPortIsNeverTried()
{
    FakeKeyerPort port;
    port.devices = {u"p1"_s, u"p2"_s};
    port.responder = [](FakeKeyerPort &p, const QByteArray &) {
        if (p.device() == u"p2"_s)
            p.arrive("?K\x06", 5);
    };
    KeyerLink link(&port);
    link.setWaitScale(WaitScale);
    link.setPortTable(PortTable(portNames()));
    KeyerSearch search(link);
    search.setExcludedDevices({u"p2"_s});
    const KeyerSearch::Result result = search.run(2, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::NotFound);
    QVERIFY(std::none_of(port.openAttempts.cbegin(), port.openAttempts.cend(),
                         [](const QPair<QString, qint32> &attempt) { return attempt.first == u"p2"_s; }));
    QVERIFY(!port.openAttempts.isEmpty());
    QCOMPARE(KeyerSearch::problemText(result.problems), u"p2 could not be opened: it is the connected radio's port"_s);
}

QTEST_GUILESS_MAIN(TestKeyerSearch)
#include "tst_keyersearch.moc"
