#include "monitortext.h"

#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

// The monitor's text as the event stream reads it back (erase, new lines,
// the full check) and as the audit file gets it, across the line ends the
// monitor makes itself and the lines a long session scrolls out.
class TestMonitorText : public QObject
{
    Q_OBJECT

private slots:
    void readsBackWhatWasKeyed_data();
    void readsBackWhatWasKeyed();
    void longSessionLosesNothing();
};

void TestMonitorText::readsBackWhatWasKeyed_data()
{
    // Steps: "+TEXT" appended, "-N" chopped, "n" a new line.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("tail");     // the last four characters
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("text");     // as an audit file gets it
    const QString full(MonitorText::LineLength + 1, u'E');
    QTest::newRow("a space where the line is full starts the next line")
        << QStringList{u"+"_s + full, u"+ "_s, u"+TU"_s} << u"E TU"_s << qsizetype(full.size() + 3)
        << full + u"\nTU"_s;
    QTest::newRow("the keyer takes back across it: the space goes too")
        << QStringList{u"+"_s + full, u"+ "_s, u"+T"_s, u"-2"_s} << u"EEEE"_s << qsizetype(full.size()) << full;
    QTest::newRow("a new line right after it is one line break")
        << QStringList{u"+"_s + full, u"+ "_s, u"n"_s, u"+K"_s} << u"EE\nK"_s << qsizetype(full.size() + 2)
        << full + u"\nK"_s;
    QTest::newRow("a run without spaces is cut, and reads on as one run")
        << QStringList{u"+"_s + QString(MonitorText::LongestLine + 2, u'E'), u"-1"_s} << u"EEEE"_s
        << qsizetype(MonitorText::LongestLine + 2) << QString(MonitorText::LongestLine, u'E') + u"\nE"_s;
    QTest::newRow("short lines are left alone")
        << QStringList{u"+CQ"_s, u"+ "_s, u"+DE"_s, u"n"_s, u"n"_s} << u" DE\n"_s << qsizetype(6) << u"CQ DE\n"_s;
}

void TestMonitorText::readsBackWhatWasKeyed()
{
    QFETCH(QStringList, steps);
    QPlainTextEdit box;
    MonitorText monitor(&box);
    for (const QString &step : steps) {
        if (step.startsWith(u'+'))
            monitor.append(step.mid(1));
        else if (step.startsWith(u'-'))
            monitor.chop(step.mid(1).toInt());
        else
            monitor.newLine();
    }
    QTEST(monitor.tail(4), "tail");
    QTEST(monitor.length(), "length");
    QTEST(monitor.text(), "text");
}

// More than twice the scroll-back: the box keeps its bound, and the lines
// it gave up and those it holds are the whole session, in order.
void TestMonitorText::longSessionLosesNothing()
{
    QPlainTextEdit box;
    box.resize(800, 400);
    MonitorText monitor(&box);
    QString spilled;
    monitor.setSpill([&spilled](const QString &lines) {
        spilled += lines + u'\n';
        return true;
    });
    QString keyed;
    for (int i = 0; keyed.size() < 2 * MonitorText::ScrollBack + 20000; ++i) {
        const QString word = u"CQ%1"_s.arg(i);
        monitor.append(word);
        monitor.append(u" "_s);
        keyed += word + u' ';
    }
    QVERIFY(monitor.length() <= MonitorText::ScrollBack);
    QString session = spilled + monitor.text();
    session.replace(u'\n', u' ');
    QCOMPARE(session, keyed);
    // A box whose lines cannot be kept keeps them itself.
    monitor.clear();
    monitor.setSpill([](const QString &) { return false; });
    // Words with their spaces in one text go into lines as well.
    for (int i = 0; i < 6000; ++i)
        monitor.append(u"CQ TEST "_s);
    QCOMPARE(monitor.length(), 48000);
    for (int i = 0; i < 1000; ++i)
        monitor.append(u"CQ TEST "_s);
    QCOMPARE(monitor.length(), 56000);
}

QTEST_MAIN(TestMonitorText)
#include "tst_monitortext.moc"
