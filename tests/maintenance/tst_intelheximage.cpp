#include "intelheximage.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Firmware images that must not reach the loader, which erases the keyer
// before it writes, and one that must.
class TestIntelHexImage : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatTheKeyerCannotRun_data();
    void refusesWhatTheKeyerCannotRun();
};

void TestIntelHexImage::refusesWhatTheKeyerCannotRun_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");      // the line blamed; 0: the file as a whole; -1: sound
    QTest::addColumn<QString>("names"); // what the reason must mention

    const QByteArray data = ":100000000C9400000C9400000C9400000C94000070\n";
    const QByteArray end = ":00000001FF\n";
    QTest::newRow("segment record and end only") << ":020000020000FC\n" + end << 0 << u"no data"_s;
    QTest::newRow("bad checksum") << ":100000000C94FC00000000000000000000000000AA\n" + end << 1 << u"needs 54"_s;
    QTest::newRow("no end-of-file record") << data << 0 << u"end-of-file"_s;
    QTest::newRow("data after the end") << data + end + data << 3 << u"after"_s;
    QTest::newRow("odd digit count") << data + ":0400100011223344420\n" + end << 2 << u"odd"_s;
    QTest::newRow("byte count mismatch") << ":04001000112233F6\n" + end << 1 << u"4 data bytes but holds 3"_s;
    QTest::newRow("linear base past 128 KB") << data + ":020000040002F8\n:040010001122334442\n" + end << 3
                                             << u"0x20010 is outside the keyer's 128 KB"_s;
    QTest::newRow("segment base past 128 KB") << ":020000022000DC\n" + data + end << 2 << u"0x20000"_s;
    QTest::newRow("record across the end of flash")
        << ":020000040001F9\r\n:10FFF80000112233445566778899AABBCCDDEEFF01\r\n" + end << 2 << u"0x20000"_s;
    QTest::newRow("extended addresses inside flash, CR LF")
        << QByteArray(data + ":020000040001F9\n:040010001122334442\n:020000021000EC\n:04000000DEADBEEFC4\n" + end
                      + "\n \n")
               .replace("\n", "\r\n")
        << -1 << QString();
}

void TestIntelHexImage::refusesWhatTheKeyerCannotRun()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, names);

    const QString problem = IntelHexImage::problem(file, IntelHexImage::KeyerFlashBytes);
    QCOMPARE(problem.isEmpty(), line < 0);
    QVERIFY2(problem.contains(names), qPrintable(problem));
    QCOMPARE(problem.startsWith(u"line %1: "_s.arg(line)), line > 0);
}

QTEST_MAIN(TestIntelHexImage)
#include "tst_intelheximage.moc"
