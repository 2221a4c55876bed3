#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The ten profiles of the station's two operators and the smart texts of
// F2..F12, kept in the settings store: one section "PROFILE n" per profile
// (an absent key reads as empty) and the section "SmartText".
class ProfileStore
{
public:
    static constexpr int Profiles = 10;
    static constexpr int MessageSets = 3; // User 1, User 2, hidden
    static constexpr int MessagesPerSet = 10;

    explicit ProfileStore(SettingsStore &store) : m_store(store) {}

    // "PROFILE 0" .. "PROFILE 9": the number with one blank before it.
    static QString section(int profile);
    // The station keys from DESCRIPTION to QTH_2, in the order of the profile table.
    static const QStringList &fieldKeys();
    // "MSG" + set (1..3) + number (0..9): MSG14 is User 1's message 4.
    static QString messageKey(int set, int number);

    // The calls rule: 0 when both station calls or neither are filled in,
    // else the user (1 or 2) whose call is missing.
    static int missingCall(const QString &call1, const QString &call2);
    // Letters A-Z, digits and "/" only.
    static bool validCall(const QString &call);

    QString value(int profile, const QString &key) const;
    void setValue(int profile, const QString &key, const QString &value);
    // Stored trimmed and upper-cased; an empty message deletes its key.
    void setMessage(int profile, int set, int number, const QString &text);
    QString message(int profile, int set, int number) const;
    void removeProfile(int profile);

    QString smartText(int key) const;
    // Stored trimmed and upper-cased; an empty text deletes the key.
    void setSmartText(int key, const QString &text);

    // Writes what was changed; false when the settings file cannot be
    // written.
    bool commit();
    // Where the settings live, for the message that says they could not be written.
    QString fileName() const;

private:
    SettingsStore &m_store;
};
