#include "configrecord.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The configuration block in both directions, the configuration file and
// the rounding of scaled control values.
class TestConfigRecord : public QObject
{
    Q_OBJECT

private slots:
    void parsesEveryFieldOfReceivedBlock();
    void profileAboveNineCountsAsZero();
    void shortBlockLeavesMissingFieldsZero();
    void buildsSentBlockAtItsPositions();
    void receivedBlockRoundTrip();
    void sentBlockReadsBackWithoutReadOnlyFields();
    void fileLayout();
    void fileRoundTripAndLongerFile();
    void shortFileIsRejected();
    void restoreCopiesOnlyOperatorSettings();
    void keyerModeAboveSixIsZero();
    void roundedRatio_data();
    void roundedRatio();
};

static ConfigRecord sampleRecord()
{
    ConfigRecord r;
    r.qsoCount = 4660;       // 0x1234
    r.contrast = 0x1F;
    r.profileIndex = 7;
    r.serialNumber = 123;
    r.firmwareVersion = "41";
    r.pitch = 12;
    r.volume = 254;
    r.speedLow = 10;
    r.speedHigh = 40;
    r.band = 0x17;
    r.optionWord = 0xA5C3;
    r.trDelay = 2400;        // 0x0960
    r.trExtension = 80;      // 0x0050
    r.lastExported = 300;    // 0x012C
    r.status = 1;
    r.firmwareBuild = "10";
    r.currentSpeed = "25";
    return r;
}

void TestConfigRecord::parsesEveryFieldOfReceivedBlock()
{
    //                 count cont prof serial ver pit vol  lo  hi band opH delay ext  opL mark stat bld spd
    const QByteArray block = "3412" "1F" "07" "000123" "41" "0C" "FE" "0A" "28" "17" "A5" "6009" "5000" "C3"
                             "2C01" "01" "10" "19";
    QCOMPARE(block.size(), ConfigBlock::ReceivedLength);
    QCOMPARE(ConfigBlock::ParseConfigBlock(block), sampleRecord());
}

void TestConfigRecord::profileAboveNineCountsAsZero()
{
    QByteArray block = ConfigBlock::BuildReceivedBlock(sampleRecord());
    block.replace(6, 2, "0A");
    QCOMPARE(int(ConfigBlock::ParseConfigBlock(block).profileIndex), 0);
}

void TestConfigRecord::shortBlockLeavesMissingFieldsZero()
{
    const ConfigRecord r = ConfigBlock::ParseConfigBlock("3412" "1F");
    QCOMPARE(r.qsoCount, qint16(4660));
    QCOMPARE(int(r.contrast), 0x1F);
    QCOMPARE(r.serialNumber, 0);
    QCOMPARE(r.optionWord, quint16(0));
}

void TestConfigRecord::buildsSentBlockAtItsPositions()
{
    const QByteArray block = ConfigBlock::BuildConfigBlock(sampleRecord());
    QCOMPARE(block.size(), ConfigBlock::SentLength);
    // The received layout without version, status, build and speed.
    QCOMPARE(block, QByteArray("3412" "1F" "07" "000123" "0C" "FE" "0A" "28" "17" "A5" "6009" "5000" "C3" "2C01"));
    // T/R delay, extension and option low byte at positions 27, 31 and 35.
    QCOMPARE(block.mid(26, 4), QByteArray("6009"));
    QCOMPARE(block.mid(30, 4), QByteArray("5000"));
    QCOMPARE(block.mid(34, 2), QByteArray("C3"));
}

void TestConfigRecord::receivedBlockRoundTrip()
{
    ConfigRecord r = sampleRecord();
    QCOMPARE(ConfigBlock::ParseConfigBlock(ConfigBlock::BuildReceivedBlock(r)), r);
    r.qsoCount = -1;
    r.trDelay = -800;
    r.serialNumber = 999999;
    QCOMPARE(ConfigBlock::ParseConfigBlock(ConfigBlock::BuildReceivedBlock(r)), r);
}

void TestConfigRecord::sentBlockReadsBackWithoutReadOnlyFields()
{
    ConfigRecord expected = sampleRecord();
    expected.firmwareVersion.clear();
    expected.firmwareBuild.clear();
    expected.currentSpeed.clear();
    expected.status = 0;
    QCOMPARE(ConfigBlock::ParseSentBlock(ConfigBlock::BuildConfigBlock(sampleRecord())), expected);
}

void TestConfigRecord::fileLayout()
{
    const QByteArray bytes = ConfigBlock::toFileBytes(sampleRecord());
    QCOMPARE(bytes.size(), ConfigBlock::FileLength);
    const QByteArray expected = QByteArray::fromHex("3412" "1F" "07" "7B000000" "3431" "0C" "FE" "0A" "28" "17"
                                                    "C3A5" "6009" "5000" "2C01" "01" "3130" "3235");
    QCOMPARE(bytes.toHex(), expected.toHex());
}

void TestConfigRecord::fileRoundTripAndLongerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"configuration.krv"_s);
    QCOMPARE(ConfigBlock::saveFile(path, sampleRecord()), QString());
    QCOMPARE(QFileInfo(path).size(), qint64(ConfigBlock::FileLength));
    ConfigRecord loaded;
    QVERIFY(ConfigBlock::loadFile(path, &loaded));
    QCOMPARE(loaded, sampleRecord());

    // A file padded to a 128-byte record reads the same.
    QFile padded(dir.filePath(u"padded.krv"_s));
    QVERIFY(padded.open(QIODevice::WriteOnly));
    padded.write(ConfigBlock::toFileBytes(sampleRecord()) + QByteArray(100, '\0'));
    padded.close();
    ConfigRecord fromPadded;
    QVERIFY(ConfigBlock::loadFile(padded.fileName(), &fromPadded));
    QCOMPARE(fromPadded, sampleRecord());
}

void TestConfigRecord::shortFileIsRejected()
{
    ConfigRecord r = sampleRecord();
    QVERIFY(!ConfigBlock::fromFileBytes(QByteArray(27, '\0'), &r));
    QCOMPARE(r, sampleRecord());
    QVERIFY(!ConfigBlock::loadFile(u"/nonexistent/configuration.krv"_s, &r));
    // A write into a missing folder reports why instead of pretending.
    QVERIFY(!ConfigBlock::saveFile(u"/nonexistent/configuration.krv"_s, r).isEmpty());
}

void TestConfigRecord::restoreCopiesOnlyOperatorSettings()
{
    ConfigRecord saved = sampleRecord();
    ConfigRecord live;
    live.qsoCount = 17;
    live.serialNumber = 55;
    live.profileIndex = 2;
    live.lastExported = 9;
    live.firmwareVersion = "41";
    live.status = 0;
    ConfigBlock::copyOperatorSettings(saved, &live);
    QCOMPARE(live.band, saved.band);
    QCOMPARE(live.optionWord, saved.optionWord);
    QCOMPARE(live.contrast, saved.contrast);
    QCOMPARE(live.speedHigh, saved.speedHigh);
    QCOMPARE(live.speedLow, saved.speedLow);
    QCOMPARE(live.pitch, saved.pitch);
    QCOMPARE(live.trDelay, saved.trDelay);
    QCOMPARE(live.trExtension, saved.trExtension);
    QCOMPARE(live.volume, saved.volume);
    QCOMPARE(live.qsoCount, qint16(17));
    QCOMPARE(live.serialNumber, 55);
    QCOMPARE(int(live.profileIndex), 2);
    QCOMPARE(live.lastExported, qint16(9));
    QCOMPARE(int(live.status), 0);
}

void TestConfigRecord::keyerModeAboveSixIsZero()
{
    QCOMPARE(keyerModeOf(0x0007), 0);
    QCOMPARE(keyerModeOf(0xFFF6), 6);
    QCOMPARE(keyerModeOf(0x0005), 5);
}

void TestConfigRecord::roundedRatio_data()
{
    QTest::addColumn<qint64>("numerator");
    QTest::addColumn<qint64>("denominator");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("volume 254 shows 100") << qint64(254 * 100) << qint64(254) << qint64(100);
    QTest::newRow("volume 127 shows 50") << qint64(127 * 100) << qint64(254) << qint64(50);
    QTest::newRow("slider 25 gives 63.5 -> 64") << qint64(25 * 254) << qint64(100) << qint64(64);
    QTest::newRow("slider 75 gives 190.5 -> 190") << qint64(75 * 254) << qint64(100) << qint64(190);
    QTest::newRow("delay 1200 is 1.5 steps -> 2") << qint64(1200) << qint64(800) << qint64(2);
    QTest::newRow("delay 2000 is 2.5 steps -> 2") << qint64(2000) << qint64(800) << qint64(2);
    QTest::newRow("below half rounds down") << qint64(11) << qint64(8) << qint64(1);
    QTest::newRow("negative half to even") << qint64(-12) << qint64(8) << qint64(-2);
    QTest::newRow("negative below half") << qint64(-9) << qint64(8) << qint64(-1);
}

void TestConfigRecord::roundedRatio()
{
    QFETCH(qint64, numerator);
    QFETCH(qint64, denominator);
    QFETCH(qint64, expected);
    QCOMPARE(::roundedRatio(numerator, denominator), expected);
}

QTEST_GUILESS_MAIN(TestConfigRecord)
#include "tst_configrecord.moc"
