#include "simprocess.h"

#include <QDate>
#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// krv and krt as programs: their command line, a shutdown by signal, and
// the hand-over from one to the other.
class TestPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpNamesTheOptions_data();
    void helpNamesTheOptions();
    void terminateSignalRunsShutdown();
    void trainerKeyerStartsTrainerProgram();

private:
    // A process environment with its own settings, the reminder already done.
    QProcessEnvironment isolatedEnvironment(const QTemporaryDir &dir) const;
    static qint64 findProcess(const QString &program, const QString &argument);

    QString m_bin;
};

void TestPrograms::initTestCase()
{
    m_bin = QFileInfo(SimProcess::programPath()).absolutePath();
    QVERIFY(QFileInfo::exists(m_bin + u"/krv"_s));
    QVERIFY(QFileInfo::exists(m_bin + u"/krt"_s));
}

QProcessEnvironment TestPrograms::isolatedEnvironment(const QTemporaryDir &dir) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.remove(u"DASHWRIGHT_PORT"_s);
    QSettings settings(dir.filePath(u"config/Dashwright/Dashwright.conf"_s), QSettings::IniFormat);
    const QDate today = QDate::currentDate();
    settings.setValue(u"Settings/LastUpdate"_s, QString::number(today.year() * 100 + today.month()));
    settings.sync();
    return env;
}

qint64 TestPrograms::findProcess(const QString &program, const QString &argument)
{
    QDirIterator it(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        bool numeric = false;
        const qint64 pid = it.fileName().toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile cmdline(it.filePath() + u"/cmdline"_s);
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> parts = cmdline.readAll().split('\0');
        if (!parts.isEmpty() && parts.first().endsWith(program.toLocal8Bit())
            && parts.contains(argument.toLocal8Bit()))
            return pid;
    }
    return 0;
}

void TestPrograms::helpNamesTheOptions_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("krv") << u"krv"_s;
    QTest::newRow("krt") << u"krt"_s;
}

void TestPrograms::helpNamesTheOptions()
{
    QFETCH(QString, program);
    QProcess process;
    process.start(m_bin + u'/' + program, {u"--help"_s});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const QString &option : {u"--port"_s, u"--data"_s, u"--demo"_s})
        QVERIFY2(help.contains(option), qPrintable(help));

    QProcess bad;
    bad.start(m_bin + u'/' + program, {u"--no-such-option"_s});
    QVERIFY(bad.waitForFinished(10000));
    QVERIFY(bad.exitCode() != 0);
}

void TestPrograms::terminateSignalRunsShutdown()
{
    QTemporaryDir dir;
    SimProcess sim;
    QVERIFY(sim.start());
    QProcess krv;
    // The pseudo-terminal gets the modem lines of a serial port, raised on
    // open as Linux does: on a radio interface DTR or RTS may key the
    // transmitter, so they must be low before anything is sent.
    QProcessEnvironment env = isolatedEnvironment(dir);
    const QString lineLog = dir.filePath(u"modemlines.log"_s);
    env.insert(u"LD_PRELOAD"_s, QStringLiteral(DW_MODEMLINES_PATH));
    env.insert(u"DW_MODEM_DEVICE"_s, sim.device());
    env.insert(u"DW_MODEM_LOG"_s, lineLog);
    krv.setProcessEnvironment(env);
    krv.start(m_bin + u"/krv"_s, {u"--port"_s, sim.device(), u"--data"_s, dir.path()});
    QVERIFY(krv.waitForStarted());
    // Setting the clock is the keyer's last step of start-up.
    QVERIFY(sim.waitForJournal(u"clock"_s, 20000));
    const int before = int(sim.journal().size());
    ::kill(pid_t(krv.processId()), SIGTERM);
    QVERIFY(krv.waitForFinished(10000));
    QCOMPARE(krv.exitStatus(), QProcess::NormalExit);
    QCOMPARE(krv.exitCode(), 0);
    QVERIFY(sim.waitForJournal(u"identify"_s, 1000, before));
    QFile log(lineLog);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> events = log.readAll().split('\n');
    QVERIFY(events.contains("open dtr=1 rts=1"));
    QVERIFY(events.contains("write dtr=0 rts=0"));
    QVERIFY2(!events.contains("write dtr=1 rts=0") && !events.contains("write dtr=0 rts=1")
                 && !events.contains("write dtr=1 rts=1"),
             log.fileName().toLocal8Bit());
    QVERIFY(events.contains("close dtr=0 rts=0"));
    // The window's placement was saved on the way out.
    QSettings settings(dir.filePath(u"config/Dashwright/Dashwright.conf"_s), QSettings::IniFormat);
    QVERIFY(settings.contains(u"Settings/WindowWidth"_s));
}

void TestPrograms::trainerKeyerStartsTrainerProgram()
{
    QTemporaryDir dir;
    SimProcess sim;
    QVERIFY(sim.start({u"--letter"_s, u"T"_s}));
    QProcess krv;
    krv.setProcessEnvironment(isolatedEnvironment(dir));
    krv.start(m_bin + u"/krv"_s, {u"--port"_s, sim.device(), u"--data"_s, dir.path()});
    // The manager sees a trainer keyer, starts krt and ends.
    QVERIFY(krv.waitForFinished(20000));
    QCOMPARE(krv.exitCode(), 0);
    // krt takes the same keyer and identifies it again.
    QVERIFY(sim.waitForJournal(u"identify"_s, 20000, 1));
    qint64 krt = 0;
    QTRY_VERIFY((krt = findProcess(u"krt"_s, dir.path())) != 0);
    ::kill(pid_t(krt), SIGTERM);
    // Its shutdown identifies the keyer once more before it closes the port.
    QVERIFY(sim.waitForJournal(u"identify"_s, 10000, 2));
    QTRY_COMPARE(findProcess(u"krt"_s, dir.path()), qint64(0));
}

QTEST_GUILESS_MAIN(TestPrograms)
#include "tst_programs.moc"
