#include "charactergrid.h"
#include "lessongenerator.h"
#include "messagestore.h"
#include "randomsource.h"
#include "trainermessagestab.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The lesson generator: draws with a scripted random source, the set
// buttons, word lists, and the Messages tab refusing a word count before
// it touches a file.
class TestLessonGenerator : public QObject
{
    Q_OBJECT

private slots:
    void groups_data();
    void groups();
    void setButtons_data();
    void setButtons();
    void wordList_data();
    void wordList();
    void wordCountCheckedFirst_data();
    void wordCountCheckedFirst();
};

void TestLessonGenerator::groups_data()
{
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QByteArray>("text");
    // Two cells: below and at exactly 0.5 the first, above it the second.
    QTest::newRow("two cells, halves to even") << QList<int>{3, 12} << 3 << 1 << QList<double>{0.49, 0.5, 0.51}
                                               << "33C 33C 33C "_ba;
    QTest::newRow("ar and 7 give + and 7") << QList<int>{48, 7} << 2 << 1 << QList<double>{0.9, 0.1}
                                           << "+7 +7 +7 "_ba;
    QTest::newRow("slashed zero writes 0, accents their bytes") << QList<int>{0, 58, 66} << 3 << 1
                                                                 << QList<double>{0.0, 0.5, 0.99}
                                                                 << "0\xC4\xDE 0\xC4\xDE 0\xC4\xDE "_ba;
    // Random length round(r × 6 + 2): 0.25 gives 3.5, to even 4; 0.0 gives 2.
    QTest::newRow("random length, repeated") << QList<int>{10, 11} << LessonGenerator::RandomLength << 2
                                             << QList<double>{0.25, 0.0, 0.9, 0.9, 0.9, 0.0, 0.0, 0.0}
                                             << "ABBB ABBB AA AA "_ba;
}

void TestLessonGenerator::groups()
{
    QFETCH(QList<int>, cells);
    QFETCH(int, length);
    QFETCH(int, repeat);
    QFETCH(QList<double>, draws);
    QFETCH(QByteArray, text);
    CharacterGrid grid;
    for (int cell : cells)
        grid.toggle(cell);
    RandomSource random(draws);
    const int words = int(text.count(' ')) / repeat;
    QCOMPARE(LessonGenerator::groups(grid.pool(), words, length, repeat, random), text);
}

void TestLessonGenerator::setButtons_data()
{
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<CharacterGrid::Set>("set");
    QTest::addColumn<QByteArray>("pool");
    QTest::newRow("prosigns on an empty grid") << QList<int>{} << CharacterGrid::Set::Prosigns << "(=+#>&%^"_ba;
    QTest::newRow("prosigns when all of them are set: cleared") << QList<int>{40, 47, 48, 49, 50, 51, 52, 53, 1}
                                                                << CharacterGrid::Set::Prosigns << "1"_ba;
    QTest::newRow("one number clear: all numbers set") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 11}
                                                       << CharacterGrid::Set::Numbers << "0123456789B"_ba;
    QTest::newRow("none clears everything") << QList<int>{5, 60} << CharacterGrid::Set::None << QByteArray();
    QTest::newRow("specials") << QList<int>{} << CharacterGrid::Set::Specials
                              << "$@_\xC0\xC4\xD6\xDC\xD1\xC7\xC9\xC8*\xDE\xD0"_ba;
}

void TestLessonGenerator::setButtons()
{
    QFETCH(QList<int>, before);
    QFETCH(CharacterGrid::Set, set);
    CharacterGrid grid;
    for (int cell : before)
        grid.toggle(cell);
    grid.press(set);
    QTEST(grid.pool(), "pool");
}

void TestLessonGenerator::wordList_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<QByteArray>>("words");
    QTest::newRow("blanks around and between") << "  alpha  beta gamma \n"_ba
                                               << QList<QByteArray>{"alpha", "beta", "gamma"};
    QTest::newRow("empty lines, CR LF, a tab inside a word") << "one\r\n\r\n\ntwo\tthree\r\nfour"_ba
                                                             << QList<QByteArray>{"one", "two\tthree", "four"};
    QTest::newRow("nothing but blanks") << "   \n \n"_ba << QList<QByteArray>{};
}

void TestLessonGenerator::wordList()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<QByteArray>, words);
    QCOMPARE(LessonGenerator::parseWordList(file), words);
    if (words.isEmpty())
        return;
    // The last entry at r just below 1, the first at 0; each repeated three times.
    RandomSource random(QList<double>{0.999, 0.0});
    const QByteArray last = words.last() + ' ', first = words.first() + ' ';
    QCOMPARE(LessonGenerator::fromWords(words, 2, 3, random), last.repeated(3) + first.repeated(3));
}

void TestLessonGenerator::wordCountCheckedFirst_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("49") << u"49"_s << false;
    QTest::newRow("50") << u"50"_s << true;
    QTest::newRow("20000") << u"20000"_s << true;
    QTest::newRow("20000.5") << u"20000.5"_s << false;
    QTest::newRow("no number") << u"many"_s << false;
}

void TestLessonGenerator::wordCountCheckedFirst()
{
    QFETCH(QString, count);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(MessageStore::write(MessageStore::fileName(0), "old"_ba).isEmpty());
    QStringList asked;
    RandomSource random(7u);
    TrainerMessagesTab tab(&random, [&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton) {
        asked << text;
        return QMessageBox::Ok;
    });
    QStringList opened;
    tab.setOpener([&](const QString &path) {
        opened << path;
        return true;
    });
    tab.findChild<QLineEdit *>(u"WordCount"_s)->setText(count);
    tab.findChild<QPushButton *>(u"btnGenLetters"_s)->click();
    tab.btnCreateMessage_Click();
    QFile file(MessageStore::fileName(0));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    if (!accepted) {
        QCOMPARE(asked, QStringList{u"The word count should be between 50 and  20000"_s});
        QCOMPARE(text, "old"_ba);
        QVERIFY(opened.isEmpty());
        return;
    }
    QCOMPARE(asked, QStringList{u"Do you want to replace this message?"_s});
    QCOMPARE(text.count(' '), count.toInt());
    QCOMPARE(text.size(), count.toInt() * 6); // five letters and a blank each
    QCOMPARE(opened, QStringList{QDir(dir.path()).filePath(MessageStore::fileName(0))});
}

QTEST_MAIN(TestLessonGenerator)
#include "tst_lessongenerator.moc"
