#include "remotereceiver.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the server's keyer is told: "{N}" for a set-speed, the character of
// a send-character.
class RecordingKeyer : public RemoteReceiver::Keyer
{
public:
    QString told;
    void setSpeed(int wpm) override { told += u"{%1}"_s.arg(wpm); }
    void sendCharacter(char c) override { told += QChar(char16_t(quint8(c))); }
    void stopKeying() override { told += u"<stop>"_s; }
};

using Drop = RemoteReceiver::Drop;

} // namespace

Q_DECLARE_METATYPE(RemoteReceiver::Drop)

// The server's receive rules, fed as a client's reads arrive.
class TestRemoteReceiver : public QObject
{
    Q_OBJECT

private slots:
    void clientBytesBecomeKeyerCommands_data();
    void clientBytesBecomeKeyerCommands();
    void inactiveClientIsDropped_data();
    void inactiveClientIsDropped();
    void keyerIsNeverFlooded_data();
    void keyerIsNeverFlooded();
};

void TestRemoteReceiver::clientBytesBecomeKeyerCommands_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArrayList>("reads");
    // What the keyer is told after each read.
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<Drop>("drop");

    const QByteArray hello("\x05\x14", 2);
    QTest::newRow("buffering off: every character at once")
        << 0 << QByteArrayList{hello, "CQ", " \x04\x14"} << QStringList{u"{20}"_s, u"CQ"_s, u" {20}"_s} << Drop::None;
    QTest::newRow("a word is held until its boundary; a keep-alive ends it")
        << 1 << QByteArrayList{hello, "CQ", " DE", "\x04\x19"} << QStringList{u"{20}"_s, u""_s, u"CQ "_s, u"{25}DE"_s}
        << Drop::None;
    QTest::newRow("level 1 hands over 11 characters without a boundary")
        << 1 << QByteArrayList{hello, "ABCDEFGHIJKL"} << QStringList{u"{20}"_s, u"ABCDEFGHIJK"_s} << Drop::None;
    QTest::newRow("level 3 holds up to 33")
        << 3 << QByteArrayList{hello, QByteArray(32, 'E'), "EE"}
        << QStringList{u"{20}"_s, u""_s, QString(33, u'E')} << Drop::None;
    QTest::newRow("every word boundary")
        << 2 << QByteArrayList{hello, "A<B/C:D@E,F.G-H"} << QStringList{u"{20}"_s, u"A<B/C:D@E,F.G-"_s} << Drop::None;
    QTest::newRow("flush hands over the held word; keypad echo sends nothing")
        << 1 << QByteArrayList{hello, "K1ABC\x10", "\x09"} << QStringList{u"{20}"_s, u""_s, u"K1ABC"_s} << Drop::None;
    QTest::newRow("functions never reach the keyer, letters and state codes do")
        << 0 << QByteArrayList{hello, QByteArray("\x0d\x08\x12\x1a\x9a" "T\xb0\x8d\x7f\x0e\x0f\x1e\xc4\xc0\xd6\xc5")}
        << QStringList{u"{20}"_s, u"T\u000e\u000f\u001e\u00c4\u00c0\u00d6"_s} << Drop::None;
    QTest::newRow("hellos with speed 4 and 76 connect nothing, 75 does")
        << 0 << QByteArrayList{"\x05\x04", "\x05\x4c", "\x05\x4b" "A"} << QStringList{u""_s, u""_s, u"{75}A"_s}
        << Drop::None;
    QTest::newRow("text before the hello") << 0 << QByteArrayList{"CQ"} << QStringList{u""_s} << Drop::WrongHello;
    QTest::newRow("speeds outside 5-75 are not set")
        << 0 << QByteArrayList{hello, QByteArray("\x01\x04\x01\x4c\x04\x00\x01\x1e", 8)} << QStringList{u"{20}"_s, u"{30}"_s}
        << Drop::None;
    QTest::newRow("a speed byte in the next read")
        << 0 << QByteArrayList{hello, "\x01", "\x19"} << QStringList{u"{20}"_s, u""_s, u"{25}"_s} << Drop::None;
    QTest::newRow("Esc at the client: the held word is dropped, the keyer stopped")
        << 1 << QByteArrayList{hello, "CQ DE K1XYZ", "\x12", "\x04\x14"}
        << QStringList{u"{20}"_s, u"CQ DE "_s, u"<stop>"_s, u"{20}"_s} << Drop::None;
    QTest::newRow("goodbye: the last word still goes, nothing after it")
        << 1 << QByteArrayList{hello, "TU\x03\x03" "EE"} << QStringList{u"{20}"_s, u"TU"_s} << Drop::Goodbye;
}

void TestRemoteReceiver::clientBytesBecomeKeyerCommands()
{
    QFETCH(int, level);
    QFETCH(QByteArrayList, reads);
    QFETCH(QStringList, told);
    RecordingKeyer keyer;
    RemoteReceiver receiver(keyer);
    receiver.setBuffering(level);
    receiver.accept();
    Drop drop = Drop::None;
    for (qsizetype i = 0; i < reads.size(); ++i) {
        keyer.told.clear();
        drop = receiver.take(reads.at(i)).drop;
        QCOMPARE(keyer.told, told.at(i));
    }
    QTEST(drop, "drop");
}

void TestRemoteReceiver::inactiveClientIsDropped_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QByteArray>("between");
    // Keep-alives until the drop, 0 for none in 200.
    QTest::addColumn<int>("keepAlives");

    QTest::newRow("1 minute: 30 keep-alives") << 1 << QByteArray() << 30;
    QTest::newRow("3 minutes: 90 keep-alives") << 3 << QByteArray() << 90;
    QTest::newRow("0: never") << 0 << QByteArray() << 0;
    QTest::newRow("text after 20 starts the count again") << 1 << QByteArray("E") << 50;
    QTest::newRow("a speed change starts it again") << 1 << QByteArray("\x01\x19") << 50;
}

void TestRemoteReceiver::inactiveClientIsDropped()
{
    QFETCH(int, minutes);
    QFETCH(QByteArray, between);
    RecordingKeyer keyer;
    RemoteReceiver receiver(keyer);
    receiver.setInactivityTimeout(minutes);
    receiver.accept();
    QVERIFY(receiver.take("\x05\x14").helloAccepted);
    int sent = 0;
    Drop drop = Drop::None;
    while (drop == Drop::None && sent < 200) {
        if (sent == 20)
            receiver.take(between);
        drop = receiver.take("\x04\x14").drop;
        ++sent;
    }
    QFETCH(int, keepAlives);
    QCOMPARE(drop, keepAlives > 0 ? Drop::Inactive : Drop::None);
    if (keepAlives > 0)
        QCOMPARE(sent, keepAlives);
}

void TestRemoteReceiver::keyerIsNeverFlooded_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("keyedReports");
    QTest::addColumn<bool>("keyerQuiet");
    QTest::addColumn<int>("told");
    QTest::addColumn<int>("waiting");
    QTest::addColumn<bool>("overflow");

    const int ahead = RemoteReceiver::KeyerAhead;
    QTest::newRow("a burst: the keyer gets its share, the rest waits")
        << QByteArray(50, 'E') << 0 << false << ahead << 50 - ahead << false;
    QTest::newRow("each keyed report lets one more go") << QByteArray(50, 'E') << 10 << false << ahead + 10 << 4 << false;
    QTest::newRow("beyond the queue the text is dropped")
        << QByteArray(500, 'E') << 0 << false << ahead << RemoteReceiver::QueueLimit << true;
    QTest::newRow("a quiet keyer gets the next share")
        << QByteArray(100, 'E') << 0 << true << 2 * ahead << 100 - 2 * ahead << false;
    QTest::newRow("erases are not reported and do not count") << QByteArray(50, '<') << 0 << false << 50 << 0 << false;
}

void TestRemoteReceiver::keyerIsNeverFlooded()
{
    QFETCH(QByteArray, text);
    QFETCH(int, keyedReports);
    RecordingKeyer keyer;
    RemoteReceiver receiver(keyer);
    receiver.setBuffering(0);
    receiver.accept();
    receiver.take("\x05\x14");
    keyer.told.clear();
    receiver.take(text);
    for (int i = 0; i < keyedReports; ++i)
        receiver.keyed();
    QFETCH(bool, keyerQuiet);
    if (keyerQuiet)
        receiver.keyerQuiet();
    QTEST(int(keyer.told.size()), "told");
    QTEST(int(receiver.queued()), "waiting");
    QTEST(receiver.takeOverflow(), "overflow");
    QVERIFY(!receiver.takeOverflow());
}

QTEST_GUILESS_MAIN(TestRemoteReceiver)
#include "tst_remotereceiver.moc"
