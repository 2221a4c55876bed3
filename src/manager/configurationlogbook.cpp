// The Logbook tab of the manager's main window: its flows (the keyer's log
// saved, restored and cut, the exports and the ADIF import) are the
// logbook controller's; here they are wired to the tab, and the QSO list
// window follows the log.

#include "configuration.h"

#include "configurationtab.h"
#include "desktopopen.h"
#include "keyererror.h"
#include "listlineformatter.h"
#include "logbookcontroller.h"
#include "logbooktab.h"
#include "logtransfer.h"
#include "profilestore.h"
#include "qsolistwindow.h"
#include "qsopanel.h"
#include "terminaltab.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

using Outcome = LogTransferResult::Outcome;

constexpr char StopTransfer = 18;
constexpr char KeypadFunction = 16;
constexpr int QsoListLength = 20;
const QString AdifFilter = u"ADIF File (*.adi);;ADIF File (*.txt)"_s;

} // namespace

// The window as the logbook controller sees it.
class ManagerLogbookHost : public QObject, public LogbookHost
{
public:
    explicit ManagerLogbookHost(Configuration *window) : QObject(window), w(*window) {}

    void tell(Icon icon, const QString &text) override
    {
        static constexpr QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                      QMessageBox::Warning, QMessageBox::Critical};
        w.message(icons[int(icon)], text);
    }
    bool confirm(const QString &question) override
    {
        return w.message(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }
    ConfigRecord &record() override { return w.m_record; }
    bool sendConfiguration() override
    {
        // As Use Configuration: the keyer's answering block frees its buttons.
        w.m_configurationTab->setTransferButtonsEnabled(false);
        const bool sent = w.SendConfig();
        if (!sent)
            w.m_configurationTab->setTransferButtonsEnabled(true);
        return sent;
    }
    bool readConfiguration() override
    {
        QString error;
        return w.readConfiguration(&error);
    }
    void expectConfiguration() override { w.m_events.setConfigurationReceived(false); }
    bool awaitConfiguration(int milliseconds) override
    {
        w.m_link.WaitWhile([this] { return !w.m_events.configurationReceived() && !w.m_closing; }, milliseconds);
        return w.m_events.configurationReceived();
    }
    QString profileValue(const QString &key) const override
    {
        return ProfileStore(*w.m_settings).value(w.m_record.profileIndex, key).trimmed();
    }
    void setTransferRunning(bool running) override { w.setLogTransferRunning(running); }
    void showProgress(qint64 value, qint64 maximum) override
    {
        QProgressBar *bar = w.m_logbook->progressBar();
        bar->setRange(0, int(qBound(qint64(1), maximum, qint64(INT_MAX))));
        bar->setValue(int(qBound(qint64(0), value, qint64(bar->maximum()))));
    }
    void fileAdded(bool adif, const QString &name) override
    {
        adif ? w.m_logbook->addAdifFile(name) : w.m_logbook->addLogFile(name);
    }
    void fileRemoved(bool adif, const QString &name) override
    {
        adif ? w.m_logbook->removeAdifFile(name) : w.m_logbook->removeLogFile(name);
    }

private:
    Configuration &w;
};

QWidget *Configuration::createLogbookTab(QHBoxLayout *header)
{
    m_logbook = new LogbookTab;
    // The QSO button and count stand beside the clock, seen from every tab.
    header->insertWidget(header->count() - 1, m_logbook->qsoCounter());
    m_qsoList = new QsoListWindow(m_settings, this);
    m_logbookFlows = std::make_unique<LogbookController>(m_link, *new ManagerLogbookHost(this));
    LogbookController &flows = *m_logbookFlows;

    LogbookTab *tab = m_logbook;
    connect(tab, &LogbookTab::opened, this, &Configuration::logbookOpened);
    connect(tab, &LogbookTab::left, this, [this] {
        if (!m_transferBusy)
            m_logbook->qsoButton()->setEnabled(true);
    });
    connect(tab, &LogbookTab::saveLogClicked, this, [&flows] { flows.saveLog(); });
    connect(tab, &LogbookTab::restoreLogClicked, this, [this, &flows] { flows.restoreLog(m_logbook->selectedLogFile(), false); });
    connect(tab, &LogbookTab::appendLogClicked, this, [this, &flows] { flows.restoreLog(m_logbook->selectedLogFile(), true); });
    connect(tab, &LogbookTab::deleteLogFileClicked, this,
            [this, &flows] { flows.deleteFile(false, m_logbook->selectedLogFile()); });
    connect(tab, &LogbookTab::setCountClicked, this, [this, &flows] {
        QLineEdit *box = m_logbook->cutCountBox();
        const bool taken = flows.setQsoCount(box->text());
        box->setText(u"0"_s);
        if (!taken) {
            QApplication::beep();
            box->setFocus();
        }
    });
    connect(tab, &LogbookTab::cancelClicked, this, [&flows] { flows.cancel(); });
    const auto exportLog = [this, &flows](char letter) {
        const LogbookController::ExportChoice choice{m_logbook->onlyCurrentUser(), m_logbook->reverseExport()};
        if (!flows.exportLog(letter, m_logbook->startRecordBox()->text(), choice))
            m_logbook->startRecordBox()->setFocus();
    };
    connect(tab, &LogbookTab::saveAdifClicked, this, [exportLog] { exportLog('A'); });
    connect(tab, &LogbookTab::saveListClicked, this, [exportLog] { exportLog('X'); });
    connect(tab, &LogbookTab::deleteAdifClicked, this,
            [this, &flows] { flows.deleteFile(true, m_logbook->selectedAdifFile()); });
    connect(tab, &LogbookTab::viewAdifClicked, this, [this] {
        m_logbook->progressBar()->setValue(0);
        if (!m_logbook->selectedAdifFile().isEmpty())
            DesktopOpen::open(this, LogbookController::adifFolder() + u'/' + m_logbook->selectedAdifFile());
    });
    connect(tab, &LogbookTab::adifImportClicked, this, [this, &flows] {
        if (m_transferBusy)
            return;
        QDir().mkpath(LogbookController::adifFolder());
        AdifImportOptions options;
        options.user2Default = m_logbook->user2Import();
        options.contest = m_logbook->contestImport();
        options.reverse = m_logbook->reverseImport();
        QProgressBar *progress = m_logbook->progressBar();
        flows.importAdif(m_logbook->chooseFile(u"Select ADIF File"_s, LogbookController::adifFolder(), AdifFilter),
                         options, [progress](qint64 done, qint64 total) {
                             progress->setRange(0, int(qBound(qint64(1), total, qint64(INT_MAX))));
                             progress->setValue(int(qMin<qint64>(done, progress->maximum())));
                             QCoreApplication::processEvents();
                         });
    });
    connect(tab, &LogbookTab::viewImportClicked, this, [this] {
        const QString file = m_logbook->chooseFile(u"Select ADIF File"_s, LogbookController::adifFolder(), AdifFilter);
        if (!file.isEmpty())
            DesktopOpen::open(this, file);
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
    QDir().mkpath(LogbookController::logFolder());
    QDir().mkpath(LogbookController::adifFolder());
    m_logbook->refreshFileLists();
    m_logbook->showPartialFiles(LogbookController::partialFiles());
    m_link.setReceiveThreshold(1);
    m_logbook->progressBar()->setRange(0, 1);
    m_logbook->progressBar()->setValue(0);
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
    // A save that stopped half-way left its records under a partial name.
    m_logbook->showPartialFiles(LogbookController::partialFiles());
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
