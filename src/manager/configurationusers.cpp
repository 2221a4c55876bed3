// The Users tab's operations of the manager's main window: loading a
// profile into the keyer.

#include "configuration.h"

#include "keyererror.h"
#include "profileload.h"
#include "softwaretab.h"
#include "terminaltab.h"
#include "userstab.h"

#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>

using namespace Qt::StringLiterals;

QWidget *Configuration::createUsersTab()
{
    m_users = new UsersTab(m_settings);
    m_users->setKeyerProfile([this] { return int(m_record.profileIndex); });
    connect(m_users, &UsersTab::messageRequested, this,
            [this](QMessageBox::Icon icon, const QString &text) { message(icon, text); });
    connect(m_users, &UsersTab::useProfileClicked, this, &Configuration::btnUseProfile_Click);
    connect(m_users, &UsersTab::cancelClicked, this, [this] {
        m_link.cancel();
        m_link.port()->discardOutput();
    });
    m_users->setConfirm([this](const QString &question) {
        return message(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    });
    connect(m_users, &UsersTab::exportClicked, m_software, &SoftwareTab::btnExport_Click);
    connect(m_users, &UsersTab::smartTextDefined, this, [this] { m_terminal->typingBox()->setFocus(); });
    return m_users;
}

void Configuration::btnUseProfile_Click()
{
    // The tab labels rest as a whole: disabling the current one would
    // switch to another tab.
    m_users->setBusy(true);
    m_tabs->tabBar()->setEnabled(false);
    const auto restore = qScopeGuard([this] {
        m_users->setBusy(false);
        m_tabs->tabBar()->setEnabled(true);
    });

    if (!m_users->saveProfile())
        return;
    if (!m_link.isOpen()) {
        message(QMessageBox::Critical, tr("The profile has been saved, but no keyer is connected to load it into."));
        return;
    }
    const int profile = m_users->shownProfile();
    m_record.profileIndex = quint8(profile);
    m_events.setConfigurationReceived(false);
    if (!SendConfig())
        return;
    // The keyer answers a configuration with its block. The event stream
    // takes it before the load command goes out, whose acknowledgement
    // must come alone; a keyer that keeps its block costs a second.
    for (int pause = 0; pause < 10 && !m_events.configurationReceived() && !m_closing; ++pause)
        Wait(100);

    ProfileLoad load(m_link);
    switch (load.run(ProfileLoad::records(ProfileStore(*m_settings), profile))) {
    case ProfileLoad::Outcome::Loaded:
        message(QMessageBox::Information, u"Profile has been saved and sent to the keyer"_s);
        break;
    case ProfileLoad::Outcome::Cancelled:
        message(QMessageBox::Warning, u"Data Transfer cancelled"_s);
        break;
    case ProfileLoad::Outcome::Failed:
        // Closing the window during the load ends its waits too.
        message(m_closing ? QMessageBox::Warning : QMessageBox::Critical,
                m_closing ? u"Data Transfer cancelled"_s
                          : communicationFailedMessage(ProfileLoad::ErrorNumber, u'K'));
        break;
    }
}
