// krt, the Dashtutor trainer.

#include "demokeyer.h"
#include "programoptions.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "terminationsignals.h"
#include "trainerwindow.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    ignoreBrokenPipes();
    if (wantsTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationVersion(u"%1.%2.%3"_s.arg(DW_VERSION_MAJOR).arg(DW_VERSION_MINOR).arg(DW_VERSION_REVISION));
        ProgramOptions::parse(app, u"Dashtutor: the trainer for the Dashwright keyer."_s);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"krt"_s);
    QApplication::setOrganizationName(u"Dashwright"_s);
    QApplication::setApplicationVersion(u"%1.%2.%3"_s.arg(DW_VERSION_MAJOR).arg(DW_VERSION_MINOR).arg(DW_VERSION_REVISION));
    QApplication::setApplicationDisplayName(u"Dashtutor"_s);

    ProgramOptions options = ProgramOptions::parse(app, u"Dashtutor: the trainer for the Dashwright keyer."_s);

    QString error;
    const QString dataFolder = chooseDataFolder(options.dataDir, &error);
    if (dataFolder.isEmpty() || !QDir::setCurrent(dataFolder)) {
        QMessageBox::critical(nullptr, u"Dashtutor"_s, error.isEmpty() ? dataFolder : error);
        return 2;
    }
    DemoKeyer demo;
    if (options.demo) {
        if (!demo.start()) {
            QMessageBox::critical(nullptr, u"Dashtutor"_s, demo.errorString());
            return 2;
        }
        options.port = demo.device();
    }

    SettingsStore settings;
    SerialKeyerPort port;
    TrainerWindow window(&settings, &port);
    window.setPortTable(PortTable::discover(options.port));
    window.setHandOver([&] {
        if (!startSibling(u"krv"_s, options.siblingArguments()))
            return false;
        demo.release();
        return true;
    });
    onTerminationSignal([&window] {
        // A message left open must not keep the program from ending.
        while (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            dialog->reject();
            if (QApplication::activeModalWidget() == dialog)
                break;
        }
        window.close();
    });
    window.show();
    return app.exec();
}
