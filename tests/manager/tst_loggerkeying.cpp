#include "cwdaemonrequest.h"
#include "station.h"

#include <QCheckBox>
#include <QDate>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

// Contest loggers key the keyer through the cwdaemon-compatible UDP server:
// datagrams in, send-character and set-speed commands at the simulated
// keyer, "h" replies back; refusals and a flood said in the monitor.
class TestLoggerKeying : public QObject
{
    Q_OBJECT

private slots:
    void loggerDatagramsReachTheKeyer_data();
    void loggerDatagramsReachTheKeyer();
};

namespace {

// The characters keyed, a set speed as "{wpm}" between them.
QString keyerChars(Station &station)
{
    QString chars;
    for (const QString &line : station.sim.journal()) {
        if (line.startsWith(u"char "_s))
            chars += line.size() == 6 ? line.at(5) : QChar(line.mid(5).toInt(nullptr, 16));
        else if (line.startsWith(u"speed "_s))
            chars += u'{' + line.mid(6) + u'}';
    }
    return chars;
}

QByteArray esc(const char *request)
{
    return QByteArray(1, 27) + request;
}

} // namespace

void TestLoggerKeying::loggerDatagramsReachTheKeyer_data()
{
    QTest::addColumn<QList<QByteArray>>("datagrams");
    QTest::addColumn<QString>("typed");      // in the send buffer beforehand, not sent
    QTest::addColumn<int>("abortAfter");     // keyed characters before ESC 4; -1 none
    QTest::addColumn<QString>("keyed");      // exactly; with an abort, a longer text it cut
    QTest::addColumn<int>("speed");          // a set-speed command seen, 0 none
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("note");       // in the monitor

    const QByteArray flood(10, 'E');
    QTest::newRow("text") << QList<QByteArray>{"cq test"} << QString() << -1 << u"CQ TEST"_s << 0
                          << QByteArray() << QString();
    QTest::newRow("speed, ignored, not understood, text")
        << QList<QByteArray>{esc("a1"), esc("6"), esc("z"), esc("232"), "tu"} << QString() << -1 << u"{32}TU"_s << 32
        << QByteArray() << u"request not understood"_s;
    QTest::newRow("reply after the text") << QList<QByteArray>{esc("hok"), "5nn"} << QString() << -1 << u"5NN"_s
                                          << 0 << "hok"_ba << QString();
    QTest::newRow("abort mid-message") << QList<QByteArray>{"cq cq cq de dl1abc dl1abc test"} << QString() << 3
                                       << u"CQ CQ CQ DE DL1ABC DL1ABC TEST"_s << 0 << QByteArray() << QString();
    QTest::newRow("operator's text waiting") << QList<QByteArray>{"cq"} << u"QRL?"_s << -1 << QString() << 0
                                             << QByteArray() << u"refused (the send buffer holds text"_s;
    QTest::newRow("flood bounded") << QList<QByteArray>(60, flood) << QString() << 0
                                   << QStringList(60, QString::fromLatin1(flood)).join(u' ') << 0 << QByteArray()
                                   << u"text dropped"_s;
    // What tlf and CQRLOG send, and what the keyer must get of it.
    QTest::newRow("tlf: call, then the exchange a little faster")
        << QList<QByteArray>{"dl1abc", "++5nn--tt1"} << QString() << -1 << u"DL1ABC {22}{24}5NN{22}{20}TT1"_s << 22
        << QByteArray() << QString();
    QTest::newRow("tlf: a step left over lasts to the end of its datagram")
        << QList<QByteArray>{"+tu"} << QString() << -1 << u"{22}TU{20}"_s << 22 << QByteArray() << QString();
    QTest::newRow("cwdaemon's prosigns") << QList<QByteArray>{"73 * < ! = ( > &"} << QString() << -1
                                         << u"73 + # ^ = ( > &"_s << 0 << QByteArray() << QString();
    QTest::newRow("CQRLOG: its speed, then lower-case text")
        << QList<QByteArray>{esc("225"), "cq de ok1rr k"} << QString() << -1 << u"{25}CQ DE OK1RR K"_s << 25
        << QByteArray() << QString();
}

void TestLoggerKeying::loggerDatagramsReachTheKeyer()
{
    QFETCH(QList<QByteArray>, datagrams);
    QFETCH(QString, typed);
    QFETCH(int, abortAfter);
    QFETCH(QString, keyed);
    QFETCH(int, speed);
    QFETCH(QByteArray, reply);
    QFETCH(QString, note);

    QUdpSocket logger;
    QVERIFY(logger.bind(QHostAddress::LocalHost, 0));
    quint16 port = 0;
    {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    Station station;
    QVERIFY(station.simStarted);
    const QDate today = QDate::currentDate();
    station.settings->setSetting(u"LastUpdate"_s, today.year() * 100 + today.month());
    station.settings->setSetting(u"KRVLastScreen"_s, 1);
    station.settings->setSetting(u"LoggerKeying"_s, 1);
    station.settings->setSetting(u"LoggerKeyingPort"_s, port);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    QVERIFY(station.child<QCheckBox>(u"cbxLoggerKeying"_s)->isChecked());
    auto *buffer = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    auto *monitor = station.child<QPlainTextEdit>(u"txtMonitorText"_s);
    buffer->insertPlainText(typed);

    // Send Message runs inside whatever wait comes first, so the abort is
    // sent from the monitor's echo of the keyed characters.
    bool aborted = false;
    if (abortAfter >= 0) {
        connect(monitor, &QPlainTextEdit::textChanged, &logger, [&] {
            if (!aborted && monitor->toPlainText().size() > abortAfter && station.window->sender().busy())
                aborted = logger.writeDatagram(esc("4"), QHostAddress::LocalHost, port) > 0;
        });
    }
    for (const QByteArray &datagram : datagrams)
        QCOMPARE(logger.writeDatagram(datagram, QHostAddress::LocalHost, port), datagram.size());
    if (abortAfter >= 0) {
        QTRY_VERIFY_WITH_TIMEOUT(aborted && !station.window->sender().busy(), 20000);
        QVERIFY(buffer->toPlainText().size() <= CwDaemonRequest::MaxWaiting);
        // The logger keys on after the abort; nothing of the cut text follows.
        logger.writeDatagram("k", QHostAddress::LocalHost, port);
        QTRY_VERIFY_WITH_TIMEOUT(keyerChars(station).endsWith(u'K'), 10000);
        // "K" is a word of its own after the cut text.
        QString cut = keyerChars(station).chopped(1);
        if (cut.endsWith(u' '))
            cut.chop(1);
        QVERIFY2(cut.size() < keyed.size() && keyed.startsWith(cut), qPrintable(cut));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(keyerChars(station), keyed, 20000);
    }
    if (speed > 0)
        QVERIFY(station.sim.journal().contains(u"speed %1"_s.arg(speed)));
    if (!reply.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(logger.hasPendingDatagrams(), 10000);
        QCOMPARE(logger.receiveDatagram().data(), reply);
    }
    if (!note.isEmpty())
        QTRY_VERIFY2(monitor->toPlainText().contains(note), qPrintable(monitor->toPlainText()));
    QVERIFY2(station.messages.isEmpty(), qPrintable(station.texts().join(u'\n')));
}

QTEST_MAIN(TestLoggerKeying)
#include "tst_loggerkeying.moc"
