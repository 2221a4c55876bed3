#pragma once

#include <QString>

class SettingsStore;

// Export and import of all "Dashwright" settings as one INI text file
// ("krv.reg" in the data folder), to move them to another computer or
// keep them safe.
class SettingsTransfer
{
public:
    explicit SettingsTransfer(SettingsStore &store) : m_store(store) {}

    // Writes every setting into file, replacing it. False with *error set.
    bool exportTo(const QString &file, QString *error);
    // Replaces the settings by those of file, after writing the current
    // ones to backupFile. A file that is not a settings export (no
    // "Settings" section) changes nothing. False with *error set.
    bool importFrom(const QString &file, const QString &backupFile, QString *error);

private:
    SettingsStore &m_store;
};
