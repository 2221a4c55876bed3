#include "cwdaemonrequest.h"

#include <QTest>

using namespace Qt::StringLiterals;

// A logger's datagram read the wrong way keys the wrong text or sets a
// speed the keyer cannot take.
class TestCwDaemonRequest : public QObject
{
    Q_OBJECT

private slots:
    void datagramIsRead_data();
    void datagramIsRead();
};

using Kind = CwDaemonRequest::Kind;

void TestCwDaemonRequest::datagramIsRead_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    const QByteArray esc(1, 27);
    QTest::newRow("text upper-cased") << "cq test de dl1abc"_ba << Kind::Text << u"CQ TEST DE DL1ABC"_s << 0;
    QTest::newRow("speed steps as escapes, half spaces and escapes dropped, SK")
        << "qrz de ++pa0rct-~ <\xa4#"_ba << Kind::Text << u"QRZ DE \u00A4\u00BB\u00A4\u00BBPA0RCT\u00A4\u00AB #\u00A4\u00AB"_s
        << 0;
    QTest::newRow("line break is a space") << "5nn\r\ntu"_ba << Kind::Text << u"5NN  TU"_s << 0;
    QTest::newRow("speed") << esc + "228" << Kind::Speed << QString() << 28;
    QTest::newRow("speed with line end") << esc + "2 35\n" << Kind::Speed << QString() << 35;
    QTest::newRow("speed too high") << esc + "270" << Kind::Invalid << QString() << 0;
    QTest::newRow("tune bounded to 10 s") << esc + "c15" << Kind::Tune << QString() << 10;
    QTest::newRow("tune off") << esc + "c0" << Kind::Tune << QString() << 0;
    QTest::newRow("reply") << esc + "hdl1abc" << Kind::Reply << u"dl1abc"_s << 0;
    QTest::newRow("PTT ignored") << esc + "a1" << Kind::Ignored << QString() << 0;
    QTest::newRow("unknown code") << esc + "z" << Kind::Invalid << QString() << 0;
}

void TestCwDaemonRequest::datagramIsRead()
{
    QFETCH(QByteArray, datagram);
    QFETCH(Kind, kind);
    QFETCH(QString, text);
    QFETCH(int, value);
    const CwDaemonRequest request = CwDaemonRequest::parse(datagram);
    QCOMPARE(request.kind, kind);
    QCOMPARE(request.text, text);
    QCOMPARE(request.value, value);
}

QTEST_MAIN(TestCwDaemonRequest)
#include "tst_cwdaemonrequest.moc"
