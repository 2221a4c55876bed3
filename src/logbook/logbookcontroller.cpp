#include "logbookcontroller.h"

#include "keyererror.h"
#include "keyerlink.h"
#include "logexport.h"
#include "nativelogfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

using Icon = LogbookHost::Icon;
using Outcome = LogTransferResult::Outcome;

// The keyer shows its configuration once a load has ended.
constexpr int ConfigurationPatienceMs = 5000;
constexpr int ConfigurationPauseMs = 200;
const QString WorkFile = u"~adiftemp.krv"_s;
const QString BackupPrefix = u"keyerlog_"_s;

QString tr(const char *text)
{
    return QCoreApplication::translate("LogbookController", text);
}

QString inFolder(const QString &folder, const QString &name)
{
    return folder + u'/' + name;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(path));
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return tr("The file %1 could not be written: %2").arg(shown(path), reason);
}

// How a transfer that did not complete is told, and whether the keyer must
// be told to stop.
struct FailureReport
{
    Icon icon;
    QString text;
    bool stopKeyer;
};

FailureReport failureReport(const LogTransferResult &result, QChar letter, const QString &incomplete)
{
    switch (result.outcome) {
    case Outcome::Cancelled:
        return {Icon::Warning, u"Data Transfer cancelled"_s, true};
    case Outcome::EchoMismatch:
        return {Icon::Critical, u"Data error or user intervention - transfer has been stopped"_s, true};
    case Outcome::Incomplete:
        return {Icon::Critical, incomplete, false};
    case Outcome::NotKept:
    case Outcome::Failed:
    case Outcome::Complete:
        break;
    }
    return {Icon::Critical, communicationFailedMessage(result.error, letter), result.outcome == Outcome::NotKept};
}

} // namespace

class LogbookController::Running
{
public:
    explicit Running(LogbookController &c) : m_c(c)
    {
        m_c.m_running = true;
        m_c.m_host.setTransferRunning(true);
    }
    ~Running() { end(); }
    void end()
    {
        if (!std::exchange(m_ended, true)) {
            m_c.m_running = false;
            m_c.m_host.setTransferRunning(false);
        }
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

private:
    LogbookController &m_c;
    bool m_ended = false;
};

LogbookController::LogbookController(KeyerLink &link, LogbookHost &host) : m_link(link), m_host(host) {}

void LogbookController::cancel()
{
    m_link.cancel();
    m_link.port()->discardOutput();
}

QStringList LogbookController::partialFiles()
{
    return QDir(logFolder()).entryList({u"*.partial"_s}, QDir::Files, QDir::Name);
}

LogbookController::SaveResult LogbookController::saveKeyerLog(LogTransfer &transfer, const QString &path)
{
    SaveResult saved;
    const QString partial = NativeLogFile::partialName(path);
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        saved.transfer.outcome = Outcome::NotKept;
        saved.error = cannotWrite(partial, file.errorString());
        return saved;
    }
    const qint64 count = m_host.record().qsoCount;
    saved.transfer =
        transfer.readLog(count, [&file](QByteArrayView record) { return NativeLogFile::writeRecord(&file, record); });
    // Closing flushes: a full disk may only show now.
    file.close();
    const bool written = file.error() == QFileDevice::NoError;
    if (saved.transfer.complete()) {
        QString error;
        if (!written || !NativeLogFile::promote(partial, path, &error))
            saved.error = cannotWrite(written ? path : partial, written ? error : file.errorString());
    } else if (saved.transfer.outcome == Outcome::NotKept || !written) {
        saved.error = cannotWrite(partial, file.errorString());
    }
    if (!saved.error.isEmpty() || saved.transfer.records == 0)
        QFile::remove(partial);
    return saved;
}

void LogbookController::saveLog()
{
    if (m_running)
        return;
    QDir().mkpath(logFolder());
    const QString name = NativeLogFile::fileName(m_host.profileValue(u"CALL1"_s), m_host.utcNow());
    const QString path = inFolder(logFolder(), name);
    Running running(*this);
    const qint64 count = m_host.record().qsoCount;
    m_host.showProgress(0, count);
    LogTransfer transfer(m_link);
    transfer.setProgress([this, count](qint64 done) { m_host.showProgress(qMin(done, count), count); });
    const SaveResult saved = saveKeyerLog(transfer, path);
    if (saved.transfer.complete() && saved.error.isEmpty()) {
        m_host.showProgress(0, count);
        m_host.tell(Icon::Information, u"All log records have been saved"_s);
        m_host.fileAdded(false, name);
        return;
    }
    if (!saved.error.isEmpty()) {
        if (saved.transfer.outcome == Outcome::NotKept && saved.transfer.records > 0)
            transfer.stopKeyer();
        m_host.showProgress(0, count);
        m_host.tell(Icon::Critical, saved.error);
        return;
    }
    // What came stays under its partial name, which no list offers.
    reportFailure(transfer, saved.transfer, u'G',
                  tr("Only%1 log records have been saved: the keyer stopped sending. The records received are kept "
                     "in %2.")
                      .arg(LogTransfer::shortfall(saved.transfer), shown(NativeLogFile::partialName(path))));
}

QString LogbookController::backUpKeyerLog(QString *error)
{
    if (m_host.record().qsoCount <= 0)
        return {};
    if (!QDir().mkpath(backupFolder())) {
        *error = tr("the folder %1 could not be made").arg(shown(backupFolder()));
        return {};
    }
    QString name = BackupPrefix + m_host.utcNow().toString(u"yyMMddHHmmss"_s);
    for (int i = 2; QFile::exists(inFolder(backupFolder(), name + u".krv"_s)); ++i)
        name = BackupPrefix + m_host.utcNow().toString(u"yyMMddHHmmss"_s) + u'-' + QString::number(i);
    const QString path = inFolder(backupFolder(), name + u".krv"_s);
    const qint64 count = m_host.record().qsoCount;
    m_host.showProgress(0, count);
    LogTransfer transfer(m_link);
    transfer.setProgress([this, count](qint64 done) { m_host.showProgress(qMin(done, count), count); });
    const SaveResult saved = saveKeyerLog(transfer, path);
    m_host.showProgress(0, count);
    if (!saved.transfer.complete() || !saved.error.isEmpty()) {
        if (saved.transfer.records > 0 || saved.transfer.outcome == Outcome::Cancelled)
            transfer.stopKeyer();
        QFile::remove(NativeLogFile::partialName(path));
        if (!saved.error.isEmpty())
            *error = saved.error;
        else if (saved.transfer.outcome == Outcome::Cancelled)
            *error = u"Data Transfer cancelled"_s;
        else if (saved.transfer.outcome == Outcome::Incomplete)
            *error = tr("the keyer stopped sending after%1 records").arg(LogTransfer::shortfall(saved.transfer));
        else
            *error = communicationFailedMessage(saved.transfer.error, u'G');
        return {};
    }
    // The newest copies stay; names sort by their time.
    QStringList copies = QDir(backupFolder()).entryList({BackupPrefix + u"*.krv"_s}, QDir::Files, QDir::Name);
    while (copies.size() > BackupsKept)
        QFile::remove(inFolder(backupFolder(), copies.takeFirst()));
    return path;
}

QString LogbookController::keyerNowHolds()
{
    if (!m_host.readConfiguration())
        return tr("\r\n\r\nThe keyer did not say how many records it now holds.");
    return tr("\r\n\r\nThe keyer now holds%1 records.").arg(numberText(m_host.record().qsoCount));
}

void LogbookController::reportFailure(LogTransfer &transfer, const LogTransferResult &result, QChar letter,
                                      const QString &incomplete, const QString &after)
{
    const FailureReport report = failureReport(result, letter, incomplete);
    if (report.stopKeyer)
        transfer.stopKeyer();
    m_host.showProgress(0, 1);
    m_host.tell(report.icon, report.text + after);
}

void LogbookController::restoreLog(const QString &name, bool append)
{
    if (m_running)
        return;
    m_host.showProgress(0, 1);
    if (name.isEmpty())
        return;
    NativeLogFile file;
    if (!file.open(inFolder(logFolder(), name))) {
        m_host.tell(Icon::Critical, tr("The log file %1 could not be read: %2").arg(name, file.errorString()));
        return;
    }
    const qint64 records = file.count();
    if (records == 0)
        return;
    // Nothing goes to the keyer from a file that is not whole.
    if (const QString damage = file.damage(); !damage.isEmpty()) {
        m_host.tell(Icon::Critical, tr("%1 cannot be loaded into the keyer: %2\r\n\r\nThe keyer's log has not been "
                                       "changed.")
                                        .arg(name, damage));
        return;
    }
    ConfigRecord &record = m_host.record();
    const qint16 count = record.qsoCount;
    // An empty keyer log is replaced whichever button was used.
    const bool replace = !append || count <= 0;
    if ((replace ? records : records + count) > KeyerCapacity) {
        m_host.tell(Icon::Critical, u"Exceeds keyer capacity of 12000 records"_s);
        return;
    }
    if (count > 0
        && !m_host.confirm(replace ? u"This will erase and replace the log that is in the keyer! Continue?"_s
                                   : u"Do you want to append records from the file to the end of the log?"_s))
        return;
    Running running(*this);
    QString kept;
    if (replace && count > 0) {
        QString error;
        const QString backup = backUpKeyerLog(&error);
        if (backup.isEmpty()) {
            m_host.tell(Icon::Critical, tr("The keyer's log could not be saved to %1 first (%2), so it has not been "
                                           "replaced.")
                                            .arg(shown(backupFolder()), error));
            return;
        }
        kept = tr("\r\n\r\nThe log the keyer held before is kept in %1").arg(shown(backup));
    }
    if (replace) {
        record.qsoCount = 0;
        record.lastExported = 0;
        // Loading on top of a log that was not emptied would append.
        if (!m_host.sendConfiguration())
            return;
        m_link.Wait(ConfigurationPauseMs);
    }
    m_host.expectConfiguration();
    m_host.showProgress(0, records);
    LogTransfer transfer(m_link);
    transfer.setProgress([this, records](qint64 loaded) { m_host.showProgress(loaded, records); });
    const LogTransferResult result = transfer.loadLog(file, records);
    file.close();
    if (!result.complete()) {
        const FailureReport report = failureReport(result, u'E', {});
        if (report.stopKeyer)
            transfer.stopKeyer();
        m_host.showProgress(0, 1);
        m_host.tell(report.icon, report.text + keyerNowHolds() + kept);
        return;
    }
    if (!m_host.awaitConfiguration(m_link.scaled(ConfigurationPatienceMs))) {
        m_host.showProgress(0, 1);
        m_host.tell(Icon::Critical, communicationFailedMessage(LogTransferErrors::NoConfigurationAfterLoad, u'E')
                                        + keyerNowHolds() + kept);
        return;
    }
    m_host.showProgress(0, 1);
    m_host.tell(Icon::Information,
                (replace ? u"Log has been restored"_s : numberText(records) + u" records have been appended to the log"_s)
                    + kept);
    if (name == importFile()) {
        QFile::remove(inFolder(logFolder(), name));
        m_host.fileRemoved(false, name);
    }
}

bool LogbookController::setQsoCount(const QString &text)
{
    bool numeric = false;
    const int value = text.trimmed().toInt(&numeric);
    if (!numeric || value < 0 || value > KeyerCapacity)
        return false;
    if (m_running || !m_host.confirm(u"Do you want to set the QSO count to "_s + text + u"?"_s))
        return true;
    ConfigRecord &record = m_host.record();
    QString kept;
    if (value < record.qsoCount) {
        // Lowering the count cuts records from the end of the keyer's log.
        Running running(*this);
        QString error;
        const QString backup = backUpKeyerLog(&error);
        if (backup.isEmpty()) {
            m_host.tell(Icon::Critical, tr("The keyer's log could not be saved to %1 first (%2), so the QSO count has "
                                           "not been changed.")
                                            .arg(shown(backupFolder()), error));
            return true;
        }
        kept = tr("The log the keyer held before is kept in %1").arg(shown(backup));
    }
    record.qsoCount = qint16(value);
    if (m_host.sendConfiguration() && !kept.isEmpty())
        m_host.tell(Icon::Information, kept);
    return true;
}

void LogbookController::deleteFile(bool adif, const QString &name)
{
    if (name.isEmpty())
        return;
    const QString path = inFolder(adif ? adifFolder() : logFolder(), name);
    if (!m_host.confirm(u"Do you really want to delete this file?"_s + u"\r\n\r\n"_s + shown(path)))
        return;
    QFile file(path);
    // The desktop's trash keeps it a while; without one it is removed.
    if (file.exists() && !file.moveToTrash() && !file.remove()) {
        m_host.tell(Icon::Critical, tr("%1 could not be deleted: %2").arg(shown(path), file.errorString()));
        return;
    }
    m_host.fileRemoved(adif, name);
}

// The records from the start record land in a work file; the output is
// written from it once the transfer is complete.
bool LogbookController::exportLog(char letter, const QString &startText, const ExportChoice &choice)
{
    if (m_running)
        return true;
    const bool list = letter == 'X';
    const int start = startText.trimmed().toInt();
    ConfigRecord &record = m_host.record();
    const int count = record.qsoCount;
    if (start < 1 || start > count) {
        m_host.tell(Icon::Critical, u"Start record must be between 1 and"_s + numberText(count));
        return false;
    }
    QDir().mkpath(adifFolder());
    m_host.showProgress(0, 1);

    LogExportOptions options;
    options.selection.contest = record.optionWord & Option::ContestMode;
    options.selection.onlyActiveUser = choice.onlyActiveUser;
    options.selection.activeUser2 = record.optionWord & Option::User2;
    options.reverse = choice.reverse;
    // The station is the profile in the keyer, all four from the one profile.
    options.station = {m_host.profileValue(u"CALL1"_s), m_host.profileValue(u"CALL2"_s),
                       m_host.profileValue(u"OPER1"_s), m_host.profileValue(u"OPER2"_s)};
    const QString name = LogExport::outputFileName(options, m_host.utcNow(), list ? u".txt"_s : u".adi"_s);

    const QString workPath = inFolder(adifFolder(), WorkFile);
    QFile::remove(workPath);
    QFile work(workPath);
    if (!work.open(QIODevice::WriteOnly)) {
        m_host.tell(Icon::Critical, cannotWrite(workPath, work.errorString()));
        return true;
    }
    const auto removeWork = qScopeGuard([&] {
        work.close();
        QFile::remove(workPath);
    });
    Running running(*this);
    const qint64 expected = count - start + 1;
    m_host.showProgress(0, expected);
    LogTransfer transfer(m_link);
    transfer.setProgress([this, expected](qint64 done) { m_host.showProgress(qMin(done, expected), expected); });
    const LogTransferResult result = transfer.exportLog(
        letter, start - 1, expected, [&work](QByteArrayView line) { return NativeLogFile::writeRecord(&work, line); });
    work.close();
    if (result.complete() && work.error() != QFileDevice::NoError) {
        m_host.showProgress(0, 1);
        m_host.tell(Icon::Critical, cannotWrite(workPath, work.errorString()));
        return true;
    }
    if (!result.complete()) {
        reportFailure(transfer, result, u'F',
                      tr("Only%1 records came: the keyer stopped sending. No file was written.")
                          .arg(LogTransfer::shortfall(result)),
                      result.outcome == Outcome::NotKept ? u"\r\n\r\n"_s + cannotWrite(workPath, work.errorString())
                                                         : QString());
        return true;
    }

    NativeLogFile source;
    QSaveFile out(inFolder(adifFolder(), name));
    LogExportResult written;
    if (!source.open(workPath))
        written.error = source.errorString();
    else if (!out.open(QIODevice::WriteOnly))
        written.error = out.errorString();
    else
        written = list ? LogExport::writeList(source, &out, options) : LogExport::writeAdif(source, &out, options);
    source.close();
    if (written.error.isEmpty() && !out.commit())
        written.error = out.errorString();
    if (!written.error.isEmpty()) {
        m_host.showProgress(0, 1);
        m_host.tell(Icon::Critical, cannotWrite(inFolder(adifFolder(), name), written.error));
        return true;
    }
    m_host.showProgress(0, 1);
    m_host.tell(Icon::Information,
                list ? LogExport::listSavedMessage(written.written) : LogExport::adifSavedMessage(written.written));
    m_host.fileAdded(true, name);
    // The keyer has moved its export mark: the count and the next start
    // record come with its configuration.
    running.end();
    m_host.readConfiguration();
    return true;
}

void LogbookController::importAdif(const QString &path, AdifImportOptions options,
                                   const std::function<void(qint64 done, qint64 total)> &progress)
{
    if (m_running || path.isEmpty())
        return;
    QDir().mkpath(logFolder());
    options.call1 = m_host.profileValue(u"CALL1"_s);
    options.call2 = m_host.profileValue(u"CALL2"_s);
    AdifConverter converter(options);
    converter.setProgress(progress);
    AdifImportResult result;
    {
        Running running(*this);
        result = converter.convertFile(path, inFolder(logFolder(), importFile()));
    }
    // The converted records are there to be loaded next.
    if (QFile::exists(inFolder(logFolder(), importFile())))
        m_host.fileAdded(false, importFile());
    m_host.showProgress(0, 1);
    if (!result.error.isEmpty())
        m_host.tell(Icon::Critical, result.error);
    else
        m_host.tell(Icon::None, result.message());
}
