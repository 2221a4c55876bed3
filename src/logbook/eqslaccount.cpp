#include "eqslaccount.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef DW_HAVE_QTKEYCHAIN
#include <QEventLoop>
#include <qt6keychain/keychain.h>

#include <memory>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString UserKey = u"eQSLUser"_s;
const QString PasswordKey = u"eQSLPassword"_s;

#ifdef DW_HAVE_QTKEYCHAIN
const QString Service = u"Dashwright"_s;

// One entry per settings store, so that a store used by tests never
// touches the operator's password.
QString entryKey(const SettingsStore *settings)
{
    return PasswordKey + u'@' + settings->fileName();
}

// The secret store's jobs report through a signal; wait for it here.
void runJob(QKeychain::Job &job, const SettingsStore *settings)
{
    job.setAutoDelete(false);
    job.setKey(entryKey(settings));
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

// Errors that mean "no secret store here", as against "it refused".
bool noStore(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented
        || error == QKeychain::OtherError;
}
#endif

} // namespace

EqslAccount::EqslAccount(SettingsStore *settings) : m_settings(settings) {}

QString EqslAccount::user() const
{
    return m_settings->setting(UserKey, {});
}

void EqslAccount::probe()
{
    if (m_probed)
        return;
    m_probed = true;
    const QString inFile = m_settings->setting(PasswordKey, {});
    m_keeper = Keeper::SettingsFile;
    m_password = inFile;
#ifdef DW_HAVE_QTKEYCHAIN
    QKeychain::ReadPasswordJob read(Service);
    runJob(read, m_settings);
    if (noStore(read.error()))
        return;
    m_keeper = Keeper::SecretStore;
    m_password = read.error() == QKeychain::NoError ? read.textData() : QString();
    // A password the settings file kept while no secret store ran moves in.
    if (read.error() == QKeychain::EntryNotFound && !inFile.isEmpty()) {
        QString error;
        if (save(user(), inFile, &error))
            m_password = inFile;
    } else if (read.error() == QKeychain::NoError && !inFile.isEmpty()) {
        m_settings->remove(u"Settings"_s, PasswordKey);
        m_settings->sync();
    }
#endif
}

QString EqslAccount::password()
{
    probe();
    return m_password;
}

EqslAccount::Keeper EqslAccount::keeper()
{
    probe();
    return m_keeper;
}

QString EqslAccount::keeperText()
{
    if (keeper() == Keeper::SecretStore)
        return u"The password is kept in the desktop's secret store."_s;
    return u"No secret store is running: the password is kept in the settings file %1, readable only by you."_s
        .arg(m_settings->fileName());
}

bool EqslAccount::save(const QString &user, const QString &password, QString *error)
{
    probe();
    m_settings->setSetting(UserKey, user);
#ifdef DW_HAVE_QTKEYCHAIN
    if (m_keeper == Keeper::SecretStore) {
        std::unique_ptr<QKeychain::Job> job;
        if (password.isEmpty()) {
            job = std::make_unique<QKeychain::DeletePasswordJob>(Service);
        } else {
            auto write = std::make_unique<QKeychain::WritePasswordJob>(Service);
            write->setTextData(password);
            job = std::move(write);
        }
        runJob(*job, m_settings);
        const QKeychain::Error failure = job->error();
        if (failure == QKeychain::NoError || (password.isEmpty() && failure == QKeychain::EntryNotFound)) {
            m_password = password;
            m_settings->remove(u"Settings"_s, PasswordKey);
            m_settings->sync();
            return true;
        }
        if (!noStore(failure)) {
            *error = u"The secret store did not keep the eQSL password: %1"_s.arg(job->errorString());
            m_settings->sync();
            return false;
        }
        m_keeper = Keeper::SettingsFile;
    }
#endif
    if (!keepInSettingsFile(password, error))
        return false;
    m_password = password;
    return true;
}

bool EqslAccount::keepInSettingsFile(const QString &password, QString *error)
{
    // The file is made private before the password goes in; it stays so,
    // as later writes replace it with its permissions.
    m_settings->sync();
    const QString file = m_settings->fileName();
#ifndef Q_OS_WIN
    // A file not written yet is made now, so that it is never there with
    // the password and the default permissions. (On Windows the settings
    // are a registry key of the user's own.)
    if (!password.isEmpty() && !QFileInfo::exists(file)) {
        QDir().mkpath(QFileInfo(file).path());
        QFile create(file);
        if (create.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            create.close();
    }
#endif
    if (!password.isEmpty() && QFileInfo::exists(file)
        && !QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner)) {
        *error = u"The settings file %1 could not be made readable only by you; the eQSL password was not "
                 "stored."_s.arg(file);
        return false;
    }
    m_settings->setSetting(PasswordKey, password);
    if (!m_settings->sync()) {
        *error = u"The settings file %1 could not be written."_s.arg(file);
        return false;
    }
    return true;
}
