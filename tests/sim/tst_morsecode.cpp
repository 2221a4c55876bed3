#include "morsecode.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMorseCode : public QObject
{
    Q_OBJECT

private slots:
    void morseUnitsFollowParisTiming_data();
    void morseUnitsFollowParisTiming();
};

void TestMorseCode::morseUnitsFollowParisTiming_data()
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

void TestMorseCode::morseUnitsFollowParisTiming()
{
    QFETCH(QByteArray, text);
    QFETCH(int, units);
    int total = 0;
    int totalMs = 0;
    for (char c : std::as_const(text)) {
        total += MorseCode::units(c);
        totalMs += MorseCode::durationMs(c, 20);
    }
    QCOMPARE(total, units);
    // At 20 wpm one dot lasts 60 ms: PARIS twenty times a minute.
    QCOMPARE(totalMs, units * 60);
}

QTEST_GUILESS_MAIN(TestMorseCode)
#include "tst_morsecode.moc"
