#pragma once

#include "configuration.h"
#include "serialkeyerport.h"
#include "settingsstore.h"
#include "simprocess.h"

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct Shown
{
    QMessageBox::Icon icon;
    QString text;
};

// The manager's window, offscreen, against the simulated keyer on a
// pseudo-terminal: one keyer, one window, one temporary data folder.
class Station
{
public:
    explicit Station(const QStringList &simArguments = {})
    {
        QVERIFY(dataDir.isValid());
        QDir::setCurrent(dataDir.path());
        settings = std::make_unique<SettingsStore>(dataDir.filePath(QStringLiteral("settings.ini")));
        simStarted = sim.start(simArguments);
    }

    // Builds the window and runs start-up until it has an outcome; the
    // link's waits run at the given fraction of their length.
    void startWindow(int timeoutMs = 20000, double waitScale = 1.0, const PortTable &table = {})
    {
        window = std::make_unique<Configuration>(settings.get(), &port, options);
        window->link().setWaitScale(waitScale);
        window->setPortTable(table.count() > 0 ? table : PortTable({sim.device()}));
        window->setMessageHook([this](QMessageBox::Icon icon, const QString &text, QMessageBox::StandardButtons,
                                      QMessageBox::StandardButton) {
            messages.append({icon, text});
            return answer;
        });
        window->setHandOver([this] {
            ++handOvers;
            return true;
        });
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(window->startupResult() != Configuration::StartupResult::NotRun
                                     && (window->startupResult() != Configuration::StartupResult::Ready
                                         || sim.waitForJournal(QStringLiteral("clock"), 0)),
                                 timeoutMs);
    }

    // Start-up without the monthly update reminder, on the tab given (1 Terminal).
    void settleOn(int screen)
    {
        const QDate today = QDate::currentDate();
        settings->setSetting(QStringLiteral("LastUpdate"), today.year() * 100 + today.month());
        settings->setSetting(QStringLiteral("KRVLastScreen"), screen);
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Shown &shown : messages)
            result << shown.text;
        return result;
    }

    template<typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }

    QTemporaryDir dataDir;
    std::unique_ptr<SettingsStore> settings;
    SimProcess sim;
    bool simStarted = false;
    SerialKeyerPort port;
    ProgramOptions options;
    std::unique_ptr<Configuration> window;
    QList<Shown> messages;
    // What the operator answers to every message box.
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    int handOvers = 0;
};

