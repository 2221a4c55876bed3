#include "station.h"
#include "xtestkeys.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QUdpSocket>

#include <functional>

using namespace Qt::StringLiterals;

// The Terminal tab as the operator works it: real key presses and clicks
// on an X display, the real window, the simulated keyer on a
// pseudo-terminal, and what the keyer receives.
class TestTerminalKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keysReachTheKeyer_data();
    void keysReachTheKeyer();

private:
    // The keyer's journal from line from on, as one line: sent characters
    // as themselves, "k" + the keypad function, "s" + a set speed, "~" for
    // the stop byte.
    static QString keyerReceived(Station &station, qsizetype from);
    bool start(Station &station, const QString &step, qsizetype from, std::function<bool()> *until);

    XTestKeys m_keys;
    quint16 m_loggerPort = 0;
};

void TestTerminalKeys::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        QSKIP("drives an X display: ctest runs this under Xvfb");
    QVERIFY(m_keys.isOpen());
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
    m_loggerPort = probe.localPort();
}

QString TestTerminalKeys::keyerReceived(Station &station, qsizetype from)
{
    QString received;
    const QStringList lines = station.sim.journal();
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const QString argument = line.section(u' ', 1);
        const QChar byte = argument.size() == 1 ? argument.at(0) : QChar(argument.toInt(nullptr, 16));
        if (line.startsWith(u"char "_s))
            received += byte;
        else if (line.startsWith(u"keypad "_s))
            received += u'k' + argument;
        else if (line.startsWith(u"speed "_s))
            received += u's' + argument;
        else if (line == u"stop"_s)
            received += u'~';
    }
    return received;
}

// The Terminal tab's steps beyond the keyboard's own: "tab N" (a click on
// a tab label), "logger TEXT" (a contest logger's datagram), and what the
// operator waits for: "chars N" (N characters keyed so far), "call" (the
// QSO panel shows one), "idle" (no message going out).
bool TestTerminalKeys::start(Station &station, const QString &step, qsizetype from, std::function<bool()> *until)
{
    const QString verb = step.section(u' ', 0, 0);
    const QString rest = step.section(u' ', 1);
    if (verb == u"tab") {
        auto *bar = station.child<QTabWidget>(u"tabScreens"_s)->tabBar();
        m_keys.click(bar, bar->tabRect(rest.toInt()).center());
        return true;
    }
    if (verb == u"logger") {
        QUdpSocket logger;
        return logger.writeDatagram(rest.toLatin1(), QHostAddress::LocalHost, m_loggerPort) > 0;
    }
    if (verb == u"chars") {
        *until = [&station, from, n = rest.toInt()] {
            return station.sim.journal().mid(from).filter(u"char "_s).size() >= n;
        };
        return true;
    }
    if (verb == u"call") {
        *until = [&station] { return !station.child<QLabel>(u"lblCall"_s)->text().isEmpty(); };
        return true;
    }
    if (verb == u"idle") {
        // Closed, and what the keyer still reports has come in.
        QElapsedTimer since;
        since.start();
        *until = [&station, since]() mutable {
            if (station.window->sender().busy())
                since.restart();
            return since.elapsed() >= 300;
        };
        return true;
    }
    return false;
}

void TestTerminalKeys::keysReachTheKeyer_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<QStringList>("steps");
    // What the keyer received, as a pattern (see keyerReceived).
    QTest::addColumn<QString>("received");
    // The send buffer at the end ("*": not looked at).
    QTest::addColumn<QString>("sendBuffer");

    QTest::newRow("Ctrl+Enter checks the call; the report typed after it is text")
        << 40 << QStringList{u"type g4abc"_s, u"key Control_L+Return"_s, u"call"_s, u"type  ur 599"_s, u"key Return"_s, u"idle"_s}
        << u"^G4ABCk0DG4ABC UR 599$"_s << u"G4ABC UR 599"_s;
    QTest::newRow("Ctrl alone: the number row starts keyer messages until Ctrl again")
        << 40 << QStringList{u"key Control_L"_s, u"type 5"_s, u"key Control_R"_s, u"type 5"_s, u"key Return"_s, u"idle"_s}
        << u"^k55$"_s << u"5"_s;
    QTest::newRow("Ctrl+A, Ctrl+Backspace and Ctrl+C are chords, not Ctrl alone")
        << 40
        << QStringList{u"type old"_s, u"key Control_L+a"_s, u"key Control_L+c"_s, u"type cq cq"_s,
                       u"key Control_L+BackSpace"_s, u"type 49"_s, u"key Return"_s, u"idle"_s}
        << u"^CQ 49$"_s << u"CQ 49"_s;
    QTest::newRow("mill keyboard: the zero of a call goes out as a zero")
        << 40 << QStringList{u"click txtMonitorText"_s, u"type k0abc"_s, u"key Control_L+Return"_s, u"call"_s}
        << u"^K0ABCk0D$"_s << u"*"_s;
    QTest::newRow("text already sent cannot be changed while the message goes out")
        << 25
        << QStringList{u"type abcdefghij"_s, u"key Return"_s, u"chars 3"_s, u"key Home"_s, u"key Delete"_s,
                       u"key Delete"_s, u"key BackSpace"_s, u"type xy"_s, u"idle"_s}
        << u"^ABCDEFGHIJXY$"_s << u"ABCDEFGHIJXY"_s;
    QTest::newRow("PgUp and PgDn step the speed at once, in a message too")
        << 30 << QStringList{u"type test test"_s, u"key Return"_s, u"chars 2"_s, u"key Prior"_s, u"idle"_s, u"key Next"_s, u"key Next"_s}
        << u"^TES?s32S?T TESTs30s28$"_s << u"TEST TEST"_s;
    QTest::newRow("Esc stops a message at once, and Enter does not resume it")
        << 20
        << QStringList{u"type cq cq cq de k1xyz k1xyz k"_s, u"key Return"_s, u"chars 4"_s, u"key Escape"_s, u"idle"_s,
                       u"key Return"_s, u"wait 500"_s, u"type k"_s, u"key Return"_s, u"idle"_s}
        << u"^CQ CQ?~K$"_s << u"CQ CQ CQ DE K1XYZ K1XYZ KK"_s;
    QTest::newRow("Esc stops a contest logger's message too")
        << 20 << QStringList{u"logger CQ TEST DE K1XYZ K1XYZ"_s, u"chars 3"_s, u"key Escape"_s, u"idle"_s, u"wait 1000"_s}
        << u"^CQ T?~$"_s << u"*"_s;
    QTest::newRow("Esc with nothing going out toggles the keying")
        << 40 << QStringList{u"key Escape"_s, u"wait 300"_s} << u"^k1B$"_s << QString();
    QTest::newRow("Alt+R clears the send buffer; letters typed right after it stay")
        << 40 << QStringList{u"type old text"_s, u"key Alt_L+r"_s, u"type new"_s, u"wait 400"_s} << u"^ $"_s << u"NEW"_s;
    QTest::newRow("a space after a click on a button is typed, not a second click")
        << 40 << QStringList{u"click cbxHandkey"_s, u"type a b"_s, u"wait 300"_s} << u"^$"_s << u"A B"_s;
    QTest::newRow("back on the Terminal tab the caret is in the send buffer")
        << 40 << QStringList{u"tab 1"_s, u"wait 200"_s, u"tab 0"_s, u"type ok"_s, u"key Control_L+Tab"_s,
                             u"wait 200"_s, u"key Control_L+Shift_L+Tab"_s, u"type 1"_s, u"wait 300"_s}
        << u"^$"_s << u"OK1"_s;
}

void TestTerminalKeys::keysReachTheKeyer()
{
    QFETCH(int, speed);
    QFETCH(QStringList, steps);
    QFETCH(QString, received);
    QFETCH(QString, sendBuffer);
    Station station;
    QVERIFY(station.simStarted);
    station.settleOn(1);
    station.settings->setSetting(u"LoggerKeying"_s, 1);
    station.settings->setSetting(u"LoggerKeyingPort"_s, m_loggerPort);
    station.startWindow();
    QCOMPARE(station.window->startupResult(), Configuration::StartupResult::Ready);
    station.sim.control(u"knob %1"_s.arg(speed));
    QTRY_COMPARE_WITH_TIMEOUT(station.window->record().currentSpeed, QByteArray::number(speed), 10000);
    QVERIFY(m_keys.focus(station.window.get()));
    auto *box = station.child<QPlainTextEdit>(u"txtSendBuffer"_s);
    QTRY_VERIFY(box->hasFocus());

    // The steps run from a timer: the window may be inside a key's
    // handling (a message going out) while the operator goes on.
    const qsizetype from = station.sim.journal().size();
    QString failure;
    const bool ran = m_keys.run(
        station.window.get(), steps,
        [&](const QString &step, std::function<bool()> *until) { return start(station, step, from, until); }, 60000,
        &failure);
    QVERIFY2(ran, qPrintable(failure));
    // Whatever is still on its way to the keyer arrives.
    QTest::qWait(300);
    const QString got = keyerReceived(station, from);
    QVERIFY2(QRegularExpression(received).match(got).hasMatch(), qPrintable(u"the keyer got \""_s + got + u'"'));
    if (sendBuffer != u"*"_s)
        QCOMPARE(box->toPlainText(), sendBuffer);
    QVERIFY2(station.messages.isEmpty(), qPrintable(station.texts().join(u'\n')));
    station.window->close();
}

QTEST_MAIN(TestTerminalKeys)
#include "tst_terminalkeys.moc"
