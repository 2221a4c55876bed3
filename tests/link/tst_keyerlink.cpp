#include "fakekeyerport.h"
#include "keyererror.h"
#include "keyerlink.h"
#include "payloadcodec.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Waits, acknowledgements and the receive routines of the keyer link,
// against an in-memory port.
class TestKeyerLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void payloadEncodings_data();
    void payloadEncodings();
    void hexDecodingIsTheReverse();

    void acknowledgement_data();
    void acknowledgement();
    void eventBehindAcknowledgementReachesEventStream();
    void receiveUntilTimeOutLeavesStatusOneAndPartialText();
    void receiveBlockTakesPayloadArrivedWithStartByte();
    void receiveBlockWithoutEndIsCancelled();
    void receiveCountTimeOutDependsOnCount();
    void receiveCountTakesEverythingBuffered();
    void waitForByteReturnsTheRestToEventStream();
    void waitForAnyByteAcceptsEitherEnd();

    void cancelEndsWaitAtOnce();
    void receiveEventEndsWaitAtThresholdOne();
    void pendingInputRunsEventStreamWhenThresholdReturns();
    void portFailureEndsWaitAndIsReported();
    void openErrors();

private:
    // Answers command letters like a keyer: letter, ACK, STX, then extra.
    void answerCommands(const QByteArray &reply);

    FakeKeyerPort *m_port = nullptr;
    KeyerLink *m_link = nullptr;
};

void TestKeyerLink::init()
{
    m_port = new FakeKeyerPort;
    m_port->devices = {u"dev1"_s};
    m_link = new KeyerLink(m_port);
    m_link->setPortTable(PortTable({u"dev1"_s, u"gone"_s}));
    m_link->openPort(1, 38400);
}

void TestKeyerLink::cleanup()
{
    delete m_link;
    delete m_port;
}

void TestKeyerLink::answerCommands(const QByteArray &reply)
{
    m_port->responder = [reply](FakeKeyerPort &port, const QByteArray &written) {
        if (written.size() == 2 && written.at(0) == 5)
            port.arrive(reply, 5);
    };
}

void TestKeyerLink::payloadEncodings_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Hex16 low byte first") << PayloadCodec::Hex16(0x1234) << QByteArray("3412");
    QTest::newRow("Hex16 of 255") << PayloadCodec::Hex16(255) << QByteArray("FF00");
    QTest::newRow("Hex16 of 0") << PayloadCodec::Hex16(0) << QByteArray("0000");
    QTest::newRow("Hex8 zero-padded upper case") << PayloadCodec::Hex8(10) << QByteArray("0A");
    QTest::newRow("Dec padded") << PayloadCodec::Dec(42, 6) << QByteArray("000042");
    QTest::newRow("Dec cut to last digits") << PayloadCodec::Dec(1234567, 6) << QByteArray("234567");
    QTest::newRow("Dec exact width") << PayloadCodec::Dec(999999, 6) << QByteArray("999999");
}

void TestKeyerLink::payloadEncodings()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QByteArray, expected);
    QCOMPARE(encoded, expected);
}

void TestKeyerLink::hexDecodingIsTheReverse()
{
    for (int value : {0, 1, 255, 256, 4660, 12000, 65535})
        QCOMPARE(int(PayloadCodec::fromHex16(PayloadCodec::Hex16(quint16(value)))), value);
    QCOMPARE(PayloadCodec::fromHex8("ff"), 255);
    QCOMPARE(PayloadCodec::fromHex8("0A"), 10);
    // A pair that is not hexadecimal reads as far as it goes.
    QCOMPARE(PayloadCodec::fromHex8("G1"), 0);
    QCOMPARE(PayloadCodec::fromHex8("1G"), 1);
}

void TestKeyerLink::acknowledgement_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("acknowledged");
    QTest::newRow("letter, ACK, STX") << QByteArray("S\x06\x02") << true;
    QTest::newRow("NAK instead of ACK") << QByteArray("S\x15\x02") << false;
    QTest::newRow("another letter") << QByteArray("X\x06\x02") << false;
    QTest::newRow("ACK first") << QByteArray("\x06S\x02") << false;
}

void TestKeyerLink::acknowledgement()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, acknowledged);
    answerCommands(reply);
    QCOMPARE(m_link->SendCommand('S'), acknowledged);
    QCOMPARE(m_port->written, QByteArray("\x05S"));
}

void TestKeyerLink::eventBehindAcknowledgementReachesEventStream()
{
    // The keyer sends its configuration block right behind the
    // acknowledgement; both may come in one read.
    answerCommands(QByteArray("S\x06\x02") + "\x14" + "BLOCK" + "\x03");
    QSignalSpy events(m_link, &KeyerLink::receiveEvent);
    m_link->setReceiveThreshold(1);
    QVERIFY(m_link->SendCommand('S'));
    QCOMPARE(m_link->rxBuffer, QByteArray("S\x06\x02"));
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(m_link->takeInput(), QByteArray("\x14" "BLOCK" "\x03"));
}

void TestKeyerLink::receiveUntilTimeOutLeavesStatusOneAndPartialText()
{
    m_port->arrive("PARTIAL", 10);
    m_link->ReceiveUntil('\x03');
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Arrived));
    QCOMPARE(m_link->rxBuffer, QByteArray("PARTIAL"));
}

void TestKeyerLink::receiveBlockTakesPayloadArrivedWithStartByte()
{
    // The event stream hands back what it read with the start byte.
    m_link->pushBack(QByteArray("\x14" "AB"));
    m_port->arrive("CD\x03" "E", 20);
    m_link->ReceiveBlock('\x14');
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Arrived));
    QCOMPARE(m_link->rxBuffer, QByteArray("ABCD"));
    QCOMPARE(m_link->takeInput(), QByteArray("E"));
}

void TestKeyerLink::receiveBlockWithoutEndIsCancelled()
{
    m_port->arrive("\x14" "NOEND", 10);
    m_link->ReceiveBlock('\x14');
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Cancelled));
}

void TestKeyerLink::receiveCountTimeOutDependsOnCount()
{
    m_link->ReceiveCount(2);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::TimedOut));
    QCOMPARE(m_link->TimeOut.interval(), 1000);
    m_link->ReceiveCount(3);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::TimedOut));
    QCOMPARE(m_link->TimeOut.interval(), 3000);
}

void TestKeyerLink::receiveCountTakesEverythingBuffered()
{
    m_port->arrive("?", 5);
    m_port->arrive("K\x06", 30);
    m_link->ReceiveCount(2);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Arrived));
    QCOMPARE(m_link->rxBuffer, QByteArray("?K\x06"));
    QVERIFY(!m_link->TimeOut.isActive());
}

void TestKeyerLink::waitForByteReturnsTheRestToEventStream()
{
    QSignalSpy events(m_link, &KeyerLink::receiveEvent);
    m_port->arrive(QByteArray("\x06\x14" "BLOCK\x03"), 10);
    QVERIFY(m_link->WaitForByte('\x06', 3000));
    QCOMPARE(m_link->receiveThreshold(), 1);
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(m_link->takeInput(), QByteArray("\x14" "BLOCK\x03"));
}

void TestKeyerLink::waitForAnyByteAcceptsEitherEnd()
{
    const char ends[] = {'\x03', '\x06'};
    m_port->arrive(QByteArray("\x06"), 10);
    QVERIFY(m_link->WaitForAnyByte(QByteArrayView(ends, 2), 1000));
    m_port->arrive(QByteArray("\x03"), 10);
    QVERIFY(m_link->WaitForAnyByte(QByteArrayView(ends, 2), 1000));
    m_port->arrive(QByteArray("\x15"), 10);
    QVERIFY(!m_link->WaitForAnyByte(QByteArrayView(ends, 2), 300));
}

void TestKeyerLink::cancelEndsWaitAtOnce()
{
    QTimer::singleShot(30, m_link, [this] { m_link->cancel(); });
    QElapsedTimer clock;
    clock.start();
    m_link->Wait(20000);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Cancelled));
    QVERIFY2(clock.elapsed() < 10000, "the cancel did not end the wait");
    QVERIFY(!m_link->TimeOut.isActive());

    QTimer::singleShot(30, m_link, [this] { m_link->cancel(); });
    m_link->ReceiveUntil('\x03');
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Cancelled));
}

void TestKeyerLink::receiveEventEndsWaitAtThresholdOne()
{
    // The event stream marks every arrival; a pause ends early on it.
    connect(m_link, &KeyerLink::receiveEvent, m_link, [this] {
        m_link->takeInput();
        m_link->linkStatus = KeyerLink::Arrived;
    });
    m_link->setReceiveThreshold(1);
    m_port->arrive("E", 30);
    m_link->Wait(20000);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Arrived));

    // At threshold 0 nothing is announced: the pause runs to its end.
    m_link->setReceiveThreshold(0);
    m_port->arrive("F", 10);
    m_link->Wait(200);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::TimedOut));
}

void TestKeyerLink::pendingInputRunsEventStreamWhenThresholdReturns()
{
    QSignalSpy events(m_link, &KeyerLink::receiveEvent);
    m_link->setReceiveThreshold(0);
    m_port->arrive("X", 0);
    QTRY_COMPARE(m_port->bytesAvailable(), qint64(1));
    QCoreApplication::processEvents();
    QCOMPARE(events.count(), 0);
    m_link->setReceiveThreshold(1);
    QTRY_COMPARE(events.count(), 1);
}

void TestKeyerLink::portFailureEndsWaitAndIsReported()
{
    QSignalSpy failures(m_link, &KeyerLink::portFailed);
    QTimer::singleShot(30, m_port, [this] { m_port->fail(u"Input/output error"_s); });
    QElapsedTimer clock;
    clock.start();
    m_link->Wait(20000);
    QVERIFY2(clock.elapsed() < 10000, "a failed port must end the wait");
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failures.at(0).at(0).toString(), u"Input/output error"_s);
    QVERIFY(!m_link->isOpen());
    // Writing to the closed port is harmless.
    m_link->write("\x05?");
}

void TestKeyerLink::openErrors()
{
    m_port->brokenDevices = {u"dev1"_s};
    const auto errorOf = [this](int number) {
        try {
            m_link->openPort(number, 38400);
        } catch (const KeyerError &error) {
            return error.number();
        }
        return 0;
    };
    QCOMPARE(errorOf(3), KeyerErrors::InvalidPortNumber);  // no device behind the number
    QCOMPARE(errorOf(0), KeyerErrors::InvalidPortNumber);
    QCOMPARE(errorOf(2), KeyerErrors::InvalidPortNumber);  // device missing
    QCOMPARE(errorOf(1), KeyerErrors::PortOpenFailed);     // exists, cannot be opened
    QCOMPARE(communicationFailedMessage(2014, u'M'), u"Communication with keyer failed - Error  2014M"_s);
}

QTEST_GUILESS_MAIN(TestKeyerLink)
#include "tst_keyerlink.moc"
