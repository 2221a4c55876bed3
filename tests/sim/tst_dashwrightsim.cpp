#include "configrecord.h"
#include "controlinput.h"
#include "logrecord.h"
#include "simulatedkeyer.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

// dashwright-sim as a test peer: its device path and its journal.
class SimProgram
{
public:
    ~SimProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    enum class Input { Pipe, EndOfFile, NullDevice, Closed };

    bool start(const QStringList &arguments, Input input = Input::Pipe)
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [this] {
            output += process.readAllStandardOutput();
            qsizetype end;
            while ((end = output.indexOf('\n')) >= 0) {
                lines.append(QString::fromLocal8Bit(output.first(end)));
                output.remove(0, end + 1);
            }
        });
        process.setProcessChannelMode(QProcess::SeparateChannels);
        const QString program = QStringLiteral(DASHWRIGHT_SIM_PATH);
        if (input == Input::NullDevice)
            process.setStandardInputFile(QProcess::nullDevice());
        if (input == Input::Closed)
            process.start(u"/bin/sh"_s, QStringList{u"-c"_s, u"exec \"$0\" \"$@\" <&-"_s, program} + arguments);
        else
            process.start(program, arguments);
        if (!process.waitForStarted(10000))
            return false;
        if (input == Input::EndOfFile)
            process.closeWriteChannel();
        QDeadlineTimer deadline(15000);
        while (lines.isEmpty() && !deadline.hasExpired() && process.state() == QProcess::Running)
            QTest::qWait(20);
        return !lines.isEmpty();
    }

    QString device() const { return lines.value(0); }
    QStringList journal() const { return lines.mid(1); }
    void control(const QByteArray &line) { process.write(line + '\n'); }

    QProcess process;
    QByteArray output;
    QStringList lines;
};

// A host port as the manager opens it.
class HostPort
{
public:
    explicit HostPort(const QString &device)
    {
        port.setPortName(device);
        QObject::connect(&port, &QSerialPort::readyRead, &port, [this] { received += port.readAll(); });
    }

    bool open(qint32 baud)
    {
        received.clear();
        port.setBaudRate(baud);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::SoftwareControl);
        return port.open(QIODevice::ReadWrite);
    }

    void send(const QByteArray &data)
    {
        port.write(data);
        port.flush();
    }

    QSerialPort port;
    QByteArray received;
};

// Processor time used so far by a process, in seconds (Linux).
double cpuSeconds(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name: state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = text.sliced(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

// What a process's descriptor refers to (Linux).
QByteArray descriptorTarget(qint64 pid, int fd)
{
    char target[256];
    const QByteArray link = "/proc/" + QByteArray::number(pid) + "/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    return n > 0 ? QByteArray(target, n) : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(SimProgram::Input)

class TestDashwrightSim : public QObject
{
    Q_OBJECT

private slots:
    void controlLinesDriveTheKeyer_data();
    void controlLinesDriveTheKeyer();
    void badControlLinesAreReported_data();
    void badControlLinesAreReported();
    void sleepHoldsBackFollowingLines();
    void linesMayArriveInPieces();
    void vanishDropsLaterLines();

    void portSearchReopensDeviceAndControlReachesHost();
    void answersOnlyAtItsLineSpeed();
    void doesNotSpinWhileNobodyHasTheDeviceOpen();
    void endOfStandardInputKeepsItRunningUntilTerminated_data();
    void endOfStandardInputKeepsItRunningUntilTerminated();
    void idleExitWaitsWhileDeviceIsOpen();
};

void TestDashwrightSim::controlLinesDriveTheKeyer_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("fromHost");
    QTest::addColumn<QByteArray>("toHost");

    QTest::newRow("knob") << QStringList{u"knob 25"_s} << QByteArray() << bytes({1, '1', '9'});
    QTest::newRow("raw") << QStringList{u"raw 01 31 39"_s} << QByteArray() << bytes({1, '1', '9'});
    QTest::newRow("split speed") << QStringList{u"split-speed 25"_s} << QByteArray() << bytes({1, '1', '9'});
    QTest::newRow("call") << QStringList{u"call DL1ABC Hans  Berlin"_s} << QByteArray()
                          << "\x02" "DL1ABC\xB7Hans  Berlin\x03"_ba;
    QTest::newRow("key") << QStringList{u"key cq"_s} << QByteArray() << "CQ"_ba;
    // The trainer keyer's answer carries its firmware version.
    QTest::newRow("letter") << QStringList{u"letter T"_s} << bytes({5, '?'}) << bytes({'?', 'T', 6}) + "41";
    QTest::newRow("silent on") << QStringList{u"silent on"_s} << bytes({5, '?'}) << QByteArray();
    QTest::newRow("silent off") << QStringList{u"silent on"_s, u"silent off"_s} << bytes({5, '?'})
                                << bytes({'?', 'K', 6});
    QTest::newRow("baud mismatch") << QStringList{u"baud 19200"_s} << bytes({5, '?'}) << QByteArray();
    QTest::newRow("baud match") << QStringList{u"baud 38400"_s} << bytes({5, '?'}) << bytes({'?', 'K', 6});
    QTest::newRow("any baud") << QStringList{u"baud 19200"_s, u"baud 0"_s} << bytes({5, '?'})
                              << bytes({'?', 'K', 6});
    QTest::newRow("comment") << QStringList{u"# knob 30"_s, u""_s} << QByteArray() << QByteArray();
    // Keyboard entry of the call, then the key that checks it.
    const QByteArray checkCall = bytes({8, 2, 9, 'D', 9, 'L', 9, '1', 9, 'A', 9, 'B', 9, 'C', 3, 16, 13});
    const QByteArray today = QDateTime::currentDateTimeUtc().toString(u"dd-MM-yy"_s).toLatin1();
    QTest::newRow("qso") << QStringList{u"qso dl1abc Hans Berlin"_s} << checkCall
                         << "\x02" "DL1ABC\xB7Hans Berlin " + today + " 599 599   20M   CW\x03";
    QTest::newRow("message") << QStringList{u"message 3 tu 73"_s} << bytes({16, '3'}) << "TU 73\x03"_ba;
}

void TestDashwrightSim::controlLinesDriveTheKeyer()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, fromHost);
    QFETCH(QByteArray, toHost);

    SimulatedKeyer keyer;
    keyer.setLineSpeed(38400);
    keyer.setEventGap(1);
    keyer.feed(bytes({1, 60}));
    QByteArray received;
    connect(&keyer, &SimulatedKeyer::transmit, this, [&](const QByteArray &b) { received += b; });
    ControlInput control(&keyer);
    QSignalSpy errors(&control, &ControlInput::error);
    for (const QString &line : std::as_const(lines))
        control.addLine(line);
    keyer.feed(fromHost);
    QTRY_COMPARE_WITH_TIMEOUT(received, toHost, 10000);
    QTest::qWait(100);
    QCOMPARE(received, toHost);
    QCOMPARE(errors.count(), 0);
}

void TestDashwrightSim::badControlLinesAreReported_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("unknown command") << u"frobnicate 3"_s;
    QTest::newRow("knob without speed") << u"knob"_s;
    QTest::newRow("knob not a number") << u"knob fast"_s;
    QTest::newRow("raw not hex") << u"raw 01 XY"_s;
    QTest::newRow("raw byte too large") << u"raw 1FF"_s;
    QTest::newRow("silent neither on nor off") << u"silent maybe"_s;
    QTest::newRow("letter too long") << u"letter KT"_s;
    QTest::newRow("negative garbage") << u"garbage -1"_s;
    QTest::newRow("count too large") << u"count 40000"_s;
    QTest::newRow("qso without call") << u"qso"_s;
    QTest::newRow("message key beyond 9") << u"message 12 TU"_s;
    QTest::newRow("message without text") << u"message 3"_s;
    QTest::newRow("log with arguments") << u"log all"_s;
}

void TestDashwrightSim::badControlLinesAreReported()
{
    QFETCH(QString, line);
    SimulatedKeyer keyer;
    QSignalSpy sent(&keyer, &SimulatedKeyer::transmit);
    ControlInput control(&keyer);
    QSignalSpy errors(&control, &ControlInput::error);
    control.addLine(line);
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.first().first().toString().contains(line));
    QCOMPARE(sent.count(), 0);
    QCOMPARE(keyer.config(), SimulatedKeyer::defaultConfig());
    QCOMPARE(keyer.deviceLetter(), 'K');
}

void TestDashwrightSim::sleepHoldsBackFollowingLines()
{
    SimulatedKeyer keyer;
    QSignalSpy sent(&keyer, &SimulatedKeyer::transmit);
    ControlInput control(&keyer);
    control.addText("sleep 100\nknob 25\nknob 30\n");
    QCOMPARE(sent.count(), 0);
    QVERIFY(!control.isIdle());
    QTRY_COMPARE(sent.count(), 2);
    QCOMPARE(sent.at(0).first().toByteArray(), bytes({1, '1', '9'}));
    QCOMPARE(sent.at(1).first().toByteArray(), bytes({1, '1', 'E'}));
    QVERIFY(control.isIdle());
}

void TestDashwrightSim::linesMayArriveInPieces()
{
    SimulatedKeyer keyer;
    QSignalSpy sent(&keyer, &SimulatedKeyer::transmit);
    ControlInput control(&keyer);
    control.addText("count 4");
    control.addText("2\nkn");
    QCOMPARE(keyer.config().qsoCount, qint16(42));
    QCOMPARE(sent.count(), 0);
    control.addText("ob 25\n");
    QCOMPARE(sent.count(), 1);
}

void TestDashwrightSim::vanishDropsLaterLines()
{
    SimulatedKeyer keyer;
    QSignalSpy sent(&keyer, &SimulatedKeyer::transmit);
    ControlInput control(&keyer);
    QSignalSpy vanished(&control, &ControlInput::vanishRequested);
    control.addText("vanish\nknob 25\n");
    control.addText("knob 30\n");
    QCOMPARE(vanished.count(), 1);
    QCOMPARE(sent.count(), 0);
}

void TestDashwrightSim::portSearchReopensDeviceAndControlReachesHost()
{
    SimProgram sim;
    QVERIFY2(sim.start({}), "dashwright-sim did not print its device");
    const QString device = sim.device();
    QVERIFY(QFile::exists(device));

    HostPort host(device);
    // A port search opens, identifies and closes, again and again.
    for (int round = 1; round <= 5; ++round) {
        QVERIFY2(host.open(38400), qPrintable(host.port.errorString()));
        host.send(bytes({5, '?'}));
        QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);
        host.port.close();
        QTRY_COMPARE_WITH_TIMEOUT(sim.journal().count(u"identify"_s), round, 10000);
    }

    QVERIFY(host.open(38400));
    host.send(bytes({5, '?'}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);
    // 17 and 19 wpm travel as the codes of XON and XOFF, through the host's
    // flow control: the keyer takes them as the speed and understands what
    // follows.
    for (int wpm : {17, 19}) {
        host.received.clear();
        host.send(bytes({1, wpm, 5, '?'}));
        QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.journal().contains(u"speed %1"_s.arg(wpm)), 10000);
    }
    host.received.clear();
    sim.control("knob 25");
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({1, '1', '9'}), 10000);

    // The log reaches the journal as records a host could read back.
    sim.control("qso DL1ABC Hans Berlin");
    sim.control("log");
    QTRY_VERIFY_WITH_TIMEOUT(sim.journal().contains(u"log end 1"_s), 10000);
    const QStringList logLines = sim.journal().filter(u"log 1 "_s);
    QCOMPARE(logLines.size(), 1);
    QCOMPARE(LogRecord::decode(logLines.first().sliced(6).toLatin1()).value_or(LogRecord()).text().call, "DL1ABC"_ba);

    // The keyer picks up the new speed: the configuration says so.
    host.received.clear();
    host.send(bytes({5, 'S'}));
    QTRY_VERIFY_WITH_TIMEOUT(host.received.endsWith(char(3)), 10000);
    const qsizetype start = host.received.indexOf(char(20));
    QVERIFY(start > 0);
    const ConfigRecord reported = ConfigBlock::ParseConfigBlock(host.received.sliced(start + 1).chopped(1));
    QCOMPARE(reported.currentSpeed, "25"_ba);
    QTRY_VERIFY_WITH_TIMEOUT(sim.journal().contains(u"command S"_s), 10000);

    host.port.close();
    sim.control("vanish");
    QTRY_COMPARE_WITH_TIMEOUT(sim.process.state(), QProcess::NotRunning, 10000);
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFile::exists(device));
    QVERIFY(!host.open(38400));
}

void TestDashwrightSim::answersOnlyAtItsLineSpeed()
{
    SimProgram sim;
    QVERIFY(sim.start({u"--letter"_s, u"T"_s, u"--baud"_s, u"19200"_s}));
    HostPort host(sim.device());

    QVERIFY(host.open(38400));
    host.send(bytes({5, '?'}));
    QTRY_VERIFY_WITH_TIMEOUT(sim.journal().contains(u"noise 05 3F"_s), 10000);
    QTest::qWait(300);
    QCOMPARE(host.received, QByteArray());
    host.port.close();

    QVERIFY(host.open(19200));
    host.send(bytes({5, '?'}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'T', 6}) + "41", 10000);
}

// With no slave open the master is always readable (EIO); a reader that
// keeps listening then burns a whole core.
void TestDashwrightSim::doesNotSpinWhileNobodyHasTheDeviceOpen()
{
    SimProgram sim;
    QVERIFY(sim.start({}));
    HostPort host(sim.device());
    QVERIFY(host.open(38400));
    host.send(bytes({5, '?'}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);
    host.port.close();

    const double before = cpuSeconds(sim.process.processId());
    QVERIFY(before >= 0);
    QTest::qWait(2000);
    const double used = cpuSeconds(sim.process.processId()) - before;
    QVERIFY2(used < 0.3, qPrintable(u"%1 s of processor time in 2 s"_s.arg(used)));

    // And it still notices the next open.
    QVERIFY(host.open(38400));
    host.send(bytes({5, '?'}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);
}

void TestDashwrightSim::endOfStandardInputKeepsItRunningUntilTerminated_data()
{
    QTest::addColumn<SimProgram::Input>("input");
    QTest::newRow("input ends") << SimProgram::Input::EndOfFile;
    QTest::newRow("input is /dev/null") << SimProgram::Input::NullDevice;
    QTest::newRow("input closed") << SimProgram::Input::Closed;
}

void TestDashwrightSim::endOfStandardInputKeepsItRunningUntilTerminated()
{
    QFETCH(SimProgram::Input, input);
    SimProgram sim;
    QVERIFY(sim.start({u"--firmware"_s, u"40"_s, u"--build"_s, u"07"_s, u"--qso-count"_s, u"12"_s}, input));
    // Whatever standard input was, the device and the program's own
    // channels must not have taken its place.
    const QByteArray stdinTarget = descriptorTarget(sim.process.processId(), 0);
    QVERIFY2(stdinTarget == "/dev/null" || stdinTarget.startsWith("pipe:"), stdinTarget.constData());

    QTest::qWait(200);
    const double cpuBefore = cpuSeconds(sim.process.processId());
    QVERIFY(cpuBefore >= 0);
    QTest::qWait(2000);
    QCOMPARE(sim.process.state(), QProcess::Running);
    // An input at its end is always readable; listening on regardless spins.
    const double used = cpuSeconds(sim.process.processId()) - cpuBefore;
    QVERIFY2(used < 0.3, qPrintable(u"%1 s of processor time in 2 s"_s.arg(used)));

    HostPort host(sim.device());
    QVERIFY(host.open(38400));
    host.send(bytes({5, 'S'}));
    QTRY_VERIFY_WITH_TIMEOUT(host.received.endsWith(char(3)), 10000);
    QCOMPARE(host.received.first(4), bytes({'S', 6, 2, 20}));
    const ConfigRecord reported = ConfigBlock::ParseConfigBlock(host.received.sliced(4).chopped(1));
    QCOMPARE(reported.firmwareVersion, "40"_ba);
    QCOMPARE(reported.firmwareBuild, "07"_ba);
    QCOMPARE(reported.qsoCount, qint16(12));
    QTRY_COMPARE_WITH_TIMEOUT(sim.journal(), QStringList{u"command S"_s}, 10000);

    sim.process.terminate();
    QVERIFY(sim.process.waitForFinished(10000));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
}

void TestDashwrightSim::idleExitWaitsWhileDeviceIsOpen()
{
    SimProgram sim;
    QVERIFY(sim.start({u"--idle-exit"_s, u"1"_s}));
    HostPort host(sim.device());
    QVERIFY(host.open(38400));
    // Held open past the idle time, and it keeps answering.
    QTest::qWait(2500);
    QCOMPARE(sim.process.state(), QProcess::Running);
    host.send(bytes({5, '?'}));
    QTRY_COMPARE_WITH_TIMEOUT(host.received, bytes({'?', 'K', 6}), 10000);

    host.port.close();
    QTRY_COMPARE_WITH_TIMEOUT(sim.process.state(), QProcess::NotRunning, 20000);
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
}

QTEST_GUILESS_MAIN(TestDashwrightSim)
#include "tst_dashwrightsim.moc"
