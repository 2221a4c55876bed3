#include "smarttext.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The function-key texts as the send buffer gets them: the codes filled in
// from the QSO panel and the profile, then the typing rule.
class TestSmartText : public QObject
{
    Q_OBJECT

private slots:
    void expandedAndTyped_data();
    void expandedAndTyped();
};

void TestSmartText::expandedAndTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("ownName");
    QTest::addColumn<bool>("mill");
    QTest::addColumn<QString>("expected");
    const QString hans = u"HANS MUNICH 599"_s;
    QTest::newRow("every code in lower case") << u"\\c \\n \\i \\m"_s << hans << u"Joe"_s << false
                                              << u"DL1ABC HANS K1XYZ JOE"_s;
    QTest::newRow("every code as stored, upper case") << u"\\C DE \\I TNX \\N \\M"_s << hans << u"JOE"_s << false
                                                     << u"DL1ABC DE K1XYZ TNX HANS JOE"_s;
    QTest::newRow("a code twice, without blanks") << u"\\C\\c"_s << hans << u"JOE"_s << false
                                                   << u"DL1ABCDL1ABC"_s;
    QTest::newRow("information starting with a digit") << u"GM \\N"_s << u"599 MUNICH"_s << u"JOE"_s << false
                                                        << u"GM OM"_s;
    QTest::newRow("no information") << u"GM \\N"_s << QString() << u"JOE"_s << false << u"GM OM"_s;
    QTest::newRow("filled-in text is not read for codes") << u"\\M"_s << hans << u"\\C"_s << false << u"\\C"_s;
    QTest::newRow("other backslashes stay") << u"\\X \\"_s << hans << u"JOE"_s << false << u"\\X \\"_s;
    QTest::newRow("reserved characters dropped") << u"<ar> \u00A4e tu"_s << hans << u"JOE"_s << false
                                                 << u"AR> E TU"_s;
    QTest::newRow("mill keyboard: slashed zero") << u"0 \u00F8 \\m"_s << hans << u"Bj\u00F8rn"_s << true
                                                 << u"\u00D8 \u00F8 BJ\u00F8RN"_s;
    QTest::newRow("without the mill keyboard") << u"0 \u00F8"_s << hans << u"JOE"_s << false << u"0 \u00D8"_s;
}

void TestSmartText::expandedAndTyped()
{
    QFETCH(QString, text);
    QFETCH(QString, info);
    QFETCH(QString, ownName);
    QFETCH(bool, mill);
    const SmartText::Context context{u"  DL1ABC "_s, info, u"K1XYZ"_s, ownName};
    QTEST(SmartText::typed(SmartText::expand(text, context), mill), "expected");
}

QTEST_APPLESS_MAIN(TestSmartText)
#include "tst_smarttext.moc"
