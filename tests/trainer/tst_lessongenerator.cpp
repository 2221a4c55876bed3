#include "charactergrid.h"
#include "keyertext.h"
#include "kochcourse.h"
#include "lessongenerator.h"
#include "messageload.h"
#include "messagestore.h"
#include "randomsource.h"
#include "settingsstore.h"
#include "trainermessagestab.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

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
    void drawsAreEven_data();
    void drawsAreEven();
    void kochLessons_data();
    void kochLessons();
    void eachSourceMakesItsMessage_data();
    void eachSourceMakesItsMessage();
    void capacityCheckedBeforeWriting_data();
    void capacityCheckedBeforeWriting();
};

void TestLessonGenerator::groups_data()
{
    QTest::addColumn<QList<int>>("cells");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QByteArray>("text");
    // Two cells: below 0.5 the first, from 0.5 on the second.
    QTest::newRow("two cells, split at one half") << QList<int>{3, 12} << 3 << 1 << QList<double>{0.49, 0.5, 0.51}
                                                  << "3CC 3CC 3CC "_ba;
    QTest::newRow("ar and 7 give + and 7") << QList<int>{48, 7} << 2 << 1 << QList<double>{0.9, 0.1}
                                           << "+7 +7 +7 "_ba;
    QTest::newRow("slashed zero writes 0, accents their bytes") << QList<int>{0, 58, 66} << 3 << 1
                                                                 << QList<double>{0.0, 0.5, 0.99}
                                                                 << "0\xC4\xDE 0\xC4\xDE 0\xC4\xDE "_ba;
    // Random length 2 + floor(r × 7): 0.25 gives 3, 0.9 gives 8.
    QTest::newRow("random length, repeated") << QList<int>{10, 11} << LessonGenerator::RandomLength << 2
                                             << QList<double>{0.25, 0.0, 0.9, 0.9, 0.9, 0.0, 0.0, 0.0}
                                             << "ABB ABB AAAAABBB AAAAABBB "_ba;
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
    // Words reach the keyer in its own upper-case codes.
    QTest::newRow("blanks around and between") << "  alpha  beta gamma \n"_ba
                                               << QList<QByteArray>{"ALPHA", "BETA", "GAMMA"};
    QTest::newRow("empty lines, CR LF, a tab between words") << "one\r\n\r\n\ntwo\tthree\r\nfour"_ba
                                                             << QList<QByteArray>{"ONE", "TWO", "THREE", "FOUR"};
    QTest::newRow("nothing but blanks") << "   \n \n"_ba << QList<QByteArray>{};
    QTest::newRow("bare CR line ends") << "cq\rde\rdl1abc\r"_ba << QList<QByteArray>{"CQ", "DE", "DL1ABC"};
    QTest::newRow("UTF-8: É kept, ê to E, å æ ø to À Ä Ö, Ø the zero")
        << "caf\xC3\xA9 f\xC3\xAAte \xC3\xA5\xC3\xA6\xC3\xB8 DL\xC3\x98" "ABC"_ba
        << QList<QByteArray>{"CAF\xC9", "FETE", "\xC0\xC4\xD6", "DL0ABC"};
    QTest::newRow("UTF-8 with a byte order mark, ß to SS") << "\xEF\xBB\xBFstra\xC3\x9F" "e"_ba
                                                           << QList<QByteArray>{"STRASSE"};
    // 0xE9 alone is no UTF-8: the file is Windows-1252.
    QTest::newRow("Windows-1252") << "caf\xE9 na\xEFve"_ba << QList<QByteArray>{"CAF\xC9", "NAIVE"};
    QTest::newRow("prosigns written out, signs the keyer lacks dropped")
        << "<ar> <Sk> 5-9 \xE2\x82\xAC" "1"_ba << QList<QByteArray>{"+", "#", "59", "1"};
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

// A chi-square test over a seeded source: an outcome drawn at half the
// share of the others (as rounding r × (n - 1) did) fails it by far.
void TestLessonGenerator::drawsAreEven_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("outcomes");
    QTest::addColumn<double>("critical"); // chi-square at p = 0.001, outcomes - 1 degrees of freedom
    QTest::newRow("characters of three") << u"characters"_s << 3 << 13.82;
    QTest::newRow("characters of 26") << u"characters"_s << 26 << 52.62;
    QTest::newRow("words of five") << u"words"_s << 5 << 18.47;
    QTest::newRow("random lengths 2 to 8") << u"lengths"_s << 7 << 22.46;
}

void TestLessonGenerator::drawsAreEven()
{
    QFETCH(QString, what);
    QFETCH(int, outcomes);
    QFETCH(double, critical);
    constexpr int Draws = 14000;
    RandomSource random(20240611u);
    QByteArray pool;
    QList<QByteArray> words;
    for (int i = 0; i < outcomes; ++i) {
        pool += char('A' + i);
        words.append(QByteArray(i + 1, 'W'));
    }
    QList<int> counts(outcomes);
    if (what == u"characters"_s) {
        for (char c : LessonGenerator::groups(pool, Draws / 7, 7, 1, random).replace(' ', ""))
            ++counts[c - 'A'];
    } else {
        const QByteArray text = what == u"words"_s
                                    ? LessonGenerator::fromWords(words, Draws, 1, random)
                                    : LessonGenerator::groups("AB", Draws, LessonGenerator::RandomLength, 1, random);
        const qsizetype shortest = what == u"words"_s ? 1 : LessonGenerator::ShortestRandom;
        for (const QByteArray &word : text.trimmed().split(' '))
            ++counts[word.size() - shortest];
    }
    const double expected = double(std::accumulate(counts.begin(), counts.end(), 0)) / outcomes;
    double chiSquare = 0;
    for (int count : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    QVERIFY2(chiSquare < critical, qPrintable(u"chi-square %1 over %2"_s.arg(chiSquare).arg(critical)));
}

void TestLessonGenerator::kochLessons_data()
{
    QTest::addColumn<int>("lesson");
    QTest::addColumn<QByteArray>("characters");
    QTest::addColumn<QByteArray>("doubled");
    const QByteArray all = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";
    QTest::newRow("lesson 1: two even characters") << 1 << "KM"_ba << QByteArray();
    QTest::newRow("lesson 2: the newest two doubled") << 2 << "KMU"_ba << "MU"_ba;
    QTest::newRow("lesson 10") << 10 << "KMURESNAPTL"_ba << "TL"_ba;
    QTest::newRow("lesson 40: all 41") << 40 << all << "0X"_ba;
    QTest::newRow("lesson 0 is lesson 1") << 0 << "KM"_ba << QByteArray();
    QTest::newRow("lesson 41 is lesson 40") << 41 << all << "0X"_ba;
}

void TestLessonGenerator::kochLessons()
{
    QFETCH(int, lesson);
    QFETCH(QByteArray, characters);
    QFETCH(QByteArray, doubled);
    QCOMPARE(KochCourse::characters(lesson), characters);
    const QByteArray pool = KochCourse::pool(lesson);
    QCOMPARE(pool.size(), characters.size() + doubled.size());
    for (char c : characters) {
        QVERIFY2(KeyerText::keys(uchar(c)), &c);
        QCOMPARE(pool.count(c), doubled.contains(c) ? 2 : 1);
    }
}

// Every source through Create Message, and the choice still there in the
// next run.
void TestLessonGenerator::eachSourceMakesItsMessage_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("choice"); // the word source or the Koch lesson
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("word");
    QTest::newRow("Koch lesson 3") << int(TrainerMessagesTab::KochLesson) << 3 << u"Koch 3"_s << u"^[KMUR]{5}$"_s;
    QTest::newRow("call signs") << int(TrainerMessagesTab::CallSigns) << 0 << u"Call signs"_s
                                << u"^[0-9A-Z]{1,4}[0-9][A-Z]{1,3}$"_s;
    QTest::newRow("abbreviations") << int(TrainerMessagesTab::WordList) << 1 << u"Abbreviations"_s
                                   << u"^[0-9A-Z?+#(=>]+$"_s;
    QTest::newRow("QSO phrases") << int(TrainerMessagesTab::WordList) << 2 << u"QSO phrases"_s
                                 << u"^[0-9A-Z?+#(=>]+$"_s;
}

void TestLessonGenerator::eachSourceMakesItsMessage()
{
    QFETCH(int, method);
    QFETCH(int, choice);
    QFETCH(QString, word);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    SettingsStore settings(dir.filePath(u"settings.ini"_s));
    RandomSource random(11u);
    const auto answer = [](auto &&...) { return QMessageBox::Ok; };
    {
        TrainerMessagesTab tab(&random, answer);
        tab.setOpener([](const QString &) { return true; });
        tab.attachSettings(&settings);
        tab.findChild<QLineEdit *>(u"WordCount"_s)->setText(u"2000"_s);
        tab.findChild<QRadioButton *>(u"optMethod%1"_s.arg(method))->setChecked(true);
        if (method == TrainerMessagesTab::KochLesson)
            tab.findChild<QComboBox *>(u"cboKochLesson"_s)->setCurrentIndex(choice - 1);
        else if (method == TrainerMessagesTab::WordList)
            tab.findChild<QComboBox *>(u"cboWordSource"_s)->setCurrentIndex(choice);
        tab.btnCreateMessage_Click();
    }
    QFile file(MessageStore::fileName(0));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> words = file.readAll().trimmed().split(' ');
    QVERIFY(words.size() >= 2000);
    for (const QByteArray &w : words)
        QVERIFY2(QRegularExpression(word).match(QString::fromLatin1(w)).hasMatch(), w.constData());
    TrainerMessagesTab nextRun(&random, answer);
    nextRun.attachSettings(&settings);
    QTEST(nextRun.lessonName(), "name");
}

void TestLessonGenerator::capacityCheckedBeforeWriting_data()
{
    QTest::addColumn<int>("words");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<qint64>("otherMessage"); // bytes of message 99
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("written");
    // Eight letters and a blank per word: 20000 × 9 × 9 bytes and the NUL.
    QTest::newRow("more than the keyer holds: refused") << 20000 << 9 << qint64(0) << QMessageBox::Ok
                                                        << u"This message would take 1620001 bytes"_s << false;
    // 50 words take 451 bytes with their NUL.
    QTest::newRow("the set exactly full") << 50 << 1 << qint64(540300 - 451 - 1) << QMessageBox::Ok << QString()
                                          << true;
    QTest::newRow("one byte over with the others: Cancel") << 50 << 1 << qint64(540300 - 451) << QMessageBox::Cancel
                                                           << u"With this message all messages take 540301"_s << false;
    QTest::newRow("one byte over with the others: OK") << 50 << 1 << qint64(540300 - 451) << QMessageBox::Ok
                                                       << u"With this message all messages take 540301"_s << true;
}

void TestLessonGenerator::capacityCheckedBeforeWriting()
{
    QFETCH(int, words);
    QFETCH(qint64, otherMessage);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, asked);
    QFETCH(bool, written);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(MessageStore::write(MessageStore::fileName(99), QByteArray(otherMessage, 'e')).isEmpty());
    QStringList questions;
    RandomSource random(3u);
    TrainerMessagesTab tab(&random, [&](QMessageBox::Icon, const QString &text, auto, auto) {
        questions << text;
        return answer;
    });
    tab.setOpener([](const QString &) { return true; });
    tab.findChild<QLineEdit *>(u"WordCount"_s)->setText(QString::number(words));
    QFETCH(int, repeat);
    tab.findChild<QLineEdit *>(u"RepeatCount"_s)->setText(QString::number(repeat));
    tab.findChild<QComboBox *>(u"cboWordLength"_s)->setCurrentText(u" 8"_s);
    tab.findChild<QPushButton *>(u"btnGenLetters"_s)->click();
    tab.btnCreateMessage_Click();
    QCOMPARE(questions.size(), asked.isEmpty() ? 0 : 1);
    if (!asked.isEmpty())
        QVERIFY2(questions.first().startsWith(asked), qPrintable(questions.first()));
    QCOMPARE(QFile::exists(MessageStore::fileName(0)), written);
}

QTEST_MAIN(TestLessonGenerator)
#include "tst_lessongenerator.moc"
