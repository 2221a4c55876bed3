#pragma once

#include <QString>

class SettingsStore;

// The eQSL user ID and password. The user ID is a plain setting
// (eQSLUser); the password is kept in the desktop's secret store. Where no
// secret store runs (or the program was built without one), it is kept in
// the settings file (eQSLPassword), which is then made readable only by the
// user, and keeper() says so.
class EqslAccount
{
public:
    enum class Keeper { SecretStore, SettingsFile };

    explicit EqslAccount(SettingsStore *settings);

    QString user() const;
    QString password();
    // Stores both; false with *error when the password could not be kept
    // (the secret store refused it, or the settings file could not be made
    // private). The password is never part of *error.
    bool save(const QString &user, const QString &password, QString *error);

    Keeper keeper();
    // One sentence for the account dialog: where the password is kept.
    QString keeperText();

private:
    void probe();
    bool keepInSettingsFile(const QString &password, QString *error);

    SettingsStore *m_settings;
    bool m_probed = false;
    Keeper m_keeper = Keeper::SettingsFile;
    QString m_password;
};
