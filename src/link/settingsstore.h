#pragma once

#include <QString>
#include <memory>

class QSettings;

// Per-user settings of application "Dashwright": text values addressed by
// section and key, read with a default. Key names are compared without
// regard to case, so "Baudrate" and "BaudRate" are one key; a write keeps
// the spelling already stored.
class SettingsStore
{
public:
    // The platform's per-user store (an INI file under the user's config
    // folder on Linux, the registry on Windows).
    SettingsStore();
    // A store in the given INI file; tests use a temporary one.
    explicit SettingsStore(const QString &iniPath);
    ~SettingsStore();

    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal conversion of the stored text; text that is not a number reads as 0.
    int intValue(const QString &section, const QString &key, int defaultValue) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void setValue(const QString &section, const QString &key, int value);
    void remove(const QString &section, const QString &key);
    // Removes the section with every key in it.
    void removeSection(const QString &section);
    // Writes pending changes; false when the file could not be written
    // (the values stay readable in this run all the same).
    bool sync();

    // Shorthands for section "Settings".
    QString setting(const QString &key, const QString &defaultValue) const { return value(QStringLiteral("Settings"), key, defaultValue); }
    int intSetting(const QString &key, int defaultValue) const { return intValue(QStringLiteral("Settings"), key, defaultValue); }
    void setSetting(const QString &key, const QString &v) { setValue(QStringLiteral("Settings"), key, v); }
    void setSetting(const QString &key, int v) { setValue(QStringLiteral("Settings"), key, v); }

    QString fileName() const;
    // Makes the file readable and writable by the user alone when it holds
    // a secret (the eQSL password, where no secret store runs). Run at
    // start-up and after every write that may bring one (an import).
    void keepSecretsPrivate();

private:
    QString storedKey(const QString &section, const QString &key) const;

    std::unique_ptr<QSettings> m_settings;
};

// The leading decimal number of a text, as the settings reader converts:
// blanks skipped, an optional sign, digits up to the first other character.
int decimalValue(const QString &text);
