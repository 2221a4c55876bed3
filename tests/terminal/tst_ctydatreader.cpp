#include "ctydatreader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A few entities in the shared country-file layout, with the overrides,
// exact calls and non-DXCC entries that real files carry.
static const char sampleCty[] =
    "Sov Mil Order of Malta:   15:  28:  EU:   41.90:   -12.43:    -1.0:  1A:\r\n"
    "    1A;\r\n"
    "Fiji:                     32:  56:  OC:  -17.78:  -177.92:   -12.0:  3D2:\r\n"
    "    3D2;\r\n"
    "Conway Reef:              32:  56:  OC:  -22.00:  -175.00:   -12.0:  3D2/c:\r\n"
    "    =3D2CR,=3D2CCC;\r\n"
    "Germany:                  14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\r\n"
    "    DA,DB,DC,DD,DF,DG,DH,DJ,DK,DL,DM,DN,DO,DP,DQ,DR,=DL0ABC/LH,\r\n"
    "    Y2(14)[28],dl;\r\n"
    "Hawaii:                   31:  61:  OC:   21.12:   157.48:    10.0:  KH6:\r\n"
    "    AH6,AH7,KH6,KH7,NH6,NH7,WH6,WH7,=AH2DY;\r\n"
    "Kure Island:              31:  61:  OC:   29.00:   178.00:    10.0:  KH7K:\r\n"
    "    AH7K,KH7K,NH7K,WH7K;\r\n"
    "Sicily:                   15:  28:  EU:   37.50:   -14.00:    -1.0:  *IT9:\r\n"
    "    IB9,IT9,IW9;\r\n"
    "European Russia:          16:  29:  EU:   53.65:   -41.37:    -4.0:  R:\r\n"
    "    R,U,R1FJ<80.2/-55.0>,UA2F{EU}~-2.0~,RI1ANT,RA9X(17),\r\n"
    "    KH6;\r\n"
    "A Country Name That Is Much Longer Than Forty Characters:  1:  1:  NA:  0.0:  0.0:  0.0:  ZZ9:\r\n"
    "    ZZ9;\r\n";

class TestCtyDatReader : public QObject
{
    Q_OBJECT

private slots:
    void convertsEntities();
    void lookUps_data();
    void lookUps();
    void warnsAboutWhatItCannotTake();
    void fileConversion();
    void fileConversionFailures();
};

void TestCtyDatReader::convertsEntities()
{
    const CtyDatConversion c = convertCtyDat(QString::fromLatin1(sampleCty));
    QCOMPARE(c.entities, 8);
    QCOMPARE(c.skippedEntities, 1);

    // The result is a countries.txt the loader takes without one message.
    CountryTable table;
    QVERIFY(table.loadText(countriesFileText(c.entries, u"cty.dat"_s)).isEmpty());
    QCOMPARE(table.size(), c.entries.size());
    for (const CountryEntry &e : c.entries)
        QVERIFY2(!e.prefix.contains(u'='), qPrintable(e.prefix));
}

void TestCtyDatReader::lookUps_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("country");

    QTest::newRow("primary prefix") << u"1A0KM"_s << u"Sov Mil Order of Malta"_s;
    QTest::newRow("listed prefix") << u"DK1ABC"_s << u"Germany"_s;
    QTest::newRow("lower-case prefix upper-cased") << u"DL1ABC"_s << u"Germany"_s;
    QTest::newRow("zone overrides stripped") << u"Y21AB"_s << u"Germany"_s;
    QTest::newRow("four-character prefix") << u"KH7KY"_s << u"Kure Island"_s;
    QTest::newRow("three-character prefix") << u"KH7AB"_s << u"Hawaii"_s;
    QTest::newRow("position override stripped") << u"R1FJA"_s << u"European Russia"_s;
    QTest::newRow("continent and offset stripped") << u"UA2FZ"_s << u"European Russia"_s;
    QTest::newRow("fiji keeps 3D2, the reef has only exact calls") << u"3D2CR"_s << u"Fiji"_s;
    QTest::newRow("entity outside the DXCC list left out") << u"IT9ABC"_s << QString();
    QTest::newRow("long name cut to forty") << u"ZZ9AA"_s << u"A Country Name That Is Much Longer Than"_s;
}

void TestCtyDatReader::lookUps()
{
    QFETCH(QString, call);
    QFETCH(QString, country);
    CountryTable table;
    table.loadText(countriesFileText(convertCtyDat(QString::fromLatin1(sampleCty)).entries, u"cty.dat"_s));
    QCOMPARE(table.country(call), country);
}

void TestCtyDatReader::warnsAboutWhatItCannotTake()
{
    const CtyDatConversion c = convertCtyDat(QString::fromLatin1(sampleCty));
    // Five characters do not fit the prefix column; a prefix of another
    // entity keeps its first owner.
    QCOMPARE(c.warnings,
             (QStringList{u"European Russia: prefix RI1ANT skipped (countries.txt takes 1 to 4 letters and digits)"_s,
                          u"European Russia: prefix KH6 skipped (already listed for Hawaii)"_s}));
    CountryTable table;
    table.loadText(countriesFileText(c.entries, u"cty.dat"_s));
    QCOMPARE(table.country(u"KH6ABC"_s), u"Hawaii"_s);
}

void TestCtyDatReader::fileConversion()
{
    QTemporaryDir dir;
    const QString cty = dir.filePath(u"cty.dat"_s);
    const QString out = dir.filePath(u"countries.txt"_s);
    QFile in(cty);
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(sampleCty);
    in.close();

    QString error;
    QStringList warnings;
    QVERIFY2(convertCtyDatFile(cty, out, &error, &warnings), qPrintable(error));
    QCOMPARE(warnings.size(), 2);
    CountryTable table;
    QVERIFY(table.load(out).isEmpty());
    QCOMPARE(table.country(u"WH6ABC"_s), u"Hawaii"_s);
    QCOMPARE(table.country(u"AH7KX"_s), u"Kure Island"_s);
}

void TestCtyDatReader::fileConversionFailures()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"countries.txt"_s);
    QString error;
    QVERIFY(!convertCtyDatFile(dir.filePath(u"missing.dat"_s), out, &error));
    QVERIFY(error.contains(u"missing.dat"_s));
    QVERIFY(!QFile::exists(out));

    // Text without entity records must not replace a good countries.txt.
    QFile good(out);
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("DL   Germany\n");
    good.close();
    const QString junk = dir.filePath(u"junk.dat"_s);
    QFile j(junk);
    QVERIFY(j.open(QIODevice::WriteOnly));
    j.write("this is not a country file\n");
    j.close();
    QVERIFY(!convertCtyDatFile(junk, out, &error));
    QVERIFY(error.contains(u"no country entries"_s));
    CountryTable table;
    table.load(out);
    QCOMPARE(table.country(u"DL1ABC"_s), u"Germany"_s);
}

QTEST_GUILESS_MAIN(TestCtyDatReader)
#include "tst_ctydatreader.moc"
