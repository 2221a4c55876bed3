#include "programstart.h"

#include "demokeyer.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "terminationsignals.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>

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
        ProgramOptions::parse(app, identity.description);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(identity.name);
    QApplication::setOrganizationName(u"Dashwright"_s);
    QApplication::setApplicationVersion(versionText());
    QApplication::setApplicationDisplayName(identity.displayName);

    ProgramOptions options = ProgramOptions::parse(app, identity.description);

    QString error;
    const QString dataFolder = chooseDataFolder(options.dataDir, &error);
    if (dataFolder.isEmpty() || !QDir::setCurrent(dataFolder)) {
        QMessageBox::critical(nullptr, identity.displayName, error.isEmpty() ? dataFolder : error);
        return 2;
    }

    DemoKeyer demo;
    if (options.demo) {
        if (!demo.start()) {
            QMessageBox::critical(nullptr, identity.displayName, demo.errorString());
            return 2;
        }
        options.port = demo.device();
    }

    SettingsStore settings;
    SerialKeyerPort port;
    const std::unique_ptr<QWidget> window = makeWindow(settings, port, options, [&] {
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
