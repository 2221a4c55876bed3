// The online logbook services of the manager's main window: the QSOs of an
// ADIF file uploaded to eQSL, the file handed to TQSL for LotW, and the
// call of the QSO in progress looked up on the web or by a program.

#include "configuration.h"

#include "calllookuptarget.h"
#include "eqslaccount.h"
#include "eqslparms.h"
#include "eqslrequest.h"
#include "eqslupload.h"
#include "logbooktab.h"
#include "oneshothttpsclient.h"
#include "qsopanel.h"
#include "settingsfieldsdialog.h"
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

const QString LocationKey = u"LotWLocation"_s;

bool isAdifName(const QString &name)
{
    return name.endsWith(u".adi"_s, Qt::CaseInsensitive);
}

// Asks for the station location TQSL signs for, one of those TQSL keeps
// or a typed one, and stores it; false when the operator cancelled.
bool askStationLocation(QWidget *parent, SettingsStore *settings)
{
    QStringList locations = TqslCommand::stationLocations(TqslCommand::stationDataFile());
    const QString current = settings->setting(LocationKey, {}).trimmed();
    if (!current.isEmpty() && !locations.contains(current))
        locations.prepend(current);
    bool ok = false;
    const QString chosen = QInputDialog::getItem(
        parent, u"TQSL"_s, u"Station location for LotW uploads (empty: TQSL asks for it):"_s, locations,
        int(qMax<qsizetype>(0, locations.indexOf(current))), true, &ok);
    if (ok)
        settings->setSetting(LocationKey, chosen.trimmed());
    return ok;
}

} // namespace

void Configuration::wireOnlineServices()
{
    connect(m_logbook, &LogbookTab::eqslClicked, this, &Configuration::btneQSL_Click);
    connect(m_logbook, &LogbookTab::eqslAccountRequested, this, &Configuration::editEqslAccount);
    connect(m_logbook, &LogbookTab::lotwClicked, this, &Configuration::btnLotW_Click);
    connect(m_logbook, &LogbookTab::lotwProgramRequested, this, [this] {
        if (chooseTqslProgram())
            askStationLocation(this, m_settings);
    });
    QsoPanel *panel = m_terminal->qsoPanel();
    connect(panel, &QsoPanel::lookupRequested, this, &Configuration::btnLookup_Click);
    connect(panel, &QsoPanel::lookupEditRequested, this, &Configuration::editLookupTarget);
}

void Configuration::editEqslAccount()
{
    EqslAccount account(m_settings);
    EqslParms dialog(
        account, [this](QMessageBox::Icon icon, const QString &text) { message(icon, text); }, this, [this] {
            using Field = SettingsFieldsDialog::Field;
            using Kind = SettingsFieldsDialog::Kind;
            SettingsFieldsDialog server(
                m_settings, tr("eQSL server"),
                {Field{u"eQSLLoader"_s, tr("Address:"), Kind::HttpsAddress, EqslRequest::DefaultLoader},
                 Field{u"eQSLCertificates"_s, tr("Certificates:"), Kind::CertificateFile,
                       tr("only those this computer trusts")}},
                this);
            server.exec();
        });
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

    // Each QSO's request is sent once, on a connection of its own: one
    // that may have reached the service is never repeated unasked.
    OneShotHttpsClient client;
    client.addCaCertificates(trusted);
    EqslUpload upload([&client](const QUrl &url) {
        using Outcome = OneShotHttpsClient::Reply::Outcome;
        const OneShotHttpsClient::Reply reply = client.get(url);
        return EqslReply{reply.outcome == Outcome::Answered && reply.status == 200, reply.body, reply.error,
                         reply.outcome == Outcome::NoAnswer};
    });
    upload.setProgress([progress](qint64 done) { progress->setValue(int(qMin<qint64>(done, progress->maximum()))); });
    EqslUploadResult result;
    {
        setLogTransferRunning(true);
        const auto cancel = connect(m_logbook, &LogbookTab::cancelClicked, this, [&upload, &client] {
            upload.cancel();
            client.abort();
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
    const QString chosen = m_logbook->chooseFile(u"Select TQSL program"_s,
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
    // Without a location TQSL opens its chooser when it knows several,
    // which a quiet upload must not wait on.
    if (m_settings->setting(LocationKey, {}).trimmed().isEmpty()
        && TqslCommand::stationLocations(TqslCommand::stationDataFile()).size() > 1
        && !askStationLocation(this, m_settings))
        return;
    if (!m_tqslWindow) {
        m_tqslWindow = new TqslWindow(this);
        connect(m_tqslWindow, &TqslWindow::finished, this, [this](bool success, const QString &words) {
            message(success ? QMessageBox::Information : QMessageBox::Warning, words);
        });
    }
    m_tqslWindow->run(m_settings->setting(u"LotW"_s, {}).trimmed(),
                      QFileInfo(AdifFolder + u'/' + name).absoluteFilePath(),
                      m_settings->setting(LocationKey, {}).trimmed());
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
