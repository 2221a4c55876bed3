#include "adifconverter.h"
#include "logexport.h"
#include "logrecord.h"
#include "logtestdata.h"
#include "logtimestamp.h"
#include "nativelogfile.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// ADIF to native conversion: header and tag search, every rule of a
// record, the rejected list, reverse order, encodings, long lengths, and
// native -> ADIF -> native round trips.
class TestAdifConverter : public QObject
{
    Q_OBJECT

private slots:
    void headerHandling_data();
    void headerHandling();
    void lowerCaseTagsStoredUpperCase();
    void nameWithBlankStoredWithDash();
    void callLength_data();
    void callLength();
    void bandFromFreq_data();
    void bandFromFreq();
    void bandTag_data();
    void bandTag();
    void dates_data();
    void dates();
    void times_data();
    void times();
    void reports_data();
    void reports();
    void duplicateBit();
    void pieces_data();
    void pieces();
    void contest_data();
    void contest();
    void user_data();
    void user();
    void missingRequiredTagsReject();
    void rejectedOrdinals();
    void rejectedListStopsAt99();
    void lengthAboveNinetyNineIsReadWhole();
    void encodings_data();
    void encodings();
    void charactersOutsideCodePage();
    void unterminatedLastRecordIsCounted();
    void multiLineValue();
    void progressReachesTotal();
    void fileAppendsAndReverses();
    void emptyOutputIsRemoved();
    void unreadableInputIsAnError();
    void roundTripNativeAdifNative();
};

static const QByteArray Base = "<CALL:6>DL1ABC<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M";

struct Converted
{
    AdifImportResult result;
    QList<QByteArray> records;
};

static Converted convertText(const QByteArray &adif, const AdifImportOptions &options = {})
{
    QBuffer in;
    in.setData(adif);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    AdifConverter converter(options);
    Converted c;
    c.result = converter.convert(&in, &out);
    const QByteArray data = out.data();
    for (qsizetype i = 0; i + 90 <= data.size(); i += 90) {
        c.records.append(data.mid(i, 88));
        if (data.mid(i + 88, 2) != "\r\n")
            qWarning("record line not ended by CR LF");
    }
    return c;
}

static LogRecord single(const QByteArray &adif, const AdifImportOptions &options = {})
{
    const Converted c = convertText(adif, options);
    if (c.records.size() != 1)
        return {};
    return LogRecord::decode(c.records.first()).value_or(LogRecord());
}

static bool rejected(const QByteArray &adif, const AdifImportOptions &options = {})
{
    const Converted c = convertText(adif, options);
    return c.result.converted == 0 && c.result.rejected == 1;
}

void TestAdifConverter::headerHandling_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("converted");
    QTest::newRow("no header, first byte <") << Base + "<EOR>" << 1;
    QTest::newRow("header with fields") << "Log <ADIF_VER:5>3.1.0 <PROGRAMID:3>XYZ\n<EOH>\n" + Base + "<EOR>\n" << 1;
    QTest::newRow("lower-case eoh and eor") << "x <eoh>" + Base + "<eor>" << 1;
    QTest::newRow("angle brackets in free text header") << "by <someone@example.org> <EOH>" + Base + "<EOR>" << 1;
    QTest::newRow("header starting with a tag") << "<ADIF_VER:5>3.1.0<EOH>" + Base + "<EOR>" << 1;
    QTest::newRow("BOM and no header at all") << "\xEF\xBB\xBF" + Base + "<EOR>" << 1;
    QTest::newRow("newline before records, no header") << "\n\n" + Base + "<EOR>" + Base + "<EOR>" << 2;
    QTest::newRow("EOR ends at the last byte") << Base + "<EOR>" + Base + "<EOR>" << 2;
    QTest::newRow("text after the last EOR") << Base + "<EOR>\nend of log\n" << 1;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("header only") << QByteArray("Nothing here <EOH>\n") << 0;
}

void TestAdifConverter::headerHandling()
{
    QFETCH(QByteArray, file);
    QFETCH(int, converted);
    const Converted c = convertText(file);
    QCOMPARE(c.result.converted, converted);
    QCOMPARE(c.result.rejected, 0);
}

void TestAdifConverter::lowerCaseTagsStoredUpperCase()
{
    const LogRecord r = single("<call:6>dl1abc<mode:2>cw<qso_date:8>20240105<time_on:4>1423<band:3>20m<name:4>hans<eor>");
    QCOMPARE(r.text().call, "DL1ABC");
    QCOMPARE(r.text().first, "HANS");
    QCOMPARE(r.bandIndex(), 7);
    // Mixed case as some programs write it.
    QCOMPARE(single("<Call:4>W1AW<Mode:2>Cw<QSO_Date:8>20240105<Time_On:4>1423<Band:3>20M<Eor>").text().call, "W1AW");
}

void TestAdifConverter::nameWithBlankStoredWithDash()
{
    const LogRecord r = single(Base + "<NAME:10>Juan Pablo<QTH:10> San Jose <EOR>");
    QCOMPARE(r.text().first, "JUAN-PABLO");
    QCOMPARE(r.text().second, "SAN-JOSE");
    QVERIFY(AdifWriter::recordLines(r, {}).contains("<NAME:10>JUAN-PABLO<QTH:8>SAN-JOSE"));
}

void TestAdifConverter::callLength_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("13 characters") << QByteArray("DL1ABC/P/QRPX") << true;
    QTest::newRow("14 characters") << QByteArray("DL1ABC/P/QRPXY") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("blanks only") << QByteArray("   ") << false;
    QTest::newRow("one character") << QByteArray("K") << true;
}

void TestAdifConverter::callLength()
{
    QFETCH(QByteArray, call);
    QFETCH(bool, accepted);
    const QByteArray adif = "<CALL:" + QByteArray::number(call.size()) + ">" + call
        + "<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<EOR>";
    const Converted c = convertText(adif);
    QCOMPARE(c.result.converted, accepted ? 1 : 0);
    if (accepted)
        QCOMPARE(LogRecord::decode(c.records.first())->text().call, call);
}

void TestAdifConverter::bandFromFreq_data()
{
    QTest::addColumn<QByteArray>("freq");
    QTest::addColumn<int>("band");
    QTest::newRow("14.070") << QByteArray("14.070") << 7;
    QTest::newRow("3.573") << QByteArray("3.573") << 11;
    QTest::newRow("1.840") << QByteArray("1.840") << 12;
    QTest::newRow("144.300") << QByteArray("144.300") << 0;
    QTest::newRow("7.5") << QByteArray("7.5") << 9;
    QTest::newRow("50") << QByteArray("50") << 2;
    QTest::newRow("6.0 rejected") << QByteArray("6.0") << -1;
    QTest::newRow("7200 (kHz) rejected") << QByteArray("7200") << -1;
    QTest::newRow("not a number") << QByteArray("14,070") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("huge") << QByteArray("99999999999999999999") << -1;
}

void TestAdifConverter::bandFromFreq()
{
    QFETCH(QByteArray, freq);
    QFETCH(int, band);
    const QByteArray adif = "<CALL:4>W1AW<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<FREQ:"
        + QByteArray::number(freq.size()) + ">" + freq + "<EOR>";
    if (band < 0) {
        QVERIFY(rejected(adif));
    } else {
        QCOMPARE(single(adif).bandIndex(), band);
        // Type indicators are passed over.
        QCOMPARE(single(QByteArray(adif).replace("<FREQ:" + QByteArray::number(freq.size()) + ">",
                                                 "<freq:" + QByteArray::number(freq.size()) + ":N>")).bandIndex(), band);
    }
}

void TestAdifConverter::bandTag_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<int>("band");
    QTest::newRow("160m") << QByteArray("<BAND:4>160m") << 12;
    QTest::newRow("band wins over freq") << QByteArray("<FREQ:6>14.070<BAND:3>40M") << 9;
    QTest::newRow("70cm is no keyer band") << QByteArray("<BAND:4>70CM<FREQ:7>432.100") << -1;
    QTest::newRow("???") << QByteArray("<BAND:3>???") << -1;
}

void TestAdifConverter::bandTag()
{
    QFETCH(QByteArray, fields);
    QFETCH(int, band);
    const QByteArray adif = "<CALL:4>W1AW<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423" + fields + "<EOR>";
    if (band < 0)
        QVERIFY(rejected(adif));
    else
        QCOMPARE(single(adif).bandIndex(), band);
}

void TestAdifConverter::dates_data()
{
    QTest::addColumn<QByteArray>("date");
    QTest::addColumn<QByteArray>("start"); // empty: rejected
    QTest::newRow("1999-01-15 carries the century") << QByteArray("19990115") << QByteArray("000023158199");
    QTest::newRow("2009-01-15") << QByteArray("20090115") << QByteArray("000023150109");
    QTest::newRow("1998-12-07") << QByteArray("19981207") << QByteArray("000023079298");
    QTest::newRow("1901-10-01") << QByteArray("19011001") << QByteArray("000023019001");
    QTest::newRow("2099-12-31") << QByteArray("20991231") << QByteArray("000023311299");
    QTest::newRow("1900 rejected") << QByteArray("19001231") << QByteArray();
    QTest::newRow("2100 rejected") << QByteArray("21000101") << QByteArray();
    QTest::newRow("30 February rejected") << QByteArray("20240230") << QByteArray();
    QTest::newRow("7 digits rejected") << QByteArray("2024011") << QByteArray();
    QTest::newRow("letters rejected") << QByteArray("2024O101") << QByteArray();
}

void TestAdifConverter::dates()
{
    QFETCH(QByteArray, date);
    QFETCH(QByteArray, start);
    const QByteArray adif = "<CALL:4>W1AW<MODE:2>CW<QSO_DATE:" + QByteArray::number(date.size()) + ">" + date
        + "<TIME_ON:4>2300<BAND:3>20M<EOR>";
    if (start.isEmpty()) {
        QVERIFY(rejected(adif));
    } else {
        const LogRecord r = single(adif);
        QCOMPARE(r.start, start);
        QCOMPARE(r.endOrSerials, start); // no TIME_OFF: ends when it starts
        QVERIFY(AdifWriter::recordLines(r, {}).startsWith("<QSO_DATE:8>" + date));
    }
}

void TestAdifConverter::times_data()
{
    QTest::addColumn<QByteArray>("date");
    QTest::addColumn<QByteArray>("on");
    QTest::addColumn<QByteArray>("off");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("end"); // empty: rejected
    QTest::newRow("2350 to 0010 ends next day") << QByteArray("20240105") << QByteArray("2350") << QByteArray("0010")
                                                << QByteArray("005023050124") << QByteArray("001000060124");
    QTest::newRow("2350 to 2310 same day") << QByteArray("20240105") << QByteArray("2350") << QByteArray("2310")
                                           << QByteArray("005023050124") << QByteArray("001023050124");
    QTest::newRow("empty TIME_OFF ends at the start") << QByteArray("20240105") << QByteArray("2350") << QByteArray()
                                                     << QByteArray("005023050124") << QByteArray("005023050124");
    QTest::newRow("seconds kept") << QByteArray("20240105") << QByteArray("123456") << QByteArray("124501")
                                  << QByteArray("563412050124") << QByteArray("014512050124");
    QTest::newRow("new year 1998 to 1999") << QByteArray("19981231") << QByteArray("2359") << QByteArray("0001")
                                           << QByteArray("005923319298") << QByteArray("000100018199");
    QTest::newRow("new year 1999 to 2000") << QByteArray("19991231") << QByteArray("2359") << QByteArray("0001")
                                           << QByteArray("005923319299") << QByteArray("000100010100");
    QTest::newRow("leap day") << QByteArray("20240228") << QByteArray("2359") << QByteArray("0001")
                              << QByteArray("005923280224") << QByteArray("000100290224");
    QTest::newRow("next day after 2099 rejected") << QByteArray("20991231") << QByteArray("2359") << QByteArray("0001")
                                                  << QByteArray() << QByteArray();
    QTest::newRow("TIME_ON of 2 digits rejected") << QByteArray("20240105") << QByteArray("12") << QByteArray("1300")
                                                  << QByteArray() << QByteArray();
    QTest::newRow("TIME_ON 2460 rejected") << QByteArray("20240105") << QByteArray("2460") << QByteArray("1300")
                                           << QByteArray() << QByteArray();
    QTest::newRow("TIME_OFF of 5 digits rejected") << QByteArray("20240105") << QByteArray("1200") << QByteArray("13000")
                                                   << QByteArray() << QByteArray();
}

void TestAdifConverter::times()
{
    QFETCH(QByteArray, date);
    QFETCH(QByteArray, on);
    QFETCH(QByteArray, off);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, end);
    const QByteArray adif = "<CALL:4>W1AW<MODE:2>CW<QSO_DATE:8>" + date + "<TIME_ON:" + QByteArray::number(on.size()) + ">" + on
        + "<TIME_OFF:" + QByteArray::number(off.size()) + ">" + off + "<BAND:3>20M<EOR>";
    if (end.isEmpty()) {
        QVERIFY(rejected(adif));
        return;
    }
    const LogRecord r = single(adif);
    QCOMPARE(r.start, start);
    QCOMPARE(r.endOrSerials, end);
}

void TestAdifConverter::reports_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("stored"); // received + sent; empty: rejected
    QTest::newRow("cw defaults") << QByteArray("CW") << QByteArray() << QByteArray("05990599");
    QTest::newRow("ssb defaults") << QByteArray("SSB") << QByteArray() << QByteArray("00590059");
    QTest::newRow("cw values") << QByteArray("CW") << QByteArray("<RST_RCVD:3>579<RST_SENT:3>449") << QByteArray("05790449");
    QTest::newRow("ssb values") << QByteArray("ssb") << QByteArray("<RST_RCVD:2>57<RST_SENT:2>44") << QByteArray("00570044");
    QTest::newRow("cut numbers in cw rejected") << QByteArray("CW") << QByteArray("<RST_SENT:3>5NN") << QByteArray();
    QTest::newRow("hex-looking letters rejected") << QByteArray("CW") << QByteArray("<RST_SENT:3>5A9") << QByteArray();
    QTest::newRow("two digits in cw rejected") << QByteArray("CW") << QByteArray("<RST_RCVD:2>59") << QByteArray();
    QTest::newRow("three digits in ssb rejected") << QByteArray("SSB") << QByteArray("<RST_RCVD:3>599") << QByteArray();
    QTest::newRow("other mode rejected") << QByteArray("FT8") << QByteArray() << QByteArray();
    QTest::newRow("usb rejected") << QByteArray("USB") << QByteArray() << QByteArray();
}

void TestAdifConverter::reports()
{
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, stored);
    const QByteArray adif = "<CALL:4>W1AW<MODE:" + QByteArray::number(mode.size()) + ">" + mode
        + "<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M" + fields + "<EOR>";
    if (stored.isEmpty()) {
        QVERIFY(rejected(adif));
        return;
    }
    const LogRecord r = single(adif);
    QCOMPARE(r.rstReceived + r.rstSent, stored);
    QCOMPARE(r.isSSB(), mode.toUpper() == "SSB");
}

void TestAdifConverter::duplicateBit()
{
    const LogRecord both = single(Base + "<NOTES:9>DUPLICATE<COMMENT:9>DUPLICATE<EOR>");
    QCOMPARE(both.flags, quint8(0x87));
    QVERIFY(both.text().first.isEmpty()); // a COMMENT that only says DUPLICATE is no piece
    QCOMPARE(single(Base + "<NOTES:12>is duplicate<EOR>").flags, quint8(0x87));
    QCOMPARE(single(Base + "<COMMENT:14>dupe DUPLICATE<EOR>").text().first, ":DUPE-DUPLICATE");
    QCOMPARE(single(Base + "<NOTES:4>dupe<EOR>").flags, quint8(0x07));
}

void TestAdifConverter::pieces_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("name, qth") << QByteArray("<NAME:4>Hans<QTH:6>Berlin") << QByteArray("HANS") << QByteArray("BERLIN");
    QTest::newRow("qth only") << QByteArray("<QTH:6>Berlin") << QByteArray() << QByteArray("BERLIN");
    QTest::newRow("via, qth") << QByteArray("<QSL_VIA:4>BURO<QTH:6>Berlin") << QByteArray("/BURO") << QByteArray("BERLIN");
    QTest::newRow("via with slash kept once") << QByteArray("<QSL_VIA:5>/BURO") << QByteArray("/BURO") << QByteArray();
    QTest::newRow("comment, qth") << QByteArray("<COMMENT:3>QRP<QTH:6>Berlin") << QByteArray(":QRP") << QByteArray("BERLIN");
    QTest::newRow("comment with colon kept once") << QByteArray("<COMMENT:4>:QRP") << QByteArray(":QRP") << QByteArray();
    QTest::newRow("name, via") << QByteArray("<NAME:4>Hans<QSL_VIA:4>BURO") << QByteArray("HANS") << QByteArray("/BURO");
    QTest::newRow("name, comment") << QByteArray("<NAME:4>Hans<COMMENT:3>QRP") << QByteArray("HANS") << QByteArray(":QRP");
    QTest::newRow("name, via and comment: via wins") << QByteArray("<NAME:4>Hans<QSL_VIA:4>BURO<COMMENT:3>QRP") << QByteArray("HANS") << QByteArray("/BURO");
    QTest::newRow("via first, comment second") << QByteArray("<QSL_VIA:4>BURO<COMMENT:3>QRP") << QByteArray("/BURO") << QByteArray(":QRP");
    QTest::newRow("comment used once") << QByteArray("<COMMENT:3>QRP") << QByteArray(":QRP") << QByteArray();
    QTest::newRow("duplicate comment, qth") << QByteArray("<COMMENT:9>DUPLICATE<QTH:2>NY") << QByteArray() << QByteArray("NY");
    QTest::newRow("long values cut to 27") << QByteArray("<NAME:30>ABCDEFGHIJKLMNOPQRSTUVWXYZ0123") << QByteArray("ABCDEFGHIJKLMNOPQRST") << QByteArray();
}

void TestAdifConverter::pieces()
{
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    const LogRecord r = single(Base + fields + "<EOR>");
    QCOMPARE(r.text().call, "DL1ABC");
    QCOMPARE(r.text().first, first);
    QCOMPARE(r.text().second, second);
}

void TestAdifConverter::contest_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<bool>("option");
    QTest::addColumn<QByteArray>("serials"); // empty: not a contest record; "x": rejected
    QTest::newRow("SRX and STX") << QByteArray("<SRX:2>42<STX:3>017") << false << QByteArray("000042000017");
    QTest::newRow("STX only") << QByteArray("<STX:1>5") << false << QByteArray("000000000005");
    QTest::newRow("empty SRX still marks contest") << QByteArray("<SRX:0>") << false << QByteArray("000000000000");
    QTest::newRow("contest option") << QByteArray("<TIME_OFF:4>1500") << true << QByteArray("000000000000");
    QTest::newRow("eight digits keep the last six") << QByteArray("<SRX:8>12345678") << false << QByteArray("345678000000");
    QTest::newRow("letters rejected") << QByteArray("<SRX:2>5A") << false << QByteArray("x");
    QTest::newRow("normal record") << QByteArray("<TIME_OFF:4>1500") << false << QByteArray();
}

void TestAdifConverter::contest()
{
    QFETCH(QByteArray, fields);
    QFETCH(bool, option);
    QFETCH(QByteArray, serials);
    AdifImportOptions options;
    options.contest = option;
    const QByteArray adif = Base + fields + "<EOR>";
    if (serials == "x") {
        QVERIFY(rejected(adif, options));
        return;
    }
    const LogRecord r = single(adif, options);
    QCOMPARE(r.isContest(), !serials.isEmpty());
    QCOMPARE(r.endOrSerials, serials.isEmpty() ? QByteArray("000015050124") : serials);
}

void TestAdifConverter::user_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QString>("call1");
    QTest::addColumn<QString>("call2");
    QTest::addColumn<bool>("user2Default");
    QTest::addColumn<bool>("user2");
    QTest::newRow("station is call 1") << QByteArray("<STATION_CALLSIGN:4>w1aw") << u" W1AW"_s << u"W2AW"_s << true << false;
    QTest::newRow("station is call 2") << QByteArray("<STATION_CALLSIGN:4>W2AW") << u"W1AW"_s << u"W2AW "_s << false << true;
    QTest::newRow("operator when no station") << QByteArray("<OPERATOR:4>W2AW") << u"W1AW"_s << u"W2AW"_s << false << true;
    QTest::newRow("station wins over operator") << QByteArray("<OPERATOR:4>W2AW<STATION_CALLSIGN:4>W1AW") << u"W1AW"_s << u"W2AW"_s << true << false;
    QTest::newRow("unknown, default user 1") << QByteArray("<STATION_CALLSIGN:2>K9") << u"W1AW"_s << u"W2AW"_s << false << false;
    QTest::newRow("unknown, default user 2") << QByteArray("<STATION_CALLSIGN:2>K9") << u"W1AW"_s << u"W2AW"_s << true << true;
    QTest::newRow("no station, no call 2: user 1") << QByteArray() << u"W1AW"_s << QString() << false << false;
    QTest::newRow("no station, no call 1, default 2") << QByteArray() << QString() << u"W2AW"_s << true << true;
}

void TestAdifConverter::user()
{
    QFETCH(QByteArray, fields);
    QFETCH(QString, call1);
    QFETCH(QString, call2);
    QFETCH(bool, user2Default);
    QFETCH(bool, user2);
    AdifImportOptions options;
    options.call1 = call1;
    options.call2 = call2;
    options.user2Default = user2Default;
    QCOMPARE(single(Base + fields + "<EOR>", options).isUser2(), user2);
}

void TestAdifConverter::missingRequiredTagsReject()
{
    for (const QByteArray tag : {"<CALL:", "<MODE:", "<QSO_DATE:", "<TIME_ON:", "<BAND:"}) {
        QByteArray adif = Base + "<EOR>";
        adif.replace(tag, "<X_" + tag.mid(1));
        QVERIFY2(rejected(adif), tag.constData());
    }
    QVERIFY(rejected("<EOR>"));
}

void TestAdifConverter::rejectedOrdinals()
{
    const QByteArray good = Base + "<EOR>\n";
    const QByteArray bad = "<CALL:4>W1AW<MODE:3>FT8<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<EOR>\n";
    const Converted c = convertText("hdr<EOH>" + good + bad + good + good + bad + bad + good);
    QCOMPARE(c.result.converted, 4);
    QCOMPARE(c.result.rejected, 3);
    QCOMPARE(c.result.rejectedList, "2 5 6");
    QCOMPARE(c.records.size(), 4);
    QCOMPARE(c.result.message(), u"Records converted:  4\r\nRecords rejected:  3\r\n2 5 6"_s);
}

void TestAdifConverter::rejectedListStopsAt99()
{
    QByteArray file;
    for (int i = 0; i < 150; ++i)
        file += "<CALL:0><EOR>";
    const Converted c = convertText(file);
    QCOMPARE(c.result.rejected, 150);
    const QList<QByteArray> listed = c.result.rejectedList.split(' ');
    QCOMPARE(listed.size(), 99);
    QCOMPARE(listed.first(), "1");
    QCOMPARE(listed.last(), "99");
}

void TestAdifConverter::lengthAboveNinetyNineIsReadWhole()
{
    // A 120-character comment that holds text looking like a CALL tag: read
    // with a two-digit length the record would take the wrong call.
    QByteArray comment = QByteArray("FIRST PART <CALL:4>FAKE ").leftJustified(120, 'x');
    const QByteArray adif = "<COMMENT:120>" + comment + Base + "<EOR>";
    const LogRecord r = single(adif);
    QCOMPARE(r.text().call, "DL1ABC");
    QCOMPARE(r.text().first, ":FIRST-PART-<CALL:4>"); // cut with the block
    // Length 100 exactly, then the tags.
    const LogRecord hundred = single("<QTH:100>" + QByteArray(100, 'q') + Base + "<EOR>");
    QCOMPARE(hundred.text().second, QByteArray(27 - 8, 'Q')); // cut with the block
    // Leading zeros are part of the length too.
    QCOMPARE(single(Base + "<NAME:00000000000000000004>HANSX<EOR>").text().first, "HANS");
    // A length beyond the file takes the rest of it: the record is cut off and counted.
    const Converted huge = convertText(Base + "<EOR><NAME:99999999999999999999999999>" + Base + "<EOR>");
    QCOMPARE(huge.result.converted, 1);
    QCOMPARE(huge.result.rejected, 1);
}

void TestAdifConverter::encodings_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("windows-1252, length in bytes") << QByteArray("<NAME:10>Juan Mu\xF1oz");
    QTest::newRow("utf-8, length in bytes") << QByteArray("<NAME:11>Juan Mu\xC3\xB1oz");
    QTest::newRow("utf-8, length in characters") << QByteArray("<NAME:10>Juan Mu\xC3\xB1oz");
    QTest::newRow("utf-8 in characters, field follows on next line") << QByteArray("<NAME:10>Juan Mu\xC3\xB1oz\r\n");
    QTest::newRow("utf-8 in bytes, field follows on next line") << QByteArray("<NAME:11>Juan Mu\xC3\xB1oz\r\n");
}

void TestAdifConverter::encodings()
{
    QFETCH(QByteArray, name);
    const LogRecord r = single(Base + name + "<QTH:3>Leon<EOR>");
    QCOMPARE(r.text().first, "JUAN-MU\xD1OZ"); // N tilde upper case, one byte
    QCOMPARE(r.text().second, "LEO");
}

void TestAdifConverter::charactersOutsideCodePage()
{
    // A name in Korean has no place in the keyer's code page: marked, not lost silently.
    const LogRecord r = single(Base + "<NAME:5>\xEB\xB0\x95 Kim<EOR>");
    QCOMPARE(r.text().first, "?-KIM");
    // A call must be exact.
    QVERIFY(rejected("<CALL:2>K\xEB\xB0\x95<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<EOR>"));
}

void TestAdifConverter::unterminatedLastRecordIsCounted()
{
    const Converted c = convertText(Base + "<EOR>" + Base);
    QCOMPARE(c.result.converted, 1);
    QCOMPARE(c.result.rejected, 1);
    QCOMPARE(c.result.rejectedList, "2");
    // Malformed text without any tag is no record.
    QCOMPARE(convertText("CALL:8DL4MFM/P QSO_DATE:8 20210101").result.rejected, 0);
}

void TestAdifConverter::multiLineValue()
{
    const LogRecord r = single(Base + "<COMMENT:13>QRP\r\nQRO < 5W<EOR>");
    QCOMPARE(r.text().first, ":QRP--QRO-<-5W");
    // A value holding "< 100 Watts" does not hide the tags behind it.
    QCOMPARE(single("<COMMENT:11>< 100 Watts" + Base + "<EOR>").text().call, "DL1ABC");
}

void TestAdifConverter::progressReachesTotal()
{
    QByteArray file = "header<EOH>";
    for (int i = 0; i < 20000; ++i)
        file += Base + "<EOR>\n";
    QBuffer in;
    in.setData(file);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    AdifConverter converter;
    QList<qint64> seen;
    converter.setProgress([&](qint64 done, qint64 total) {
        QCOMPARE(total, file.size());
        seen.append(done);
    });
    QCOMPARE(converter.convert(&in, &out).converted, 20000);
    QVERIFY(seen.size() >= 2); // more than one block
    QCOMPARE(seen.last(), file.size());
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
}

void TestAdifConverter::fileAppendsAndReverses()
{
    QTemporaryDir dir;
    const QString adif = dir.filePath(u"in.adi"_s);
    const QString native = dir.filePath(u"~adifimport.krv"_s);
    QFile file(adif);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const char *call : {"K1A", "K1B", "K1C"})
        file.write("<CALL:3>" + QByteArray(call) + "<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<EOR>\n");
    file.close();

    QCOMPARE(AdifConverter().convertFile(adif, native).converted, 3);
    AdifImportOptions reverse;
    reverse.reverse = true;
    const AdifImportResult second = AdifConverter(reverse).convertFile(adif, native);
    QCOMPARE(second.converted, 3);
    QVERIFY(second.error.isEmpty());

    NativeLogFile log;
    QVERIFY(log.open(native));
    QCOMPARE(log.count(), 6);
    QByteArray calls;
    for (int i = 0; i < 6; ++i)
        calls += LogRecord::decode(log.recordAt(i))->text().call.right(1);
    QCOMPARE(calls, "ABCCBA"); // the earlier run stays in front
}

void TestAdifConverter::emptyOutputIsRemoved()
{
    QTemporaryDir dir;
    const QString adif = dir.filePath(u"bad.adi"_s);
    QFile file(adif);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<CALL:4>W1AW<EOR>");
    file.close();
    const QString native = dir.filePath(u"out.krv"_s);
    const AdifImportResult result = AdifConverter().convertFile(adif, native);
    QCOMPARE(result.rejected, 1);
    QVERIFY(!QFile::exists(native));
}

void TestAdifConverter::unreadableInputIsAnError()
{
    QTemporaryDir dir;
    const AdifImportResult result = AdifConverter().convertFile(dir.filePath(u"none.adi"_s), dir.filePath(u"out.krv"_s));
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(u"out.krv"_s)));
}

// Records as the keyer makes them, limited to what ADIF carries: pieces
// without blanks (they come back as "-"), contest pieces only as QTH.
static LogRecord randomRecord(QRandomGenerator &random)
{
    static const QByteArray letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const auto word = [&](int min, int max) {
        QByteArray w;
        const int length = random.bounded(min, max + 1);
        for (int i = 0; i < length; ++i)
            w += letters.at(random.bounded(int(letters.size())));
        return w;
    };
    quint8 flags = quint8(random.bounded(13));
    const bool contest = random.bounded(4) == 0;
    flags |= contest ? LogFlags::Contest : 0;
    flags |= random.bounded(2) ? LogFlags::User2 : 0;
    flags |= random.bounded(2) ? LogFlags::SSB : 0;
    flags |= random.bounded(8) == 0 ? LogFlags::Duplicate : 0;
    const bool ssb = flags & LogFlags::SSB;

    const QByteArray call = word(3, 13);
    QByteArray first;
    QByteArray second;
    if (!contest) {
        const int kind = random.bounded(4);
        first = kind == 0 ? QByteArray() : kind == 1 ? ':' + word(2, 5) : kind == 2 ? '/' + word(3, 6) : word(2, 6);
    }
    if (random.bounded(2))
        second = word(2, 6);
    const int room = TextBlock::Size - int(call.size()) - 2 - int(first.size());
    second = second.left(qMax(0, room));
    // The importer puts QSL route before COMMENT and NAME before both.
    if (pieceKind(second) == PieceKind::Plain && pieceKind(first) != PieceKind::Plain && !first.isEmpty())
        second.clear();

    const QDateTime start = QDateTime(QDate(1901, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(random.bounded(6000000)) * 500);
    const QDateTime end = start.addSecs(random.bounded(5400));
    const auto report = [&]() { return ssb ? QByteArray::number(random.bounded(11, 60)) : QByteArray::number(random.bounded(111, 600)); };
    LogRecord r = makeRecord(flags, call, first, second, (ssb ? "00" : "0") + report(), (ssb ? "00" : "0") + report());
    r.start = LogTimestamp::fromDateTime(start).encode();
    if (contest)
        r.endOrSerials = QByteArray::number(random.bounded(0, 3000)).rightJustified(6, '0') + QByteArray::number(random.bounded(1, 3000)).rightJustified(6, '0');
    else
        r.endOrSerials = LogTimestamp::fromDateTime(end.date().year() > 2099 ? start : end).encode();
    r.textBlock = TextBlock::composeBytes(call, first, second);
    return r;
}

void TestAdifConverter::roundTripNativeAdifNative()
{
    QTemporaryDir dir;
    QRandomGenerator random(20240105);
    QList<QByteArray> originals;
    const QString nativePath = dir.filePath(u"log.krv"_s);
    {
        QFile native(nativePath);
        QVERIFY(native.open(QIODevice::WriteOnly));
        for (int i = 0; i < 3000; ++i) {
            originals.append(randomRecord(random).encode());
            NativeLogFile::writeRecord(&native, originals.last());
        }
    }
    const AdifStation station{u"W1AW"_s, u"W2AW"_s, u"JOE"_s, u"ANN"_s};
    QList<QByteArray> back;
    for (bool contest : {false, true}) {
        NativeLogFile log;
        QVERIFY(log.open(nativePath));
        LogExportOptions options;
        options.selection.contest = contest;
        options.station = station;
        const QString adifPath = dir.filePath(contest ? u"contest.adi"_s : u"normal.adi"_s);
        QFile adif(adifPath);
        QVERIFY(adif.open(QIODevice::WriteOnly));
        LogExport::writeAdif(log, &adif, options);
        adif.close();
        AdifImportOptions import;
        import.call1 = station.call1;
        import.call2 = station.call2;
        const QString againPath = dir.filePath(contest ? u"contest.krv"_s : u"normal.krv"_s);
        const AdifImportResult result = AdifConverter(import).convertFile(adifPath, againPath);
        QCOMPARE(result.rejected, 0);
        NativeLogFile again;
        QVERIFY(again.open(againPath));
        for (qint64 i = 0; i < again.count(); ++i)
            back.append(again.recordAt(i));
    }
    // Same records, normal ones first.
    QList<QByteArray> expected;
    for (bool contest : {false, true}) {
        for (const QByteArray &line : originals) {
            if (LogRecord::decode(line)->isContest() == contest)
                expected.append(line);
        }
    }
    QCOMPARE(back.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(back[i], expected[i]);
}

QTEST_APPLESS_MAIN(TestAdifConverter)
#include "tst_adifconverter.moc"
