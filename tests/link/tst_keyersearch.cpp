#include "fakekeyerport.h"
#include "keyerlink.h"
#include "keyersearch.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Attempts = QList<QPair<QString, qint32>>;
Q_DECLARE_METATYPE(Attempts)

// The start-up search for the keyer: which ports are tried at which line
// speeds, in which order. Each silent try costs the real identify waits.
class TestKeyerSearch : public QObject
{
    Q_OBJECT

private slots:
    void search_data();
    void search();
    void answerWithoutAckIsBadAnswer();
    void brokenPortEndsSearch();

private:
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
            p.arrive("?K\x06", 20);
    };
    KeyerLink link(&port);
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
    port.responder = [](FakeKeyerPort &p, const QByteArray &) { p.arrive("?K\x15", 10); };
    KeyerLink link(&port);
    link.setPortTable(PortTable(portNames()));
    const KeyerSearch::Result result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::BadAnswer);
    QCOMPARE(port.openAttempts.size(), 1);
}

void TestKeyerSearch::brokenPortEndsSearch()
{
    FakeKeyerPort port;
    port.brokenDevices = {u"p1"_s};
    KeyerLink link(&port);
    link.setPortTable(PortTable(portNames()));
    const KeyerSearch::Result result = KeyerSearch(link).run(1, 38400, true);
    QCOMPARE(result.outcome, KeyerSearch::Outcome::PortFailed);
    QVERIFY(result.portUnknown);
}

QTEST_GUILESS_MAIN(TestKeyerSearch)
#include "tst_keyersearch.moc"
