#include "cwoiplink.h"
#include "cwoippacer.h"
#include "cwoipwire.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Steps = QList<QPair<int, char>>; // speed and character; speed 0: the tick

// CW over IP: the receive pacing from tables, and two links over loopback
// with shortened supervision.
class TestCwoip : public QObject
{
    Q_OBJECT

private slots:
    void pacing_data();
    void pacing();
    void floodIsBounded();
    void callAndCharacters();
    void supervision_data();
    void supervision();
    void peerJunk();
    void unansweredCallEnds();
    void callerNotAllowedIsRefused();

private:
    struct Pair
    {
        CwoipLink callee;
        CwoipLink caller;
        QList<QByteArray> keyer; // what the callee hands its keyer
        QList<QPair<bool, QString>> calleeMessages;
        QList<QPair<bool, QString>> callerMessages;
    };
    static void connectPair(Pair &pair, const CwoipLink::Intervals &callee, const CwoipLink::Intervals &caller);
};

void TestCwoip::pacing_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QStringList>("handed"); // text @ tick interval
    QTest::addColumn<int>("speed");
    QTest::newRow("C waits, Q brings 15 units") << Steps{{20, 'C'}, {20, 'Q'}} << QStringList{u"CQ@1800"_s} << 20;
    QTest::newRow("then every character at once") << Steps{{20, 'C'}, {20, 'Q'}, {20, 'E'}}
                                                   << QStringList{u"CQ@1800"_s, u"E@2040"_s} << 20;
    QTest::newRow("after the tick a character waits again") << Steps{{20, 'C'}, {20, 'Q'}, {0, 0}, {20, 'E'}}
                                                             << QStringList{u"CQ@1800"_s} << 20;
    QTest::newRow("a blank ends the word") << Steps{{25, 'E'}, {25, ' '}} << QStringList{u"E @384"_s} << 25;
    QTest::newRow("speeds 4 and 76 leave 30 in force") << Steps{{30, 'I'}, {4, 'I'}, {76, '/'}}
                                                       << QStringList{u"II/@1120"_s} << 30;
    QTest::newRow("0 and unknown bytes are class 11") << Steps{{20, '0'}} << QStringList{u"0@1320"_s} << 20;
    QTest::newRow("accented letters by their bytes") << Steps{{24, '\xC4'}, {24, '\xD1'}}
                                                     << QStringList{u"\u00C4\u00D1@1700"_s} << 24;
}

void TestCwoip::pacing()
{
    QFETCH(Steps, steps);
    CwoipPacer pacer;
    QStringList handed;
    for (const auto &[speed, c] : steps) {
        if (speed == 0) {
            pacer.tick();
            continue;
        }
        if (pacer.addCharacter(speed, c)) {
            const QByteArray text = pacer.takeText();
            handed << QString::fromLatin1(text) + u'@' + QString::number(pacer.tickIntervalMs());
        }
    }
    QTEST(handed, "handed");
    QTEST(pacer.speed(), "speed");
}

void TestCwoip::floodIsBounded()
{
    CwoipPacer pacer;
    for (int i = 0; i < 1000; ++i)
        pacer.addCharacter(20, 'E', CwoipPacer::WaitingLimit - 2);
    // Room for two; the rest dropped and counted.
    QCOMPARE(pacer.text(), "EE"_ba);
    QCOMPARE(pacer.dropped(), 998);

    // A burst handed over at once fills the keyer only up to its limit (T is
    // 3 units: 36 of them); once they are sounded, characters go through again.
    CwoipPacer burst;
    QByteArray handed;
    for (int i = 0; i < 100; ++i)
        handed += burst.addCharacter(20, 'T', 0, 1000) ? burst.takeText(1000) : QByteArray();
    QCOMPARE(handed, QByteArray(36, 'T'));
    QCOMPARE(burst.dropped(), 64);
    QVERIFY(burst.addCharacter(20, 'T', 0, 1000 + 36 * 3 * 120));
}

void TestCwoip::connectPair(Pair &pair, const CwoipLink::Intervals &callee, const CwoipLink::Intervals &caller)
{
    pair.callee.setIntervals(callee);
    pair.caller.setIntervals(caller);
    connect(&pair.callee, &CwoipLink::keyerBytes, &pair.callee, [&pair](const QByteArray &b) { pair.keyer << b; });
    connect(&pair.callee, &CwoipLink::message, &pair.callee,
            [&pair](bool critical, const QString &text) { pair.calleeMessages.append({critical, text}); });
    connect(&pair.caller, &CwoipLink::message, &pair.caller,
            [&pair](bool critical, const QString &text) { pair.callerMessages.append({critical, text}); });
    QSignalSpy ringing(&pair.callee, &CwoipLink::ringing);
    QVERIFY(pair.callee.listen(0));
    QCOMPARE(pair.callee.mode(), CwoipLink::Listening);
    QVERIFY(pair.caller.connectTo(u"127.0.0.1"_s, pair.callee.listeningPort()));
    QCOMPARE(pair.caller.mode(), CwoipLink::Calling);
    // The greeting makes the callee connected, and it rings.
    QTRY_COMPARE(pair.callee.mode(), CwoipLink::Answered);
    QCOMPARE(ringing.size(), 1);
}

void TestCwoip::callAndCharacters()
{
    Pair pair;
    CwoipLink::Intervals fast;
    fast.greetingMs = 10;
    fast.handOverPauseMs = 5;
    connectPair(pair, fast, fast);
    pair.caller.sendCharacter('C', 20);
    pair.caller.sendCharacter('Q', 20);
    // The keyer's own echo of a peer's character (after SO) goes nowhere.
    pair.caller.setShiftMark(CwoipLink::ShiftOut);
    pair.caller.sendCharacter('X', 20);
    pair.caller.setShiftMark(CwoipLink::ShiftIn);
    pair.caller.sendCharacter(' ', 20);
    const QList<QByteArray> expected{"\t "_ba, "\x0E\x14"
                                               "C"_ba,
                                     "\x0E\x14Q"_ba, "\x0E\x14 "_ba};
    QTRY_COMPARE(pair.keyer, expected);
    QVERIFY(pair.calleeMessages.isEmpty());
    QVERIFY(pair.callerMessages.isEmpty());
}

void TestCwoip::supervision_data()
{
    QTest::addColumn<int>("callerKeepAliveMs");
    QTest::addColumn<int>("calleeSilenceMs");
    QTest::addColumn<int>("keepAliveLimit");
    QTest::addColumn<bool>("callerLeaves");
    QTest::addColumn<QString>("calleeMessage");
    QTest::addColumn<QString>("callerMessage");
    // The callee gives up on a caller that only keeps the line alive; the
    // caller learns it when its next keep-alive finds the line gone.
    QTest::newRow("keep-alives without a character") << 20 << 2000 << 5 << false << QString()
                                                     << u"CWoIP connection was dropped"_s;
    QTest::newRow("silence") << 60000 << 300 << 150 << false << u"CWoIP connection was dropped"_s << QString();
    QTest::newRow("the caller leaves") << 60000 << 60000 << 150 << true << QString() << QString();
}

void TestCwoip::supervision()
{
    QFETCH(int, callerKeepAliveMs);
    QFETCH(int, calleeSilenceMs);
    QFETCH(int, keepAliveLimit);
    QFETCH(bool, callerLeaves);
    QFETCH(QString, calleeMessage);
    QFETCH(QString, callerMessage);
    Pair pair;
    CwoipLink::Intervals callee, caller;
    callee.silenceMs = calleeSilenceMs;
    callee.keepAliveLimit = keepAliveLimit;
    caller.greetingMs = 10;
    caller.keepAliveMs = callerKeepAliveMs;
    caller.leavePauseMs = 50;
    connectPair(pair, callee, caller);
    if (callerLeaves) {
        pair.caller.disconnectLink();
        QCOMPARE(pair.caller.mode(), CwoipLink::Listening);
    }
    QTRY_COMPARE_WITH_TIMEOUT(pair.callee.mode(), CwoipLink::Listening, 5000);
    if (!callerMessage.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(pair.caller.mode(), CwoipLink::Listening, 5000);
    const auto texts = [](const QList<QPair<bool, QString>> &messages) {
        QString all;
        for (const auto &m : messages)
            all += (m.first ? u"!"_s : u"i "_s) + m.second;
        return all;
    };
    QCOMPARE(texts(pair.calleeMessages), calleeMessage.isEmpty() ? QString() : u"i "_s + calleeMessage);
    QCOMPARE(texts(pair.callerMessages), callerMessage.isEmpty() ? QString() : u"!"_s + callerMessage);
}

void TestCwoip::peerJunk()
{
    CwoipLink link;
    QList<QByteArray> keyer;
    connect(&link, &CwoipLink::keyerBytes, &link, [&keyer](const QByteArray &b) { keyer << b; });
    QSignalSpy messages(&link, &CwoipLink::message);
    QVERIFY(link.listen(0));
    QTcpSocket peer;
    peer.connectToHost(u"127.0.0.1"_s, link.listeningPort());
    QVERIFY(peer.waitForConnected(5000));
    QByteArray junk = CwoipWire::keepAlive();
    auto *random = QRandomGenerator::global();
    while (junk.size() < 200000) {
        const QByteArray unit = QByteArray(1, char(random->bounded(256))).append(char(random->bounded(256)));
        // Anything but the leave message, which would end the test's link.
        if (!CwoipWire::isLeave(unit))
            junk += unit;
    }
    junk += '\xA5'; // an odd byte at the end
    peer.write(junk);
    QVERIFY(peer.waitForBytesWritten(5000));
    QTRY_COMPARE(link.mode(), CwoipLink::Answered);
    QTRY_VERIFY(link.pacer().dropped() > 0);
    // The keyer gets at most one character per pause, however much came.
    const qsizetype before = keyer.size();
    QTest::qWait(500);
    QVERIFY2(keyer.size() - before <= 500 / 50 + 1, qPrintable(QString::number(keyer.size() - before)));
    // Told once that characters were dropped, and nothing else.
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().at(0).toBool(), false);
    peer.abort();
}

void TestCwoip::unansweredCallEnds()
{
    // A listener whose queue is full: the kernel drops further calls
    // unanswered, as an address that nobody answers does.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    QCOMPARE(::listen(fd, 0), 0);
    socklen_t length = sizeof address;
    QCOMPARE(::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    QTcpSocket fillers[2];
    for (QTcpSocket &filler : fillers)
        filler.connectToHost(u"127.0.0.1"_s, port);
    QTest::qWait(200);

    CwoipLink link;
    CwoipLink::Intervals intervals;
    intervals.connectLimitMs = 400;
    link.setIntervals(intervals);
    QSignalSpy messages(&link, &CwoipLink::message);
    QVERIFY(!link.connectTo(u"127.0.0.1"_s, port));
    QCOMPARE(link.mode(), CwoipLink::Offline);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().at(1).toString(),
             u"No answer from 127.0.0.1 on port %1 within 0.4 seconds. Is the other trainer listening?"_s.arg(port));
    ::close(fd);
}

// A listener that allows only another network: the call from here is
// closed unread, the listener goes on listening and says so once.
void TestCwoip::callerNotAllowedIsRefused()
{
    CwoipLink callee;
    callee.setAllowList(RemoteAllowList::parse(u"10.0.0.0/8"_s));
    QSignalSpy messages(&callee, &CwoipLink::message);
    QVERIFY(callee.listen(0));
    for (int call = 0; call < 2; ++call) {
        QTcpSocket caller;
        caller.connectToHost(u"127.0.0.1"_s, callee.listeningPort());
        QVERIFY(caller.waitForConnected(2000));
        caller.write(CwoipWire::keepAlive());
        QTRY_COMPARE(caller.state(), QAbstractSocket::UnconnectedState);
    }
    QCOMPARE(callee.mode(), CwoipLink::Listening);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.first().at(1).toString(), u"CWoIP: a call from 127.0.0.1 was refused (not in the allowed callers)"_s);
}

QTEST_GUILESS_MAIN(TestCwoip)
#include "tst_cwoip.moc"
