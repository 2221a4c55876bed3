#include "simulatedkeyer.h"

#include "configrecord.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The host's view of the keyer: every write and every journal line.
struct Host
{
    explicit Host(SimulatedKeyer *keyer)
    {
        QObject::connect(keyer, &SimulatedKeyer::transmit, keyer, [this](const QByteArray &b) { writes.append(b); });
        QObject::connect(keyer, &SimulatedKeyer::journal, keyer, [this](const QString &l) { journal.append(l); });
    }
    QByteArray received() const { return writes.join(); }

    QList<QByteArray> writes;
    QStringList journal;
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

QByteArray framedConfig(const QByteArray &block)
{
    return char(20) + block + char(3);
}

ConfigRecord sampleRecord(qint16 qso, qint32 serial, quint16 options, quint8 volume, qint16 exported)
{
    ConfigRecord r;
    r.qsoCount = qso;
    r.contrast = 0x1F;
    r.profileIndex = 3;
    r.serialNumber = serial;
    r.pitch = 9;
    r.volume = volume;
    r.speedLow = 12;
    r.speedHigh = 35;
    r.band = 0x15;
    r.optionWord = options;
    r.trDelay = 24000;
    r.trExtension = 80;
    r.lastExported = exported;
    // Read-only fields a host may hold stale values of; the keyer ignores them.
    r.firmwareVersion = "99";
    r.firmwareBuild = "77";
    r.status = 1;
    r.currentSpeed = "55";
    return r;
}

} // namespace

class TestSimulatedKeyer : public QObject
{
    Q_OBJECT

    enum Action { Paddles, Knob, SplitSpeed, Call, Unframed };

private slots:
    void identifyAnswersWithDeviceLetter_data();
    void identifyAnswersWithDeviceLetter();
    void readConfigurationIsAcknowledgedThenPacedAsEvent();
    void readConfigurationReportsFactoryState();
    void writeConfigurationKeepsReadOnlyFields_data();
    void writeConfigurationKeepsReadOnlyFields();
    void keyerReaderTakesFieldsFromTheirPositions();
    void setClockStoresTimeAndEndsWithEtx();
    void commandsSurviveAnySplittingOfTheStream_data();
    void commandsSurviveAnySplittingOfTheStream();
    void unsupportedLettersAreOnlyAcknowledged_data();
    void unsupportedLettersAreOnlyAcknowledged();
    void singleByteCommandsAnswerNothing();
    void silentKeyerAnswersNothing();
    void wrongLineSpeedGivesNoAnswer();
    void incompletePayloadIsDroppedAfterTimeout();
    void stopByteAbandonsPayload();
    void morseUnitsFollowParisTiming_data();
    void morseUnitsFollowParisTiming();
    void sentCharactersAreKeyedOneByOneInOrder();
    void endOfMessageFollowsTheLastKeyedCharacter();
    void stopEndsTheKeyingQueue();
    void ownActionsReachTheHostInTheirWrites_data();
    void ownActionsReachTheHostInTheirWrites();
    void garbageNeverHoldsFlowControlBytes();
};

void TestSimulatedKeyer::identifyAnswersWithDeviceLetter_data()
{
    QTest::addColumn<char>("letter");
    QTest::newRow("manager's keyer") << 'K';
    QTest::newRow("trainer's keyer") << 'T';
}

void TestSimulatedKeyer::identifyAnswersWithDeviceLetter()
{
    QFETCH(char, letter);
    SimulatedKeyer keyer;
    keyer.setDeviceLetter(letter);
    Host host(&keyer);
    keyer.feed(bytes({5, '?'}));
    QCOMPARE(host.received(), QByteArray("?") + letter + char(6));
    QCOMPARE(host.journal, QStringList{u"identify"_s});
}

void TestSimulatedKeyer::readConfigurationIsAcknowledgedThenPacedAsEvent()
{
    SimulatedKeyer keyer;
    keyer.setEventGap(5);
    Host host(&keyer);
    keyer.feed(bytes({5, 'S'}));
    // The event does not leave together with the acknowledgement.
    QCOMPARE(host.writes.size(), 1);
    QTRY_COMPARE(host.writes.size(), 3);
    // The host reads the acknowledgement up to byte 2 and the event payload
    // with a fresh receive after the start byte: three separate writes.
    QCOMPARE(host.writes.at(0), bytes({'S', 6, 2}));
    QCOMPARE(host.writes.at(1), bytes({20}));
    QCOMPARE(host.writes.at(2).size(), ConfigBlock::ReceivedLength + 1);
    QVERIFY(host.writes.at(2).endsWith(char(3)));
    QCOMPARE(host.journal, QStringList{u"command S"_s});
}

void TestSimulatedKeyer::readConfigurationReportsFactoryState()
{
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    Host host(&keyer);
    keyer.feed(bytes({5, 'S'}));
    QTRY_VERIFY(host.received().endsWith(char(3)));
    const QByteArray block = host.writes.last().chopped(1);
    const ConfigRecord r = ConfigBlock::ParseConfigBlock(block);
    QCOMPARE(r.firmwareVersion, "41"_ba);
    QCOMPARE(r.firmwareBuild, "10"_ba);
    QCOMPARE(r.speedLow, quint8(10));
    QCOMPARE(r.speedHigh, quint8(40));
    QCOMPARE(r.currentSpeed, "20"_ba);
    QCOMPARE(r.pitch, quint8(12));
    QCOMPARE(r.volume, quint8(127));
    QCOMPARE(keyerModeOf(r.optionWord), 0);
    QCOMPARE(r.qsoCount, qint16(0));
}

void TestSimulatedKeyer::writeConfigurationKeepsReadOnlyFields_data()
{
    QTest::addColumn<ConfigRecord>("written");
    QTest::newRow("typical") << sampleRecord(42, 123, Option::ContestMode | Option::ToneOn | 3, 200, 41);
    QTest::newRow("largest values") << sampleRecord(32767, 999999, 0xFFFF, 255, -1);
    QTest::newRow("zeros") << sampleRecord(0, 0, 0, 0, 0);
}

void TestSimulatedKeyer::writeConfigurationKeepsReadOnlyFields()
{
    QFETCH(ConfigRecord, written);
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    const ConfigRecord before = keyer.config();
    Host host(&keyer);

    keyer.feed(bytes({5, 'C'}));
    QCOMPARE(host.received(), bytes({'C', 6, 2}));
    keyer.feed(ConfigBlock::BuildConfigBlock(written));
    QTRY_VERIFY(host.received().endsWith(char(3)));
    // The final ACK comes first and on its own, then the block as an event.
    QCOMPARE(host.writes.at(1), bytes({6}));
    QCOMPARE(host.writes.at(2), bytes({20}));
    const ConfigRecord echoed = ConfigBlock::ParseConfigBlock(host.writes.at(3).chopped(1));

    host.writes.clear();
    keyer.feed(bytes({5, 'S'}));
    QTRY_VERIFY(host.received().endsWith(char(3)));
    const ConfigRecord readBack = ConfigBlock::ParseConfigBlock(host.writes.last().chopped(1));
    QCOMPARE(readBack, echoed);

    ConfigRecord expected = written;
    expected.firmwareVersion = before.firmwareVersion;
    expected.firmwareBuild = before.firmwareBuild;
    expected.status = before.status;
    expected.currentSpeed = before.currentSpeed;
    QCOMPARE(readBack, expected);
    QCOMPARE(host.journal.at(1), u"config "_s + QString::fromLatin1(ConfigBlock::BuildConfigBlock(written)));
}

// Written by hand, not by the manager's builder, so that both sides are
// checked against the layout rather than against each other.
void TestSimulatedKeyer::keyerReaderTakesFieldsFromTheirPositions()
{
    const QByteArray block = "3412" "1F" "03" "004711" "0C" "FE" "0A" "28"
                             "17" "40" "C05D" "5000" "A9" "2A00";
    QCOMPARE(block.size(), ConfigBlock::SentLength);
    ConfigRecord r = SimulatedKeyer::defaultConfig();
    r.firmwareVersion = "38";
    r.status = 1;
    SimulatedKeyer::readSentBlock(block, &r);
    QCOMPARE(r.qsoCount, qint16(0x1234));
    QCOMPARE(r.contrast, quint8(0x1F));
    QCOMPARE(r.profileIndex, quint8(3));
    QCOMPARE(r.serialNumber, 4711);
    QCOMPARE(r.pitch, quint8(12));
    QCOMPARE(r.volume, quint8(254));
    QCOMPARE(r.speedLow, quint8(10));
    QCOMPARE(r.speedHigh, quint8(40));
    QCOMPARE(r.band, quint8(0x17));
    QCOMPARE(r.optionWord, quint16(0x40A9));
    QCOMPARE(r.trDelay, qint16(0x5DC0));
    QCOMPARE(r.trExtension, qint16(0x0050));
    QCOMPARE(r.lastExported, qint16(42));
    QCOMPARE(r.firmwareVersion, "38"_ba);
    QCOMPARE(r.status, quint8(1));
}

void TestSimulatedKeyer::setClockStoresTimeAndEndsWithEtx()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({5, 'T'}));
    QCOMPARE(host.received(), bytes({'T', 6, 2}));
    keyer.feed("075914");
    QVERIFY(keyer.clock().isEmpty());
    keyer.feed("070826");
    QCOMPARE(host.received(), bytes({'T', 6, 2, 3}));
    QCOMPARE(keyer.clock(), "075914070826"_ba);
    QCOMPARE(host.journal, (QStringList{u"command T"_s, u"clock 075914070826"_s}));
}

void TestSimulatedKeyer::commandsSurviveAnySplittingOfTheStream_data()
{
    QTest::addColumn<QList<int>>("cuts");
    QTest::newRow("all in one write") << QList<int>{};
    QList<int> everyByte;
    for (int i = 1; i < 100; ++i)
        everyByte.append(i);
    QTest::newRow("byte by byte") << everyByte;
    QTest::newRow("inside commands and payloads") << QList<int>{1, 3, 5, 20, 45, 47, 50, 61};
    QRandomGenerator random(20260807);
    for (int n = 0; n < 5; ++n) {
        QList<int> cuts;
        for (int i = 1; i < 100; ++i) {
            if (random.bounded(4) == 0)
                cuts.append(i);
        }
        QTest::addRow("random cuts %d", n) << cuts;
    }
}

void TestSimulatedKeyer::commandsSurviveAnySplittingOfTheStream()
{
    QFETCH(QList<int>, cuts);
    ConfigRecord written = SimulatedKeyer::defaultConfig();
    written.pitch = 14;
    written.serialNumber = 815;
    const QByteArray configBlock = ConfigBlock::BuildConfigBlock(written);
    const QByteArray stream = bytes({5, '?', 1, 25, 5, 'C'}) + configBlock + bytes({5, 'T'}) + "302112070826"
                              + bytes({16, 13, 5, '?', 5, 'S'});

    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    Host host(&keyer);
    int from = 0;
    for (int cut : std::as_const(cuts)) {
        if (cut >= stream.size())
            break;
        keyer.feed(stream.mid(from, cut - from));
        from = cut;
    }
    keyer.feed(stream.mid(from));

    const QStringList expectedJournal{
        u"identify"_s, u"speed 25"_s, u"command C"_s, u"config "_s + QString::fromLatin1(configBlock),
        u"command T"_s, u"clock 302112070826"_s, u"keypad 0D"_s, u"identify"_s, u"command S"_s,
    };
    QCOMPARE(host.journal, expectedJournal);

    QTRY_COMPARE(host.received().count(char(20)), 2);
    QTRY_VERIFY(host.received().endsWith(char(3)));
    const ConfigRecord reported = ConfigBlock::ParseConfigBlock(host.writes.last().chopped(1));
    QCOMPARE(reported.pitch, quint8(14));
    QCOMPARE(reported.serialNumber, 815);
    QCOMPARE(reported.currentSpeed, "25"_ba);
    const QByteArray block = ConfigBlock::BuildReceivedBlock(reported);
    const QByteArray expected = bytes({'?', 'K', 6, 'C', 6, 2, 6}) + framedConfig(block) + bytes({'T', 6, 2, 3})
                                + bytes({'?', 'K', 6, 'S', 6, 2}) + framedConfig(block);
    QCOMPARE(host.received(), expected);
}

void TestSimulatedKeyer::unsupportedLettersAreOnlyAcknowledged_data()
{
    QTest::addColumn<char>("letter");
    QTest::newRow("read log") << 'E';
    QTest::newRow("scroll log") << 'Q';
    QTest::newRow("unknown") << 'Z';
}

void TestSimulatedKeyer::unsupportedLettersAreOnlyAcknowledged()
{
    QFETCH(char, letter);
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    Host host(&keyer);
    keyer.feed(QByteArray(1, 5) + letter + bytes({5, '?'}));
    // The identify right behind it is still answered: nothing was taken as payload.
    QCOMPARE(host.received(), QByteArray(1, letter) + bytes({6, 2, '?', 'K', 6}));
    QTest::qWait(50);
    QCOMPARE(host.writes.size(), 2);
    QCOMPARE(host.journal.first(), u"command "_s + QLatin1Char(letter));
}

void TestSimulatedKeyer::singleByteCommandsAnswerNothing()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({7, 8, 2, 4, 18}));
    QCOMPARE(host.journal, (QStringList{u"start-of-transmission"_s, u"keyboard-entry"_s, u"start-of-text"_s,
                                        u"toggle-user"_s, u"stop"_s}));
    QCOMPARE(keyer.config().optionWord & Option::User2, Option::User2);
    QTest::qWait(100);
    QVERIFY(host.writes.isEmpty());
}

void TestSimulatedKeyer::silentKeyerAnswersNothing()
{
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    Host host(&keyer);
    keyer.keyText("PARIS");
    keyer.setSilent(true);
    host.writes.clear();
    keyer.feed(bytes({5, '?', 5, 'S'}));
    keyer.turnSpeedKnob(30);
    keyer.reportCall("DL1ABC", "Hans");
    QTest::qWait(300);
    QVERIFY(host.writes.isEmpty());
    QCOMPARE(host.journal, QStringList{u"silent 05 3F 05 53"_s});

    keyer.setSilent(false);
    keyer.feed(bytes({5, '?'}));
    QCOMPARE(host.received(), bytes({'?', 'K', 6}));
}

void TestSimulatedKeyer::wrongLineSpeedGivesNoAnswer()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.setRequiredLineSpeed(19200);
    keyer.setLineSpeed(38400);
    keyer.feed(bytes({5, '?'}));
    QTest::qWait(100);
    QVERIFY(host.writes.isEmpty());
    QCOMPARE(host.journal, QStringList{u"noise 05 3F"_s});

    keyer.setLineSpeed(19200);
    keyer.feed(bytes({5, '?'}));
    QCOMPARE(host.received(), bytes({'?', 'K', 6}));
}

void TestSimulatedKeyer::incompletePayloadIsDroppedAfterTimeout()
{
    SimulatedKeyer keyer;
    keyer.setCommandTimeout(100);
    Host host(&keyer);
    keyer.feed(bytes({5, 'C'}) + "0000");
    QTRY_VERIFY(host.journal.contains(u"abandoned payload C"_s));
    host.writes.clear();
    keyer.feed(bytes({5, '?'}));
    QCOMPARE(host.received(), bytes({'?', 'K', 6}));
    QCOMPARE(keyer.config(), SimulatedKeyer::defaultConfig());
}

void TestSimulatedKeyer::stopByteAbandonsPayload()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({5, 'T'}) + "1234" + bytes({18, 5, '?'}));
    QCOMPARE(host.received(), bytes({'T', 6, 2, '?', 'K', 6}));
    QVERIFY(keyer.clock().isEmpty());
}

void TestSimulatedKeyer::morseUnitsFollowParisTiming_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("units");
    // The standard word: fifty dot units with its word gap.
    QTest::newRow("PARIS") << "PARIS "_ba << 50;
    QTest::newRow("lower case") << "paris "_ba << 50;
    QTest::newRow("E") << "E"_ba << 4;
    QTest::newRow("T") << "T"_ba << 6;
    QTest::newRow("zero") << "0"_ba << 22;
    QTest::newRow("<ar>") << "+"_ba << 16;
    QTest::newRow("<kn>") << "("_ba << 18;
    QTest::newRow("<bk>") << ">"_ba << 22;
    QTest::newRow("<as>") << "&"_ba << 14;
    QTest::newRow("<ka>") << "%"_ba << 18;
    QTest::newRow("<ve>") << "^"_ba << 14;
    QTest::newRow("<sk>") << "#"_ba << 18;
    QTest::newRow("no code") << "~"_ba << 0;
}

void TestSimulatedKeyer::morseUnitsFollowParisTiming()
{
    QFETCH(QByteArray, text);
    QFETCH(int, units);
    int total = 0;
    int totalMs = 0;
    for (char c : std::as_const(text)) {
        total += SimulatedKeyer::characterUnits(c);
        totalMs += SimulatedKeyer::characterDurationMs(c, 20);
    }
    QCOMPARE(total, units);
    // At 20 wpm one dot lasts 60 ms: PARIS twenty times a minute.
    QCOMPARE(totalMs, units * 60);
}

void TestSimulatedKeyer::sentCharactersAreKeyedOneByOneInOrder()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({1, 60, 9, 'c', 9, 'q', 9, ' ', 9, 'd', 9, 'e'}));
    // The first character is under way, the rest wait for it.
    QCOMPARE(host.writes, QList<QByteArray>{"C"});
    QCOMPARE(keyer.keyingBacklog(), 5);
    QTRY_COMPARE_WITH_TIMEOUT(host.writes.size(), 5, 20000);
    QCOMPARE(host.writes, (QList<QByteArray>{"C", "Q", " ", "D", "E"}));
    QTRY_COMPARE(keyer.keyingBacklog(), 0);
    QCOMPARE(host.journal.mid(1), (QStringList{u"char c"_s, u"char q"_s, u"char 20"_s, u"char d"_s, u"char e"_s}));
}

void TestSimulatedKeyer::endOfMessageFollowsTheLastKeyedCharacter()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({1, 60, 7, 9, 'T', 9, 'U', 3}));
    QCOMPARE(host.writes, QList<QByteArray>{"T"});
    QTRY_COMPARE(host.writes, (QList<QByteArray>{"T", "U", bytes({3})}));
    // A code from 128 up is a function, not a character to key.
    host.writes.clear();
    keyer.feed(bytes({9, 141, 3}));
    QCOMPARE(host.writes, QList<QByteArray>{bytes({3})});
}

void TestSimulatedKeyer::stopEndsTheKeyingQueue()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.feed(bytes({1, 50, 9, 'A', 9, 'B', 9, 'C', 3}));
    keyer.feed(bytes({18}));
    QCOMPARE(keyer.keyingBacklog(), 0);
    // Longer than the three characters would have taken.
    QTest::qWait(400);
    QCOMPARE(host.writes, QList<QByteArray>{"A"});
}

void TestSimulatedKeyer::ownActionsReachTheHostInTheirWrites_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<int>("speedAfter");
    QList<QByteArray> paddles;
    for (char c : "CQ DE DL1ABC"_ba)
        paddles.append(QByteArray(1, c));
    QTest::newRow("paddles") << int(Paddles) << paddles << 60;
    QTest::newRow("speed knob") << int(Knob) << QList<QByteArray>{bytes({1, '1', '9'})} << 25;
    QTest::newRow("split speed report") << int(SplitSpeed) << QList<QByteArray>{bytes({1, '1'}), "9"} << 25;
    QTest::newRow("call report") << int(Call) << QList<QByteArray>{bytes({2}), "DL1ABC\xB7Hans Berlin\x03"}
                                 << 60;
    // The factory state at 60 wpm, without the closing byte 3.
    const QByteArray block = "0000" "08" "00" "000001" "41" "0C" "7F" "0A" "28" "07" "00" "0000" "0000" "80"
                             "FFFF" "00" "10" "3C";
    QTest::newRow("unframed configuration") << int(Unframed) << QList<QByteArray>{bytes({20}), block} << 60;
}

void TestSimulatedKeyer::ownActionsReachTheHostInTheirWrites()
{
    QFETCH(int, action);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(int, speedAfter);
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    keyer.feed(bytes({1, 60}));
    Host host(&keyer);
    switch (action) {
    case Paddles:
        keyer.keyText("cq de dl1abc");
        break;
    case Knob:
        keyer.turnSpeedKnob(25);
        break;
    case SplitSpeed:
        keyer.sendSplitSpeed(25, 20);
        break;
    case Call:
        keyer.reportCall("DL1ABC", "Hans Berlin");
        break;
    case Unframed:
        keyer.sendUnframedConfig();
        break;
    }
    QTRY_COMPARE_WITH_TIMEOUT(host.writes, writes, 20000);
    QCOMPARE(keyer.currentSpeed(), speedAfter);
    QVERIFY(host.journal.isEmpty());
}

void TestSimulatedKeyer::garbageNeverHoldsFlowControlBytes()
{
    SimulatedKeyer keyer;
    Host host(&keyer);
    keyer.sendGarbage(5000);
    const QByteArray garbage = host.received();
    QCOMPARE(garbage.size(), 5000);
    QVERIFY(!garbage.contains(char(17)));
    QVERIFY(!garbage.contains(char(19)));
}

QTEST_GUILESS_MAIN(TestSimulatedKeyer)
#include "tst_simulatedkeyer.moc"
