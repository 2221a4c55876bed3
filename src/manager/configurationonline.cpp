// The online logbook services of the manager's main window: the QSOs of an
// ADIF file uploaded to eQSL, the file handed to TQSL for LotW, and the
// call of the QSO in progress looked up on the web or by a program.

#include "configuration.h"

#include "calllookuptarget.h"
#include "downloader.h"
#include "eqslaccount.h"
#include "eqslparms.h"
#include "eqslrequest.h"
#include "eqslupload.h"
#include "logbooktab.h"
#include "qsopanel.h"
#include "terminaltab.h"
#include "tqslcommand.h"
#include "tqslwindow.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSslCertificate>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

const QString AdifFolder = u"ADIF"_s;
const QString NotAdif = u"You have to select an ADIF file in the pull-down"_s;

bool isAdifName(const QString &name)
{
    return name.endsWith(u".adi"_s, Qt::CaseInsensitive);
}

// The downloader names the address it fetched; an upload request's
// address holds the password, so only the reason is passed on.
QString transportReason(const QUrl &url, const QString &error)
{
    const QString prefix = url.toDisplayString() + u": "_s;
    return error.startsWith(prefix) ? error.mid(prefix.size()) : error;
}

} // namespace

void Configuration::wireOnlineServices()
{
    connect(m_logbook, &LogbookTab::eqslClicked, this, &Configuration::btneQSL_Click);
    connect(m_logbook, &LogbookTab::eqslAccountRequested, this, &Configuration::editEqslAccount);
    connect(m_logbook, &LogbookTab::lotwClicked, this, &Configuration::btnLotW_Click);
    connect(m_logbook, &LogbookTab::lotwProgramRequested, this, &Configuration::chooseTqslProgram);
    QsoPanel *panel = m_terminal->qsoPanel();
    connect(panel, &QsoPanel::lookupRequested, this, &Configuration::btnLookup_Click);
    connect(panel, &QsoPanel::lookupEditRequested, this, &Configuration::editLookupTarget);
}

void Configuration::editEqslAccount()
{
    EqslAccount account(m_settings);
    EqslParms dialog(account, [this](QMessageBox::Icon icon, const QString &text) { message(icon, text); }, this);
    dialog.exec();
}

void Configuration::btneQSL_Click()
{
    if (m_transferBusy)
        return;
    if (message(QMessageBox::Warning, u"Send records to eQSL?"_s, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QString loader = m_settings->setting(u"eQSLLoader"_s, {}).trimmed();
    const QString base = loader.isEmpty() ? EqslRequest::DefaultLoader : loader;
    QString user, password;
    {
        EqslAccount account(m_settings);
        user = account.user();
        password = account.password();
        if (user.isEmpty() || password.isEmpty()) {
            editEqslAccount();
            EqslAccount saved(m_settings);
            user = saved.user();
            password = saved.password();
        }
    }
    if (user.isEmpty() || password.isEmpty())
        return;
    const QString name = m_logbook->selectedAdifFile();
    if (!isAdifName(name)) {
        message(QMessageBox::Critical, NotAdif);
        m_logbook->findChild<QComboBox *>(u"cboADIFFiles"_s)->setFocus();
        return;
    }
    // A stand-in of the service may have a certificate of its own.
    QList<QSslCertificate> trusted;
    if (const QString caFile = m_settings->setting(u"eQSLCertificates"_s, {}); !caFile.isEmpty()) {
        trusted = QSslCertificate::fromPath(caFile);
        if (trusted.isEmpty()) {
            message(QMessageBox::Critical,
                    tr("The certificate file %1 (setting eQSLCertificates) could not be read.").arg(caFile));
            return;
        }
    }
    const QString path = AdifFolder + u'/' + name;
    QProgressBar *progress = m_logbook->progressBar();
    progress->setRange(0, int(qBound(qint64(1), QFileInfo(path).size(), qint64(INT_MAX))));
    progress->setValue(0);

    Downloader downloader;
    downloader.addCaCertificates(trusted);
    downloader.setSameOriginRedirectsOnly(true);
    EqslUpload upload([&downloader](const QUrl &url) {
        const Downloader::Result fetched = downloader.fetch(url);
        return EqslReply{fetched.ok, fetched.data, transportReason(url, fetched.error)};
    });
    upload.setProgress([progress](qint64 done) { progress->setValue(int(qMin<qint64>(done, progress->maximum()))); });
    EqslUploadResult result;
    {
        setLogTransferRunning(true);
        const auto cancel = connect(m_logbook, &LogbookTab::cancelClicked, this, [&upload, &downloader] {
            upload.cancel();
            downloader.abort();
        });
        const auto done = qScopeGuard([this, cancel] {
            disconnect(cancel);
            setLogTransferRunning(false);
        });
        result = upload.run(path, base, user, password);
    }
    progress->setValue(0);
    message(result.complete()                ? QMessageBox::Information
                : !result.stoppedBy.isEmpty() ? QMessageBox::Critical
                                              : QMessageBox::Warning,
            result.message());
}

bool Configuration::chooseTqslProgram()
{
    // Where TQSL is installed the dialog starts with it selected.
    const QString installed = QStandardPaths::findExecutable(u"tqsl"_s);
#ifdef Q_OS_WIN
    const QString filter = u"Program (*.exe)"_s;
#else
    const QString filter = u"Program (tqsl tqsl.exe);;All files (*)"_s;
#endif
    const QString chosen = m_logbook->chooseFile(u"Select TSQL program"_s,
                                                 installed.isEmpty() ? QDir::currentPath() : installed, filter);
    if (chosen.isEmpty())
        return false;
    if (!TqslCommand::isTqslProgram(chosen)) {
        message(QMessageBox::Critical, u"You did not select the TQSL program"_s);
        return false;
    }
    m_settings->setSetting(u"LotW"_s, chosen);
    return true;
}

void Configuration::btnLotW_Click()
{
    if (m_tqslWindow && m_tqslWindow->running()) {
        m_tqslWindow->show();
        m_tqslWindow->raise();
        return;
    }
    if (!TqslCommand::isTqslProgram(m_settings->setting(u"LotW"_s, {})) && !chooseTqslProgram())
        return;
    const QString name = m_logbook->selectedAdifFile();
    if (!isAdifName(name)) {
        message(QMessageBox::Critical, NotAdif);
        m_logbook->findChild<QComboBox *>(u"cboADIFFiles"_s)->setFocus();
        return;
    }
    if (!m_tqslWindow) {
        m_tqslWindow = new TqslWindow(this);
        connect(m_tqslWindow, &TqslWindow::finished, this, [this](bool success, const QString &words) {
            message(success ? QMessageBox::Information : QMessageBox::Warning, words);
        });
    }
    m_tqslWindow->run(m_settings->setting(u"LotW"_s, {}).trimmed(),
                      QFileInfo(AdifFolder + u'/' + name).absoluteFilePath());
}

void Configuration::btnLookup_Click()
{
    m_terminal->focusSendBuffer();
    const QString call = m_terminal->qsoPanel()->call().trimmed();
    if (call.isEmpty())
        return;
    const CallLookupTarget target(m_settings->setting(u"CallLookup"_s, {}));
    if (target.isWebAddress()) {
        const QUrl url = target.url(call);
        if (!QDesktopServices::openUrl(url))
            message(QMessageBox::Critical, tr("The look-up address %1 could not be opened.").arg(url.toDisplayString()));
        return;
    }
    // Started directly: the call is one argument, never read by a shell.
    if (!QProcess::startDetached(target.program(), target.arguments(call)))
        message(QMessageBox::Critical, tr("The look-up program %1 could not be started.").arg(target.program()));
}

void Configuration::editLookupTarget()
{
    bool ok = false;
    const QString answer = QInputDialog::getText(
        this, windowTitle(), u"Specify command line for the lookup program"_s + u"\r\n"_s + u"Call will be added at the end"_s,
        QLineEdit::Normal, CallLookupTarget(m_settings->setting(u"CallLookup"_s, {})).text(), &ok);
    // A cancelled or empty answer brings the default back.
    m_settings->setSetting(u"CallLookup"_s, CallLookupTarget(ok ? answer : QString()).text());
}
