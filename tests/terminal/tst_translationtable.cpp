#include "remotetable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTranslationTable : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void translate();
    void missingFileEmptiesTable();
};

void TestTranslationTable::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("plain") << u"a,b"_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("blanks around unquoted fields") << u"  a ,  b  "_s << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("quoted comma and blank") << u"\",\", \" \""_s << QStringList{u","_s, u" "_s};
    QTest::newRow("trailing comma gives an empty field") << u"a,"_s << QStringList{u"a"_s, QString()};
    QTest::newRow("empty line") << u"   "_s << QStringList{};
    QTest::newRow("one field") << u"x"_s << QStringList{u"x"_s};
}

void TestTranslationTable::fields()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(TranslationTable::splitFields(line), fields);
}

void TestTranslationTable::translate()
{
    TranslationTable table;
    const QStringList messages = table.loadText(u"ab,c\na,b\n\" \",x\n\",\",\";\"\na,c\nonly\n=,\nü,u\nx,yz\r\n"_s);
    // The blank source is skipped silently, the lines without two one-character fields reported.
    QCOMPARE(messages.size(), 4);
    QCOMPARE(messages.first(), u"Line 1 of remote.txt ignored: it must hold two fields of one character each"_s);
    QCOMPARE(table.pairs().size(), 4);
    QCOMPARE(table.translate(u"a"_s), u"b"_s);          // the first pair wins
    QCOMPARE(table.translate(u","_s), u";"_s);
    QCOMPARE(table.translate(u"ü"_s), u"u"_s);
    QCOMPARE(table.translate(u" "_s), u" "_s);
    QCOMPARE(table.translate(u"aa"_s), u"aa"_s);       // only a whole one-character text
    QCOMPARE(table.translate(u"z"_s), u"z"_s);
}

void TestTranslationTable::missingFileEmptiesTable()
{
    QTemporaryDir dir;
    TranslationTable table;
    table.loadText(u"a,b\n"_s);
    table.load(dir.filePath(u"remote.txt"_s));
    QVERIFY(table.pairs().isEmpty());

    QFile file(dir.filePath(u"remote.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"#\",\"*\"\r\n\xE9,e\r\n"); // Windows-1252
    file.close();
    table.load(file.fileName());
    QCOMPARE(table.translate(u"#"_s), u"*"_s);
    QCOMPARE(table.translate(u"é"_s), u"e"_s);
}

QTEST_GUILESS_MAIN(TestTranslationTable)
#include "tst_translationtable.moc"
