#include "entrysplitter.h"
#include "workingbuffer.h"

#include <QByteArrayList>
#include <QTest>

using lintover::WorkingBuffer;

class TestWorkingBuffer : public QObject
{
    Q_OBJECT

private slots:
    void assignRefusesTextBeyondCapacity_data();
    void assignRefusesTextBeyondCapacity();
    void replaceAllExpandsEveryPlaceholder_data();
    void replaceAllExpandsEveryPlaceholder();
    void splitterSkipsEmptyAndOversizeEntries_data();
    void splitterSkipsEmptyAndOversizeEntries();
};

void TestWorkingBuffer::assignRefusesTextBeyondCapacity_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("folder list") << QByteArray("C:\\Prog\\LogFiles|C:\\Prog\\Messages") << true;
    QTest::newRow("4095 characters fill the buffer") << QByteArray(4095, 'a') << true;
    QTest::newRow("4096 characters") << QByteArray(4096, 'a') << false;
    QTest::newRow("far beyond") << QByteArray(100000, 'a') << false;
}

void TestWorkingBuffer::assignRefusesTextBeyondCapacity()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, accepted);
    WorkingBuffer buffer;
    QCOMPARE(buffer.assign(text.constData()), accepted);
    // A refused text leaves nothing behind that could be taken for a folder.
    const QByteArray expected = accepted ? text : QByteArray();
    QCOMPARE(QByteArray(buffer.text()), expected);
    QCOMPARE(buffer.length(), std::size_t(expected.size()));
}

void TestWorkingBuffer::replaceAllExpandsEveryPlaceholder_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("installation folder longer than the placeholder")
        << QByteArray("<InstallDir>\\LogFiles|<InstallDir>\\Messages")
        << QByteArray("C:\\Program Files\\Dashwright") << true
        << QByteArray("C:\\Program Files\\Dashwright\\LogFiles|C:\\Program Files\\Dashwright\\Messages");
    QTest::newRow("installation folder shorter than the placeholder")
        << QByteArray("<InstallDir>\\LogFiles|<InstallDir>\\Messages") << QByteArray("C:\\K") << true
        << QByteArray("C:\\K\\LogFiles|C:\\K\\Messages");
    QTest::newRow("adjacent placeholders")
        << QByteArray("<InstallDir><InstallDir>") << QByteArray("ab") << true << QByteArray("abab");
    QTest::newRow("value holding the placeholder is not expanded again")
        << QByteArray("<InstallDir>\\x") << QByteArray("<InstallDir>") << true
        << QByteArray("<InstallDir>\\x");
    QTest::newRow("cut-off placeholder stays")
        << QByteArray("C:\\a|<InstallDi") << QByteArray("C:\\K") << true << QByteArray("C:\\a|<InstallDi");
    QTest::newRow("other case is another name")
        << QByteArray("<installdir>") << QByteArray("C:\\K") << true << QByteArray("<installdir>");
    QTest::newRow("empty value") << QByteArray("<InstallDir>\\a") << QByteArray() << true
                                 << QByteArray("\\a");
    QTest::newRow("result of exactly 4095 characters")
        << QByteArray("<InstallDir>") + QByteArray(4095 - 100, 'b') << QByteArray(100, 'a') << true
        << QByteArray(100, 'a') + QByteArray(4095 - 100, 'b');
    QTest::newRow("result of 4096 characters")
        << QByteArray("<InstallDir>") + QByteArray(4096 - 100, 'b') << QByteArray(100, 'a') << false
        << QByteArray();
    QTest::newRow("growth overflows on a late placeholder")
        << QByteArray(4000, 'b') + "|<InstallDir>" << QByteArray(200, 'a') << false << QByteArray();
    QTest::newRow("huge value") << QByteArray("<InstallDir>") << QByteArray(70000, 'a') << false
                                << QByteArray();
}

void TestWorkingBuffer::replaceAllExpandsEveryPlaceholder()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, value);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, expected);
    WorkingBuffer buffer;
    QVERIFY(buffer.assign(text.constData()));
    QCOMPARE(buffer.replaceAll("<InstallDir>", value.constData()), accepted);
    QCOMPARE(QByteArray(buffer.text()), expected);
    QCOMPARE(buffer.length(), std::size_t(expected.size()));
}

void TestWorkingBuffer::splitterSkipsEmptyAndOversizeEntries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArrayList>("entries");
    const QByteArray longest(259, 'p');
    QTest::newRow("two folders") << QByteArray("C:\\a|C:\\b") << QByteArrayList{"C:\\a", "C:\\b"};
    QTest::newRow("empty entry and trailing bar")
        << QByteArray("C:\\a||C:\\b|") << QByteArrayList{"C:\\a", "C:\\b"};
    QTest::newRow("leading bars") << QByteArray("||C:\\a") << QByteArrayList{"C:\\a"};
    QTest::newRow("bars only") << QByteArray("|||") << QByteArrayList{};
    QTest::newRow("empty") << QByteArray() << QByteArrayList{};
    QTest::newRow("blank is a name") << QByteArray(" |C:\\a") << QByteArrayList{" ", "C:\\a"};
    QTest::newRow("259 characters fit the path limit")
        << QByteArray(longest + "|C:\\a") << QByteArrayList{longest, "C:\\a"};
    QTest::newRow("260 characters are skipped, neighbours kept")
        << QByteArray("C:\\a|" + longest + "q|C:\\b") << QByteArrayList{"C:\\a", "C:\\b"};
}

void TestWorkingBuffer::splitterSkipsEmptyAndOversizeEntries()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArrayList, entries);
    lintover::EntrySplitter splitter(text.constData());
    QByteArrayList found;
    char path[lintover::PathLimit];
    while (splitter.next(path) && found.size() < 100)
        found << QByteArray(path);
    QCOMPARE(found, entries);
}

QTEST_APPLESS_MAIN(TestWorkingBuffer)
#include "tst_workingbuffer.moc"
