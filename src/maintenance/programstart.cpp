#include "programstart.h"

#include "demokeyer.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "terminationsignals.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString versionText()
{
    return u"%1.%2.%3"_s.arg(DW_VERSION_MAJOR).arg(DW_VERSION_MINOR).arg(DW_VERSION_REVISION);
}

} // namespace

int runKeyerProgram(int argc, char *argv[], const ProgramIdentity &identity, const MainWindowFactory &makeWindow)
{
    ignoreBrokenPipes();
    if (wantsTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(versionText());
        ProgramOptions::parse(app, identity.description, identity.demoRadio);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(identity.name);
    QApplication::setOrganizationName(u"Dashwright"_s);
    QApplication::setApplicationVersion(versionText());
    QApplication::setApplicationDisplayName(identity.displayName);
    // The desktop entry's id: docks and Wayland compositors link the windows
    // to their launcher by it.
    const QString desktopId = u"org.dashwright."_s + identity.name;
    QGuiApplication::setDesktopFileName(desktopId);
    QApplication::setWindowIcon(QIcon(u":/icons/%1.svg"_s.arg(desktopId)));

    ProgramOptions options = ProgramOptions::parse(app, identity.description, identity.demoRadio);

    QString error;
    const QString dataFolder = chooseDataFolder(options.dataDir, &error);
    if (dataFolder.isEmpty() || !QDir::setCurrent(dataFolder)) {
        QMessageBox::critical(nullptr, identity.displayName, error.isEmpty() ? dataFolder : error);
        return 2;
    }

    DemoKeyer demo;
    if (options.demo) {
        // A log to save, export and list from the start.
        if (!demo.start(QStringList{u"--qso-count"_s, u"120"_s} + identity.demoKeyerArguments)) {
            QMessageBox::critical(nullptr, identity.displayName, demo.errorString());
            return 2;
        }
        options.port = demo.device();
    }
    // The radio's port stays closed until the operator connects: it ends
    // with this program rather than when left alone.
    DemoKeyer demoRadio(u"dashwright-radio"_s, QCoreApplication::translate("DemoKeyer", "simulated radio"),
                        {u"--watch-pid"_s, QString::number(QCoreApplication::applicationPid())});
    if (options.demo && identity.demoRadio) {
        // Front-panel actions for it ("band 5", "mode 2", "off") go into
        // its control FIFO; the demo still runs without it.
        const QString control = demoRadio.folder() + u"/radio-control"_s;
        if (demoRadio.start({u"--control"_s, control})) {
            options.radioPort = demoRadio.device();
            std::fprintf(stderr, "%s: simulated radio (Elecraft K3) on %s; turn its band with: echo \"band 5\" > %s\n",
                         qPrintable(identity.name), qPrintable(options.radioPort), qPrintable(control));
        } else {
            std::fprintf(stderr, "%s: %s\n", qPrintable(identity.name), qPrintable(demoRadio.errorString()));
        }
    }

    // The demo works on a copy of the settings: its pseudo-terminals and
    // dates never reach the operator's own.
    std::unique_ptr<SettingsStore> settings = std::make_unique<SettingsStore>();
    if (options.demo) {
        const QString copy = demo.folder() + u"/settings.conf"_s;
        QFile::copy(settings->fileName(), copy);
        QFile(copy).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        settings = std::make_unique<SettingsStore>(copy);
    }
    SerialKeyerPort port;
    const std::unique_ptr<QWidget> window = makeWindow(*settings, port, options, [&] {
        if (!startSibling(identity.sibling, options.siblingArguments()))
            return false;
        demo.release();
        return true;
    });
    QWidget *mainWindow = window.get();
    onTerminationSignal([mainWindow] {
        // A question left open must not keep the program from ending.
        while (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            dialog->reject();
            if (QApplication::activeModalWidget() == dialog)
                break;
        }
        mainWindow->close();
    });
    window->show();
    return app.exec();
}
