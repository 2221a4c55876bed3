#include "adifwriter.h"
#include "listlineformatter.h"
#include "logexport.h"
#include "logtestdata.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The ADIF export: header, the three lines of each record with every
// field of the table, pieces in each position, contest records, and the
// export's selection and order.
class TestAdifWriter : public QObject
{
    Q_OBJECT

private slots:
    void headerNamesProgramAndVersion();
    void normalRecordLines();
    void centuryOfQsoDate_data();
    void centuryOfQsoDate();
    void pieces_data();
    void pieces();
    void contestRecord_data();
    void contestRecord();
    void stationAndOperatorByUserBit();
    void nonAsciiLengthCountsCharacters();
    void exportSelectsAndOrders_data();
    void exportSelectsAndOrders();
    void damagedRecordsAreCountedNotWritten();
    void outputNameAndMessages();
};

void TestAdifWriter::headerNamesProgramAndVersion()
{
    QCOMPARE(AdifWriter::headerLines("4.1.10"),
             "LOGGER:<PROGRAMID:14>THE DASHWRIGHT<PROGRAMVERSION:6>4.1.10<EOH>\r\n\r\n");
    QCOMPARE(AdifWriter::headerLines("10.0.0"),
             "LOGGER:<PROGRAMID:14>THE DASHWRIGHT<PROGRAMVERSION:6>10.0.0<EOH>\r\n\r\n");
    // Three numbers without leading zeros.
    const QString version = QString::fromLatin1(AdifWriter::programVersion());
    QVERIFY2(QRegularExpression(u"^[1-9][0-9]*\\.(0|[1-9][0-9]*)\\.(0|[1-9][0-9]*)$"_s).match(version).hasMatch(),
             qPrintable(version));
}

void TestAdifWriter::normalRecordLines()
{
    // 14:07:09 to 14:21:00 on 5 October 2024, 20M CW, user 1.
    const LogRecord record = makeRecord(0x07, "DL1ABC", "HANS", "BERLIN", "0579", "0589", "002114051024", "090714051024");
    QCOMPARE(AdifWriter::recordLines(record, {u"W1AW"_s, u"W2AW"_s, u"JOE"_s, u"ANN"_s}),
             "<QSO_DATE:8>20241005<TIME_ON:6>140709<TIME_OFF:6>142100<MODE:2>CW<BAND:3>20M\r\n"
             "<CALL:6>DL1ABC<NAME:4>HANS<QTH:6>BERLIN<RST_RCVD:3>579<RST_SENT:3>589\r\n"
             "<STATION_CALLSIGN:4>W1AW<OPERATOR:3>JOE<EOR>\r\n\r\n");
    // SSB reads two digits of each report; a duplicate gets NOTES.
    const LogRecord phone = makeRecord(0xCC, "G4X", {}, {}, "0059", "0057", "000000010124", "000000010124");
    QCOMPARE(AdifWriter::recordLines(phone, {}),
             "<QSO_DATE:8>20240101<TIME_ON:6>000000<TIME_OFF:6>000000<MODE:3>SSB<BAND:4>160M\r\n"
             "<CALL:3>G4X<RST_RCVD:2>59<RST_SENT:2>57\r\n"
             "<NOTES:9>DUPLICATE<EOR>\r\n\r\n");
}

void TestAdifWriter::centuryOfQsoDate_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("date");
    QTest::newRow("92 98 07 is 7 December 1998") << QByteArray("000000079298") << QByteArray("19981207");
    QTest::newRow("02 09 07 is 7 February 2009") << QByteArray("000000070209") << QByteArray("20090207");
    QTest::newRow("81 01 is January 1901") << QByteArray("000000318101") << QByteArray("19010131");
    QTest::newRow("89 is September") << QByteArray("000000158977") << QByteArray("19770915");
    QTest::newRow("12 99 is December 2099") << QByteArray("000000311299") << QByteArray("20991231");
}

void TestAdifWriter::centuryOfQsoDate()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, date);
    const QByteArray lines = AdifWriter::recordLines(makeRecord(0x07, "K1", {}, {}, "0599", "0599", start, start), {});
    QVERIFY2(lines.startsWith("<QSO_DATE:8>" + date), lines.constData());
}

void TestAdifWriter::pieces_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("fields");
    QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("name") << QByteArray("HANS") << QByteArray() << QByteArray("<NAME:4>HANS");
    QTest::newRow("qth only") << QByteArray() << QByteArray("BERLIN") << QByteArray("<QTH:6>BERLIN");
    QTest::newRow("name and qth") << QByteArray("HANS") << QByteArray("BERLIN") << QByteArray("<NAME:4>HANS<QTH:6>BERLIN");
    QTest::newRow("comment first") << QByteArray(":QRP") << QByteArray() << QByteArray("<COMMENT:3>QRP");
    QTest::newRow("name and comment") << QByteArray("HANS") << QByteArray(":QRP") << QByteArray("<NAME:4>HANS<COMMENT:3>QRP");
    QTest::newRow("via and qth") << QByteArray("/DL1XYZ") << QByteArray("BERLIN") << QByteArray("<QSL_VIA:6>DL1XYZ<QTH:6>BERLIN");
    QTest::newRow("name and via") << QByteArray("HANS") << QByteArray("/BURO") << QByteArray("<NAME:4>HANS<QSL_VIA:4>BURO");
    QTest::newRow("comment and via") << QByteArray(":TNX") << QByteArray("/BURO") << QByteArray("<COMMENT:3>TNX<QSL_VIA:4>BURO");
    QTest::newRow("slash alone writes nothing") << QByteArray("/") << QByteArray() << QByteArray();
    QTest::newRow("colon alone writes nothing") << QByteArray(":") << QByteArray("BERLIN") << QByteArray("<QTH:6>BERLIN");
    QTest::newRow("underscore is a space") << QByteArray("JUAN_CARLOS") << QByteArray(":GOOD_SIG") << QByteArray("<NAME:11>JUAN CARLOS<COMMENT:8>GOOD SIG");
    QTest::newRow("dash stays") << QByteArray("JUAN-CARLOS") << QByteArray() << QByteArray("<NAME:11>JUAN-CARLOS");
}

void TestAdifWriter::pieces()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, fields);
    const QByteArray lines = AdifWriter::recordLines(makeRecord(0x07, "DL1AB", first, second), {});
    const QByteArray line2 = lines.split('\n').at(1);
    QCOMPARE(line2, "<CALL:5>DL1AB" + fields + "<RST_RCVD:3>599<RST_SENT:3>599\r");
}

void TestAdifWriter::contestRecord_data()
{
    QTest::addColumn<QByteArray>("serials");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("line2Pieces");
    QTest::addColumn<QByteArray>("line3");
    QTest::newRow("both numbers") << QByteArray("000042000017") << QByteArray("15") << QByteArray("<COMMENT:2>15")
                                  << QByteArray("<SRX:6>000042<STX:6>000017<EOR>");
    QTest::newRow("received 0 omitted") << QByteArray("000000000012") << QByteArray() << QByteArray()
                                        << QByteArray("<STX:6>000012<EOR>");
    QTest::newRow("sent 0 omitted") << QByteArray("000007000000") << QByteArray() << QByteArray()
                                    << QByteArray("<SRX:6>000007<EOR>");
    QTest::newRow("prefixed piece taken whole") << QByteArray("000000000000") << QByteArray(":599_ON") << QByteArray("<COMMENT:7>:599 ON")
                                                << QByteArray("<EOR>");
}

void TestAdifWriter::contestRecord()
{
    QFETCH(QByteArray, serials);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, line2Pieces);
    QFETCH(QByteArray, line3);
    const LogRecord record = makeRecord(0x25, "OH2XX", first, {}, "0599", "0599", serials, "595923318199");
    const QList<QByteArray> lines = AdifWriter::recordLines(record, {}).split('\n');
    QCOMPARE(lines.at(0), "<QSO_DATE:8>19990131<TIME_ON:6>235959<MODE:2>CW<BAND:3>15M\r");
    QCOMPARE(lines.at(1), "<CALL:5>OH2XX" + line2Pieces + "<RST_RCVD:3>599<RST_SENT:3>599\r");
    QCOMPARE(lines.at(2), line3 + '\r');
    // A contest QTH of any form goes out whole.
    const LogRecord withQth = makeRecord(0x25, "OH2XX", {}, "/VIA", "0599", "0599", serials, "595923318199");
    QVERIFY(AdifWriter::recordLines(withQth, {}).contains("<QTH:4>/VIA"));
}

void TestAdifWriter::stationAndOperatorByUserBit()
{
    const AdifStation station{u" W1AW "_s, u"W2AW"_s, QString(), u" ANN"_s};
    const QByteArray user1 = AdifWriter::recordLines(makeRecord(0x07, "K1"), station);
    QVERIFY(user1.contains("<STATION_CALLSIGN:4>W1AW<EOR>"));
    QVERIFY(!user1.contains("OPERATOR"));
    const QByteArray user2 = AdifWriter::recordLines(makeRecord(0x17, "K1"), station);
    QVERIFY(user2.contains("<STATION_CALLSIGN:4>W2AW<OPERATOR:3>ANN<EOR>"));
}

void TestAdifWriter::nonAsciiLengthCountsCharacters()
{
    const QByteArray lines = AdifWriter::recordLines(makeRecord(0x07, "EA1XX", "MU\xD1OZ"), {});
    QVERIFY(lines.contains("<NAME:5>MU\xD1OZ"));
}

void TestAdifWriter::exportSelectsAndOrders_data()
{
    QTest::addColumn<bool>("contest");
    QTest::addColumn<bool>("onlyUser");
    QTest::addColumn<bool>("user2");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QByteArray>("calls");
    // File: A normal u1, B contest u1, C normal u2, D contest u2, E normal u1.
    QTest::newRow("normal records") << false << false << false << false << QByteArray("ACE");
    QTest::newRow("contest records") << true << false << false << false << QByteArray("BD");
    QTest::newRow("normal, user 1 only") << false << true << false << false << QByteArray("AE");
    QTest::newRow("normal, user 2 only") << false << true << true << false << QByteArray("C");
    QTest::newRow("contest, user 2 only") << true << true << true << false << QByteArray("D");
    QTest::newRow("normal, reversed") << false << false << false << true << QByteArray("ECA");
}

static QString writeSampleLog(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(u"log.krv"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const quint8 flags[] = {0x07, 0x27, 0x17, 0x37, 0x07};
    for (int i = 0; i < 5; ++i)
        NativeLogFile::writeRecord(&file, makeRecord(flags[i], QByteArray(1, char('A' + i))).encode());
    return path;
}

void TestAdifWriter::exportSelectsAndOrders()
{
    QFETCH(bool, contest);
    QFETCH(bool, onlyUser);
    QFETCH(bool, user2);
    QFETCH(bool, reverse);
    QFETCH(QByteArray, calls);
    QTemporaryDir dir;
    NativeLogFile log;
    QVERIFY(log.open(writeSampleLog(dir)));
    LogExportOptions options;
    options.selection = {contest, onlyUser, user2};
    options.reverse = reverse;

    QBuffer adif;
    adif.open(QIODevice::WriteOnly);
    QList<qint64> progress;
    const LogExportResult result = LogExport::writeAdif(log, &adif, options, [&](qint64 done, qint64 total) {
        QCOMPARE(total, 5);
        progress.append(done);
    });
    QCOMPARE(result.written, calls.size());
    QVERIFY(result.error.isEmpty());
    QCOMPARE(progress.last(), 5);
    QByteArray seen;
    for (const QByteArray &line : adif.data().split('\n')) {
        if (line.startsWith("<CALL:1>"))
            seen += line.at(8);
    }
    QCOMPARE(seen, calls);
    QVERIFY(adif.data().startsWith(AdifWriter::headerLines()));
    QCOMPARE(adif.data().count("<EOR>\r\n\r\n"), calls.size());

    QBuffer list;
    list.open(QIODevice::WriteOnly);
    QCOMPARE(LogExport::writeList(log, &list, options).written, calls.size());
    const QList<QByteArray> lines = list.data().split('\n');
    QCOMPARE(lines.at(0), ListLineFormatter::headerLine(contest) + '\r');
    QCOMPARE(lines.at(1), "\r");
    QCOMPARE(lines.size(), calls.size() + 3);
    for (int i = 0; i < calls.size(); ++i)
        QCOMPARE(lines.at(2 + i).at(contest ? 31 : 34), calls.at(i));
}

void TestAdifWriter::damagedRecordsAreCountedNotWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"damaged.krv"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        NativeLogFile::writeRecord(&file, makeRecord(0x07, "GOOD1").encode());
        NativeLogFile::writeRecord(&file, "XX" + makeRecord(0x07, "BAD").encode().mid(2));
        NativeLogFile::writeRecord(&file, makeRecord(0x07, "GOOD2").encode());
        NativeLogFile::writeRecord(&file, makeRecord(0x0D, "NOBAND").encode()); // band number 13
        file.write(makeRecord(0x07, "CUT").encode().left(60)); // 420 bytes: 5 records
    }
    NativeLogFile log;
    QVERIFY(log.open(path));
    QCOMPARE(log.count(), 5);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const LogExportResult result = LogExport::writeAdif(log, &out, {});
    QCOMPARE(result.written, 2);
    QCOMPARE(result.unreadable, 3);
    QVERIFY(out.data().contains("<CALL:5>GOOD1") && out.data().contains("<CALL:5>GOOD2"));
    QCOMPARE(LogExport::writeList(log, &out, {}).unreadable, 3);
}

void TestAdifWriter::outputNameAndMessages()
{
    LogExportOptions options;
    options.station = {u" DL1ABC "_s, u"DL2XYZ"_s, {}, {}};
    const QDateTime utc(QDate(2024, 10, 5), QTime(14, 7, 9), Qt::UTC);
    QCOMPARE(LogExport::outputFileName(options, utc, u".adi"_s), u"DL1ABC_241005140709.adi"_s);
    options.selection.activeUser2 = true;
    QCOMPARE(LogExport::stationCall(options), u"DL1ABC"_s); // only with "only current user"
    options.selection.onlyActiveUser = true;
    QCOMPARE(LogExport::outputFileName(options, utc, u".txt"_s), u"DL2XYZ_241005140709.txt"_s);
    QCOMPARE(LogExport::adifSavedMessage(3), u" 3 records have been saved in ADIF format"_s);
    QCOMPARE(LogExport::listSavedMessage(0), u" 0 records have been saved in list format"_s);
}

QTEST_APPLESS_MAIN(TestAdifWriter)
#include "tst_adifwriter.moc"
