#include "messageload.h"
#include "messagestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using Files = QMap<int, QByteArray>;

// The message set's stream and the capacity count, on files in a
// temporary message store.
class TestMessageLoad : public QObject
{
    Q_OBJECT

private slots:
    void stream_data();
    void stream();
    void capacity_data();
    void capacity();
    void vanishedFileIsSkipped();

private:
    static void writeFiles(const Files &files);
    static QByteArray wholeStream(const MessageLoad::Survey &survey);
};

void TestMessageLoad::writeFiles(const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QVERIFY(MessageStore::write(MessageStore::fileName(it.key()), it.value()).isEmpty());
}

QByteArray TestMessageLoad::wholeStream(const MessageLoad::Survey &survey)
{
    MessageLoad load(survey);
    QByteArray stream, part;
    while (load.next(&part))
        stream += part;
    return stream;
}

void TestMessageLoad::stream_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<qint64>("total");
    QTest::newRow("only message 00: abc") << Files{{0, "abc"}} << "abc\0\0"_ba << qint64(4);
    QTest::newRow("only message 37: xy") << Files{{37, "xy"}} << "<37>xy\0\0"_ba << qint64(3);
    QTest::newRow("an empty file") << Files{{5, ""}} << "<05>\0\0"_ba << qint64(1);
    // The count takes the whole file; the stream ends the body at the NUL.
    QTest::newRow("a NUL inside") << Files{{0, "ab\0cd"_ba}} << "ab\0\0"_ba << qint64(6);
    QTest::newRow("ascending, gaps unmarked") << Files{{99, "z"}, {0, ""}, {7, "\xC4 x"}}
                                              << "\0<07>\xC4 x\0<99>z\0\0"_ba << qint64(1 + 4 + 2);
}

void TestMessageLoad::stream()
{
    QFETCH(Files, files);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    writeFiles(files);
    const MessageLoad::Survey survey = MessageLoad::survey();
    QTEST(survey.total, "total");
    QCOMPARE(survey.present, files.keys());
    QTEST(wholeStream(survey), "stream");
}

void TestMessageLoad::capacity_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<qint64>("excess");
    // Each message takes its length plus its NUL; headers are not counted.
    QTest::newRow("exactly 540300 in one") << Files{{0, QByteArray(540299, 'e')}} << qint64(0);
    QTest::newRow("exactly 540300 in two") << Files{{12, QByteArray(270149, 'e')}, {50, QByteArray(270149, 't')}}
                                           << qint64(0);
    QTest::newRow("one byte more") << Files{{0, QByteArray(540300, 'e')}} << qint64(1);
}

void TestMessageLoad::capacity()
{
    QFETCH(Files, files);
    QFETCH(qint64, excess);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    writeFiles(files);
    const MessageLoad::Survey survey = MessageLoad::survey();
    QCOMPARE(survey.excess(), excess);
    QCOMPARE(survey.total > MessageLoad::Capacity, excess > 0);
}

void TestMessageLoad::vanishedFileIsSkipped()
{
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    writeFiles({{3, "aa"}, {4, "bb"}});
    const MessageLoad::Survey survey = MessageLoad::survey();
    QVERIFY(QFile::remove(MessageStore::fileName(4)));
    // The end of the set still closes the stream.
    QCOMPARE(wholeStream(survey), "<03>aa\0\0"_ba);
}

QTEST_GUILESS_MAIN(TestMessageLoad)
#include "tst_messageload.moc"
