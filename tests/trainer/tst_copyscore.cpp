#include "copyhistory.h"
#include "copyscore.h"
#include "copyscorepanel.h"
#include "progressplot.h"
#include "trainermonitortab.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The student's copy against the monitor, the history of scores, and the
// Monitor tab filing and plotting them.
class TestCopyScore : public QObject
{
    Q_OBJECT

private slots:
    void alignment_data();
    void alignment();
    void historyKeepsEarlierSessions_data();
    void historyKeepsEarlierSessions();
    void scoresAreFiledAndPlotted_data();
    void scoresAreFiledAndPlotted();
};

void TestCopyScore::alignment_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("missed");
    QTest::addColumn<int>("extra");
    QTest::addColumn<double>("percent");
    QTest::addColumn<QByteArray>("worst"); // the characters with errors, worst first
    QTest::newRow("exact, in lower case") << u"PARIS PARIS"_s << u"paris paris"_s << 0 << 0 << 0 << 0.0 << QByteArray();
    QTest::newRow("one missed keeps the rest in step") << u"ABCDEFGH"_s << u"ABCEFGH"_s << 0 << 1 << 0 << 12.5
                                                       << "D"_ba;
    QTest::newRow("one extra keeps the rest in step") << u"ABCDEFGH"_s << u"ABCXDEFGH"_s << 0 << 0 << 1 << 12.5
                                                      << QByteArray();
    QTest::newRow("one wrong") << u"ABCD"_s << u"ABXD"_s << 1 << 0 << 0 << 25.0 << "C"_ba;
    QTest::newRow("a swapped pair is two") << u"ABCD"_s << u"ACBD"_s << 2 << 0 << 0 << 50.0 << "BC"_ba;
    QTest::newRow("empty copy") << u"ABC"_s << QString() << 0 << 3 << 0 << 100.0 << "ABC"_ba;
    QTest::newRow("all wrong") << u"KMKM"_s << u"RRRR"_s << 4 << 0 << 0 << 100.0 << "KM"_ba;
    QTest::newRow("more extra than sent: 100 at most") << u"AB"_s << u"AXXXXB"_s << 0 << 0 << 4 << 100.0
                                                       << QByteArray();
    QTest::newRow("monitor forms: <ar>, slashed zero, line breaks") << u"CQ <ar>\nT\u00D8 5"_s << u"cq+ t0 5"_s
                                                                    << 0 << 0 << 0 << 0.0 << QByteArray();
    QTest::newRow("the most often missed first") << u"EEEEE TTT"_s << u"EEEE T"_s << 0 << 3 << 0 << 37.5 << "TE"_ba;
}

void TestCopyScore::alignment()
{
    QFETCH(QString, monitor);
    QFETCH(QString, copy);
    const CopyScore score = CopyScore::score(monitor, copy);
    QTEST(int(score.wrong()), "wrong");
    QTEST(int(score.missed()), "missed");
    QTEST(int(score.extra()), "extra");
    QTEST(score.errorPercent(), "percent");
    QByteArray worst;
    for (const CopyScore::CharacterScore &c : score.worstFirst()) {
        if (c.errors() > 0)
            worst += c.character;
    }
    QTEST(worst, "worst");
}

void TestCopyScore::historyKeepsEarlierSessions_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file
    QTest::addColumn<QString>("lesson");
    QTest::addColumn<int>("sessions"); // of that lesson afterwards
    QTest::addColumn<int>("lines");
    const QByteArray earlier = "date,lesson,characters,errors,error_percent\n2024-05-01 10:00:00,Koch 2,250,20,8.0\n";
    QTest::newRow("a new file gets its header") << QByteArray() << u"Koch 2"_s << 1 << 2;
    QTest::newRow("an earlier session stays") << earlier << u"Koch 2"_s << 2 << 3;
    QTest::newRow("a damaged line is kept, not read") << earlier + "2024-05-02 ??,Koch 2\n" << u"Koch 2"_s << 2 << 4;
    QTest::newRow("no line end at the end") << earlier.chopped(1) << u"Koch 2"_s << 2 << 3;
    QTest::newRow("a comma in the lesson") << earlier << u"Words, mine"_s << 1 << 3;
}

void TestCopyScore::historyKeepsEarlierSessions()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, lesson);
    QTemporaryDir dir;
    const QString path = dir.filePath(CopyHistory::fileName());
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    }
    const CopyHistory::Session session{QDateTime(QDate(2024, 6, 1), QTime(9, 30, 5)), lesson, 300, 9, 3.0};
    QVERIFY(CopyHistory::append(path, session).isEmpty());
    const QList<CopyHistory::Session> sessions = CopyHistory::ofLesson(CopyHistory::read(path), lesson);
    QTEST(int(sessions.size()), "sessions");
    QCOMPARE(sessions.last().errorPercent, session.errorPercent);
    QCOMPARE(sessions.last().when, session.when);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith(CopyHistory::header()));
    QTEST(int(text.count('\n')), "lines");
}

void TestCopyScore::scoresAreFiledAndPlotted_data()
{
    QTest::addColumn<QStringList>("lessons"); // one copy scored under each
    QTest::addColumn<int>("plotted");         // sessions of the last lesson
    QTest::newRow("one copy") << QStringList{u"Koch 2"_s} << 1;
    QTest::newRow("two copies of a lesson") << QStringList{u"Koch 2"_s, u"Koch 2"_s} << 2;
    QTest::newRow("another lesson's copies are not its") << QStringList{u"Koch 2"_s, u"Koch 3"_s} << 1;
}

void TestCopyScore::scoresAreFiledAndPlotted()
{
    QFETCH(QStringList, lessons);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    TrainerMonitorTab tab;
    CopyScorePanel *panel = tab.scorePanel();
    auto *score = tab.findChild<QPushButton *>(u"btnScoreCopy"_s);
    tab.monitorAppend(u"KMU KMU"_s);
    for (const QString &lesson : lessons) {
        panel->setLesson(lesson);
        QVERIFY(!score->isEnabled());
        tab.millText()->setPlainText(u"kmu kmx"_s);
        QVERIFY(score->isEnabled());
        score->click();
        // Scored once: the same copy is not filed twice.
        QVERIFY(!score->isEnabled());
        QVERIFY2(tab.findChild<QLabel *>(u"lblCopyScore"_s)->text().contains(u"16.7 %"_s),
                 qPrintable(tab.findChild<QLabel *>(u"lblCopyScore"_s)->text()));
        tab.millText()->clear();
    }
    QCOMPARE(CopyHistory::read(CopyHistory::fileName()).size(), lessons.size());
    QTEST(int(tab.findChild<ProgressPlot *>()->sessions().size()), "plotted");
}

QTEST_MAIN(TestCopyScore)
#include "tst_copyscore.moc"
