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

// The send-character commands of a text.
QByteArray typed(const QByteArray &text)
{
    QByteArray result;
    for (char c : text)
        result.append(char(9)).append(c);
    return result;
}

// Text handed over as keyboard entry: bytes 8 and 2, the text, byte 3.
QByteArray entry(const QByteArray &text)
{
    return bytes({8, 2}) + typed(text) + char(3);
}

QByteArray keypad(int key)
{
    return bytes({16, key});
}

QByteArray callReport(const QByteArray &call, const QByteArray &info)
{
    return call + char(183) + info;
}

const QByteArray cwTail = "599 599   20M   CW";

// Full speed, clock set to 7 August 2026, DL1ABC (Hans, Berlin) in the log.
void prepare(SimulatedKeyer *keyer, quint16 options = 0)
{
    keyer->setEventGap(1);
    ConfigRecord config = SimulatedKeyer::defaultConfig();
    config.optionWord |= options;
    keyer->setConfig(config);
    keyer->feed(bytes({1, 250, 5, 'T'}) + "301112070826");
    keyer->addContact("DL1ABC", "HANS", "BERLIN");
}

// Each step once the keyer has keyed the one before and its events have
// left, as a host waiting for the reports does.
bool feedSteps(SimulatedKeyer *keyer, const QList<QByteArray> &steps)
{
    for (const QByteArray &step : steps) {
        keyer->feed(step);
        if (!QTest::qWaitFor([keyer] { return keyer->keyingBacklog() == 0 && !keyer->hasPendingOutput(); }, 10000))
            return false;
    }
    return true;
}

QByteArray lastCallReport(const QByteArray &received)
{
    const qsizetype start = received.lastIndexOf(char(2));
    const qsizetype end = received.indexOf(char(3), start);
    return start < 0 || end < 0 ? QByteArray() : received.sliced(start + 1, end - start - 1);
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
    void sentCharactersAreKeyedOneByOneInOrder();
    void sendCharactersAreKeyedOrActInTheirPlace_data();
    void sendCharactersAreKeyedOrActInTheirPlace();
    void keypadFunctionsFillTheReportedRecord_data();
    void keypadFunctionsFillTheReportedRecord();
    void storingShowsTheNewCountBeforeTheStoredEvent_data();
    void storingShowsTheNewCountBeforeTheStoredEvent();
    void storedRecordsAreEditedDeletedAndUndeleted_data();
    void storedRecordsAreEditedDeletedAndUndeleted();
    void stateKeysAnswerWithTheConfiguration_data();
    void stateKeysAnswerWithTheConfiguration();
    void logTransfersSendRecordsThenEndOfText_data();
    void logTransfersSendRecordsThenEndOfText();
    void stopEndsTheKeyingQueue();
    void ownActionsReachTheHostInTheirWrites_data();
    void ownActionsReachTheHostInTheirWrites();
    void garbageNeverHoldsFlowControlBytes();
};

void TestSimulatedKeyer::identifyAnswersWithDeviceLetter_data()
{
    QTest::addColumn<char>("letter");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("manager's keyer") << 'K' << QByteArray("?K\x06");
    // The trainer's keyer follows with its firmware version.
    QTest::newRow("trainer's keyer") << 'T' << QByteArray("?T\x06" "41");
}

void TestSimulatedKeyer::identifyAnswersWithDeviceLetter()
{
    QFETCH(char, letter);
    SimulatedKeyer keyer;
    keyer.setDeviceLetter(letter);
    Host host(&keyer);
    keyer.feed(bytes({5, '?'}));
    QTEST(host.received(), "answer");
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
    keyer.feed(bytes({7, 8, 2, 3, 18}));
    QCOMPARE(host.journal, (QStringList{u"start-of-transmission"_s, u"keyboard-entry"_s, u"start-of-text"_s,
                                        u"end-of-text"_s, u"stop"_s}));
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

// Every character the host waits for gets a report; functions and entry
// text are not keyed.
void TestSimulatedKeyer::sendCharactersAreKeyedOrActInTheirPlace_data()
{
    QTest::addColumn<QList<QByteArray>>("steps");
    QTest::addColumn<QByteArray>("reports");
    QTest::newRow("text and a space") << QList{typed("a b")} << "A B"_ba;
    QTest::newRow("Enter as a word gap") << QList{bytes({9, 'A', 9, 13, 9, 'B'})} << "A B"_ba;
    QTest::newRow("character without a code") << QList{typed("A~B")} << "A B"_ba;
    QTest::newRow("message key") << QList{bytes({9, 128 + '5'})} << "MSG 5\x03"_ba;
    QTest::newRow("message key inside text") << QList{bytes({9, 'A', 9, 128 + '5', 9, 'B'})} << "AMSG 5\x03" "B"_ba;
    QTest::newRow("keypad message key") << QList{keypad('5')} << "MSG 5\x03"_ba;
    QTest::newRow("end of text ends no message") << QList{bytes({9, 'A', 3})} << "A"_ba;
    QTest::newRow("keyboard entry") << QList{entry("DL1ABC")} << QByteArray();
    QTest::newRow("command key letters") << QList{bytes({16, 26, 9, 'T', 16, 26, 9, 'A'})} << "A"_ba;
    QTest::newRow("waiting character taken back") << QList{typed("AB") + keypad('<')} << "A"_ba;
    QTest::newRow("keyed character taken back quietly") << QList{typed("AB"), keypad('<')} << "AB"_ba;
    QTest::newRow("store code without a call") << QList{bytes({9, 30})} << "\x12"_ba;
}

void TestSimulatedKeyer::sendCharactersAreKeyedOrActInTheirPlace()
{
    QFETCH(QList<QByteArray>, steps);
    QFETCH(QByteArray, reports);
    SimulatedKeyer keyer;
    keyer.setEventGap(1);
    keyer.feed(bytes({1, 250}));
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, steps));
    QCOMPARE(host.received(), reports);
}

void TestSimulatedKeyer::keypadFunctionsFillTheReportedRecord_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<QList<QByteArray>>("steps");
    QTest::addColumn<QByteArray>("report");
    const QByteArray check = entry("dl2xyz") + keypad(13);
    const QByteArray known = callReport("DL1ABC", "HANS BERLIN 07-08-26 " + cwTail);
    QTest::newRow("known call from entry") << 0 << QList{entry("dl1abc") + keypad(13)} << known;
    QTest::newRow("unknown call") << 0 << QList{check} << callReport("DL2XYZ", cwTail);
    QTest::newRow("log search off") << int(Option::LogSearchOff) << QList{entry("DL1ABC") + keypad(13)}
                                    << callReport("DL1ABC", cwTail);
    QTest::newRow("name, then QTH") << 0 << QList{check, entry("otto") + keypad('+'), entry("kiel") + keypad('+')}
                                    << callReport("DL2XYZ", "OTTO KIEL " + cwTail);
    QTest::newRow("received report after its key") << 0 << QList{check, keypad('*') + entry("579")}
                                                    << callReport("DL2XYZ", "599 579   20M   CW");
    const QByteArray inText = typed("DL2XYZ") + bytes({9, 141}) + typed(" OTTO") + bytes({9, 171});
    QTest::newRow("functions inside the text") << 0 << QList{inText} << callReport("DL2XYZ", "OTTO " + cwTail);
    QTest::newRow("character taken back") << 0 << QList{typed("DL1ABX"), keypad('<'), typed("C"), keypad(13)} << known;
    QTest::newRow("serial in contest mode") << int(Option::ContestMode) << QList{check, keypad('/') + entry("023")}
                                            << callReport("DL2XYZ", "NR 23 " + cwTail);
    QTest::newRow("report sent in SSB") << int(Option::SSB) << QList{check, keypad(27) + entry("57")}
                                        << callReport("DL2XYZ", " 57  59   20M  SSB");
    QTest::newRow("record cleared") << 0 << QList{check, keypad('-')} << callReport({}, {});
}

void TestSimulatedKeyer::keypadFunctionsFillTheReportedRecord()
{
    QFETCH(int, options);
    QFETCH(QList<QByteArray>, steps);
    QFETCH(QByteArray, report);
    SimulatedKeyer keyer;
    prepare(&keyer, quint16(options));
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, steps));
    QCOMPARE(lastCallReport(host.received()), report);
}

void TestSimulatedKeyer::storingShowsTheNewCountBeforeTheStoredEvent_data()
{
    QTest::addColumn<int>("options");
    QTest::addColumn<QList<QByteArray>>("steps");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("flags"); // of the new record; -1: nothing stored
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("fields"); // from position 57: reports, then serial numbers
    const QByteArray check = entry("dl2xyz") + keypad(13) + entry("otto") + keypad('+');
    const QByteArray text = QByteArray("DL2XYZ\0OTTO", 11).leftJustified(27, '\0');
    const QByteArray store = bytes({9, 30});
    QTest::newRow("store code") << 0 << QList{check, store} << 2 << 0x07 << text << "05990599"_ba;
    QTest::newRow("<sk>, automatic logging") << 0 << QList{check, typed("TU #")} << 2 << 0x07 << text << "05990599"_ba;
    QTest::newRow("<sk>, automatic logging off") << int(Option::AutoLoggingOff) << QList{check, typed("TU #")} << 1
                                                << -1 << QByteArray() << QByteArray();
    QTest::newRow("store code without a call") << 0 << QList{store} << 1 << -1 << QByteArray() << QByteArray();
    QTest::newRow("duplicate on the band") << 0 << QList{entry("DL1ABC") + keypad(13), store} << 2 << 0x87
                                           << "DL1ABC"_ba.leftJustified(27, '\0') << "05990599"_ba;
    QTest::newRow("SSB") << int(Option::SSB) << QList{check, store} << 2 << 0x47 << text << "00590059"_ba;
    QTest::newRow("contest") << int(Option::ContestMode) << QList{check, keypad('/') + entry("23"), store} << 2 << 0x27
                             << text << "05990599000023000001"_ba;
}

void TestSimulatedKeyer::storingShowsTheNewCountBeforeTheStoredEvent()
{
    QFETCH(int, options);
    QFETCH(QList<QByteArray>, steps);
    QFETCH(int, count);
    QFETCH(int, flags);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, fields);
    SimulatedKeyer keyer;
    prepare(&keyer, quint16(options));
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, steps));
    QCOMPARE(keyer.log().count(), count);
    if (flags < 0) {
        // The store code is answered even when there was nothing to store.
        QVERIFY(!host.writes.contains(bytes({20})));
        QCOMPARE(host.writes.contains(bytes({18})), steps.last() == bytes({9, 30}));
        return;
    }
    // Configuration event, its block in a write of its own, then byte 18.
    const qsizetype n = host.writes.size();
    QVERIFY(n >= 3);
    QCOMPARE(host.writes.at(n - 1), bytes({18}));
    QCOMPARE(host.writes.at(n - 3), bytes({20}));
    const ConfigRecord reported = ConfigBlock::ParseConfigBlock(host.writes.at(n - 2).chopped(1));
    QCOMPARE(reported.qsoCount, qint16(count));
    QCOMPARE(reported.serialNumber, options & Option::ContestMode ? 2 : 1);
    const LogRecord record = keyer.log().records().last();
    QCOMPARE(int(record.flags), flags);
    QCOMPARE(record.textBlock, text);
    QCOMPARE(record.encode().sliced(56, fields.size()), fields);
    QCOMPARE(record.start, "301112070826"_ba);
}

void TestSimulatedKeyer::storedRecordsAreEditedDeletedAndUndeleted_data()
{
    QTest::addColumn<QList<QByteArray>>("steps");
    QTest::addColumn<QByteArray>("log"); // call and report sent of each record
    QTest::addColumn<int>("editIndex");
    QTest::addColumn<QByteArray>("report"); // of the record shown for editing
    const QByteArray scroll = bytes({5, 'Q'});
    const QByteArray remove = bytes({16, 26, 9, '<'});
    const QByteArray undelete = bytes({16, 26, 9, 'U'});
    const QByteArray store = bytes({9, 30});
    const QByteArray plain = "DL1ABC/599 G4XYZ/599 DL1ABC/599";
    const QByteArray last = callReport("DL1ABC", "07-08-26 " + cwTail);
    QTest::newRow("scroll to the last") << QList{scroll} << plain << 2 << last;
    QTest::newRow("scroll stops at the first") << QList{scroll, scroll, scroll, scroll} << plain << 0
                                               << callReport("DL1ABC", "HANS BERLIN 07-08-26 " + cwTail);
    QTest::newRow("delete the last") << QList{remove} << "DL1ABC/599 G4XYZ/599 -DL1ABC/599"_ba << 2
                                     << callReport("-DL1ABC", "07-08-26 " + cwTail);
    QTest::newRow("undelete") << QList{remove, undelete} << plain << 2 << last;
    QTest::newRow("delete the edited") << QList{scroll, scroll, remove} << "DL1ABC/599 -G4XYZ/599 DL1ABC/599"_ba
                                       << 1 << callReport("-G4XYZ", "07-08-26 " + cwTail);
    QTest::newRow("previous QSO of the call") << QList{entry("DL1ABC") + keypad(13), remove} << plain << 2 << last;
    QTest::newRow("report sent saved") << QList{scroll, entry(" 579 "), store}
                                       << "DL1ABC/599 G4XYZ/599 DL1ABC/579"_ba << -1 << QByteArray();
    QTest::newRow("edit abandoned") << QList{scroll, entry("579"), keypad('-')} << plain << -1 << QByteArray();
    QTest::newRow("call changed") << QList{scroll, entry("dl1abd") + keypad(13), store}
                                  << "DL1ABC/599 G4XYZ/599 DL1ABD/599"_ba << -1 << QByteArray();
}

void TestSimulatedKeyer::storedRecordsAreEditedDeletedAndUndeleted()
{
    QFETCH(QList<QByteArray>, steps);
    QFETCH(QByteArray, log);
    QFETCH(int, editIndex);
    QFETCH(QByteArray, report);
    SimulatedKeyer keyer;
    prepare(&keyer);
    keyer.addContact("G4XYZ", {}, {});
    keyer.addContact("DL1ABC", {}, {});
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, steps));
    QByteArrayList records;
    for (const LogRecord &record : keyer.log().records())
        records.append(record.text().call + '/' + record.reportSent());
    QCOMPARE(records.join(' '), log);
    QCOMPARE(keyer.log().editIndex(), editIndex);
    QCOMPARE(keyer.config().qsoCount, qint16(3));
    if (editIndex < 0) {
        // The host leaves its edit mode on the stored event.
        QCOMPARE(host.writes.last(), bytes({18}));
        return;
    }
    const QByteArray received = host.received();
    QCOMPARE(lastCallReport(received), report);
    QCOMPARE(received.at(received.lastIndexOf(char(2)) - 1), char(5));
}

void TestSimulatedKeyer::stateKeysAnswerWithTheConfiguration_data()
{
    QTest::addColumn<QList<QByteArray>>("steps");
    QTest::addColumn<QByteArray>("firstWrite");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("user2");
    QTest::newRow("off the air") << QList{keypad(27)} << bytes({20}) << 1 << false;
    QTest::newRow("back on the air") << QList{keypad(27), keypad(27)} << bytes({20}) << 0 << false;
    // Read by the host with a count of bytes: two, on their own.
    QTest::newRow("toggle user") << QList{bytes({4})} << bytes({4, 6}) << 0 << true;
}

void TestSimulatedKeyer::stateKeysAnswerWithTheConfiguration()
{
    QFETCH(QList<QByteArray>, steps);
    QFETCH(QByteArray, firstWrite);
    QFETCH(int, status);
    QFETCH(bool, user2);
    SimulatedKeyer keyer;
    prepare(&keyer);
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, steps));
    QCOMPARE(host.writes.first(), firstWrite);
    QCOMPARE(host.writes.at(host.writes.size() - 2), bytes({20}));
    const ConfigRecord reported = ConfigBlock::ParseConfigBlock(host.writes.last().chopped(1));
    QCOMPARE(int(reported.status), status);
    QCOMPARE(bool(reported.optionWord & Option::User2), user2);
}

void TestSimulatedKeyer::logTransfersSendRecordsThenEndOfText_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArrayList>("calls");
    QTest::newRow("read log") << bytes({5, 'E'}) << QByteArrayList{"DL1ABC", "G4XYZ", "DL1ABC"};
    QTest::newRow("ADIF export from record 1") << bytes({5, 'A'}) + "0100" << QByteArrayList{"G4XYZ", "DL1ABC"};
    QTest::newRow("list export past the end") << bytes({5, 'X'}) + "0300" << QByteArrayList{};
}

void TestSimulatedKeyer::logTransfersSendRecordsThenEndOfText()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArrayList, calls);
    SimulatedKeyer keyer;
    prepare(&keyer);
    keyer.addContact("G4XYZ", {}, {});
    keyer.addContact("DL1ABC", {}, {});
    Host host(&keyer);
    QVERIFY(feedSteps(&keyer, {command}));
    // Acknowledgement, the records (88 characters and CR each), byte 3:
    // each in a write of its own.
    QCOMPARE(host.writes.takeFirst(), QByteArray(1, command.at(1)) + bytes({6, 2}));
    QCOMPARE(host.writes.takeLast(), bytes({3}));
    QByteArrayList received;
    for (const QByteArray &record : host.writes.join().split('\r')) {
        if (const auto decoded = LogRecord::decode(record); decoded && record.size() == LogRecord::Length)
            received.append(decoded->text().call);
    }
    QCOMPARE(received, calls);
    QCOMPARE(host.writes.size(), calls.isEmpty() ? 0 : 1);
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
                             "0000" "00" "10" "3C";
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
