#include "fakekeyerport.h"
#include "keyerlink.h"
#include "messagesender.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The window around a transmission, recorded.
class Host : public MessageSenderHost
{
public:
    QString text;
    QString call;
    bool sending = false;
    int sendingChanges = 0;
    int qsosLogged = 0;
    QStringList failures;

    QString sendBufferText() const override { return text; }
    void transmissionStarted() override {}
    void setSending(bool on) override { sending = on; ++sendingChanges; }
    bool editMode() const override { return false; }
    void sentRst() override {}
    bool autoLogging() const override { return true; }
    QString ownCall() const override { return u"K1XYZ"_s; }
    bool callShown() const override { return !call.isEmpty(); }
    void qsoLogged() override { ++qsosLogged; }
    int keyerSpeed() const override { return 20; }
    void sendFailed(const QString &message) override { failures << message; }
    void unsentLeft(qsizetype from) override { unsentFrom = from; }
    qsizetype unsentFrom = 0;
};

} // namespace

// Send Message against a keyer that reports each character it keys, as the
// keyer does; rows take single reports away.
class TestMessageSender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void transmission_data();
    void transmission();
    void immediateModeSendsNothingTwice();

private:
    // The payloads of the send-character commands, and "K13" for a keypad 13.
    QStringList sentCommands() const;

    FakeKeyerPort *m_port = nullptr;
    KeyerLink *m_link = nullptr;
    Host *m_host = nullptr;
    MessageSender *m_sender = nullptr;
    // The keyer keeps quiet about this character (-1: reports all).
    int m_withheld = -1;
    bool m_reportsCalls = true;
};

void TestMessageSender::init()
{
    m_port = new FakeKeyerPort;
    m_port->devices = {u"dev"_s};
    m_link = new KeyerLink(m_port);
    m_link->setWaitScale(0.05);
    m_link->setPortTable(PortTable({u"dev"_s}));
    m_link->openPort(1, 38400);
    m_host = new Host;
    m_sender = new MessageSender(*m_link, *m_host);
    m_withheld = -1;
    m_reportsCalls = true;
    m_port->responder = [this](FakeKeyerPort &port, const QByteArray &written) {
        if (written.size() == 2 && written.at(0) == 9 && uchar(written.at(1)) >= 32 && uchar(written.at(1)) < 128
            && written.at(1) != char(m_withheld))
            port.arrive(written.mid(1), 1);
        // Storing the record is reported as a stored QSO.
        if (written == QByteArray("\x09\x1E"))
            port.arrive("\x12", 1);
        if (written == QByteArray("\x10\x0D") && m_reportsCalls)
            QTimer::singleShot(5, [this] { m_host->call = u"DL1ABC"_s; });
    };
    // The event stream's part: every arrival is the keyer's report.
    connect(m_link, &KeyerLink::receiveEvent, m_link, [this] {
        m_link->linkStatus = KeyerLink::Arrived;
        m_link->takeInput();
    });
}

void TestMessageSender::cleanup()
{
    delete m_sender;
    delete m_host;
    delete m_link;
    delete m_port;
}

QStringList TestMessageSender::sentCommands() const
{
    QStringList commands;
    const QByteArray &w = m_port->written;
    for (qsizetype i = 0; i + 1 < w.size(); ++i) {
        if (w.at(i) == 9) {
            commands << (uchar(w.at(i + 1)) < 32 || uchar(w.at(i + 1)) >= 128 ? QString::number(uchar(w.at(i + 1)))
                                                                              : QString(QLatin1Char(w.at(i + 1))));
            ++i;
        } else if (w.at(i) == 16) {
            commands << u"K"_s + QString::number(uchar(w.at(i + 1)));
            ++i;
        }
    }
    return commands;
}

void TestMessageSender::transmission_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("withheld");     // a character the keyer does not report
    QTest::addColumn<bool>("reportsCalls");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("failure");

    QTest::newRow("space after a comma is not awaited")
        << u"A, B"_s << int(' ') << true << QStringList{u"A"_s, u","_s, u" "_s, u"B"_s} << QString();
    QTest::newRow("keyer silent after a word: stop and say so")
        << u"A B C"_s << int(' ') << true << QStringList{u"A"_s, u" "_s} << u"Communication with keyer failed - Error  2011H"_s;
    QTest::newRow("line break as one space") << u"A\r\nB"_s << -1 << true << QStringList{u"A"_s, u" "_s, u"B"_s}
                                             << QString();
    QTest::newRow("escape codes and the end-of-contact sign")
        << u"K\u00A4#\u00A4E\u00A4+ #"_s << -1 << true
        << QStringList{u"K"_s, u"30"_s, u"141"_s, u"171"_s, u" "_s, u"#"_s} << QString();
    QTest::newRow("automatic logging marks the call")
        << u"DL1ABC DE K1XYZ K"_s << -1 << true
        << QStringList{u"D"_s, u"L"_s, u"1"_s, u"A"_s, u"B"_s, u"C"_s, u"K13"_s, u" "_s, u"D"_s, u"E"_s, u" "_s,
                       u"K"_s, u"1"_s, u"X"_s, u"Y"_s, u"Z"_s, u" "_s, u"K"_s}
        << QString();
    QTest::newRow("call never reported") << u"DL1ABC DE K1XYZ K"_s << -1 << false
                                         << QStringList{u"D"_s, u"L"_s, u"1"_s, u"A"_s, u"B"_s, u"C"_s, u"K13"_s}
                                         << u"Communication with keyer failed - Error  2012H"_s;
}

void TestMessageSender::transmission()
{
    QFETCH(QString, text);
    QFETCH(QString, failure);
    QFETCH(int, withheld);
    QFETCH(bool, reportsCalls);
    m_withheld = withheld;
    m_reportsCalls = reportsCalls;
    m_host->text = text;
    m_sender->send();
    QTEST(sentCommands(), "sent");
    QCOMPARE(m_host->failures, failure.isEmpty() ? QStringList{} : QStringList{failure});
    // Whatever happened, the controls are back.
    QVERIFY(!m_host->sending);
    QCOMPARE(m_host->sendingChanges, 2);
    QVERIFY(!m_sender->busy());
    // "#" ends the contact; "¤#" only stores the record.
    QCOMPARE(m_host->qsosLogged, text.endsWith(u" #"_s) ? 1 : 0);
}

void TestMessageSender::immediateModeSendsNothingTwice()
{
    m_link->setWaitScale(1);
    m_host->text = u"AB"_s;
    // Typing goes on while the transmission holds open.
    QTimer::singleShot(30, [this] { m_host->text += u"C"_s; });
    m_sender->send();
    QCOMPARE(sentCommands(), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    // Send Message again with nothing new sends no character.
    m_sender->send();
    QCOMPARE(sentCommands(), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    m_host->text += u"D"_s;
    m_sender->send();
    QCOMPARE(sentCommands(), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
}

QTEST_GUILESS_MAIN(TestMessageSender)
#include "tst_messagesender.moc"
