#include "bandtable.h"
#include "logrecord.h"
#include "logtestdata.h"
#include "logtimestamp.h"
#include "nativelogfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// ADIF files written by dwlog, read back by another project's ADIF reader
// (adif-parser-ts from the npm registry, installed into the build tree on
// first use): the same CALL, QSO_DATE, TIME_ON, BAND, MODE and RSTs.
class TestAdifIndependent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void otherReaderSeesTheSameQsos_data();
    void otherReaderSeesTheSameQsos();

private:
    QString m_node;
};

static const char *const ReaderPackage = "adif-parser-ts@0.7.7";

void TestAdifIndependent::initTestCase()
{
    m_node = QStandardPaths::findExecutable(u"node"_s);
    const QString npm = QStandardPaths::findExecutable(u"npm"_s);
    if (m_node.isEmpty() || npm.isEmpty())
        QSKIP("node or npm is not installed");
    const QString folder = QStringLiteral(DW_NPM_FOLDER);
    if (QFile::exists(folder + u"/node_modules/adif-parser-ts/package.json"_s))
        return;
    QDir().mkpath(folder);
    QProcess install;
    install.start(npm, {u"install"_s, u"--prefix"_s, folder, u"--no-audit"_s, u"--no-fund"_s,
                        QString::fromLatin1(ReaderPackage)});
    const bool finished = install.waitForFinished(180000);
    if (!finished || install.exitCode() != 0) {
        install.kill();
        QByteArray why = "timed out";
        const QList<QByteArray> lines = install.readAllStandardError().trimmed().split('\n');
        if (!lines.isEmpty())
            why = lines.first();
        QSKIP(qPrintable(u"npm could not install %1 (registry not reachable?): %2"_s
                             .arg(QString::fromLatin1(ReaderPackage), QString::fromLocal8Bit(why))));
    }
}

void TestAdifIndependent::otherReaderSeesTheSameQsos_data()
{
    QTest::addColumn<bool>("contest");
    QTest::newRow("normal records") << false;
    QTest::newRow("contest records") << true;
}

static LogRecord randomRecord(QRandomGenerator &random, bool contest)
{
    static const QByteArray letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/";
    QByteArray call;
    const int length = random.bounded(3, 14);
    for (int i = 0; i < length; ++i)
        call += letters.at(random.bounded(i == 0 ? 26 : int(letters.size())));
    quint8 flags = quint8(random.bounded(13));
    flags |= contest ? LogFlags::Contest : 0;
    flags |= random.bounded(2) ? LogFlags::SSB : 0;
    flags |= random.bounded(2) ? LogFlags::User2 : 0;
    const bool ssb = flags & LogFlags::SSB;
    const auto report = [&]() {
        return ssb ? "00" + QByteArray::number(random.bounded(11, 60)) : "0" + QByteArray::number(random.bounded(111, 600));
    };
    const QDateTime start = QDateTime(QDate(1901, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(random.bounded(6000000)) * 500 + random.bounded(500));
    LogRecord r = makeRecord(flags, call, random.bounded(2) ? "HANS" : "", random.bounded(2) ? ":QRP" : "", report(), report());
    r.start = LogTimestamp::fromDateTime(start).encode();
    r.endOrSerials = contest ? QByteArray("000012000034") : LogTimestamp::fromDateTime(start.addSecs(600)).encode();
    return r;
}

void TestAdifIndependent::otherReaderSeesTheSameQsos()
{
    QFETCH(bool, contest);
    QTemporaryDir dir;
    QRandomGenerator random(contest ? 7 : 3);
    QList<LogRecord> records;
    const QString krv = dir.filePath(u"log.krv"_s);
    {
        QFile file(krv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 1500; ++i) {
            records.append(randomRecord(random, contest));
            NativeLogFile::writeRecord(&file, records.last().encode());
        }
    }
    const QString adi = dir.filePath(u"log.adi"_s);
    QStringList arguments{u"adif"_s, krv, u"--out"_s, adi, u"--call1"_s, u"W1AW"_s, u"--call2"_s, u"W2AW"_s};
    if (contest)
        arguments << u"--contest"_s;
    QProcess dwlog;
    dwlog.start(QStringLiteral(DWLOG_PROGRAM), arguments);
    QVERIFY(dwlog.waitForFinished(60000));
    QCOMPARE(dwlog.exitCode(), 0);

    QProcess node;
    node.start(m_node, {QStringLiteral(DW_ADIF_READER_SCRIPT), QStringLiteral(DW_NPM_FOLDER), adi});
    QVERIFY(node.waitForFinished(120000));
    QVERIFY2(node.exitCode() == 0, node.readAllStandardError().constData());
    const QJsonObject parsed = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    const QJsonArray seen = parsed[u"records"_s].toArray();
    QCOMPARE(seen.size(), records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const LogRecord &r = records[i];
        const QJsonObject other = seen[i].toObject();
        const QDateTime start = LogTimestamp::decode(r.start)->toDateTime();
        QCOMPARE(other[u"call"_s].toString(), QString::fromLatin1(r.text().call));
        QCOMPARE(other[u"qso_date"_s].toString(), start.toString(u"yyyyMMdd"_s));
        QCOMPARE(other[u"time_on"_s].toString(), start.toString(u"HHmmss"_s));
        QCOMPARE(other[u"band"_s].toString(), QString::fromLatin1(BandTable::name(r.bandIndex())));
        QCOMPARE(other[u"mode"_s].toString(), r.isSSB() ? u"SSB"_s : u"CW"_s);
        QCOMPARE(other[u"rst_rcvd"_s].toString(), QString::fromLatin1(r.rstReceived.mid(r.isSSB() ? 2 : 1)));
        QCOMPARE(other[u"rst_sent"_s].toString(), QString::fromLatin1(r.rstSent.mid(r.isSSB() ? 2 : 1)));
    }
}

QTEST_GUILESS_MAIN(TestAdifIndependent)
#include "tst_adifindependent.moc"
