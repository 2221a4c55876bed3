#include "ansitext.h"
#include "bandtable.h"
#include "logrecord.h"
#include "logtimestamp.h"
#include "textblock.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The log record in both directions: flags, text block pieces, RST
// fields, timestamps with the century in the month, the band table, and
// the Windows-1252 text the keyer holds.
class TestLogRecord : public QObject
{
    Q_OBJECT

private slots:
    void decodesEveryField();
    void encodeRestoresTheLine_data();
    void encodeRestoresTheLine();
    void refusesDamagedLines_data();
    void refusesDamagedLines();
    void flagBitsAreIndependent();
    void timestampCentury_data();
    void timestampCentury();
    void timestampEncodeRoundTrip_data();
    void timestampEncodeRoundTrip();
    void timestampRefusesNonDigits();
    void textBlockPieces_data();
    void textBlockPieces();
    void composedTextBlock_data();
    void composedTextBlock();
    void pieceKinds();
    void bandNames();
    void bandOfMegahertz_data();
    void bandOfMegahertz();
    void windows1252_data();
    void windows1252();
    void mixedBytesKeepEveryCharacter_data();
    void mixedBytesKeepEveryCharacter();
};

static QByteArray hexOf(QByteArrayView bytes)
{
    return bytes.toByteArray().toHex().toUpper();
}

static QByteArray textBytes(QByteArrayView call, QByteArrayView rest)
{
    QByteArray bytes = call.toByteArray() + '\0' + rest.toByteArray();
    return bytes.leftJustified(TextBlock::Size, '\0', true);
}

void TestLogRecord::decodesEveryField()
{
    const QByteArray block = textBytes("DL1ABC", QByteArrayView("HANS\0BERLIN\0", 12));
    const QByteArray line = "D7" + hexOf(block) + "0579" + "0589" + "123456789012" + "302010079298";
    QCOMPARE(line.size(), 88);
    const auto record = LogRecord::decode(line + "\r\n");
    QVERIFY(record);
    QCOMPARE(record->flags, quint8(0xD7));
    QCOMPARE(record->bandIndex(), 7);
    QVERIFY(record->isUser2());
    QVERIFY(!record->isContest());
    QVERIFY(record->isSSB());
    QVERIFY(record->isDuplicate());
    QCOMPARE(record->textBlock, block);
    QCOMPARE(record->text().call, "DL1ABC");
    QCOMPARE(record->text().first, "HANS");
    QCOMPARE(record->text().second, "BERLIN");
    QCOMPARE(record->rstReceived, "0579");
    QCOMPARE(record->rstSent, "0589");
    QCOMPARE(record->reportReceived(), "79"); // SSB reads two digits
    QCOMPARE(record->reportSent(), "89");
    QCOMPARE(record->receivedSerial(), "123456");
    QCOMPARE(record->sentSerial(), "789012");
    QCOMPARE(record->start, "302010079298");
    const auto start = LogTimestamp::decode(record->start);
    QVERIFY(start);
    QCOMPARE(start->toDateTime(), QDateTime(QDate(1998, 12, 7), QTime(10, 20, 30), Qt::UTC));

    LogRecord cw = *record;
    cw.flags = 0x07;
    QCOMPARE(cw.reportReceived(), "579");
    QCOMPARE(cw.reportSent(), "589");
}

void TestLogRecord::encodeRestoresTheLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("cw user 1") << "07" + hexOf(textBytes("W1AW", "")) + "0599" + "0579" + "000012102003" + "301012102003";
    QTest::newRow("contest with high text bytes") << "2C" + hexOf(textBytes("OH2\xC4\xD6", ":QRP")) + "0599" + "0599" + "000042000017" + "595923310199";
    QTest::newRow("13 character call and full pieces") << "8C" + hexOf(QByteArray("DL1ABC/P/QRPX\0NAME_ONE\0QTH", 27)) + "0059" + "0044" + "000000000000" + "000000010100";
    QTest::newRow("lower-case hex") << "0a" + hexOf(textBytes("K1", "")).toLower() + "0599" + "0599" + "000000000000" + "000000010100";
}

void TestLogRecord::encodeRestoresTheLine()
{
    QFETCH(QByteArray, line);
    QCOMPARE(line.size(), 88);
    const auto record = LogRecord::decode(line);
    QVERIFY(record);
    QCOMPARE(record->encode(), line.toUpper());
    QCOMPARE(LogRecord::decode(record->encode()), record);
}

void TestLogRecord::refusesDamagedLines_data()
{
    const QByteArray good = "07" + hexOf(textBytes("W1AW", "")) + "0599" + "0579" + "000012102003" + "301012102003";
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("87 characters") << good.left(87);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("flags not hex") << "G7" + good.mid(2);
    QTest::newRow("text block not hex") << good.left(10) + "Z" + good.mid(11);
    QByteArray control = good;
    control[70] = '\n';
    QTest::newRow("line break inside the time") << control;
    QByteArray high = good;
    high[80] = char(0xC4);
    QTest::newRow("non-ASCII in the time") << high;
}

void TestLogRecord::refusesDamagedLines()
{
    QFETCH(QByteArray, line);
    QVERIFY(!LogRecord::decode(line));
}

void TestLogRecord::flagBitsAreIndependent()
{
    LogRecord record;
    for (int flags = 0; flags < 256; ++flags) {
        record.flags = quint8(flags);
        QCOMPARE(record.bandIndex(), flags & 0x0F);
        QCOMPARE(record.isUser2(), bool(flags & 0x10));
        QCOMPARE(record.isContest(), bool(flags & 0x20));
        QCOMPARE(record.isSSB(), bool(flags & 0x40));
        QCOMPARE(record.isDuplicate(), bool(flags & 0x80));
        QCOMPARE(LogRecord::decode(record.encode())->flags, quint8(flags));
    }
}

void TestLogRecord::timestampCentury_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QDate>("date");
    QTest::newRow("81 99 is January 1999") << QByteArray("000000018199") << QDate(1999, 1, 1);
    QTest::newRow("01 09 is January 2009") << QByteArray("000000010109") << QDate(2009, 1, 1);
    QTest::newRow("92 is December 19yy") << QByteArray("000000079298") << QDate(1998, 12, 7);
    QTest::newRow("90 is October 19yy") << QByteArray("000000319001") << QDate(1901, 10, 31);
    QTest::newRow("89 is September 19yy") << QByteArray("000000308950") << QDate(1950, 9, 30);
    QTest::newRow("12 is December 20yy") << QByteArray("000000311299") << QDate(2099, 12, 31);
    QTest::newRow("leap day 2000") << QByteArray("000000290200") << QDate(2000, 2, 29);
}

void TestLogRecord::timestampCentury()
{
    QFETCH(QByteArray, field);
    QFETCH(QDate, date);
    const auto stamp = LogTimestamp::decode(field);
    QVERIFY(stamp);
    QCOMPARE(stamp->toDateTime().date(), date);
    QByteArray month;
    QCOMPARE(centuryYear(field.mid(8, 2), field.mid(10, 2), &month), date.year());
    QCOMPARE(month.toInt(), date.month());
}

void TestLogRecord::timestampEncodeRoundTrip_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("1901-01-01") << QDateTime(QDate(1901, 1, 1), QTime(0, 0, 0), Qt::UTC) << QByteArray("000000018101");
    QTest::newRow("1999-12-31") << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58), Qt::UTC) << QByteArray("585923319299");
    QTest::newRow("2000-01-01") << QDateTime(QDate(2000, 1, 1), QTime(1, 2, 3), Qt::UTC) << QByteArray("030201010100");
    QTest::newRow("2024-10-05") << QDateTime(QDate(2024, 10, 5), QTime(14, 7, 9), Qt::UTC) << QByteArray("090714051024");
}

void TestLogRecord::timestampEncodeRoundTrip()
{
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, field);
    const LogTimestamp stamp = LogTimestamp::fromDateTime(time);
    QCOMPARE(stamp.encode(), field);
    QCOMPARE(LogTimestamp::decode(field)->toDateTime(), time);
}

void TestLogRecord::timestampRefusesNonDigits()
{
    QVERIFY(!LogTimestamp::decode("00000001010A"));
    QVERIFY(!LogTimestamp::decode("00000001010"));
    QVERIFY(!LogTimestamp::decode(" 00000010100"));
    // Digits that are no date still decode, but give no date and time.
    const auto stamp = LogTimestamp::decode("000000321300");
    QVERIFY(stamp);
    QVERIFY(!stamp->toDateTime().isValid());
    QCOMPARE(stamp->encode(), "000000321300");
}

void TestLogRecord::textBlockPieces_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("call only") << textBytes("DL1ABC", "") << QByteArray("DL1ABC") << QByteArray() << QByteArray();
    QTest::newRow("name") << textBytes("DL1ABC", "HANS") << QByteArray("DL1ABC") << QByteArray("HANS") << QByteArray();
    QTest::newRow("name and qth") << textBytes("DL1ABC", QByteArrayView("HANS\0BERLIN", 11)) << QByteArray("DL1ABC") << QByteArray("HANS") << QByteArray("BERLIN");
    QTest::newRow("empty first, second set") << textBytes("DL1ABC", QByteArrayView("\0BERLIN", 7)) << QByteArray("DL1ABC") << QByteArray() << QByteArray("BERLIN");
    QTest::newRow("underscores become spaces") << textBytes("G4X", QByteArrayView(":GOOD_SIG\0/VIA_BURO", 19)) << QByteArray("G4X") << QByteArray(":GOOD SIG") << QByteArray("/VIA BURO");
    QTest::newRow("padding after second NUL is not read") << QByteArray("K1\0A\0B\0JUNKJUNKJUNKJUNKJUNK", 27) << QByteArray("K1") << QByteArray("A") << QByteArray("B");
    QTest::newRow("no NUL at all") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0") << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ0") << QByteArray() << QByteArray();
    QTest::newRow("second piece runs to the end") << QByteArray("K1\0A\0BBBBBBBBBBBBBBBBBBBBBB", 27) << QByteArray("K1") << QByteArray("A") << QByteArray("BBBBBBBBBBBBBBBBBBBBBB");
}

void TestLogRecord::textBlockPieces()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, call);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QCOMPARE(bytes.size(), 27);
    const TextBlock block = TextBlock::fromBytes(bytes);
    QCOMPARE(block.call, call);
    QCOMPARE(block.first, first);
    QCOMPARE(block.second, second);
}

void TestLogRecord::composedTextBlock_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("all three") << QByteArray("DL1ABC") << QByteArray("HANS") << QByteArray("BERLIN")
                               << QByteArray("DL1ABC\0HANS\0BERLIN\0\0\0\0\0\0\0\0\0", 27);
    QTest::newRow("no first piece") << QByteArray("K1") << QByteArray() << QByteArray("QTH")
                                    << QByteArray("K1\0\0QTH\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 27);
    QTest::newRow("cut at 27") << QByteArray("DL1ABC/P/QRPX") << QByteArray("ABCDEFGHIJ") << QByteArray("XYZ")
                               << QByteArray("DL1ABC/P/QRPX\0ABCDEFGHIJ\0XY", 27);
}

void TestLogRecord::composedTextBlock()
{
    QFETCH(QByteArray, call);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, bytes);
    const QByteArray composed = TextBlock::composeBytes(call, first, second);
    QCOMPARE(composed, bytes);
    const TextBlock back = TextBlock::fromBytes(composed);
    QCOMPARE(back.call, call);
    QCOMPARE(back.first, first);
    QVERIFY(second.startsWith(back.second));
}

void TestLogRecord::pieceKinds()
{
    QCOMPARE(pieceKind(""), PieceKind::Empty);
    QCOMPARE(pieceKind(":QRP"), PieceKind::Comment);
    QCOMPARE(pieceKind("/DL1ABC"), PieceKind::QslVia);
    QCOMPARE(pieceKind("HANS"), PieceKind::Plain);
    QCOMPARE(pieceText(":QRP"), "QRP");
    QCOMPARE(pieceText("/"), "");
    QCOMPARE(pieceText("HANS"), "HANS");
}

void TestLogRecord::bandNames()
{
    const QList<QByteArray> names = {"2M", "4M", "6M", "10M", "12M", "15M", "17M", "20M", "30M", "40M", "60M", "80M", "160M"};
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(BandTable::name(i), names[i]);
        QCOMPARE(BandTable::indexOf(names[i]), i);
    }
    for (int unused = 13; unused < 16; ++unused)
        QVERIFY(BandTable::name(unused).isEmpty());
    QCOMPARE(BandTable::indexOf("20m"), -1);
    QCOMPARE(BandTable::indexOf("70CM"), -1);
    QCOMPARE(BandTable::indexOf(""), -1);
}

void TestLogRecord::bandOfMegahertz_data()
{
    QTest::addColumn<int>("megahertz");
    QTest::addColumn<int>("band");
    const QList<std::pair<int, int>> table = {
        {0, -1}, {1, 12}, {2, 12}, {3, 11}, {4, 11}, {5, 10}, {6, -1}, {7, 9}, {8, -1}, {10, 8}, {14, 7},
        {18, 6}, {21, 5}, {24, 4}, {25, 4}, {28, 3}, {29, 3}, {30, -1}, {49, -1}, {50, 2}, {54, 2},
        {55, -1}, {69, 1}, {70, 1}, {143, -1}, {144, 0}, {148, 0}, {149, -1}, {7200, -1}};
    for (const auto &[mhz, band] : table)
        QTest::addRow("%d MHz", mhz) << mhz << band;
}

void TestLogRecord::bandOfMegahertz()
{
    QFETCH(int, megahertz);
    QFETCH(int, band);
    QCOMPARE(BandTable::indexOfMegahertz(megahertz), band);
}

void TestLogRecord::windows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << u"DL1ABC"_s << QByteArray("DL1ABC");
    QTest::newRow("latin-1 letters") << u"Muñoz Cañón"_s << QByteArray("Mu\xF1oz Ca\xF1\xF3n");
    QTest::newRow("euro and s caron") << u"€ Š"_s << QByteArray("\x80 \x8A");
}

void TestLogRecord::windows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool lossy = true;
    QCOMPARE(AnsiText::fromUnicode(text, &lossy), bytes);
    QVERIFY(!lossy);
    QCOMPARE(AnsiText::toUnicode(bytes), text);
    // Upper case stays inside the code page.
    QCOMPARE(AnsiText::toUnicode(AnsiText::toUpper(bytes)), text.toUpper());
}

void TestLogRecord::mixedBytesKeepEveryCharacter_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("ansi");
    QTest::addColumn<bool>("lossy");
    QTest::newRow("utf-8") << QByteArray("Mu\xC3\xB1oz") << QByteArray("Mu\xF1oz") << false;
    QTest::newRow("windows-1252") << QByteArray("Mu\xF1oz") << QByteArray("Mu\xF1oz") << false;
    QTest::newRow("both in one value") << QByteArray("M\xC3\xA1laga K\xF6ln") << QByteArray("M\xE1laga K\xF6ln") << false;
    QTest::newRow("utf-8 cut mid-character") << QByteArray("Ca\xC3\xB1\xC3") << QByteArray("Ca\xF1\xC3") << false;
    QTest::newRow("utf-8 euro") << QByteArray("\xE2\x82\xAC") << QByteArray("\x80") << false;
    QTest::newRow("korean is not in the code page") << QByteArray("\xED\x95\x9C!") << QByteArray("?!") << true;
    QTest::newRow("overlong form is two bytes") << QByteArray("\xC0\xAF") << QByteArray("\xC0\xAF") << false;
}

void TestLogRecord::mixedBytesKeepEveryCharacter()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, ansi);
    QFETCH(bool, lossy);
    bool lost = !lossy;
    QCOMPARE(AnsiText::fromMixed(input, &lost), ansi);
    QCOMPARE(lost, lossy);
}

QTEST_APPLESS_MAIN(TestLogRecord)
#include "tst_logrecord.moc"
