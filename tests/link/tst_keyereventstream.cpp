#include "configrecord.h"
#include "fakekeyerport.h"
#include "keyereventstream.h"
#include "keyerlink.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The window side, recorded: the monitor as plain text.
class RecordingSink : public KeyerEventSink
{
public:
    QString monitor;
    bool nordicOn = false;
    bool editing = false;
    bool newLineFlag = false;
    QList<int> speeds;
    QList<QByteArray> blocks;
    QList<CallReport> calls;
    QStringList errors;
    QList<char> stateCodes;
    QStringList forwarded;
    int monitorFullCount = 0;
    int endOfMessageCount = 0;
    int tuneReleases = 0;
    qint16 count = 0;
    QList<int> qsoListLoads;

    qsizetype monitorLength() const override { return monitor.size(); }
    QString monitorTail(qsizetype n) const override { return monitor.right(n); }
    void monitorAppend(const QString &text) override { monitor += text; }
    void monitorChop(qsizetype n) override { monitor.chop(n); }
    void monitorClear() override { monitor.clear(); }
    void monitorNewLine() override
    {
        if (!monitor.isEmpty() && !monitor.endsWith(u'\n'))
            monitor += u'\n';
    }
    bool nordic() const override { return nordicOn; }
    bool editMode() const override { return editing; }
    bool takeNewLineFlag() override { return std::exchange(newLineFlag, false); }
    void releaseTune() override { ++tuneReleases; }
    void speedReported(int wpm) override { speeds << wpm; }
    void configurationBlock(const QByteArray &block) override { blocks << block; }
    qint16 qsoCount() const override { return count; }
    void loadQSOList(int n) override { qsoListLoads << n; }
    void callReported(const CallReport &report) override { calls << report; }
    void endOfMessage() override { ++endOfMessageCount; }
    void forwardStateCode(char code) override { stateCodes << code; }
    void forwardText(const QString &text, char) override { forwarded << text; }
    void monitorFull() override { ++monitorFullCount; }
    void showError(const QString &message) override { errors << message; }
};

} // namespace

// What the keyer sends on its own, as the monitor and the window see it.
class TestKeyerEventStream : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyedCharacters_data();
    void keyedCharacters();
    void erase_data();
    void erase();
    void speedReportSplitOverReads();
    void speedReportNeverCompletedDoesNotHang();
    void configurationBlockInOneReadAndPaced();
    void charactersAfterAnEventAreStillShown_data();
    void charactersAfterAnEventAreStillShown();
    void unframedBlockIsError2016();
    void callReport_data();
    void callReport();
    void endOfMessageCancelsWait();
    void stateCodesAndKeyboardEchoes();
    void monitorFullStopsAppendingAndReports();
    void newLineFlagStartsLineBeforeNextCharacter();
    void qsoStoredLoadsListWhenCountChanged();
    void thresholdIsRestoredAfterEveryEvent();

private:
    void feed(const QByteArray &bytes);

    FakeKeyerPort *m_port = nullptr;
    KeyerLink *m_link = nullptr;
    RecordingSink *m_sink = nullptr;
    KeyerEventStream *m_stream = nullptr;
};

void TestKeyerEventStream::init()
{
    m_port = new FakeKeyerPort;
    m_port->devices = {u"dev"_s};
    m_link = new KeyerLink(m_port);
    m_link->setPortTable(PortTable({u"dev"_s}));
    m_link->setWaitScale(0.1);
    m_link->openPort(1, 38400);
    m_sink = new RecordingSink;
    m_stream = new KeyerEventStream(*m_link, *m_sink);
    connect(m_link, &KeyerLink::receiveEvent, m_link, [this] { m_stream->MSComm_OnComm(); });
    m_link->setReceiveThreshold(1);
}

void TestKeyerEventStream::cleanup()
{
    delete m_stream;
    delete m_sink;
    delete m_link;
    delete m_port;
}

// Delivers bytes as one read and lets the event stream handle them.
void TestKeyerEventStream::feed(const QByteArray &bytes)
{
    m_port->arrive(bytes);
    QTRY_VERIFY(m_port->bytesAvailable() == 0 && m_link->receiveThreshold() == 1);
    QCoreApplication::processEvents();
}

void TestKeyerEventStream::keyedCharacters_data()
{
    QTest::addColumn<bool>("nordic");
    QTest::addColumn<QByteArray>("keyed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("letters and word spaces") << false << QByteArray("CQ DE K1ABC") << u"CQ DE K1ABC"_s;
    QTest::newRow("slashed zero without the Nordic option") << false << QByteArray("K0A") << u"K\u00D8A"_s;
    QTest::newRow("prosigns") << false << QByteArray("+(>&%^#") << u"<ar> <kn> <bk> <as> <ka> <ve> <sk> "_s;
    QTest::newRow("no leading or double spaces") << false << QByteArray("  A  B ") << u"A B "_s;
    QTest::newRow("no space after a prosign's own space") << false << QByteArray("+ K") << u"<ar> K"_s;
    QTest::newRow("attached punctuation eats the space") << false << QByteArray("NAME HANS , QTH .") << u"NAME HANS, QTH."_s;
    QTest::newRow("Nordic letters") << true << QByteArray("\xC0\xC4\xD6") << u"\u00C5\u00C6\u00F8"_s;
    QTest::newRow("Nordic off leaves them") << false << QByteArray("\xC0\xC4\xD6") << u"\u00C0\u00C4\u00D6"_s;
    QTest::newRow("control bytes ignored") << false << QByteArray("A\x11\x13\x1F" "B") << u"AB"_s;
}

void TestKeyerEventStream::keyedCharacters()
{
    QFETCH(bool, nordic);
    QFETCH(QByteArray, keyed);
    QFETCH(QString, shown);
    m_sink->nordicOn = nordic;
    feed(keyed);
    QCOMPARE(m_sink->monitor, shown);
    QCOMPARE(m_sink->forwarded.join(QString()).remove(u' '), QString(shown).remove(u' '));
}

void TestKeyerEventStream::erase_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("last letter") << u"CQ DE"_s << u"CQ D"_s;
    QTest::newRow("trailing spaces and the letter") << u"CQ DE  "_s << u"CQ D"_s;
    QTest::newRow("whole prosign with its space") << u"CQ <ar> "_s << u"CQ "_s;
    QTest::newRow("one character left empties") << u"K"_s << QString();
    QTest::newRow("one character and a space") << u"K "_s << QString();
    QTest::newRow("empty stays empty") << QString() << QString();
    QTest::newRow("nothing after a line break") << u"CQ\n"_s << u"CQ\n"_s;
}

void TestKeyerEventStream::erase()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    m_sink->monitor = before;
    feed("<");
    QCOMPARE(m_sink->monitor, after);
}

void TestKeyerEventStream::speedReportSplitOverReads()
{
    m_port->arrive("\x01" "1");
    m_port->arrive("9A", 30);
    QTRY_COMPARE(m_sink->speeds, QList<int>{25});
    QTRY_COMPARE(m_sink->monitor, u"A"_s);
}

void TestKeyerEventStream::speedReportNeverCompletedDoesNotHang()
{
    feed("\x01" "1");
    QTRY_COMPARE(m_link->receiveThreshold(), 1);
    QVERIFY(m_sink->speeds.isEmpty());
    feed("B");
    QCOMPARE(m_sink->monitor, u"B"_s);
}

void TestKeyerEventStream::configurationBlockInOneReadAndPaced()
{
    ConfigRecord record;
    record.qsoCount = 42;
    record.firmwareVersion = "41";
    record.firmwareBuild = "10";
    const QByteArray block = ConfigBlock::BuildReceivedBlock(record);

    feed("\x14" + block + "\x03");
    QCOMPARE(m_sink->blocks, QList<QByteArray>{block});
    QVERIFY(m_stream->configurationReceived());

    m_port->arrive("\x14");
    m_port->arrive(block.left(10), 50);
    m_port->arrive(block.mid(10) + "\x03", 100);
    QTRY_COMPARE(m_sink->blocks.size(), 2);
    QCOMPARE(m_sink->blocks.at(1), block);
}

// Keyed text that shares a read with an event must reach the monitor.
void TestKeyerEventStream::charactersAfterAnEventAreStillShown_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("monitor");
    QTest::newRow("configuration block") << QByteArray("\x14" + QByteArray(48, '0') + "\x03" "K") << u"K"_s;
    QTest::newRow("end of message") << QByteArray("A\x03" "BC") << u"ABC"_s;
    QTest::newRow("QSO stored") << QByteArray("A\x12" "BC") << u"ABC"_s;
    QTest::newRow("erase") << QByteArray("AB<C") << u"AC"_s;
}

void TestKeyerEventStream::charactersAfterAnEventAreStillShown()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, monitor);
    feed(bytes);
    QTRY_COMPARE(m_sink->monitor, monitor);
}

void TestKeyerEventStream::unframedBlockIsError2016()
{
    m_port->arrive("\x14" + QByteArray(48, '0'));
    QTRY_COMPARE_WITH_TIMEOUT(m_sink->errors, QStringList{u"Communication with keyer failed - Error  2016N"_s}, 10000);
    QVERIFY(m_sink->blocks.isEmpty());
    QTRY_COMPARE(m_link->receiveThreshold(), 1);
}

void TestKeyerEventStream::callReport_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("hasDot");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("middle");
    QTest::newRow("short info") << QByteArray("DL1ABC\xB7" "Hans Berlin") << true << u"DL1ABC"_s
                                << u"Hans Berlin"_s << u"Hans"_s << QString();
    QTest::newRow("long info has a middle")
        << QByteArray("G4XYZ\xB7" "Bob Manchester 2026-05-24 14:02") << true << u"G4XYZ"_s
        << u"Bob Manchester 2026-05-24 14:02"_s << u"Bob"_s << u"Manchester"_s;
    QTest::newRow("one word") << QByteArray("K1AB\xB7" "Joe") << true << u"K1AB"_s << u"Joe"_s << u"Joe"_s
                              << QString();
    QTest::newRow("no middle dot") << QByteArray("DL1ABC") << false << QString() << QString() << QString()
                                   << QString();
}

void TestKeyerEventStream::callReport()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, hasDot);
    QFETCH(QString, call);
    QFETCH(QString, info);
    QFETCH(QString, head);
    QFETCH(QString, middle);
    feed("\x02" + payload + "\x03");
    QCOMPARE(m_sink->calls.size(), 1);
    const CallReport &report = m_sink->calls.first();
    QCOMPARE(report.hasDot, hasDot);
    QCOMPARE(report.call, call);
    QCOMPARE(report.info, info);
    QCOMPARE(report.infoHead, head);
    QCOMPARE(report.infoMiddle, middle);
}

void TestKeyerEventStream::endOfMessageCancelsWait()
{
    feed("A\x03" "B");
    QCOMPARE(m_sink->endOfMessageCount, 1);
    QCOMPARE(m_link->linkStatus, qint16(KeyerLink::Cancelled));
}

void TestKeyerEventStream::stateCodesAndKeyboardEchoes()
{
    feed("\x0E\x0F\x1E" "\x09" "A");
    QCOMPARE(m_sink->stateCodes, (QList<char>{14, 15, 30}));
    QCOMPARE(m_stream->lastKeyboardByte(), '\x09');
    QCOMPARE(m_sink->monitor, u"A"_s);
    feed("\x10");
    QCOMPARE(m_stream->lastKeyboardByte(), '\x10');
    QVERIFY(m_sink->tuneReleases >= 2);
}

void TestKeyerEventStream::monitorFullStopsAppendingAndReports()
{
    m_sink->monitor = QString(KeyerEventStream::MonitorLimit + 1, u'X');
    feed("AB");
    QCOMPARE(m_sink->monitor.size(), KeyerEventStream::MonitorLimit + 1);
    QCOMPARE(m_sink->monitorFullCount, 1);
    QCOMPARE(m_link->receiveThreshold(), 1);
    // At the limit itself a character still fits.
    m_sink->monitor = QString(KeyerEventStream::MonitorLimit, u'X');
    feed("A");
    QVERIFY(m_sink->monitor.endsWith(u'A'));
}

void TestKeyerEventStream::newLineFlagStartsLineBeforeNextCharacter()
{
    m_sink->monitor = u"CQ"_s;
    m_sink->newLineFlag = true;
    feed(" K");
    QCOMPARE(m_sink->monitor, u"CQ \nK"_s);
    QVERIFY(!m_sink->newLineFlag);
    // Not while a logged QSO is being edited.
    m_sink->monitor = u"CQ"_s;
    m_sink->newLineFlag = true;
    m_sink->editing = true;
    feed("K");
    QCOMPARE(m_sink->monitor, u"CQK"_s);
}

void TestKeyerEventStream::qsoStoredLoadsListWhenCountChanged()
{
    m_stream->setLastKnownCount(5);
    m_sink->count = 5;
    feed("\x12");
    QVERIFY(m_sink->qsoListLoads.isEmpty());
    m_sink->count = 6;
    feed("\x12");
    QTRY_COMPARE(m_sink->qsoListLoads, QList<int>{1});
    QCOMPARE(m_stream->lastKnownCount(), qint16(6));
    m_sink->count = 4;
    feed("\x12");
    QTRY_COMPARE(m_sink->qsoListLoads, (QList<int>{1, 20}));
}

void TestKeyerEventStream::thresholdIsRestoredAfterEveryEvent()
{
    for (const QByteArray &bytes : {QByteArray("A"), QByteArray("<"), QByteArray("\x03"), QByteArray("\x02X\x03")}) {
        feed(bytes);
        QCOMPARE(m_link->receiveThreshold(), 1);
    }
}

QTEST_GUILESS_MAIN(TestKeyerEventStream)
#include "tst_keyereventstream.moc"
