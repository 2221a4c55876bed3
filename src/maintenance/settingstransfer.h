#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class SettingsStore;

// Export and import of all "Dashwright" settings as one INI text file
// ("krv.reg" in the data folder), to move them to another computer or
// keep them safe.
class SettingsTransfer
{
public:
    explicit SettingsTransfer(SettingsStore &store) : m_store(store) {}

    // Settings (section "Settings") that name a program to start or a
    // server to trust: a file from someone else must not change them unseen.
    static const QStringList &guardedKeys();
    // Where the settings an import replaces go: a name of its own in
    // folder ("krv-previous-YYMMDDHHMMSS.reg"), never the file imported
    // nor an earlier copy.
    static QString backupName(const QString &folder, const QDateTime &utc);

    // Writes every setting into file, replacing it. False with *error set.
    bool exportTo(const QString &file, QString *error);
    // The guarded settings that importing file would change, as
    // "Key = new value" lines (empty when none).
    QStringList guardedChanges(const QString &file) const;
    // Replaces the settings by those of file, after writing the current
    // ones to backupFile. Without takeGuarded the guarded settings keep
    // their current values. A file that is not a settings export (no
    // "Settings" section) changes nothing. False with *error set.
    bool importFrom(const QString &file, const QString &backupFile, bool takeGuarded, QString *error);

private:
    SettingsStore &m_store;
};
