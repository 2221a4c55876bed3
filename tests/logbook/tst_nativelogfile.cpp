#include "logrecord.h"
#include "nativelogfile.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Native log files: record count by length, fixed 90-byte records,
// appending, and the file name.
class TestNativeLogFile : public QObject
{
    Q_OBJECT

private slots:
    void recordCountRoundsHalfToEven_data();
    void recordCountRoundsHalfToEven();
    void writesNinetyBytesPerRecord();
    void readsRecordsAtFixedOffsets();
    void appendKeepsEarlierRecords();
    void shortLastRecordIsReadAsShort();
    void missingFileDoesNotOpen();
    void fileNameFromCallAndUtc();
};

static QByteArray sampleLine(int n)
{
    LogRecord record;
    record.flags = quint8(n % 13);
    record.textBlock = QByteArray("K" + QByteArray::number(n)).leftJustified(27, '\0');
    record.start = QByteArray::number(100000000000LL + n);
    return record.encode();
}

void TestNativeLogFile::recordCountRoundsHalfToEven_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("count");
    QTest::newRow("empty") << qint64(0) << qint64(0);
    QTest::newRow("44 bytes") << qint64(44) << qint64(0);
    QTest::newRow("45 bytes: half rounds to 0") << qint64(45) << qint64(0);
    QTest::newRow("46 bytes") << qint64(46) << qint64(1);
    QTest::newRow("88 bytes, last CR LF missing") << qint64(88) << qint64(1);
    QTest::newRow("90 bytes") << qint64(90) << qint64(1);
    QTest::newRow("135 bytes: half rounds to 2") << qint64(135) << qint64(2);
    QTest::newRow("225 bytes: half rounds to 2") << qint64(225) << qint64(2);
    QTest::newRow("315 bytes: half rounds to 4") << qint64(315) << qint64(4);
    QTest::newRow("12000 records") << qint64(1080000) << qint64(12000);
}

void TestNativeLogFile::recordCountRoundsHalfToEven()
{
    QFETCH(qint64, length);
    QFETCH(qint64, count);
    QCOMPARE(NativeLogFile::recordCount(length), count);
}

void TestNativeLogFile::writesNinetyBytesPerRecord()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(NativeLogFile::writeRecord(&buffer, sampleLine(1)));
    QVERIFY(NativeLogFile::writeRecord(&buffer, "SHORT"));
    QVERIFY(NativeLogFile::writeRecord(&buffer, sampleLine(2) + "EXTRA"));
    const QByteArray data = buffer.data();
    QCOMPARE(data.size(), 270);
    QCOMPARE(data.left(90), sampleLine(1) + "\r\n");
    QCOMPARE(data.mid(90, 90), QByteArray("SHORT").leftJustified(88, ' ') + "\r\n");
    QCOMPARE(data.mid(180), sampleLine(2) + "\r\n");
}

void TestNativeLogFile::readsRecordsAtFixedOffsets()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.krv"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 5; ++i)
            QVERIFY(NativeLogFile::writeRecord(&file, sampleLine(i)));
    }
    NativeLogFile log;
    QVERIFY(log.open(path));
    QCOMPARE(log.count(), 5);
    for (int i = 4; i >= 0; --i) {
        QCOMPARE(log.recordAt(i), sampleLine(i));
        QCOMPARE(LogRecord::decode(log.recordAt(i))->encode(), sampleLine(i));
    }
    QVERIFY(log.recordAt(5).isEmpty());
    QVERIFY(log.recordAt(-1).isEmpty());
}

void TestNativeLogFile::appendKeepsEarlierRecords()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"log.krv"_s);
    for (int run = 0; run < 2; ++run) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        for (int i = 0; i < 3; ++i)
            QVERIFY(NativeLogFile::writeRecord(&file, sampleLine(run * 3 + i)));
    }
    NativeLogFile log;
    QVERIFY(log.open(path));
    QCOMPARE(log.count(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(log.recordAt(i), sampleLine(i));
}

void TestNativeLogFile::shortLastRecordIsReadAsShort()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"odd.krv"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(NativeLogFile::writeRecord(&file, sampleLine(7)));
        file.write(sampleLine(8).left(46)); // 136 bytes: counts as 2
    }
    NativeLogFile log;
    QVERIFY(log.open(path));
    QCOMPARE(log.count(), 2);
    QCOMPARE(log.recordAt(0), sampleLine(7));
    QCOMPARE(log.recordAt(1), sampleLine(8).left(46));
    QVERIFY(!LogRecord::decode(log.recordAt(1)));
}

void TestNativeLogFile::missingFileDoesNotOpen()
{
    QTemporaryDir dir;
    NativeLogFile log;
    QVERIFY(!log.open(dir.filePath(u"none.krv"_s)));
    QCOMPARE(log.count(), 0);
    QVERIFY(!log.errorString().isEmpty());
}

void TestNativeLogFile::fileNameFromCallAndUtc()
{
    const QDateTime utc(QDate(2009, 2, 7), QTime(13, 4, 5), Qt::UTC);
    QCOMPARE(NativeLogFile::fileName(u"  DL1ABC "_s, utc), u"DL1ABC_090207130405.krv"_s);
    // A local time is written as its UTC time.
    QCOMPARE(NativeLogFile::fileName(u"K1"_s, utc.toOffsetFromUtc(3600)), u"K1_090207130405.krv"_s);
    // A portable call must not make a folder of its prefix.
    QCOMPARE(NativeLogFile::fileName(u"DL1ABC/P"_s, utc), u"DL1ABC-P_090207130405.krv"_s);
}

QTEST_APPLESS_MAIN(TestNativeLogFile)
#include "tst_nativelogfile.moc"
