#include "callsign.h"
#include "sendtext.h"
#include "terminalstate.h"

#include <QTest>

using namespace Qt::StringLiterals;

// How typed text is encoded for the keyer, which characters wait for the
// keyer's report, where automatic logging marks the call, and the QSO
// entry's word rules.
class TestSendText : public QObject
{
    Q_OBJECT

private slots:
    void encoding_data();
    void encoding();
    void reportsAwaited_data();
    void reportsAwaited();
    void callMark_data();
    void callMark();
    void callTest_data();
    void callTest();
    void lastWord_data();
    void lastWord();
    void buttons_data();
    void buttons();
};

void TestSendText::encoding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("mill");
    QTest::addColumn<QList<int>>("codes"); // the payloads, in order
    QTest::newRow("letters") << u"CQ"_s << false << QList<int>{'C', 'Q'};
    QTest::newRow("mill keyboard: its slashed zero is a zero") << u"K\u00D8A"_s << true << QList<int>{'K', '0', 'A'};
    QTest::newRow("typed Nordic letter without the mill keyboard") << u"\u00D8"_s << false << QList<int>{0xD8};
    QTest::newRow("store record") << u"K\u00A4#"_s << false << QList<int>{'K', 30};
    QTest::newRow("keying back on") << u"\u00A4E"_s << false << QList<int>{141};
    QTest::newRow("name/QTH key") << u"\u00A4+"_s << false << QList<int>{171};
    QTest::newRow("message key") << u"\u00A43"_s << false << QList<int>{'3' + 128};
    QTest::newRow("CR LF is one space") << u"A\r\nB"_s << false << QList<int>{'A', ' ', 'B'};
    QTest::newRow("LF is one space") << u"A\nB"_s << false << QList<int>{'A', ' ', 'B'};
    QTest::newRow("code page letter") << u"\u00C9"_s << false << QList<int>{0xC9};
    QTest::newRow("no code page letter") << u"\u0141"_s << false << QList<int>{'?'};
}

void TestSendText::encoding()
{
    QFETCH(QString, text);
    QFETCH(bool, mill);
    QFETCH(QList<int>, codes);
    QList<int> sent;
    for (qsizetype i = 0; i < text.size();) {
        const SendText::Step step = SendText::next(text, i, mill);
        sent << step.code;
        i += step.length;
    }
    QCOMPARE(sent, codes);
}

void TestSendText::reportsAwaited_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("awaited"); // "w" waits for the report, "-" does not
    QTest::newRow("space after a word waits") << u"A B"_s << u"www"_s;
    QTest::newRow("space after a comma does not") << u"A, B"_s << u"ww-w"_s;
    QTest::newRow("repeated spaces") << u"A  B"_s << u"ww-w"_s;
    QTest::newRow("after = . - _ @ #") << u"= . - _ @ # "_s << u"w-w-w-w-w-w-"_s;
    QTest::newRow("message keys never") << u"\u00A41 A"_s << u"-ww"_s;
}

void TestSendText::reportsAwaited()
{
    QFETCH(QString, text);
    QFETCH(QString, awaited);
    QString seen;
    uchar previous = ' ';
    for (qsizetype i = 0; i < text.size();) {
        const SendText::Step step = SendText::next(text, i);
        seen += SendText::awaitsReport(step.code, previous) ? u'w' : u'-';
        previous = step.code;
        i += step.length;
    }
    QCOMPARE(seen, awaited);
}

void TestSendText::callMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("mark");
    QTest::newRow("six-letter call") << u"DL1ABC DE K1XYZ K"_s << qsizetype(7);
    QTest::newRow("after other text") << u"TU 599 G4XYZ DE K1XYZ K"_s << qsizetype(13);
    QTest::newRow("two-letter word") << u"AB DE K1XYZ K"_s << qsizetype(0);
    QTest::newRow("lower case") << u"dl1abc de k1xyz k"_s << qsizetype(0);
    QTest::newRow("not a call") << u"HELLO DE K1XYZ K"_s << qsizetype(0);
    QTest::newRow("own call at the end") << u"DL1ABC DE K1XYZ"_s << qsizetype(7);
    QTest::newRow("another call") << u"DL1ABC DE K1XY K"_s << qsizetype(0);
}

void TestSendText::callMark()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, mark);
    QCOMPARE(SendText::callMark(text, u" K1XYZ "_s), mark);
}

void TestSendText::callTest_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("call");
    QTest::newRow("two letters, digit, three letters") << u"DL1ABC"_s << true;
    QTest::newRow("digit at the end") << u"DL1AB1"_s << false;
    QTest::newRow("three characters") << u"K1A"_s << false;
    QTest::newRow("four letters") << u"ABCD"_s << false;
    QTest::newRow("ends in /") << u"DL1AB/"_s << false;
    QTest::newRow("starts with /") << u"/DL1AB"_s << false;
    QTest::newRow("letter, /, two letters") << u"A/BC"_s << true;
    QTest::newRow("lower case") << u"dl1abc"_s << false;
    QTest::newRow("portable") << u"DL1ABC/P"_s << true;
}

void TestSendText::callTest()
{
    QFETCH(QString, word);
    QTEST(CallSign::isCall(word), "call");
}

void TestSendText::lastWord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("word");
    QTest::newRow("at the end") << u"CQ DE DL1ABC"_s << 12 << u"DL1ABC"_s;
    QTest::newRow("trailing blanks") << u"UR DL1ABC   "_s << 12 << u"DL1ABC"_s;
    QTest::newRow("caret inside") << u"G4XYZ DL1ABC"_s << 5 << u"G4XYZ"_s;
    QTest::newRow("after a line break") << u"CQ\nDL1ABC"_s << 9 << u"DL1ABC"_s;
    QTest::newRow("blank text") << u"   "_s << 3 << QString();
    QTest::newRow("only the last 80 characters") << QString(90, u'A') << 90 << QString(80, u'A');
}

void TestSendText::lastWord()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QTEST(CallSign::lastWord(text, caret), "word");
}

void TestSendText::buttons_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("immediate");
    QTest::addColumn<bool>("mill");
    QTest::addColumn<bool>("call");
    QTest::addColumn<bool>("ssbRecord");
    QTest::addColumn<bool>("sendEnabled");
    QTest::addColumn<QString>("sendCaption");
    QTest::addColumn<QString>("checkCaption");
    QTest::addColumn<QString>("checkKey");
    QTest::newRow("immediate, no call") << false << true << false << false << false << false << u"Send &Message"_s
                                        << u"Chec&k Call"_s << u"<Enter>"_s;
    QTest::newRow("immediate, mill, call") << false << true << true << true << false << false << u"Send &Message"_s
                                           << u"Cha&nge Call"_s << u"<Ctrl-Enter>"_s;
    QTest::newRow("plain") << false << false << false << false << false << true << u"Send &Message"_s
                           << u"Chec&k Call"_s << u"<Ctrl-Enter>"_s;
    QTest::newRow("plain, mill") << false << false << true << false << false << false << u"Send &Message"_s
                                 << u"Chec&k Call"_s << u"<Ctrl-Enter>"_s;
    QTest::newRow("editing an SSB record") << true << false << false << true << true << false << u"Sen&t RST"_s
                                           << u"Cha&nge Call"_s << u"<Enter>"_s;
    QTest::newRow("editing") << true << true << true << false << false << true << u"Sen&t RST"_s
                             << u"Cha&nge Call"_s << u"<Ctrl-Enter>"_s;
}

void TestSendText::buttons()
{
    QFETCH(bool, edit);
    QFETCH(bool, immediate);
    QFETCH(bool, mill);
    QFETCH(bool, call);
    QFETCH(bool, ssbRecord);
    TerminalState state;
    state.editMode = edit;
    state.sendImmediate = immediate;
    state.millKeyboard = mill;
    state.callShown = call;
    state.infoEndsInSsb = ssbRecord;
    const TerminalButtons b = terminalButtons(state);
    QTEST(b.sendMessageEnabled, "sendEnabled");
    QTEST(b.sendMessageCaption, "sendCaption");
    QTEST(b.checkCallCaption, "checkCaption");
    QTEST(b.ctrlEnterCaption, "checkKey");
    QCOMPARE(b.immediateEnabled, !edit);
}

QTEST_GUILESS_MAIN(TestSendText)
#include "tst_sendtext.moc"
