#pragma once

#include "adifconverter.h"
#include "configrecord.h"
#include "logtransfer.h"

#include <QDateTime>
#include <QString>

#include <functional>

class KeyerLink;

// What the Logbook tab's transfers need of the window: the operator's
// answers, the tab's progress bar and file lists, and the keyer's
// configuration as the event stream applies it.
class LogbookHost
{
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~LogbookHost() = default;

    virtual void tell(Icon icon, const QString &text) = 0;
    // Yes/No with a warning icon, No preselected; true for Yes.
    virtual bool confirm(const QString &question) = 0;

    // The manager's copy of the keyer's configuration.
    virtual ConfigRecord &record() = 0;
    // Sends record() to the keyer; false when the keyer did not take it
    // (the operator has been told).
    virtual bool sendConfiguration() = 0;
    // Reads the keyer's configuration (command "S") and waits until the
    // event stream has applied it; false when it did not come.
    virtual bool readConfiguration() = 0;
    // The block the keyer shows by itself after a load: forgets one seen
    // before; then waits for the next.
    virtual void expectConfiguration() = 0;
    virtual bool awaitConfiguration(int milliseconds) = 0;
    // A key of the profile loaded in the keyer ("CALL1", "OPER2"): the
    // configuration's profile, never the one the Users tab shows.
    virtual QString profileValue(const QString &key) const = 0;

    // While a transfer runs the logbook buttons and the tab labels rest.
    virtual void setTransferRunning(bool running) = 0;
    virtual void showProgress(qint64 value, qint64 maximum) = 0;
    // A file came into or left LogFiles (adif false) or ADIF (adif true).
    virtual void fileAdded(bool adif, const QString &name) = 0;
    virtual void fileRemoved(bool adif, const QString &name) = 0;
    virtual QDateTime utcNow() const { return QDateTime::currentDateTimeUtc(); }
};

// The Logbook tab's flows against the keyer and the data folder: Save Log,
// Restore and Append, Set QSO Count, the ADIF and list exports, the ADIF
// import and deleting files. Nothing the keyer holds is given up before a
// copy of it is safe: a file to be loaded is checked whole before the
// keyer is touched, and the keyer's log is saved to Backup before it is
// replaced or cut.
class LogbookController
{
public:
    static constexpr int KeyerCapacity = 12000;
    static constexpr int BackupsKept = 20;
    static QString logFolder() { return QStringLiteral("LogFiles"); }
    static QString adifFolder() { return QStringLiteral("ADIF"); }
    static QString backupFolder() { return QStringLiteral("Backup"); }
    static QString importFile() { return QStringLiteral("~adifimport.krv"); }

    LogbookController(KeyerLink &link, LogbookHost &host);

    bool running() const { return m_running; }
    // The Cancel button: ends the running wait, drops pending output.
    void cancel();

    void saveLog();
    void restoreLog(const QString &name, bool append);
    // False when the text is no count from 0 to 12000 (the window beeps).
    bool setQsoCount(const QString &text);
    // Moves the file to the desktop's trash where there is one.
    void deleteFile(bool adif, const QString &name);

    struct ExportChoice
    {
        bool onlyActiveUser = false;
        bool reverse = false;
    };
    // "A" ADIF or "X" list from the start record; false when the start
    // record is refused (the window puts the focus back in its box).
    bool exportLog(char letter, const QString &startText, const ExportChoice &choice);
    void importAdif(const QString &path, AdifImportOptions options,
                    const std::function<void(qint64 done, qint64 total)> &progress);

    // Saves the keyer's whole log into Backup under a new name and keeps
    // the newest BackupsKept there. The path of the copy, or empty with
    // *error set; an empty log needs no copy (empty path, no error).
    QString backUpKeyerLog(QString *error);
    // The incomplete saves left in LogFiles (".partial"), for the tab to show.
    static QStringList partialFiles();

private:
    class Running;
    struct SaveResult
    {
        LogTransferResult transfer;
        QString error; // the file could not be written
    };
    // The keyer's log into path, through a partial file promoted only once
    // it is whole.
    SaveResult saveKeyerLog(LogTransfer &transfer, const QString &path);
    // After a load that did not end cleanly: what the keyer holds now.
    QString keyerNowHolds();
    void reportFailure(LogTransfer &transfer, const LogTransferResult &result, QChar letter,
                       const QString &incomplete, const QString &after = {});

    KeyerLink &m_link;
    LogbookHost &m_host;
    bool m_running = false;
};
