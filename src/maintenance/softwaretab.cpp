#include "softwaretab.h"

#include "downloadwindow.h"
#include "firmwareloader.h"
#include "firmwareloaderwindow.h"
#include "intelheximage.h"
#include "keyerlink.h"
#include "serialportswindow.h"
#include "settingsfieldsdialog.h"
#include "settingsstore.h"
#include "settingstransfer.h"
#include "updatecheck.h"
#include "updatefolders.h"
#include "versionrules.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSslCertificate>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// How to bring a new firmware image into the keyer, the same in both programs.
QString firmwareInstructions()
{
    return u"To load new firmware into the keyer:\n\n"
           "1. Connect the keyer by its serial cable to this computer (the port shown above).\n"
           "2. Press the keyer's Reset button: the LCD goes blank.\n"
           "3. Press the joystick like a button and hold it.\n"
           "4. While holding it, click \"Load Firmware\". The loader's window opens and shows "
           "avrdude talking to the keyer's boot loader.\n"
           "5. Once avrdude has found the keyer (a few seconds), release the joystick. If it reports "
           "that the programmer is not responding, check the connection and start again at step 2.\n"
           "6. avrdude writes the stored image (Updates folder) into the flash memory, not the "
           "EEPROM, and verifies it. Wait until it reports the flash verified, then close its window.\n"
           "7. Move the joystick up (away from you) to start the keyer firmware and wait for the "
           "scrolling version display.\n"
           "8. Click \"Restart Program\": it connects again and updates the firmware version."_s;
}

} // namespace

SoftwareTab::SoftwareTab(SettingsStore *settings, const UpdateProduct &product, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_product(product), m_loader(new FirmwareLoader(this))
{
    setObjectName(u"fraFirmwareFrame"_s);

    m_portList = new QComboBox;
    m_portList->setObjectName(u"cboCOMPort"_s);
    m_portList->setToolTip(u"Select the serial port if you have several keyers on this computer"_s);
    m_portList->addItem(u" ?"_s);
    for (int number = 1; number <= PortTable::MaxPorts; ++number)
        m_portList->addItem(u"%1"_s.arg(number, 2));
    m_portList->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    m_autoCom = new QCheckBox(tr("Search ports automatically"));
    m_autoCom->setObjectName(u"AutoCOM"_s);
    m_autoCom->setToolTip(u"Search the serial ports for the Dashwright keyer"_s);

    m_device = new QLabel;
    m_device->setObjectName(u"lblPortDevice"_s);
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_baudRate = new QLabel;
    m_baudRate->setObjectName(u"lblBaudRate"_s);
    m_firmwareVersion = new QLabel;
    m_firmwareVersion->setObjectName(u"lblCurrentVersion"_s);
    m_programVersion = new QLabel(VersionRules::programVersionLabel().mid(2));
    m_programVersion->setObjectName(u"lblProgramVersion"_s);

    m_searchStatus = new QLabel;
    m_searchStatus->setObjectName(u"lblSearchStatus"_s);
    m_cancelSearch = new QPushButton(tr("Cancel"));
    m_cancelSearch->setObjectName(u"btnCancelSearch"_s);
    m_cancelSearch->setToolTip(tr("Stop looking for the keyer"));
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchStatus, 1);
    searchRow->addWidget(m_cancelSearch);
    m_searchStatus->hide();
    m_cancelSearch->hide();

    auto *portBox = new QGroupBox(tr("Keyer Port"));
    auto *portForm = new QFormLayout(portBox);
    portForm->addRow(tr("Port:"), m_portList);
    portForm->addRow(QString(), m_autoCom);
    portForm->addRow(tr("Device:"), m_device);
    portForm->addRow(tr("Baud rate:"), m_baudRate);
    portForm->addRow(searchRow);

    auto *versionBox = new QGroupBox(tr("Versions"));
    auto *versionForm = new QFormLayout(versionBox);
    versionForm->addRow(tr("Program:"), m_programVersion);
    versionForm->addRow(tr("Keyer firmware:"), m_firmwareVersion);

    auto *maintenanceBox = new QGroupBox(tr("Software"));
    auto *grid = new QGridLayout(maintenanceBox);
    m_inetUpdate = button(u"btnInetUpdate"_s, tr("Check for &Updates"),
                          tr("Download newer software and keyer firmware"), &SoftwareTab::btnInetUpdate_Click);
    m_backout = button(u"btnBackout"_s, tr("&Back Out"), tr("Return to the previous downloads"),
                       &SoftwareTab::btnBackout_Click);
    m_updateFirmware = button(u"btnUpdateFirmware"_s, tr("Load &Firmware"),
                              tr("Write the stored firmware into the keyer"), &SoftwareTab::btnUpdateFirmware_Click);
    grid->addWidget(m_inetUpdate, 0, 0);
    grid->addWidget(m_backout, 0, 1);
    grid->addWidget(m_updateFirmware, 1, 0);
    grid->addWidget(button(u"btnRestartProgram"_s, tr("&Restart Program"), tr("Connect to the keyer again"),
                           &SoftwareTab::btnRestartProgram_Click),
                    1, 1);
    grid->addWidget(button(u"btnSettings"_s, tr("Serial &Ports"), tr("List the serial ports of this computer"),
                           &SoftwareTab::btnSettings_Click),
                    2, 0);
    grid->addWidget(button(u"btnAbout"_s, tr("&About"), tr("Version, copyright and licence of this program"),
                           &SoftwareTab::btnAbout_Click),
                    2, 1);
    if (m_product.settingsExport) {
        grid->addWidget(button(u"btnExport"_s, tr("&Export Settings"), tr("Write all settings to krv.reg"),
                               &SoftwareTab::btnExport_Click),
                        3, 0);
        grid->addWidget(button(u"btnImport"_s, tr("&Import Settings"), tr("Read all settings from a .reg file"),
                               &SoftwareTab::btnImport_Click),
                        3, 1);
    }

    m_updateSource = new QLabel;
    m_updateSource->setObjectName(u"lblUpdateSource"_s);
    m_updateSource->setWordWrap(true);
    grid->addWidget(button(u"btnDownloadServer"_s, tr("Download &Server"),
                           tr("The server updates come from, and its certificates"),
                           &SoftwareTab::btnDownloadServer_Click),
                    4, 0);
    grid->addWidget(m_updateSource, 5, 0, 1, 2);

    auto *instructions = new QPlainTextEdit(firmwareInstructions());
    instructions->setObjectName(u"Text1"_s);
    instructions->setReadOnly(true);

    auto *left = new QVBoxLayout;
    left->addWidget(portBox);
    left->addWidget(versionBox);
    left->addWidget(maintenanceBox);
    left->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(instructions, 1);

    connect(m_portList, &QComboBox::activated, this, &SoftwareTab::portChosen);
    connect(m_autoCom, &QCheckBox::clicked, this, &SoftwareTab::autoComClicked);
    connect(m_portList, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_device->setText(m_portList->itemData(index).toString());
    });
}

SoftwareTab::~SoftwareTab() = default;

void SoftwareTab::btnDownloadServer_Click()
{
    using Field = SettingsFieldsDialog::Field;
    using Kind = SettingsFieldsDialog::Kind;
    SettingsFieldsDialog dialog(
        m_settings, tr("Download server"),
        {Field{u"DownloadServer"_s, tr("Server:"), Kind::HttpsAddress, tr("none: updates come with the package")},
         Field{u"DownloadCertificates"_s, tr("Certificates:"), Kind::CertificateFile,
               tr("only those this computer trusts")}},
        this);
    if (dialog.exec() == QDialog::Accepted)
        loadSettings();
}

void SoftwareTab::btnAbout_Click()
{
    const QString name = u"%1 (%2)"_s.arg(QApplication::applicationDisplayName(), QApplication::applicationName());
    const QString text =
        tr("<h3>%1 %2</h3>"
           "<p>Copyright (C) 2026 The Dashwright developers</p>"
           "<p>This program is free software: you can redistribute it and/or modify it under the terms of the "
           "GNU General Public License as published by the Free Software Foundation, either version 3 of the "
           "License, or (at your option) any later version (GPL-3.0-or-later).</p>"
           "<p>It is distributed in the hope that it will be useful, but WITHOUT ANY WARRANTY; without even the "
           "implied warranty of MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE. See "
           "<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">the GNU General Public License</a> for "
           "more details.</p>"
           "<p>Built with Qt %3, running on Qt %4.</p>")
            .arg(name.toHtmlEscaped(), VersionRules::programVersionLabel().mid(2),
                 QString::fromLatin1(QT_VERSION_STR), QString::fromLatin1(qVersion()));
    if (m_messageHook)
        m_messageHook(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::NoButton);
    else
        QMessageBox::about(this, tr("About %1").arg(QApplication::applicationDisplayName()), text);
}

QPushButton *SoftwareTab::button(const QString &name, const QString &text, const QString &tip,
                                 void (SoftwareTab::*handler)())
{
    auto *b = new QPushButton(text);
    b->setObjectName(name);
    b->setToolTip(tip);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

void SoftwareTab::attach(KeyerLink *link, std::function<void()> restart)
{
    m_link = link;
    m_restart = std::move(restart);
}

QMessageBox::StandardButton SoftwareTab::message(QMessageBox::Icon icon, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    if (m_messageHook)
        return m_messageHook(icon, text, buttons, defaultButton);
    QMessageBox box(icon, window()->windowTitle(), text, buttons, this);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

void SoftwareTab::setPortTable(const PortTable &table)
{
    m_table = table;
    for (int number = 1; number <= PortTable::MaxPorts; ++number) {
        const QString label = table.label(number);
        m_portList->setItemText(number, label.isEmpty() ? u"%1"_s.arg(number, 2)
                                                        : u"%1  %2"_s.arg(number, 2).arg(label));
        m_portList->setItemData(number, label);
    }
    m_device->setText(m_portList->currentData().toString());
}

int SoftwareTab::startPort() const
{
    // Where the keyer was plugged in last time matters less than which
    // adapter it is on.
    if (const int number = m_table.numberOf(m_settings->setting(u"COMPortDevice"_s, {})); number > 0)
        return number;
    return m_settings->intSetting(u"COMPort"_s, 1);
}

KeyerSearch::Result SoftwareTab::searchForKeyer(KeyerLink &link, qint32 baudRate,
                                                const std::function<bool()> &closing)
{
    m_searchCancelled = false;
    const QMetaObject::Connection cancel = connect(m_cancelSearch, &QPushButton::clicked, this, [this, &link] {
        m_searchCancelled = true;
        link.cancel();
    });
    KeyerSearch search(link);
    search.setExcludedDevices(m_excludedDevices);
    search.setProgress([this](int port, qint32 baud) {
        m_searchStatus->setText(tr("Looking for the keyer on %1 at %2 baud \u2026")
                                    .arg(m_table.device(port).isEmpty() ? tr("port %1").arg(port)
                                                                        : m_table.device(port))
                                    .arg(baud));
    });
    m_searchStatus->show();
    m_cancelSearch->show();
    const KeyerSearch::Result found =
        search.run(startPort(), baudRate, autoCom(), [&] { return m_searchCancelled || (closing && closing()); });
    disconnect(cancel);
    m_searchStatus->hide();
    m_cancelSearch->hide();
    if (found.portUnknown) {
        setBaudRateText(u"?"_s);
        selectPort(0);
    }
    return found;
}

void SoftwareTab::keyerFound(const KeyerSearch::Result &found)
{
    m_settings->setSetting(u"BaudRate"_s, found.baudRate);
    m_settings->setSetting(u"COMPort"_s, found.port);
    m_settings->setSetting(u"COMPortDevice"_s, m_table.stableName(found.port));
    selectPort(found.port);
    setBaudRateText(QString::number(found.baudRate));
}

QUrl SoftwareTab::downloadServer() const
{
    // A host under a reserved name (".example", ".invalid") is a place-holder,
    // never a server: nothing is asked of it.
    const QUrl server(m_settings->setting(u"DownloadServer"_s, {}).trimmed());
    const QString host = server.host();
    if (host.isEmpty() || host.endsWith(u".example"_s) || host.endsWith(u".invalid"_s))
        return {};
    return server;
}

QString SoftwareTab::noServerText()
{
    return tr("No download server is set (setting DownloadServer): updates of this program and of the keyer "
              "firmware come with its package. Nothing is fetched from the internet.");
}

void SoftwareTab::loadSettings()
{
    m_updateSource->setText(downloadServer().isEmpty()
                                ? noServerText()
                                : tr("Updates from %1").arg(downloadServer().toDisplayString()));
    selectPort(m_settings->intSetting(u"COMPort"_s, 1));
    m_autoCom->setChecked(m_settings->intSetting(u"AutoCOM"_s, 1) != 0);
    m_portList->setEnabled(!m_autoCom->isChecked());
}

void SoftwareTab::selectPort(int number)
{
    m_portList->setCurrentIndex(number >= 1 && number <= PortTable::MaxPorts ? number : 0);
}

int SoftwareTab::selectedPort() const
{
    return m_portList->currentIndex();
}

bool SoftwareTab::autoCom() const
{
    return m_autoCom->isChecked();
}

void SoftwareTab::setBaudRateText(const QString &text)
{
    m_baudRate->setText(text);
}

void SoftwareTab::setFirmwareVersion(const QByteArray &version, const QByteArray &build)
{
    const QByteArray digits = version.leftJustified(2, ' ');
    m_firmwareVersion->setText(QString::fromLatin1(digits.left(1) + '.' + digits.mid(1, 1) + '.' + build));
    m_firmwareFirst = version.trimmed().toInt();
    m_firmwareSecond = build.trimmed().toInt();
}

void SoftwareTab::portChosen(int index)
{
    m_settings->setSetting(u"COMPort"_s, index);
    m_settings->setSetting(u"COMPortDevice"_s, m_table.stableName(index));
}

void SoftwareTab::autoComClicked(bool on)
{
    m_settings->setSetting(u"AutoCOM"_s, on ? u"1"_s : u"0"_s);
    m_portList->setEnabled(!on);
}

void SoftwareTab::setOtherTabsEnabled(bool on)
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            // The page may hold this tab inside a scroll area.
            for (int i = 0; i < tabs->count(); ++i) {
                const bool ours = tabs->widget(i) == this || tabs->widget(i)->isAncestorOf(this);
                if (!ours)
                    tabs->setTabEnabled(i, on);
                else
                    tabs->setCurrentIndex(i);
            }
            return;
        }
    }
}

void SoftwareTab::btnInetUpdate_Click()
{
    QList<QSslCertificate> trusted;
    const QString caFile = m_settings->setting(u"DownloadCertificates"_s, {});
    if (!caFile.isEmpty()) {
        trusted = QSslCertificate::fromPath(caFile);
        if (trusted.isEmpty()) {
            message(QMessageBox::Critical,
                    tr("The certificate file %1 (setting DownloadCertificates) could not be read.").arg(caFile));
            return;
        }
    }
    const QUrl server = downloadServer();
    if (server.isEmpty()) {
        message(QMessageBox::Information, noServerText());
        return;
    }

    // The keyer's events wait while the window runs the check; they are
    // read again, and what came meanwhile with them, once it is over.
    const int threshold = m_link ? m_link->receiveThreshold() : 0;
    if (m_link)
        m_link->setReceiveThreshold(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DownloadWindow download(window());
    download.show();
    Downloader downloader;
    downloader.addCaCertificates(trusted);
    if (m_downloadDeadline > 0)
        downloader.setBaseDeadline(m_downloadDeadline);
    connect(&download, &QDialog::rejected, this, [&downloader] { downloader.abort(); });
    UpdateFolders folders(QDir::currentPath(), m_product);
    UpdateCheck check(m_product, folders, downloader);
    check.setProgress([&download](const QString &label) { download.setText(label); });
    const UpdateCheck::Outcome outcome = check.run(
        server, {VersionRules::ProgramMajor, VersionRules::ProgramMinor, VersionRules::ProgramRevision,
                 m_firmwareFirst, m_firmwareSecond});
    download.hide();
    QApplication::restoreOverrideCursor();
    if (m_link)
        m_link->setReceiveThreshold(threshold);

    if (outcome.installerStored) {
        m_updatePending = true;
        m_pendingInstallerSha256 = outcome.installerSha256;
    }
    const QMessageBox::Icon icon = outcome.cancelled        ? QMessageBox::Information
                                   : outcome.failed         ? QMessageBox::Critical
                                   : outcome.firmwareStored ? QMessageBox::Warning
                                                            : QMessageBox::Information;
    message(icon, outcome.message);
}

void SoftwareTab::btnBackout_Click()
{
    UpdateFolders folders(QDir::currentPath(), m_product);
    const UpdateFolders::BackOut result = folders.backOut([this](const QString &question) {
        return message(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    });
    if (result.installerRestored) {
        m_updatePending = true;
        m_pendingInstallerSha256 = result.installerSha256;
    }
    if (result.message.isEmpty())
        return;
    const bool nothingFound = !result.firmwareRestored && !result.installerRestored;
    message(nothingFound ? QMessageBox::Information : QMessageBox::Warning, result.message);
}

void SoftwareTab::btnUpdateFirmware_Click()
{
    if (m_loader->isRunning()) {
        message(QMessageBox::Warning, tr("The firmware loader is still running."));
        return;
    }
    const QString image = QDir::currentPath() + u"/Updates/"_s + m_product.firmware;
    if (!QFile::exists(image)) {
        message(QMessageBox::Critical, tr("No keyer firmware has been stored yet: %1 is missing.\r\n"
                                          "Click \"Check for Updates\" first.")
                                           .arg(QDir::toNativeSeparators(image)));
        return;
    }
    // The loader erases the keyer before it writes: an image it cannot
    // write whole must be refused while the keyer is still connected.
    QFile stored(image);
    const QString unsound = !stored.open(QIODevice::ReadOnly)
                                ? tr("the file cannot be read (%1)").arg(stored.errorString())
                                : IntelHexImage::problem(stored.readAll(), IntelHexImage::KeyerFlashBytes);
    if (!unsound.isEmpty()) {
        message(QMessageBox::Critical, tr("The stored keyer firmware %1 is unsound: %2.\r\n"
                                          "Nothing has been written. Click \"Check for Updates\" to fetch it again.")
                                           .arg(QDir::toNativeSeparators(image), unsound));
        return;
    }
    const QString device = m_table.stableName(selectedPort());
    if (selectedPort() < 1 || device.isEmpty()) {
        message(QMessageBox::Critical, tr("The keyer's port is not known: choose it in the port list first."));
        return;
    }
    const QStringList command = FirmwareLoader::commandLine(
        m_settings->setting(u"FirmwareLoader"_s, FirmwareLoader::defaultCommand()), device,
        m_settings->intSetting(u"Baudrate"_s, 38400), image);
    // Checked before the port is given up: without a loader the keyer
    // stays connected.
    QString error = FirmwareLoader::missingProgram(command);
    if (!error.isEmpty()) {
        message(QMessageBox::Critical, error);
        return;
    }

    if (m_link)
        m_link->closePort();
    setOtherTabsEnabled(false);
    m_inetUpdate->setEnabled(false);
    m_updateFirmware->setEnabled(false);
    m_backout->setEnabled(false);
    if (!m_loaderWindow) {
        m_loaderWindow = new FirmwareLoaderWindow(this);
        connect(m_loader, &FirmwareLoader::output, m_loaderWindow, &FirmwareLoaderWindow::append);
        connect(m_loader, &FirmwareLoader::finished, m_loaderWindow, &FirmwareLoaderWindow::end);
        connect(m_loaderWindow, &FirmwareLoaderWindow::stopRequested, m_loader, &FirmwareLoader::stop);
    }
    m_loaderWindow->begin(command);
    m_loaderWindow->show();
    m_loaderWindow->raise();
    if (!m_loader->start(command, &error)) {
        m_loaderWindow->append(error);
        message(QMessageBox::Critical, error);
    }
    // One click, one loader: the button rests for a second.
    if (m_link)
        m_link->Wait(1000);
    m_updateFirmware->setEnabled(true);
}

void SoftwareTab::btnRestartProgram_Click()
{
    if (m_loader->isRunning()) {
        message(QMessageBox::Warning, tr("The firmware loader is still writing to the keyer. "
                                         "Restart when it has finished."));
        return;
    }
    if (m_link)
        m_link->closePort();
    m_updateFirmware->setEnabled(true);
    m_inetUpdate->setEnabled(true);
    if (m_product.manager)
        m_backout->setEnabled(true);
    setOtherTabsEnabled(false);
    if (m_restart)
        m_restart();
}

void SoftwareTab::btnSettings_Click()
{
    if (!m_portsWindow)
        m_portsWindow = new SerialPortsWindow(m_table.devices(), this);
    else
        m_portsWindow->refresh();
    m_portsWindow->show();
    m_portsWindow->raise();
}

void SoftwareTab::btnExport_Click()
{
    const QString folder = QDir::currentPath();
    QString error;
    if (!SettingsTransfer(*m_settings).exportTo(folder + u"/krv.reg"_s, &error)) {
        message(QMessageBox::Critical, error);
        return;
    }
    // Our file is read back by Import Settings, not by regedit.exe.
    message(QMessageBox::Information, u"All settings have been exported to "_s
                                          + QDir::toNativeSeparators(folder + u"/krv.reg"_s)
                                          + u"\r\nYou can import them with \"Import Settings\" on this or another computer"_s);
}

void SoftwareTab::btnImport_Click()
{
    const QString folder = QDir::currentPath();
    const QString file = QFileDialog::getOpenFileName(this, tr("Import Settings"), folder + u"/krv.reg"_s,
                                                      tr("Settings (*.reg);;All files (*)"));
    if (file.isEmpty())
        return;
    // A name of its own, so that no import, not even of an earlier copy,
    // overwrites the settings it replaces.
    const QString backup = SettingsTransfer::backupName(folder, QDateTime::currentDateTimeUtc());
    if (message(QMessageBox::Question,
                tr("Replace all settings by those in %1?\r\nThe current settings are kept in %2.")
                    .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(backup)),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    SettingsTransfer transfer(*m_settings);
    const QStringList guarded = transfer.guardedChanges(file);
    const bool takeGuarded = !guarded.isEmpty()
        && message(QMessageBox::Warning,
                   tr("The file also changes settings that start programs or name servers to trust:\r\n\r\n%1"
                      "\r\n\r\nTake these too? No keeps the ones you have now.")
                       .arg(guarded.join(u"\r\n"_s)),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes;
    QString error;
    if (!transfer.importFrom(file, backup, takeGuarded, &error)) {
        message(QMessageBox::Critical, error);
        return;
    }
    message(QMessageBox::Information, tr("The settings have been imported. End the program and start it again to "
                                         "use them all.\r\nThe previous settings are kept in %1.")
                                          .arg(QDir::toNativeSeparators(backup)));
}

void SoftwareTab::startPendingInstaller()
{
    UpdateFolders folders(QDir::currentPath(), m_product);
    if (!m_updatePending || !QFile::exists(folders.updatesPath(UpdateFolders::Kind::Installer)))
        return;
    m_updatePending = false;
    QString error;
    if (!folders.startInstaller(m_pendingInstallerSha256, &error))
        message(QMessageBox::Critical, error);
}
