// The Logbook tab of the manager's main window: the keyer's log saved to
// native log files and loaded back, the ADIF and list exports, the ADIF
// import, and the QSO list window that follows the log.
//
// A transfer runs inside its button's handler. Its files are written under
// a temporary name and get their own only when the transfer is complete, so
// that nothing half-read ever looks like a whole log.

#include "configuration.h"

#include "adifconverter.h"
#include "keyererror.h"
#include "listlineformatter.h"
#include "logbooktab.h"
#include "logexport.h"
#include "logtransfer.h"
#include "nativelogfile.h"
#include "qsolistwindow.h"
#include "qsopanel.h"
#include "terminaltab.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

using Outcome = LogTransferResult::Outcome;

constexpr char StopTransfer = 18;
constexpr char KeypadFunction = 16;
// The keyer shows its configuration once a load has ended.
constexpr int ConfigurationPatienceMs = 5000;
constexpr int QsoListLength = 20;

const QString LogFolder = u"LogFiles"_s;
const QString AdifFolder = u"ADIF"_s;
const QString ImportFile = u"~adifimport.krv"_s;
const QString WorkFile = u"~adiftemp.krv"_s;
const QString AdifFilter = u"ADIF File (*.adi);;ADIF File (*.txt)"_s;

QString inFolder(const QString &folder, const QString &name)
{
    return folder + u'/' + name;
}

void openInEditor(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

// How a transfer that did not complete is told to the operator, and
// whether the keyer must be told to stop.
struct FailureReport
{
    QMessageBox::Icon icon;
    QString text;
    bool stopKeyer;
};

FailureReport failureReport(const LogTransferResult &result, QChar letter, const QString &incomplete)
{
    switch (result.outcome) {
    case Outcome::Cancelled:
        return {QMessageBox::Warning, u"Data Transfer cancelled"_s, true};
    case Outcome::EchoMismatch:
        return {QMessageBox::Critical, u"Data error or user intervention - transfer has been stopped"_s, true};
    case Outcome::Incomplete:
        return {QMessageBox::Critical, incomplete, false};
    case Outcome::NotKept:
        return {QMessageBox::Critical, QCoreApplication::translate("Configuration", "The file could not be written."), true};
    case Outcome::Failed:
    case Outcome::Complete:
        break;
    }
    return {QMessageBox::Critical, communicationFailedMessage(result.error, letter), false};
}

// Moves the bar one step per record, never past its end.
LogTransfer::Progress stepper(QProgressBar *bar)
{
    return [bar](qint64 done) { bar->setValue(int(qMin<qint64>(done, bar->maximum()))); };
}

void startProgress(QProgressBar *bar, qint64 maximum)
{
    bar->setRange(0, int(qMax<qint64>(1, maximum)));
    bar->setValue(0);
}

} // namespace

QWidget *Configuration::createLogbookTab(QHBoxLayout *header)
{
    m_logbook = new LogbookTab;
    // The QSO button and count stand beside the clock, seen from every tab.
    header->insertWidget(header->count() - 1, m_logbook->qsoCounter());
    m_qsoList = new QsoListWindow(m_settings, this);

    LogbookTab *tab = m_logbook;
    connect(tab, &LogbookTab::opened, this, &Configuration::logbookOpened);
    connect(tab, &LogbookTab::left, this, [this] {
        if (!m_transferBusy)
            m_logbook->qsoButton()->setEnabled(true);
    });
    connect(tab, &LogbookTab::saveLogClicked, this, &Configuration::btnSaveLog_Click);
    connect(tab, &LogbookTab::restoreLogClicked, this, [this] { restoreLog(false); });
    connect(tab, &LogbookTab::appendLogClicked, this, [this] { restoreLog(true); });
    connect(tab, &LogbookTab::deleteLogFileClicked, this, [this] { deleteLogbookFile(false); });
    connect(tab, &LogbookTab::setCountClicked, this, &Configuration::btnSetCount_Click);
    connect(tab, &LogbookTab::cancelClicked, this, [this] {
        m_link.cancel();
        m_link.port()->discardOutput();
    });
    connect(tab, &LogbookTab::saveAdifClicked, this, [this] { exportLog('A'); });
    connect(tab, &LogbookTab::saveListClicked, this, [this] { exportLog('X'); });
    connect(tab, &LogbookTab::deleteAdifClicked, this, [this] { deleteLogbookFile(true); });
    connect(tab, &LogbookTab::viewAdifClicked, this, [this] {
        m_logbook->progressBar()->setValue(0);
        if (!m_logbook->selectedAdifFile().isEmpty())
            openInEditor(inFolder(AdifFolder, m_logbook->selectedAdifFile()));
    });
    connect(tab, &LogbookTab::adifImportClicked, this, &Configuration::btnADIFImport_Click);
    connect(tab, &LogbookTab::viewImportClicked, this, [this] {
        const QString file = m_logbook->chooseFile(u"Select ADIF File"_s, AdifFolder, AdifFilter);
        if (!file.isEmpty())
            openInEditor(file);
    });
    connect(tab, &LogbookTab::qsosClicked, this, &Configuration::btnQSOs_Click);
    connect(m_qsoList, &QsoListWindow::callPicked, this, &Configuration::takeCallFromQsoList);
    connect(m_qsoList, &QsoListWindow::focusRequested, this, [this] {
        if (m_currentScreen != TerminalPage + 1)
            return;
        activateWindow();
        m_terminal->focusSendBuffer();
    });
    return m_logbook;
}

QString Configuration::profileText(const QString &control, const QString &key) const
{
    // The Users tab shows the profile in use once it has been opened; until
    // then its boxes are empty and the store has the keyer's profile.
    if (const auto *box = findChild<QLineEdit *>(control); box && !box->text().trimmed().isEmpty())
        return box->text().trimmed();
    return m_settings->value(u"PROFILE"_s + numberText(m_record.profileIndex), key, {}).trimmed();
}

void Configuration::showLogbookRecord()
{
    m_logbook->showRecord(m_record);
}

void Configuration::logbookOpened()
{
    // Minimizing hides and shows the tab too; a running transfer owns the port.
    if (m_transferBusy)
        return;
    m_settings->setSetting(u"KRVLastScreen"_s, LogbookPage + 1);
    m_logbook->qsoButton()->setEnabled(false);
    QDir().mkpath(LogFolder);
    QDir().mkpath(AdifFolder);
    m_logbook->refreshFileLists();
    m_link.setReceiveThreshold(1);
    startProgress(m_logbook->progressBar(), 1);
}

void Configuration::setLogTransferRunning(bool running)
{
    m_transferBusy = running;
    m_logbook->setTransferRunning(running);
    m_logbook->qsoButton()->setEnabled(!running && m_tabs->currentIndex() != LogbookPage);
    // The labels rest as one; disabling the current tab would switch pages.
    m_tabs->tabBar()->setEnabled(!running);
    if (running) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
    m_link.setInputLength(0);
    m_link.setReceiveThreshold(1);
}

void Configuration::btnSaveLog_Click()
{
    if (m_transferBusy)
        return;
    QDir().mkpath(LogFolder);
    const QString name =
        NativeLogFile::fileName(profileText(u"txtCall1"_s, u"CALL1"_s), QDateTime::currentDateTimeUtc());
    const QString finalPath = inFolder(LogFolder, name);
    const QString partialPath = NativeLogFile::partialName(finalPath);
    QFile file(partialPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        message(QMessageBox::Critical, tr("The log file %1 could not be written: %2").arg(partialPath, file.errorString()));
        return;
    }
    setLogTransferRunning(true);
    const auto done = qScopeGuard([this] { setLogTransferRunning(false); });
    QProgressBar *progress = m_logbook->progressBar();
    startProgress(progress, m_record.qsoCount);
    LogTransfer transfer(m_link);
    transfer.setProgress(stepper(progress));
    const LogTransferResult result = transfer.readLog(
        m_record.qsoCount, [&file](QByteArrayView record) { return NativeLogFile::writeRecord(&file, record); });
    file.close();
    QString error;
    if (result.complete()) {
        if (file.error() == QFileDevice::NoError && NativeLogFile::promote(partialPath, finalPath, &error)) {
            message(QMessageBox::Information, u"All log records have been saved"_s);
            progress->setValue(0);
            m_logbook->addLogFile(name);
            return;
        }
        message(QMessageBox::Critical, tr("The log file %1 could not be written: %2")
                                           .arg(finalPath, error.isEmpty() ? file.errorString() : error));
        return;
    }
    // What came stays under its partial name, which no list offers.
    if (result.records == 0)
        QFile::remove(partialPath);
    const FailureReport report = failureReport(
        result, u'G',
        tr("Only%1 log records have been saved: the keyer stopped sending. The records received are kept in %2.")
            .arg(LogTransfer::shortfall(result), partialPath));
    if (report.stopKeyer)
        transfer.stopKeyer();
    progress->setValue(0);
    message(report.icon, report.text);
}

void Configuration::restoreLog(bool append)
{
    if (m_transferBusy)
        return;
    QProgressBar *progress = m_logbook->progressBar();
    progress->setValue(0);
    const QString name = m_logbook->selectedLogFile();
    if (name.isEmpty())
        return;
    NativeLogFile file;
    if (!file.open(inFolder(LogFolder, name))) {
        message(QMessageBox::Critical, tr("The log file %1 could not be read: %2").arg(name, file.errorString()));
        return;
    }
    const qint64 records = file.count();
    if (records == 0)
        return;
    const qint16 count = m_record.qsoCount;
    // An empty keyer log is replaced whichever button was used.
    const bool replace = !append || count <= 0;
    if ((replace ? records : records + count) > LogbookTab::KeyerCapacity) {
        message(QMessageBox::Critical, u"Exceeds keyer capacity of 12000 records"_s);
        return;
    }
    if (count > 0) {
        const QString question = replace ? u"This will erase and replace the log that is in the keyer! Continue?"_s
                                         : u"Do you want to append records from the file to the end of the log?"_s;
        if (message(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
            return;
    }
    setLogTransferRunning(true);
    const auto done = qScopeGuard([this] { setLogTransferRunning(false); });
    if (replace) {
        m_record.qsoCount = 0;
        m_record.lastExported = 0;
        // Loading on top of a log that was not emptied would append.
        if (!SendConfig())
            return;
        Wait(200);
    }
    m_events.setConfigurationReceived(false);
    startProgress(progress, records);
    LogTransfer transfer(m_link);
    transfer.setProgress([progress](qint64 loaded) { progress->setValue(int(loaded)); });
    const LogTransferResult result = transfer.loadLog(file, records);
    file.close();
    if (!result.complete()) {
        const FailureReport report = failureReport(result, u'E', {});
        if (report.stopKeyer)
            transfer.stopKeyer();
        progress->setValue(0);
        message(report.icon, report.text);
        return;
    }
    // The keyer shows its new count once the load has ended.
    m_link.WaitWhile([this] { return !m_events.configurationReceived() && !m_closing; },
                     m_link.scaled(ConfigurationPatienceMs));
    if (!m_events.configurationReceived()) {
        progress->setValue(0);
        message(QMessageBox::Critical,
                communicationFailedMessage(LogTransferErrors::NoConfigurationAfterLoad, u'E'));
        return;
    }
    message(QMessageBox::Information, replace ? u"Log has been restored"_s
                                              : numberText(records) + u" records have been appended to the log"_s);
    if (name == ImportFile) {
        QFile::remove(inFolder(LogFolder, name));
        m_logbook->removeLogFile(name);
    }
    progress->setValue(0);
}

void Configuration::btnSetCount_Click()
{
    QLineEdit *box = m_logbook->cutCountBox();
    const QString text = box->text();
    bool numeric = false;
    const int value = text.trimmed().toInt(&numeric);
    if (!numeric || value < 0 || value > LogbookTab::KeyerCapacity) {
        QApplication::beep();
        box->setText(u"0"_s);
        box->setFocus();
        return;
    }
    if (message(QMessageBox::Warning, u"Do you want to set the QSO count to "_s + text + u"?"_s,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes) {
        m_record.qsoCount = qint16(value);
        btnUseConfig_Click();
    }
    box->setText(u"0"_s);
}

void Configuration::deleteLogbookFile(bool adif)
{
    if (message(QMessageBox::Warning, u"Do you really want to delete this file?"_s,
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QString name = adif ? m_logbook->selectedAdifFile() : m_logbook->selectedLogFile();
    if (name.isEmpty())
        return;
    QFile file(inFolder(adif ? AdifFolder : LogFolder, name));
    if (file.exists() && !file.remove()) {
        message(QMessageBox::Critical, tr("%1 could not be deleted: %2").arg(name, file.errorString()));
        return;
    }
    if (adif)
        m_logbook->removeAdifFile(name);
    else
        m_logbook->removeLogFile(name);
}

// Save as ADIF ("A") and Save as List ("X"): the records from the start
// record land in a work file; the output is written from it once the
// transfer is complete.
void Configuration::exportLog(char letter)
{
    if (m_transferBusy)
        return;
    const bool list = letter == 'X';
    QLineEdit *startBox = m_logbook->startRecordBox();
    const int start = startBox->text().trimmed().toInt();
    const int count = m_record.qsoCount;
    if (start < 1 || start > count) {
        message(QMessageBox::Critical, u"Start record must be between 1 and"_s + numberText(count));
        startBox->setFocus();
        return;
    }
    QDir().mkpath(AdifFolder);
    QProgressBar *progress = m_logbook->progressBar();
    progress->setValue(0);

    LogExportOptions options;
    options.selection.contest = m_record.optionWord & Option::ContestMode;
    options.selection.onlyActiveUser = m_logbook->onlyCurrentUser();
    options.selection.activeUser2 = m_record.optionWord & Option::User2;
    options.reverse = m_logbook->reverseExport();
    options.station = {profileText(u"txtCall1"_s, u"CALL1"_s), profileText(u"txtCall2"_s, u"CALL2"_s),
                       profileText(u"txtOperator1"_s, u"OPER1"_s), profileText(u"txtOperator2"_s, u"OPER2"_s)};
    const QString name =
        LogExport::outputFileName(options, QDateTime::currentDateTimeUtc(), list ? u".txt"_s : u".adi"_s);

    const QString workPath = inFolder(AdifFolder, WorkFile);
    QFile::remove(workPath);
    QFile work(workPath);
    if (!work.open(QIODevice::WriteOnly)) {
        message(QMessageBox::Critical, tr("The work file %1 could not be written: %2").arg(workPath, work.errorString()));
        return;
    }
    const auto removeWork = qScopeGuard([&] {
        work.close();
        QFile::remove(workPath);
    });
    setLogTransferRunning(true);
    auto done = qScopeGuard([this] { setLogTransferRunning(false); });
    const qint64 expected = count - start + 1;
    startProgress(progress, expected);
    LogTransfer transfer(m_link);
    transfer.setProgress(stepper(progress));
    const LogTransferResult result = transfer.exportLog(
        letter, start - 1, expected, [&work](QByteArrayView record) { return NativeLogFile::writeRecord(&work, record); });
    work.close();
    if (!result.complete() || work.error() != QFileDevice::NoError) {
        const FailureReport report =
            result.complete()
                ? FailureReport{QMessageBox::Critical, tr("The work file %1 could not be written.").arg(workPath), false}
                : failureReport(result, u'F',
                                tr("Only%1 records came: the keyer stopped sending. No file was written.")
                                    .arg(LogTransfer::shortfall(result)));
        if (report.stopKeyer)
            transfer.stopKeyer();
        progress->setValue(0);
        message(report.icon, report.text);
        return;
    }

    NativeLogFile source;
    QSaveFile out(inFolder(AdifFolder, name));
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
        message(QMessageBox::Critical, tr("%1 could not be written: %2").arg(name, written.error));
        return;
    }
    message(QMessageBox::Information,
            list ? LogExport::listSavedMessage(written.written) : LogExport::adifSavedMessage(written.written));
    progress->setValue(0);
    m_logbook->addAdifFile(name);
    // The keyer has moved its export mark: the count and the next start
    // record come with its configuration.
    done.dismiss();
    setLogTransferRunning(false);
    btnReadConfig_Click();
}

void Configuration::btnADIFImport_Click()
{
    if (m_transferBusy)
        return;
    QDir().mkpath(AdifFolder);
    QDir().mkpath(LogFolder);
    const QString path = m_logbook->chooseFile(u"Select ADIF File"_s, AdifFolder, AdifFilter);
    if (path.isEmpty())
        return;
    AdifImportOptions options;
    options.call1 = profileText(u"txtCall1"_s, u"CALL1"_s);
    options.call2 = profileText(u"txtCall2"_s, u"CALL2"_s);
    options.user2Default = m_logbook->user2Import();
    options.contest = m_logbook->contestImport();
    options.reverse = m_logbook->reverseImport();
    AdifConverter converter(options);
    QProgressBar *progress = m_logbook->progressBar();
    converter.setProgress([progress](qint64 done, qint64 total) {
        progress->setRange(0, int(qBound(qint64(1), total, qint64(INT_MAX))));
        progress->setValue(int(qMin<qint64>(done, progress->maximum())));
        QCoreApplication::processEvents();
    });
    AdifImportResult result;
    {
        setLogTransferRunning(true);
        const auto done = qScopeGuard([this] { setLogTransferRunning(false); });
        result = converter.convertFile(path, inFolder(LogFolder, ImportFile));
    }
    m_logbook->refreshFileLists();
    // The converted records are there to be loaded next.
    if (QFile::exists(inFolder(LogFolder, ImportFile)))
        m_logbook->addLogFile(ImportFile);
    if (!result.error.isEmpty())
        message(QMessageBox::Critical, result.error);
    else
        message(QMessageBox::NoIcon, result.message());
    progress->setValue(0);
}

void Configuration::btnQSOs_Click()
{
    if (m_windowOnTop) {
        m_windowOnTop = false;
        const QRect placement = geometry();
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        setGeometry(placement);
        show();
    }
    if (!m_qsoList->isVisible()) {
        m_link.write(QByteArray(1, StopTransfer));
        Wait(100);
        m_terminal->focusSendBuffer();
        m_qsoList->setContestLayout(m_record.optionWord & Option::ContestMode);
        m_qsoList->open();
        loadQSOList(QsoListLength);
        Wait(1000);
    }
    m_qsoList->focusList();
}

// The last records of the log, newest first; one record goes on top of
// what the window shows.
void Configuration::loadQSOList(int count)
{
    if (!m_qsoList->isVisible() || m_transferBusy)
        return;
    if (count > 1)
        m_qsoList->clearList();
    LogSelection selection;
    selection.contest = m_record.optionWord & Option::ContestMode;
    selection.onlyActiveUser = m_logbook->onlyCurrentUser();
    selection.activeUser2 = m_record.optionWord & Option::User2;
    auto *edit = m_terminal->findChild<QWidget *>(u"btnEditQSO"_s);
    auto *remove = m_terminal->findChild<QWidget *>(u"btnDeleteQSO"_s);
    edit->setEnabled(false);
    remove->setEnabled(false);
    const int qsos = m_record.qsoCount;
    const int start = qsos > count ? qsos - count : 0;
    LogTransfer transfer(m_link);
    const LogTransferResult result =
        transfer.exportLog('X', start, qsos - start, [this, &selection](QByteArrayView record) {
            if (const auto decoded = LogRecord::decode(record)) {
                const QByteArray line = ListLineFormatter::formatLine(*decoded, selection);
                if (!line.isEmpty())
                    m_qsoList->prependLine(line);
            }
            return true;
        });
    if (!m_sender.busy()) {
        edit->setEnabled(true);
        remove->setEnabled(true);
    }
    if (result.outcome == Outcome::Failed && result.error == LogTransferErrors::ExportNotAcknowledged)
        return; // the window stays as it was
    if (result.outcome == Outcome::Failed || result.outcome == Outcome::Cancelled) {
        transfer.stopKeyer();
        message(QMessageBox::Critical,
                communicationFailedMessage(result.outcome == Outcome::Cancelled ? LogTransferErrors::ExportCancelled
                                                                                : result.error,
                                           u'Q'));
    }
}

// A double-click on a QSO in the list: its call becomes the call of the QSO
// in progress, as if typed and checked.
void Configuration::takeCallFromQsoList(const QString &call)
{
    if (m_currentScreen != TerminalPage + 1)
        return;
    m_link.write(keyerCommand(KeypadFunction, '-'));
    Wait(100);
    sendKeyboard(call);
    m_terminal->qsoPanel()->clearContact();
    m_link.write(keyerCommand(KeypadFunction, '\r'));
}
