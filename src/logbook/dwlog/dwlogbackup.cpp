#include "dwlogbackup.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "logtransfer.h"
#include "nativelogfile.h"
#include "serialkeyerport.h"
#include "terminationsignals.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <cstdio>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int Failed = 2;
constexpr int IdentifyPatienceMs = 2000;
const QString DefaultPrefix = u"backup"_s;

bool parse(const QStringList &arguments, QHash<QString, QString> *values, QString *error)
{
    static const QStringList known = {u"--port"_s, u"--baud"_s, u"--out"_s, u"--dir"_s, u"--keep"_s};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        const bool joined = name.startsWith(u"--"_s) && name.contains(u'=');
        if (joined) {
            value = name.section(u'=', 1);
            name = name.section(u'=', 0, 0);
        }
        if (!known.contains(name)) {
            *error = u"unknown argument %1 for backup; see dwlog --help"_s.arg(name);
            return false;
        }
        if (!joined) {
            if (i + 1 >= arguments.size()) {
                *error = u"option %1 needs a value"_s.arg(name);
                return false;
            }
            value = arguments[++i];
        }
        values->insert(name, value);
    }
    if (values->value(u"--port"_s).isEmpty()) {
        *error = u"backup needs --port DEVICE"_s;
        return false;
    }
    if (values->contains(u"--out"_s) && (values->contains(u"--dir"_s) || values->contains(u"--keep"_s))) {
        *error = u"--dir and --keep go with the dated file names, not with --out"_s;
        return false;
    }
    return true;
}

bool onTerminal()
{
#ifdef Q_OS_UNIX
    return ::isatty(fileno(stderr));
#else
    return false;
#endif
}

} // namespace

int runBackup(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QHash<QString, QString> values;
    QString error;
    if (!parse(arguments, &values, &error)) {
        err << "dwlog: " << error << Qt::endl;
        return Failed;
    }
    bool ok = true;
    const qint32 baud = values.contains(u"--baud"_s) ? values[u"--baud"_s].toInt(&ok) : 38400;
    if (!ok || baud <= 0) {
        err << "dwlog: --baud takes a positive number" << Qt::endl;
        return Failed;
    }
    int keep = 0;
    if (values.contains(u"--keep"_s) && ((keep = values[u"--keep"_s].toInt(&ok)) < 1 || !ok)) {
        err << "dwlog: --keep takes a number of backups, 1 or more" << Qt::endl;
        return Failed;
    }
    const QString device = values[u"--port"_s];
    const QString folder = values.value(u"--dir"_s, u"."_s);
    if (!QDir().mkpath(folder)) {
        err << "dwlog: cannot make the folder " << folder << Qt::endl;
        return Failed;
    }
    const QString output = values.value(
        u"--out"_s, QDir(folder).filePath(NativeLogFile::fileName(DefaultPrefix, QDateTime::currentDateTimeUtc())));

    SerialKeyerPort port;
    KeyerLink link(&port);
    link.setPortTable(PortTable({device}));
    try {
        link.openPort(1, baud);
    } catch (const KeyerError &e) {
        err << "dwlog: cannot open " << device << ": " << (e.detail().isEmpty() ? port.errorString() : e.detail())
            << Qt::endl;
        return Failed;
    }
    // Stopped by a signal, the transfer ends as if cancelled: the keyer is
    // stopped and what came is kept.
    bool interrupted = false;
    onTerminationSignal([&] {
        interrupted = true;
        link.cancel();
    });
    LogTransfer transfer(link);
    // A run that was killed may have left the keyer sending: it starts clean.
    transfer.stopKeyer();
    // Identify first: a silent port and the trainer's keyer get a plain answer.
    link.write(QByteArray(1, KeyerLink::ENQ) + '?');
    if (!link.WaitForByte(KeyerLink::ACK, IdentifyPatienceMs) || !link.rxBuffer.contains("?K")) {
        if (interrupted)
            return Failed;
        err << "dwlog: no Dashwright keyer answered on " << device << " at " << baud << " baud" << Qt::endl;
        return Failed;
    }
    const std::optional<ConfigRecord> config = transfer.readConfiguration();
    if (!config) {
        err << "dwlog: the keyer on " << device << " did not send its configuration" << Qt::endl;
        return Failed;
    }
    const qint64 count = config->qsoCount;

    const QString partialPath = NativeLogFile::partialName(output);
    QFile file(partialPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        err << "dwlog: cannot write " << partialPath << ": " << file.errorString() << Qt::endl;
        return Failed;
    }
    const bool showProgress = onTerminal() && count > 0;
    qint64 shownPercent = -1;
    transfer.setProgress([&](qint64 done) {
        const qint64 percent = count > 0 ? qMin<qint64>(100, done * 100 / count) : 100;
        if (showProgress && percent != shownPercent) {
            shownPercent = percent;
            err << "\rdwlog: " << done << " of " << count << " records (" << percent << " %)" << Qt::flush;
        }
    });
    const LogTransferResult result =
        transfer.readLog(count, [&](QByteArrayView record) { return NativeLogFile::writeRecord(&file, record); });
    file.close();
    if (showProgress)
        err << Qt::endl;

    using Outcome = LogTransferResult::Outcome;
    switch (result.outcome) {
    case Outcome::Complete:
        if (file.error() != QFileDevice::NoError || !NativeLogFile::promote(partialPath, output, &error)) {
            err << "dwlog: cannot write " << output << ": " << (error.isEmpty() ? file.errorString() : error)
                << Qt::endl;
            return Failed;
        }
        out << result.records << " records saved to " << output << Qt::endl;
        link.closePort();
        if (keep > 0) {
            // The newest backups of the folder stay; the dated names sort by time.
            QDir dir(folder);
            QStringList backups = dir.entryList({DefaultPrefix + u"_*.krv"_s}, QDir::Files, QDir::Name);
            while (backups.size() > keep)
                dir.remove(backups.takeFirst());
        }
        return 0;
    case Outcome::Incomplete:
        err << "dwlog: the keyer stopped sending after" << LogTransfer::shortfall(result)
            << " records; the records received are in " << partialPath << Qt::endl;
        break;
    case Outcome::NotKept:
        transfer.stopKeyer();
        err << "dwlog: cannot write " << partialPath << ": " << file.errorString() << Qt::endl;
        break;
    case Outcome::Cancelled:
        transfer.stopKeyer();
        err << "dwlog: interrupted after" << LogTransfer::shortfall(result) << " records";
        if (result.records > 0)
            err << "; the records received are in " << partialPath;
        err << Qt::endl;
        break;
    default:
        transfer.stopKeyer();
        err << "dwlog: " << communicationFailedMessage(result.error, u'G') << Qt::endl;
        break;
    }
    if (result.records == 0)
        QFile::remove(partialPath);
    link.closePort();
    return Failed;
}
