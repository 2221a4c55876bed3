// Speed and memory of the log formats.
//
// Generates a 100000-QSO ADIF file (about 25 MB) and native log files of
// 12000 and 100000 records, then prints records per second for the ADIF
// import, the ADIF export and the list export, the peak memory after each
// step, and the time another project's ADIF reader (adif-parser-ts from
// npm, run by node) takes for the same ADIF file. Targets: import and
// export of 100000 QSOs under 0.5 s each, at least 10 times the other
// reader's speed.

#include "adifconverter.h"
#include "logexport.h"
#include "logrecord.h"
#include "logtimestamp.h"
#include "nativelogfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int AdifQsos = 100000;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void report(const char *what, qint64 records, double seconds)
{
    std::printf("%-34s %7lld records in %7.3f s = %10.0f records/s   peak memory %6.1f MB\n", what, records,
                seconds, double(records) / seconds, peakMegabytes());
    std::fflush(stdout);
}

QByteArray field(const char *tag, const QByteArray &value)
{
    return '<' + QByteArray(tag) + ':' + QByteArray::number(value.size()) + '>' + value;
}

// An ADIF file as logging programs write them: a header, one field per
// line, fields the converter ignores among the ones it reads.
bool writeAdif(const QString &path, int qsos)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator random(1);
    static const char *const bands[] = {"160M", "80M", "40M", "30M", "20M", "17M", "15M", "12M", "10M", "6M", "2M"};
    static const char *const names[] = {"Hans", "Juan Pablo", "Maria", "Bob", "Ulla", "Pierre"};
    file.write("Generated log\n<ADIF_VER:5>3.1.4\n<PROGRAMID:5>BENCH\n<EOH>\n\n");
    QByteArray chunk;
    for (int i = 0; i < qsos; ++i) {
        const QDate date = QDate(1995, 1, 1).addDays(random.bounded(11000));
        const int minute = random.bounded(1440);
        const QByteArray on = QByteArray::number(minute / 60).rightJustified(2, '0') + QByteArray::number(minute % 60).rightJustified(2, '0') + "00";
        const bool ssb = random.bounded(3) == 0;
        chunk += field("CALL", "DL" + QByteArray::number(random.bounded(10)) + QByteArray(1, char('A' + random.bounded(26))) + "BC") + '\n';
        chunk += field("QSO_DATE", date.toString(u"yyyyMMdd"_s).toLatin1()) + '\n';
        chunk += field("TIME_ON", on) + '\n' + field("TIME_OFF", on) + '\n';
        chunk += field("BAND", bands[random.bounded(11)]) + '\n';
        chunk += field("FREQ", "14.0" + QByteArray::number(random.bounded(10, 99))) + '\n';
        chunk += field("MODE", ssb ? "SSB" : "CW") + '\n';
        chunk += field("RST_SENT", ssb ? "59" : "599") + '\n' + field("RST_RCVD", ssb ? "57" : "579") + '\n';
        chunk += field("NAME", names[random.bounded(6)]) + '\n' + field("QTH", "Berlin") + '\n';
        chunk += field("GRIDSQUARE", "JO62QM") + '\n' + field("TX_PWR", "100") + '\n';
        chunk += field("STATION_CALLSIGN", "W1AW") + '\n';
        chunk += field("COMMENT", "tnx fer QSO") + "\n<EOR>\n\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return true;
}

bool writeNative(const QString &path, int records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator random(2);
    for (int i = 0; i < records; ++i) {
        LogRecord r;
        r.flags = quint8(random.bounded(13)) | (random.bounded(3) == 0 ? LogFlags::SSB : 0) | (random.bounded(5) == 0 ? LogFlags::Contest : 0);
        r.textBlock = TextBlock::composeBytes("DL" + QByteArray::number(i % 10) + "ABC", "HANS", ":QRP");
        const QDateTime start = QDateTime(QDate(1998, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(i) * 900);
        r.start = LogTimestamp::fromDateTime(start).encode();
        r.endOrSerials = r.isContest() ? QByteArray("000012000034") : LogTimestamp::fromDateTime(start.addSecs(300)).encode();
        r.rstReceived = r.isSSB() ? "0057" : "0579";
        r.rstSent = r.isSSB() ? "0059" : "0599";
        NativeLogFile::writeRecord(&file, r.encode());
    }
    return true;
}

double exportSeconds(const QString &native, const QString &out, bool adif, bool contest, qint64 *written)
{
    NativeLogFile source;
    source.open(native);
    QFile file(out);
    file.open(QIODevice::WriteOnly);
    LogExportOptions options;
    options.selection.contest = contest;
    options.station = {u"W1AW"_s, u"W2AW"_s, u"JOE"_s, u"ANN"_s};
    QElapsedTimer clock;
    clock.start();
    const LogExportResult result = adif ? LogExport::writeAdif(source, &file, options) : LogExport::writeList(source, &file, options);
    file.close();
    *written = result.written;
    return double(clock.nsecsElapsed()) / 1e9;
}

// Seconds the other reader takes to parse the file, or -1 when it is not there.
double otherReaderSeconds(const QString &adif, qint64 *count)
{
    const QString node = QStandardPaths::findExecutable(u"node"_s);
    const QString npm = QStandardPaths::findExecutable(u"npm"_s);
    const QString folder = QStringLiteral(DW_NPM_FOLDER);
    if (node.isEmpty() || npm.isEmpty()) {
        std::printf("other reader: node or npm not installed\n");
        return -1;
    }
    if (!QFile::exists(folder + u"/node_modules/adif-parser-ts/package.json"_s)) {
        QDir().mkpath(folder);
        QProcess install;
        install.start(npm, {u"install"_s, u"--prefix"_s, folder, u"--no-audit"_s, u"--no-fund"_s, u"adif-parser-ts@0.7.7"_s});
        if (!install.waitForFinished(180000) || install.exitCode() != 0) {
            std::printf("other reader: npm could not install adif-parser-ts@0.7.7 (registry not reachable?)\n");
            return -1;
        }
    }
    QProcess run;
    run.start(node, {u"--max-old-space-size=8192"_s, QStringLiteral(DW_ADIF_READER_SCRIPT), folder, adif, u"--time"_s});
    if (!run.waitForFinished(600000) || run.exitCode() != 0) {
        std::printf("other reader failed: %s\n", run.readAllStandardError().constData());
        return -1;
    }
    const QJsonObject result = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
    *count = result[u"count"_s].toInteger();
    return result[u"seconds"_s].toDouble();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString adif = dir.filePath(u"bench.adi"_s);
    const QString native12k = dir.filePath(u"log12000.krv"_s);
    const QString native100k = dir.filePath(u"log100000.krv"_s);
    if (!writeAdif(adif, AdifQsos) || !writeNative(native12k, 12000) || !writeNative(native100k, AdifQsos)) {
        std::printf("cannot write the test files in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("ADIF file: %d QSOs, %.1f MB; peak memory after generating %.1f MB\n\n", AdifQsos,
                double(QFileInfo(adif).size()) / 1e6, peakMegabytes());

    QElapsedTimer clock;
    clock.start();
    const AdifImportResult imported = AdifConverter().convertFile(adif, dir.filePath(u"imported.krv"_s));
    const double importSeconds = double(clock.nsecsElapsed()) / 1e9;
    report("ADIF import (100000 QSOs)", imported.converted + imported.rejected, importSeconds);
    if (imported.rejected != 0 || imported.converted != AdifQsos)
        std::printf("  unexpected: %lld converted, %lld rejected\n", imported.converted, imported.rejected);

    qint64 normal = 0;
    qint64 contest = 0;
    double seconds = exportSeconds(native12k, dir.filePath(u"a.adi"_s), true, false, &normal)
        + exportSeconds(native12k, dir.filePath(u"b.adi"_s), true, true, &contest);
    report("ADIF export (12000-record file)", normal + contest, seconds);
    const double export100k = exportSeconds(native100k, dir.filePath(u"c.adi"_s), true, false, &normal)
        + exportSeconds(native100k, dir.filePath(u"d.adi"_s), true, true, &contest);
    report("ADIF export (100000-record file)", normal + contest, export100k);
    seconds = exportSeconds(native12k, dir.filePath(u"a.txt"_s), false, false, &normal)
        + exportSeconds(native12k, dir.filePath(u"b.txt"_s), false, true, &contest);
    report("List export (12000-record file)", normal + contest, seconds);
    seconds = exportSeconds(native100k, dir.filePath(u"c.txt"_s), false, false, &normal)
        + exportSeconds(native100k, dir.filePath(u"d.txt"_s), false, true, &contest);
    report("List export (100000-record file)", normal + contest, seconds);

    qint64 otherCount = 0;
    const double other = otherReaderSeconds(adif, &otherCount);
    if (other > 0) {
        std::printf("\nadif-parser-ts 0.7.7 (node): %lld records parsed in %.3f s = %.0f records/s\n", otherCount, other,
                    double(otherCount) / other);
        std::printf("import speed / other reader's speed: %.1f x (target: at least 10 x)\n", other / importSeconds);
    }
    std::printf("under 0.5 s: import %s, ADIF export of 100000 %s\n", importSeconds < 0.5 ? "yes" : "NO",
                export100k < 0.5 ? "yes" : "NO");
    return 0;
}
