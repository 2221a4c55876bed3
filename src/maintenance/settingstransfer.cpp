#include "settingstransfer.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool SettingsTransfer::importFrom(const QString &file, const QString &backupFile, QString *error)
{
    QSettings from(file, QSettings::IniFormat);
    if (!QFile::exists(file) || from.status() != QSettings::NoError || !from.childGroups().contains(u"Settings"_s)) {
        *error = u"%1 holds no Dashwright settings; nothing was changed."_s.arg(QDir::toNativeSeparators(file));
        return false;
    }
    if (!exportTo(backupFile, error))
        return false;
    QSettings to(m_store.fileName(), formatOf(m_store.fileName()));
    if (!copySettings(from, to)) {
        *error = u"The settings could not be imported; the previous ones are in %1"_s.arg(QDir::toNativeSeparators(backupFile));
        return false;
    }
    return true;
}
