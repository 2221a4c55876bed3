#include "messagetimer.h"
#include "spacingrules.h"
#include "trainerconfig.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The trainer keyer's block, checked against hand-written hex; the spacing
// rules; the message timer's wrap.
class TestTrainerConfig : public QObject
{
    Q_OBJECT

private slots:
    void blockBothWays_data();
    void blockBothWays();
    void garbledBlockIsRefused_data();
    void garbledBlockIsRefused();
    void fileKeepsVersionBlockAndSpeeds();
    void spacing_data();
    void spacing();
    void farnsworth_data();
    void farnsworth();
    void timerWraps_data();
    void timerWraps();
};

void TestTrainerConfig::blockBothWays_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QList<int>>("bytes");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("keyerMode");
    // Bytes 2 and 6 are the firmware's; they must come back as they went.
    QTest::newRow("standard spacing, iambic B1") << "080C5A7F0A283302040000A500"_ba
                                                 << QList<int>{8, 12, 0x5A, 127, 10, 40, 0x33, 2, 4, 0, 0} << 0xA5
                                                 << 0;
    // Flags low byte first: 0x0FFE is every control's bit, mode 7 counting as 0.
    QTest::newRow("every flag, mode bits 7") << "0F0FFF641F4BFF0F3F0909FE0F"_ba
                                             << QList<int>{15, 15, 255, 100, 31, 75, 255, 15, 63, 9, 9} << 0x0FFE
                                             << 0;
    QTest::newRow("ultimatic, hand key, lesson 9") << "0000000005050002040900820E"_ba
                                                   << QList<int>{0, 0, 0, 0, 5, 5, 0, 2, 4, 9, 0} << 0x0E82 << 6;
}

void TestTrainerConfig::blockBothWays()
{
    QFETCH(QByteArray, block);
    QFETCH(QList<int>, bytes);
    QFETCH(int, flags);
    TrainerConfig config;
    QVERIFY(TrainerBlock::parse(block, &config));
    QCOMPARE(QList<int>(config.bytes.begin(), config.bytes.end()), bytes);
    QCOMPARE(int(config.flags), flags);
    QTEST(TrainerBlock::keyerMode(config.flags), "keyerMode");
    QCOMPARE(TrainerBlock::build(config), block);
    // The mode list writes position × 256 and leaves the other bits alone.
    const quint16 moved = TrainerBlock::withKeyerMode(config.flags, 4);
    QCOMPARE(TrainerBlock::keyerMode(moved), 4);
    QCOMPARE(moved & ~TrainerFlag::KeyerModeMask, config.flags & ~TrainerFlag::KeyerModeMask);
}

void TestTrainerConfig::garbledBlockIsRefused_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("25 characters") << "080C5A7F0A28330204000000A"_ba;
    QTest::newRow("not hex") << "080C5A7F0A28330204000000AZ"_ba;
    QTest::newRow("empty") << QByteArray();
}

void TestTrainerConfig::garbledBlockIsRefused()
{
    QFETCH(QByteArray, block);
    TrainerConfig config;
    config[TrainerConfig::Contrast] = 7;
    const TrainerConfig before = config;
    QVERIFY(!TrainerBlock::parse(block, &config));
    QCOMPARE(config, before);
}

void TestTrainerConfig::fileKeepsVersionBlockAndSpeeds()
{
    TrainerConfig config;
    QVERIFY(TrainerBlock::parse("080C5A7F0A28330510030400A5"_ba, &config));
    config.firmwareVersion = "42";
    config.charSpeed = 25;
    config.wordSpeed = 14;
    const QByteArray bytes = TrainerBlock::toFileBytes(config);
    QCOMPARE(bytes, "42080C5A7F0A28330510030400A5\x19\x0E"_ba);
    TrainerConfig read;
    QVERIFY(TrainerBlock::fromFileBytes(bytes, &read));
    QCOMPARE(read, config);
    QVERIFY(!TrainerBlock::fromFileBytes(bytes.chopped(1), &read));
}

void TestTrainerConfig::spacing_data()
{
    QTest::addColumn<int>("charSpace");
    QTest::addColumn<int>("wordSpaceAsked");
    QTest::addColumn<int>("wordSpace");
    QTest::addColumn<int>("charSpeed");
    QTest::addColumn<int>("wordSpeed");
    QTest::newRow("standard: the character speed") << 2 << 4 << 4 << 20 << 20;
    QTest::newRow("char space 5 raises word space 4 to 10") << 5 << 4 << 10 << 20 << 14;
    QTest::newRow("word space held at twice the char space") << 6 << 11 << 12 << 30 << 19;
    QTest::newRow("a longer word space is kept") << 3 << 20 << 20 << 25 << 17;
}

void TestTrainerConfig::spacing()
{
    QFETCH(int, charSpace);
    QFETCH(int, wordSpaceAsked);
    QFETCH(int, wordSpace);
    QFETCH(int, charSpeed);
    QCOMPARE(SpacingRules::wordSpaceFor(charSpace, wordSpaceAsked), wordSpace);
    QTEST(SpacingRules::effectiveWordSpeed(charSpeed, charSpace, wordSpace), "wordSpeed");
}

// Character and effective speed in wpm onto the keyer's spaces, worked
// out by hand from the keyer's word-speed rule.
void TestTrainerConfig::farnsworth_data()
{
    QTest::addColumn<int>("charSpeed");
    QTest::addColumn<int>("effective");
    QTest::addColumn<int>("charSpace");
    QTest::addColumn<int>("wordSpace");
    QTest::addColumn<int>("shown");
    QTest::newRow("equal speeds: standard spacing") << 20 << 20 << 2 << 4 << 20;
    QTest::newRow("effective above the character speed: standard") << 15 << 20 << 2 << 4 << 15;
    QTest::newRow("20 at 14") << 20 << 14 << 5 << 10 << 14;
    QTest::newRow("20 at 12") << 20 << 12 << 6 << 17 << 12;
    QTest::newRow("18 at 10: word space above twice the char space") << 18 << 10 << 7 << 19 << 10;
    // 25 × 50 / 63 is 19.8: shown as 19, so the nearer exact fit loses.
    QTest::newRow("25 at 20: the speed shown comes first") << 25 << 20 << 3 << 11 << 20;
    QTest::newRow("out of reach: the widest spaces") << 30 << 5 << 15 << 40 << 9;
}

void TestTrainerConfig::farnsworth()
{
    QFETCH(int, charSpeed);
    QFETCH(int, effective);
    QFETCH(int, charSpace);
    QFETCH(int, wordSpace);
    const SpacingRules::Spacing spacing = SpacingRules::farnsworth(charSpeed, effective);
    QCOMPARE(spacing, (SpacingRules::Spacing{charSpace, wordSpace}));
    QCOMPARE(SpacingRules::wordSpaceFor(charSpace, wordSpace), wordSpace);
    QTEST(SpacingRules::effectiveWordSpeed(charSpeed, charSpace, wordSpace), "shown");
}

void TestTrainerConfig::timerWraps_data()
{
    QTest::addColumn<QList<int>>("start");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("after");
    QTest::newRow("seconds") << QList<int>{0, 0, 58} << true << u"00:00:59"_s;
    QTest::newRow("minute") << QList<int>{0, 5, 59} << true << u"00:06:00"_s;
    QTest::newRow("hour") << QList<int>{3, 59, 59} << true << u"04:00:00"_s;
    QTest::newRow("99 hours wrap to 0") << QList<int>{99, 59, 59} << true << u"00:00:00"_s;
    QTest::newRow("stopped") << QList<int>{0, 0, 7} << false << u"00:00:07"_s;
}

void TestTrainerConfig::timerWraps()
{
    QFETCH(QList<int>, start);
    QFETCH(bool, running);
    MessageTimer timer;
    timer.set(start[0], start[1], start[2]);
    if (running)
        timer.start();
    timer.tick();
    QTEST(timer.text(), "after");
}

QTEST_GUILESS_MAIN(TestTrainerConfig)
#include "tst_trainerconfig.moc"
