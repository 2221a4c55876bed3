#include "countrytable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCountryTable : public QObject
{
    Q_OBJECT

private slots:
    void loaderRules_data();
    void loaderRules();
    void lookUp_data();
    void lookUp();
    void missingFileLeavesTableEmpty();
    void fileWithWindowsLineEndsLoads();
    void installCopiesOnlyWhenMissing();
};

static const QString sampleTable = uR"(; test prefixes
D    Federal Republic of Germany
DL   Germany
G    England
GM   Scotland
K    United States
KH6  Hawaii
KH7K Kure Island
KL   Alaska
VE   Canada
)"_s;

void TestCountryTable::loaderRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("prefixes");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("ordered file, all taken")
        << u"DL   Germany\nG    England\nGM   Scotland\n"_s
        << QStringList{u"DL  "_s, u"G   "_s, u"GM  "_s} << QStringList{};
    QTest::newRow("duplicate prefix is a sequence error")
        << u"DL   Germany\nDL   Germany again\nG    England\n"_s
        << QStringList{u"DL  "_s, u"G   "_s}
        << QStringList{u"Sequence error in countries.txt at DL"_s};
    QTest::newRow("descending prefix is a sequence error, later lines compare with the last taken")
        << u"G    England\nDL   Germany\nGM   Scotland\n"_s
        << QStringList{u"G   "_s, u"GM  "_s}
        << QStringList{u"Sequence error in countries.txt at DL"_s};
    QTest::newRow("blank pads sort before letters and digits")
        << u"K    United States\nK1   United States\nKH6  Hawaii\n"_s
        << QStringList{u"K   "_s, u"K1  "_s, u"KH6 "_s} << QStringList{};
    QTest::newRow("comments anywhere are skipped and not order-checked")
        << u";first\nG    England\n; ZZZZ a comment that would be out of order\nGM   Scotland\n  ;indented\n"_s
        << QStringList{u"G   "_s, u"GM  "_s} << QStringList{};
    QTest::newRow("lines of six characters or fewer are skipped")
        << u"G    E\nGM   Scotland\nK    US\n\n   \n"_s
        << QStringList{u"GM  "_s, u"K   "_s} << QStringList{};
    QTest::newRow("prefix is upper-cased and the line trimmed")
        << u"   kh6  Hawaii   \n"_s << QStringList{u"KH6 "_s} << QStringList{};
    QTest::newRow("prefix with a sign is a prefix error")
        << u"D-L  Germany\nG    England\n"_s
        << QStringList{u"G   "_s} << QStringList{u"Country prefix error in countries.txt at D-L"_s};
    QTest::newRow("prefix running into the separator column is a prefix error")
        << u"KH6XY Hawaii\n"_s << QStringList{} << QStringList{u"Country prefix error in countries.txt at KH6X"_s};
    QTest::newRow("blank inside the prefix field is a prefix error")
        << u"K United States\n"_s << QStringList{} << QStringList{u"Country prefix error in countries.txt at K UN"_s};
}

void TestCountryTable::loaderRules()
{
    QFETCH(QString, text);
    QFETCH(QStringList, prefixes);
    QFETCH(QStringList, messages);

    CountryTable table;
    QCOMPARE(table.loadText(text), messages);
    QStringList loaded;
    for (const CountryEntry &e : table.entries())
        loaded.append(e.prefix);
    QCOMPARE(loaded, prefixes);
}

void TestCountryTable::lookUp_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("country");

    QTest::newRow("one-letter prefix") << u"K1ABC"_s << u"United States"_s;
    QTest::newRow("two-letter prefix") << u"DL1XYZ"_s << u"Germany"_s;
    QTest::newRow("longest prefix wins") << u"GM3ABC"_s << u"Scotland"_s;
    QTest::newRow("three-character prefix") << u"KH6ABC"_s << u"Hawaii"_s;
    QTest::newRow("four-character prefix") << u"KH7KAB"_s << u"Kure Island"_s;
    QTest::newRow("four-character prefix falls back to three") << u"KH6K"_s << u"Hawaii"_s;
    QTest::newRow("lower case and blanks") << u"  kl7xyz "_s << u"Alaska"_s;
    QTest::newRow("portable prefix before stroke") << u"DL/G3ABC"_s << u"Germany"_s;
    QTest::newRow("portable district prefix") << u"KH6/DL1AB"_s << u"Hawaii"_s;
    QTest::newRow("suffix after the fourth character does not count") << u"G3ABC/P"_s << u"England"_s;
    QTest::newRow("three-character call") << u"K1A"_s << u"United States"_s;
    QTest::newRow("two-character call is not looked up") << u"DL"_s << QString();
    QTest::newRow("call starting with a sign is not looked up") << u"/DL1AB"_s << QString();
    QTest::newRow("deleted record") << u"-DL1ABC"_s << u"Deleted Log Entry"_s;
    QTest::newRow("no prefix matches") << u"ZS6ABC"_s << QString();
    QTest::newRow("one-letter fallback") << u"DA1AB"_s << u"Federal Republic of Germany"_s;
}

void TestCountryTable::lookUp()
{
    QFETCH(QString, call);
    QFETCH(QString, country);

    CountryTable table;
    QVERIFY(table.loadText(sampleTable).isEmpty());
    QCOMPARE(table.country(call), country);
}

void TestCountryTable::missingFileLeavesTableEmpty()
{
    QTemporaryDir dir;
    CountryTable table;
    table.loadText(sampleTable);
    QVERIFY(table.load(dir.filePath(u"countries.txt"_s)).isEmpty());
    QVERIFY(table.isEmpty());
    QCOMPARE(table.country(u"DL1ABC"_s), QString());
}

void TestCountryTable::fileWithWindowsLineEndsLoads()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"countries.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; comment\r\nDL   Germany\r\nG    England\r\nGM   Scotland and more text that goes past forty characters\r\n"
               "OE   \xD6sterreich\r\n"); // Windows-1252
    file.close();
    CountryTable table;
    QVERIFY(table.load(file.fileName()).isEmpty());
    QCOMPARE(table.size(), 4);
    QCOMPARE(table.country(u"OE1XYZ"_s), u"Österreich"_s);
    QCOMPARE(table.country(u"GM4AAA"_s), u"Scotland and more text that goes past fo"_s);
    QCOMPARE(table.country(u"GM4AAA"_s).size(), CountryTable::NameLength);
}

void TestCountryTable::installCopiesOnlyWhenMissing()
{
    QTemporaryDir program;
    QTemporaryDir data;
    const QString shipped = program.filePath(u"countries.txt"_s);
    const QString installed = data.filePath(u"countries.txt"_s);

    QVERIFY(!installDefaultCountries(data.path(), program.path()));
    QVERIFY(!QFile::exists(installed));

    QFile source(shipped);
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("DL   Germany\n");
    source.close();
    QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadOther);

    QVERIFY(installDefaultCountries(data.path(), program.path()));
    CountryTable table;
    table.load(installed);
    QCOMPARE(table.country(u"DL1ABC"_s), u"Germany"_s);
    QVERIFY(QFile::permissions(installed) & QFileDevice::WriteOwner);

    // The operator's own file is never overwritten.
    QFile own(installed);
    QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
    own.write("G    England\n");
    own.close();
    QVERIFY(installDefaultCountries(data.path(), program.path()));
    table.load(installed);
    QCOMPARE(table.country(u"DL1ABC"_s), QString());
    QCOMPARE(table.country(u"G3ABC"_s), u"England"_s);
}

QTEST_GUILESS_MAIN(TestCountryTable)
#include "tst_countrytable.moc"
