#include "trainerwindow.h"

#include "keyersearch.h"
#include "softwaretab.h"
#include "versionrules.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TrainerWindow::TrainerWindow(SettingsStore *settings, KeyerPort *port, QWidget *parent)
    : QMainWindow(parent), m_settings(settings), m_link(port, this)
{
    setObjectName(u"Configuration"_s);
    setWindowTitle(u"Dashtutor"_s);

    auto *title = new QLabel(u"Dashtutor"_s);
    title->setObjectName(u"KRTLabel"_s);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    m_version = new QLabel(VersionRules::programVersionLabel());
    m_version->setObjectName(u"lblVersion"_s);
    auto *header = new QHBoxLayout;
    header->addWidget(title);
    header->addStretch();
    header->addWidget(m_version);

    m_software = new SoftwareTab(settings, UpdateProduct::krt());
    m_software->attach(&m_link, [this] {
        m_started = false;
        Form_Activate();
    });
    m_tabs = new QTabWidget;
    m_tabs->addTab(new QWidget, tr("&Monitor"));
    m_tabs->addTab(new QWidget, tr("&Configuration"));
    m_tabs->addTab(new QWidget, tr("M&essages"));
    m_tabs->addTab(m_software, tr("&Software"));
    m_tabs->setTabToolTip(0, u"Monitor the keyer output"_s);
    m_tabs->setTabToolTip(1, u"Configure trainer options"_s);
    m_tabs->setTabToolTip(2, u"Load and edit messages"_s);
    for (int i = 0; i < 3; ++i)
        m_tabs->setTabEnabled(i, false);
    m_tabs->setCurrentWidget(m_software);
    connect(m_tabs, &QTabWidget::tabBarClicked, this, [this](int index) {
        // Only a click on a tab the operator can open stops a wait.
        if (index >= 0 && m_tabs->isTabEnabled(index))
            m_link.cancel();
    });

    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(header);
    layout->addWidget(m_tabs, 1);
    setCentralWidget(central);
    resize(760, 520);
}

void TrainerWindow::setPortTable(const PortTable &table)
{
    m_link.setPortTable(table);
    m_software->setPortTable(table);
}

void TrainerWindow::message(QMessageBox::Icon icon, const QString &text)
{
    if (m_messageHook) {
        m_messageHook(icon, text);
        return;
    }
    QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

void TrainerWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_started)
        QMetaObject::invokeMethod(this, &TrainerWindow::Form_Activate, Qt::QueuedConnection);
}

void TrainerWindow::fail(const QString &text)
{
    m_result = StartupResult::Failed;
    m_tabs->setCurrentWidget(m_software);
    message(QMessageBox::Critical, text);
}

void TrainerWindow::Form_Activate()
{
    if (m_started || m_closing)
        return;
    m_started = true;
    m_software->loadSettings();
    const qint32 baud = m_settings->intSetting(u"Baudrate"_s, 38400);
    m_software->setBaudRateText(QString::number(baud));

    const KeyerSearch::Result found = m_software->searchForKeyer(m_link, baud, [this] { return m_closing; });
    if (m_closing) {
        m_result = StartupResult::Aborted;
        return;
    }
    if (found.outcome != KeyerSearch::Outcome::Answered) {
        fail(KeyerSearch::failureMessage(found));
        return;
    }
    switch (found.deviceLetter) {
    case 'T':
        m_software->keyerFound(found);
        m_link.setReceiveThreshold(1);
        m_result = StartupResult::Ready;
        return;
    case 'K':
        // The manager's keyer is attached: the manager takes over.
        m_link.closePort();
        if (m_handOver && m_handOver()) {
            m_result = StartupResult::HandedOver;
            close();
            return;
        }
        fail(tr("The manager program krv could not be started."));
        return;
    default:
        fail(u"Please load the keyer firmware into the Dashwright"_s);
        return;
    }
}

void TrainerWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing && !m_shutdownDone) {
        event->ignore();
        return;
    }
    if (!m_shutdownDone) {
        m_closing = true;
        m_link.cancel();
        m_link.signOff();
        m_software->startPendingInstaller();
        m_shutdownDone = true;
    }
    event->accept();
}
