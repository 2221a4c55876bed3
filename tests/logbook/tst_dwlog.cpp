#include "countrytable.h"
#include "logrecord.h"
#include "logtestdata.h"
#include "nativelogfile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The dwlog program: its three commands on real files, standard output,
// and one line plus status 2 for every kind of bad input.
class TestDwlog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void importAppendsAndReports();
    void importOptions();
    void adifSelectsAndRoundTrips();
    void listToStandardOutput();
    void nothingConvertedIsNoError();
    void countriesFromCtyDat();
    void badInput_data();
    void badInput();
    void help();

private:
    struct Run
    {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };
    Run dwlog(const QStringList &arguments);
    QString write(const QString &name, const QByteArray &data);

    std::unique_ptr<QTemporaryDir> m_dir;
};

static const QByteArray Adif =
    "Test log <EOH>\n"
    "<CALL:5>DL1AB<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1423<BAND:3>20M<STATION_CALLSIGN:4>W1AW<NAME:4>Hans<EOR>\n"
    "<CALL:5>DL2CD<MODE:3>FT8<QSO_DATE:8>20240105<TIME_ON:4>1424<BAND:3>20M<EOR>\n"
    "<CALL:5>DL3EF<MODE:3>SSB<QSO_DATE:8>19990105<TIME_ON:4>1425<FREQ:5>7.150<STATION_CALLSIGN:4>W2AW<EOR>\n"
    "<CALL:5>DL4GH<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1426<BAND:3>40M<SRX:2>12<STX:2>34<EOR>\n";

void TestDwlog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

TestDwlog::Run TestDwlog::dwlog(const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir->path());
    process.start(QStringLiteral(DWLOG_PROGRAM), arguments);
    Run run;
    if (!process.waitForFinished(30000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString TestDwlog::write(const QString &name, const QByteArray &data)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

void TestDwlog::importAppendsAndReports()
{
    const QString adif = write(u"in.adi"_s, Adif);
    const QString krv = m_dir->filePath(u"log.krv"_s);
    Run run = dwlog({u"import"_s, adif, u"--out"_s, krv, u"--call1"_s, u"W1AW"_s, u"--call2"_s, u"W2AW"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "Records converted:  3\nRecords rejected:  1\n2\n");
    QVERIFY(run.err.isEmpty());
    run = dwlog({u"import"_s, adif, u"--out"_s, krv});
    QCOMPARE(run.status, 0);
    NativeLogFile log;
    QVERIFY(log.open(krv));
    QCOMPARE(log.count(), 6); // appended
    const auto third = LogRecord::decode(log.recordAt(1));
    QCOMPARE(third->text().call, "DL3EF");
    QVERIFY(third->isUser2());
    QVERIFY(third->isSSB());
    QCOMPARE(third->bandIndex(), 9);
    QCOMPARE(third->start, "002514058199");
    QVERIFY(!LogRecord::decode(log.recordAt(4))->isUser2()); // second run without calls
}

void TestDwlog::importOptions()
{
    const QString adif = write(u"in.adi"_s, Adif);
    const Run run = dwlog({u"import"_s, adif, u"--out=-"_s, u"--contest"_s, u"--user2"_s, u"--reverse"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out.size(), 3 * 90); // records on standard output
    QVERIFY(run.err.startsWith("Records converted:  3\n"));
    const auto first = LogRecord::decode(run.out.left(88));
    QCOMPARE(first->text().call, "DL4GH"); // reversed
    QVERIFY(first->isContest());
    QVERIFY(first->isUser2());
    QCOMPARE(first->endOrSerials, "000012000034");
    QVERIFY(LogRecord::decode(run.out.mid(180, 88))->isContest());
}

void TestDwlog::adifSelectsAndRoundTrips()
{
    QTemporaryDir dir;
    QByteArray native;
    native += makeRecord(0x07, "K1A", "JOE").encode() + "\r\n";
    native += makeRecord(0x17, "K1B", {}, {}, "0599", "0599", "000000010124").encode() + "\r\n";
    native += makeRecord(0x27, "K1C", {}, {}, "0599", "0599", "000005000006").encode() + "\r\n";
    native += makeRecord(0x07, "K1D").encode() + "\r\n";
    const QString krv = write(u"log.krv"_s, native);
    const QString adi = m_dir->filePath(u"out.adi"_s);
    Run run = dwlog({u"adif"_s, krv, u"--out"_s, adi, u"--call1"_s, u"W1AW"_s, u"--call2"_s, u"W2AW"_s,
                     u"--oper1"_s, u"JIM"_s, u"--reverse"_s});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "3 records have been saved in ADIF format\n");
    QFile file(adi);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("LOGGER:<PROGRAMID:14>THE DASHWRIGHT"));
    QVERIFY(text.indexOf("<CALL:3>K1D") < text.indexOf("<CALL:3>K1B"));
    QVERIFY(text.indexOf("<CALL:3>K1B") < text.indexOf("<CALL:3>K1A"));
    QVERIFY(!text.contains("K1C"));
    QVERIFY(text.contains("<CALL:3>K1A<NAME:3>JOE"));
    QVERIFY(text.contains("<STATION_CALLSIGN:4>W2AW<EOR>"));
    QVERIFY(text.contains("<STATION_CALLSIGN:4>W1AW<OPERATOR:3>JIM<EOR>"));

    run = dwlog({u"adif"_s, krv, u"--out"_s, u"-"_s, u"--contest"_s});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains("<CALL:3>K1C") && run.out.contains("<SRX:6>000005<STX:6>000006"));
    QCOMPARE(run.out.count("<EOR>"), 1);
    QCOMPARE(run.err, "1 records have been saved in ADIF format\n");

    // Back to native: the same records.
    const QString again = m_dir->filePath(u"again.krv"_s);
    run = dwlog({u"adif"_s, krv, u"--out"_s, adi, u"--call1"_s, u"W1AW"_s, u"--call2"_s, u"W2AW"_s, u"--only-user"_s, u"2"_s});
    QCOMPARE(run.out, "1 records have been saved in ADIF format\n");
    run = dwlog({u"import"_s, adi, u"--out"_s, again, u"--call1"_s, u"W1AW"_s, u"--call2"_s, u"W2AW"_s});
    QCOMPARE(run.status, 0);
    QFile back(again);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), native.mid(90, 90));
}

void TestDwlog::listToStandardOutput()
{
    QByteArray native;
    native += makeRecord(0x07, "K1A", "JOE").encode() + "\r\n";
    native += makeRecord(0x17, "K1B").encode() + "\r\n";
    const QString krv = write(u"log.krv"_s, native);
    Run run = dwlog({u"list"_s, krv, u"--out"_s, u"-"_s, u"--only-user"_s, u"1"_s});
    QCOMPARE(run.status, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith("Date        Band Mode Start End"));
    QCOMPARE(lines[2].size(), 85); // 84 + CR
    QVERIFY(lines[2].contains("K1A          JOE"));
    QCOMPARE(run.err, "1 records have been saved in list format\n");
    const QString txt = m_dir->filePath(u"list.txt"_s);
    run = dwlog({u"list"_s, krv, u"--out"_s, txt, u"--contest"_s});
    QCOMPARE(run.out, "0 records have been saved in list format\n");
    QFile file(txt);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("Date        Band Mode Start    Call"));
}

void TestDwlog::nothingConvertedIsNoError()
{
    const QString adif = write(u"empty.adi"_s, "just a header <EOH>\n");
    const Run run = dwlog({u"import"_s, adif, u"--out"_s, m_dir->filePath(u"x.krv"_s)});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, "Records converted:  0\nRecords rejected:  0\n");
    QVERIFY(!QFile::exists(m_dir->filePath(u"x.krv"_s)));
}

void TestDwlog::countriesFromCtyDat()
{
    const QString cty = write(u"cty.dat"_s,
                              "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\n"
                              "    DA,DB,DL,=DL0XYZ,Y2(14)[28];\n"
                              "Hawaii:                   31:  61:  OC:   21.12:   157.48:    10.0:  KH6:\n"
                              "    AH6,KH6,NH7;\n");
    const QString out = m_dir->filePath(u"countries.txt"_s);
    Run run = dwlog({u"countries"_s, cty, u"--out"_s, out});
    QCOMPARE(run.status, 0);
    CountryTable table;
    QCOMPARE(table.load(out), QStringList());
    QCOMPARE(table.country(u"DL1ABC"_s), u"Germany"_s);
    QCOMPARE(table.country(u"Y21XY"_s), u"Germany"_s);
    QCOMPARE(table.country(u"KH6ABC"_s), u"Hawaii"_s);
    QCOMPARE(table.country(u"NH7A"_s), u"Hawaii"_s);
    // Standard output gets the same text.
    run = dwlog({u"countries"_s, cty, u"--out"_s, u"-"_s});
    QCOMPARE(run.status, 0);
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(run.out, written.readAll());
    // A file with no entity in it is bad input, and the old list stays.
    const QString empty = write(u"empty.dat"_s, "nothing here\n");
    run = dwlog({u"countries"_s, empty, u"--out"_s, out});
    QCOMPARE(run.status, 2);
    QCOMPARE(table.load(out), QStringList());
    QCOMPARE(table.country(u"DL1ABC"_s), u"Germany"_s);
}

void TestDwlog::badInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("no command") << QStringList() << QByteArray("no command");
    QTest::newRow("unknown command") << QStringList{u"export"_s, u"a"_s, u"--out"_s, u"b"_s} << QByteArray("unknown command");
    QTest::newRow("missing adif file") << QStringList{u"import"_s, u"missing.adi"_s, u"--out"_s, u"x.krv"_s} << QByteArray("cannot read missing.adi");
    QTest::newRow("missing native file") << QStringList{u"adif"_s, u"missing.krv"_s, u"--out"_s, u"x.adi"_s} << QByteArray("cannot read missing.krv");
    QTest::newRow("directory as input") << QStringList{u"list"_s, u"."_s, u"--out"_s, u"x.txt"_s} << QByteArray("cannot read .");
    QTest::newRow("no --out") << QStringList{u"list"_s, u"log.krv"_s} << QByteArray("needs --out");
    QTest::newRow("--out without value") << QStringList{u"list"_s, u"log.krv"_s, u"--out"_s} << QByteArray("needs a value");
    QTest::newRow("unknown option") << QStringList{u"adif"_s, u"log.krv"_s, u"--out"_s, u"x"_s, u"--user2"_s} << QByteArray("unknown option --user2");
    QTest::newRow("bad user") << QStringList{u"list"_s, u"log.krv"_s, u"--out"_s, u"x"_s, u"--only-user"_s, u"3"_s} << QByteArray("--only-user takes 1 or 2");
    QTest::newRow("two inputs") << QStringList{u"list"_s, u"a"_s, u"b"_s, u"--out"_s, u"x"_s} << QByteArray("more than one input");
    QTest::newRow("unwritable output") << QStringList{u"list"_s, u"log.krv"_s, u"--out"_s, u"no/such/dir/x.txt"_s} << QByteArray("cannot write no/such/dir/x.txt");
}

void TestDwlog::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    write(u"log.krv"_s, makeRecord(0x07, "K1A").encode() + "\r\n");
    const Run run = dwlog(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.startsWith("dwlog: ") && run.err.contains(message), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.out.isEmpty());
}

void TestDwlog::help()
{
    const Run run = dwlog({u"--help"_s});
    QCOMPARE(run.status, 0);
    for (const char *word : {"import", "adif", "list", "--out", "--only-user", "--reverse", "--user2", "--oper2", "Exit status"})
        QVERIFY2(run.out.contains(word), word);
}

QTEST_GUILESS_MAIN(TestDwlog)
#include "tst_dwlog.moc"
