#include "settingstransfer.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The store's own file as QSettings reads it: an INI file here (and in the
// tests everywhere), the registry key on Windows.
QSettings::Format formatOf(const QString &storeFile)
{
    return QFileInfo::exists(storeFile) ? QSettings::IniFormat : QSettings::NativeFormat;
}

bool copySettings(QSettings &from, QSettings &to)
{
    to.clear();
    const QStringList keys = from.allKeys();
    for (const QString &key : keys)
        to.setValue(key, from.value(key));
    to.sync();
    return to.status() == QSettings::NoError;
}

} // namespace

bool SettingsTransfer::exportTo(const QString &file, QString *error)
{
    m_store.sync();
    QFile::remove(file);
    QSettings from(m_store.fileName(), formatOf(m_store.fileName()));
    // Where no secret store runs, the eQSL password is among the settings:
    // the copy is then made readable only by the user before it is written
    // (a rewrite keeps a file's permissions).
    const QStringList keys = from.allKeys();
    if (std::any_of(keys.begin(), keys.end(),
                    [](const QString &key) { return key.endsWith(u"/eQSLPassword"_s, Qt::CaseInsensitive); })) {
        QFile create(file);
        if (!create.open(QIODevice::WriteOnly) || !create.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
            *error = u"The settings could not be written to %1"_s.arg(QDir::toNativeSeparators(file));
            return false;
        }
    }
    QSettings to(file, QSettings::IniFormat);
    if (!copySettings(from, to) || !QFile::exists(file)) {
        *error = u"The settings could not be written to %1"_s.arg(QDir::toNativeSeparators(file));
        return false;
    }
    return true;
}

const QStringList &SettingsTransfer::guardedKeys()
{
    static const QStringList keys = {u"FirmwareLoader"_s, u"CallLookup"_s,   u"LotW"_s,
                                     u"eQSLLoader"_s,     u"DownloadServer"_s, u"DownloadCertificates"_s};
    return keys;
}

QString SettingsTransfer::backupName(const QString &folder, const QDateTime &utc)
{
    const QString stamp = utc.toUTC().toString(u"yyMMddHHmmss"_s);
    QString name = QDir(folder).filePath(u"krv-previous-%1.reg"_s.arg(stamp));
    for (int i = 2; QFileInfo::exists(name); ++i)
        name = QDir(folder).filePath(u"krv-previous-%1-%2.reg"_s.arg(stamp).arg(i));
    return name;
}

QStringList SettingsTransfer::guardedChanges(const QString &file) const
{
    QSettings from(file, QSettings::IniFormat);
    QStringList changes;
    const QStringList keys = from.allKeys();
    for (const QString &guarded : guardedKeys()) {
        for (const QString &key : keys) {
            if (key.compare(u"Settings/"_s + guarded, Qt::CaseInsensitive) != 0)
                continue;
            const QString value = from.value(key).toString();
            if (value != m_store.setting(guarded, {}))
                changes << guarded + u" = "_s + value;
        }
    }
    return changes;
}

bool SettingsTransfer::importFrom(const QString &file, const QString &backupFile, bool takeGuarded, QString *error)
{
    QSettings from(file, QSettings::IniFormat);
    if (!QFile::exists(file) || from.status() != QSettings::NoError || !from.childGroups().contains(u"Settings"_s)) {
        *error = u"%1 holds no Dashwright settings; nothing was changed."_s.arg(QDir::toNativeSeparators(file));
        return false;
    }
    // The settings replaced are safe before the first is written.
    if (QFileInfo(backupFile).absoluteFilePath() == QFileInfo(file).absoluteFilePath()) {
        *error = u"The current settings cannot be kept in the file imported; nothing was changed."_s;
        return false;
    }
    if (!exportTo(backupFile, error))
        return false;
    QHash<QString, QString> kept;
    for (const QString &guarded : guardedKeys()) {
        if (!takeGuarded)
            kept.insert(guarded, m_store.setting(guarded, {}));
    }
    QSettings to(m_store.fileName(), formatOf(m_store.fileName()));
    bool copied = copySettings(from, to);
    if (copied && !takeGuarded) {
        for (const QString &guarded : guardedKeys()) {
            for (const QString &key : to.allKeys()) {
                if (key.compare(u"Settings/"_s + guarded, Qt::CaseInsensitive) == 0)
                    to.remove(key);
            }
            if (!kept.value(guarded).isEmpty())
                to.setValue(u"Settings/"_s + guarded, kept.value(guarded));
        }
        to.sync();
        copied = to.status() == QSettings::NoError;
    }
    m_store.keepSecretsPrivate();
    if (!copied) {
        *error = u"The settings could not be imported; the previous ones are in %1"_s.arg(QDir::toNativeSeparators(backupFile));
        return false;
    }
    return true;
}
