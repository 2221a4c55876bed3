#include "listlineformatter.h"
#include "logtestdata.h"

#include <QTest>

using namespace Qt::StringLiterals;

// List lines: fixed columns of both layouts, piece rendering, reports,
// serial numbers, the duplicate mark and the selection.
class TestListLineFormatter : public QObject
{
    Q_OBJECT

private slots:
    void headers();
    void normalLine();
    void contestLine();
    void lineLengthsAreFixed_data();
    void lineLengthsAreFixed();
    void infoColumn_data();
    void infoColumn();
    void serialColumns_data();
    void serialColumns();
    void selection_data();
    void selection();
};

void TestListLineFormatter::headers()
{
    QCOMPARE(ListLineFormatter::headerLine(false),
             "Date        Band Mode Start End   Call         Info                   S-RST R-RST Dup");
    QCOMPARE(ListLineFormatter::headerLine(true),
             "Date        Band Mode Start    Call         Info                   S-RST R-RST S-Nr   R-Nr   Dup");
}

void TestListLineFormatter::normalLine()
{
    const LogRecord record = makeRecord(0x07, "DL1ABC", "HANS", "BERLIN", "0579", "0589", "002114051024", "090714051024");
    QCOMPARE(ListLineFormatter::formatLine(record, {}),
             "2024-10-05  20M  CW   14:07 14:21 DL1ABC       HANS BERLIN            589   579     ");
    // Phone reports are two characters and four blanks; 1998 by the month offset.
    const LogRecord phone = makeRecord(0xCC, "G4X", {}, {}, "0059", "0057", "000023079298", "000023079298");
    QCOMPARE(ListLineFormatter::formatLine(phone, {}),
             "1998-12-07  160M SSB  23:00 23:00 G4X                                 57    59     X");
}

void TestListLineFormatter::contestLine()
{
    const LogRecord record = makeRecord(0x29, "OH2XX", "15", {}, "0599", "0599", "000042000017", "595923318199");
    QCOMPARE(ListLineFormatter::formatLine(record, {true, false, false}),
             "1999-01-31  40M  CW   23:59:59 OH2XX        15                     599   599   000017 000042   ");
}

void TestListLineFormatter::lineLengthsAreFixed_data()
{
    QTest::addColumn<quint8>("flags");
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("13 character call, long pieces") << quint8(0x0C) << QByteArray("DL1ABC/P/QRPX") << QByteArray("ABCDEFGHIJKL") << QByteArray("MNOPQRSTUVWX");
    QTest::newRow("no text") << quint8(0x40) << QByteArray("K1") << QByteArray() << QByteArray();
    QTest::newRow("contest, long pieces") << quint8(0x20) << QByteArray("DL1ABC/P/QRPX") << QByteArray("ABCDEFGHIJKL") << QByteArray("MNOPQRSTUVWX");
    QTest::newRow("contest phone duplicate") << quint8(0xE0) << QByteArray("K1") << QByteArray() << QByteArray();
}

void TestListLineFormatter::lineLengthsAreFixed()
{
    QFETCH(quint8, flags);
    QFETCH(QByteArray, call);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    const bool contest = flags & LogFlags::Contest;
    const QByteArray line = ListLineFormatter::formatLine(makeRecord(flags, call, first, second), {contest, false, false});
    QCOMPARE(line.size(), contest ? 95 : 84);
    // The call column sits where the list window picks it up.
    QCOMPARE(line.mid(contest ? 31 : 34, 13).trimmed(), call);
}

void TestListLineFormatter::infoColumn_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("info");
    QTest::newRow("empty first, second set: leading blank") << QByteArray() << QByteArray("BERLIN") << QByteArray(" BERLIN");
    QTest::newRow("comment") << QByteArray(":QRP") << QByteArray() << QByteArray("QRP");
    QTest::newRow("colon alone") << QByteArray(":") << QByteArray("X") << QByteArray(" X");
    QTest::newRow("via") << QByteArray("HANS") << QByteArray("/DL1XYZ") << QByteArray("HANS Via: DL1XYZ");
    QTest::newRow("slash alone") << QByteArray("/") << QByteArray() << QByteArray();
    QTest::newRow("underscores") << QByteArray("JUAN_C") << QByteArray(":GOOD_SIG") << QByteArray("JUAN C GOOD SIG");
    QTest::newRow("cut to 23") << QByteArray("ABCDEFGHIJKLMN") << QByteArray("OPQRSTUVWX") << QByteArray("ABCDEFGHIJKLMN OPQRSTUV");
}

void TestListLineFormatter::infoColumn()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, info);
    const QByteArray line = ListLineFormatter::formatLine(makeRecord(0x07, "K1", first, second), {});
    QCOMPARE(line.mid(47, 23), info.leftJustified(23, ' '));
    const QByteArray contest = ListLineFormatter::formatLine(makeRecord(0x27, "K1", first, second), {true, false, false});
    QCOMPARE(contest.mid(44, 23), info.leftJustified(23, ' '));
}

void TestListLineFormatter::serialColumns_data()
{
    QTest::addColumn<QByteArray>("serials");
    QTest::addColumn<QByteArray>("columns");
    QTest::newRow("sent 12, received 0") << QByteArray("000000000012") << QByteArray("000012        ");
    QTest::newRow("both") << QByteArray("123456000001") << QByteArray("000001 123456 ");
    QTest::newRow("none") << QByteArray("000000000000") << QByteArray("              ");
}

void TestListLineFormatter::serialColumns()
{
    QFETCH(QByteArray, serials);
    QFETCH(QByteArray, columns);
    const QByteArray line = ListLineFormatter::formatLine(makeRecord(0x27, "K1", {}, {}, "0599", "0599", serials), {true, false, false});
    QCOMPARE(line.mid(79, 14), columns);
}

void TestListLineFormatter::selection_data()
{
    QTest::addColumn<quint8>("flags");
    QTest::addColumn<bool>("contest");
    QTest::addColumn<bool>("onlyUser");
    QTest::addColumn<bool>("user2");
    QTest::addColumn<bool>("rendered");
    QTest::newRow("normal in normal mode") << quint8(0x07) << false << false << false << true;
    QTest::newRow("normal in contest mode") << quint8(0x07) << true << false << false << false;
    QTest::newRow("contest in normal mode") << quint8(0x27) << false << false << false << false;
    QTest::newRow("user 2 when user 1 active") << quint8(0x17) << false << true << false << false;
    QTest::newRow("user 2 when user 2 active") << quint8(0x17) << false << true << true << true;
    QTest::newRow("user 1 when user 2 active") << quint8(0x07) << false << true << true << false;
    QTest::newRow("user 2, all users") << quint8(0x17) << false << false << false << true;
}

void TestListLineFormatter::selection()
{
    QFETCH(quint8, flags);
    QFETCH(bool, contest);
    QFETCH(bool, onlyUser);
    QFETCH(bool, user2);
    QFETCH(bool, rendered);
    QCOMPARE(!ListLineFormatter::formatLine(makeRecord(flags, "K1"), {contest, onlyUser, user2}).isEmpty(), rendered);
}

QTEST_APPLESS_MAIN(TestListLineFormatter)
#include "tst_listlineformatter.moc"
