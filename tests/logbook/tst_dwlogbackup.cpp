#include "simprocess.h"

#include <QFile>
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

QTEST_MAIN(TestDwlogBackup)
#include "tst_dwlogbackup.moc"
