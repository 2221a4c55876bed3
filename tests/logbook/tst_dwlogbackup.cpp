#include "simprocess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// dwlog backup against the simulated keyer: the file Save Log writes, or a
// clear error, status 2 and no file that looks like a whole log.
class TestDwlogBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupIsTheKeyersLog_data();
    void backupIsTheKeyersLog();
    void signalStopsTheKeyerAndKeepsWhatCame();
};

void TestDwlogBackup::backupIsTheKeyersLog_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("kept");
    QTest::newRow("the whole log") << QString() << 0 << QString() << 0;
    QTest::newRow("no keyer answers") << u"silent on"_s << 2 << u"no Dashwright keyer answered"_s << 0;
    QTest::newRow("the keyer stops half-way")
        << u"silent-after 30"_s << 2 << u"the keyer stopped sending after 30 of 120 records"_s << 30;
}

void TestDwlogBackup::backupIsTheKeyersLog()
{
    QFETCH(QString, control);
    QFETCH(int, status);
    QFETCH(QString, error);
    QFETCH(int, kept);
    SimProcess sim;
    QVERIFY(sim.start({u"--qso-count"_s, u"120"_s}));
    if (!control.isEmpty())
        sim.control(control);
    // The keyer's own list of its log; once it is there, the line before has been taken too.
    sim.control(u"log"_s);
    QVERIFY(sim.waitForJournal(u"log end"_s));
    QByteArray log;
    for (const QString &line : sim.journal()) {
        if (line.startsWith(u"log "_s) && !line.startsWith(u"log end"_s))
            log += line.section(u' ', 2).toLatin1() + "\r\n";
    }
    QCOMPARE(log.size(), 120 * 90);

    QTemporaryDir dir;
    const QString out = dir.filePath(u"backup.krv"_s);
    QProcess dwlog;
    dwlog.start(QStringLiteral(DWLOG_PROGRAM),
                {u"backup"_s, u"--port"_s, sim.device(), u"--baud"_s, u"921600"_s, u"--out"_s, out});
    QVERIFY(dwlog.waitForFinished(30000));
    const QString err = QString::fromLocal8Bit(dwlog.readAllStandardError());
    QVERIFY2(err.contains(error), qPrintable(err));
    QCOMPARE(dwlog.exitCode(), status);
    QFile whole(out);
    QFile partial(out + u".partial"_s);
    if (status == 0) {
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QCOMPARE(whole.readAll(), log);
        QCOMPARE(dwlog.readAllStandardOutput(), "120 records saved to " + out.toLocal8Bit() + '\n');
    } else {
        QVERIFY(!whole.exists());
    }
    QCOMPARE(partial.exists(), kept > 0);
    if (kept > 0) {
        QVERIFY(partial.open(QIODevice::ReadOnly));
        QCOMPARE(partial.readAll(), log.left(kept * 90));
    }
}

// SIGTERM in the middle of a nightly backup: the keyer is told to stop and
// what came is kept; the next run saves the whole log, and --keep leaves
// the newest backups of the folder.
void TestDwlogBackup::signalStopsTheKeyerAndKeepsWhatCame()
{
    SimProcess sim;
    QVERIFY(sim.start({u"--qso-count"_s, u"120"_s}));
    QTemporaryDir dir;
    const QStringList older = {u"backup_200101000000.krv"_s, u"backup_210101000000.krv"_s};
    for (const QString &name : older) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QStringList arguments{u"backup"_s, u"--port"_s, sim.device(), u"--dir"_s, dir.path(), u"--keep"_s, u"2"_s};
    QProcess dwlog;
    // At 38400 baud the 120 records take 2.8 s, after a 50 ms pause.
    dwlog.start(QStringLiteral(DWLOG_PROGRAM), arguments);
    QVERIFY(sim.waitForJournal(u"command E"_s, 20000));
    // Stopped soon after the first records, long before the last (a busy
    // machine may hold this process up for a while).
    QTest::qWait(300);
    dwlog.terminate();
    QVERIFY(dwlog.waitForFinished(10000));
    QCOMPARE(dwlog.exitStatus(), QProcess::NormalExit);
    QCOMPARE(dwlog.exitCode(), 2);
    QVERIFY2(QString::fromLocal8Bit(dwlog.readAllStandardError()).contains(u"interrupted after"_s),
             qPrintable(QString::fromLocal8Bit(dwlog.readAllStandardError())));
    QVERIFY(sim.waitForJournal(u"stop"_s, 5000));
    const QFileInfoList partials = QDir(dir.path()).entryInfoList({u"*.partial"_s}, QDir::Files);
    QCOMPARE(partials.size(), 1);
    QVERIFY(partials.first().size() > 0 && partials.first().size() < 120 * 90);
    QCOMPARE(partials.first().size() % 90, 0);

    dwlog.start(QStringLiteral(DWLOG_PROGRAM), arguments);
    QVERIFY(dwlog.waitForFinished(30000));
    QCOMPARE(dwlog.exitCode(), 0);
    QStringList kept = QDir(dir.path()).entryList({u"backup_*.krv"_s}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(kept.first(), older.last());
    QCOMPARE(QFileInfo(dir.filePath(kept.last())).size(), 120 * 90);
}

QTEST_MAIN(TestDwlogBackup)
#include "tst_dwlogbackup.moc"
