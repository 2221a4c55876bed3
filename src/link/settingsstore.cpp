#include "settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <limits>

using namespace Qt::StringLiterals;

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             u"Dashwright"_s, u"Dashwright"_s))
{
    keepSecretsPrivate();
}

SettingsStore::SettingsStore(const QString &iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
    keepSecretsPrivate();
}

void SettingsStore::keepSecretsPrivate()
{
    // On Windows the settings are a registry key of the user's own: no file.
    const QString file = m_settings->fileName();
    if (!QFileInfo::exists(file))
        return;
    if (value(u"Settings"_s, u"eQSLPassword"_s, {}).isEmpty())
        return;
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if ((QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser)) != own)
        QFile::setPermissions(file, own);
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::storedKey(const QString &section, const QString &key) const
{
    m_settings->beginGroup(section);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    for (const QString &existing : keys) {
        if (existing.compare(key, Qt::CaseInsensitive) == 0)
            return section + u'/' + existing;
    }
    return section + u'/' + key;
}

QString SettingsStore::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_settings->value(storedKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

int SettingsStore::intValue(const QString &section, const QString &key, int defaultValue) const
{
    return decimalValue(value(section, key, QString::number(defaultValue)));
}

void SettingsStore::setValue(const QString &section, const QString &key, const QString &v)
{
    m_settings->setValue(storedKey(section, key), v);
}

void SettingsStore::setValue(const QString &section, const QString &key, int v)
{
    setValue(section, key, QString::number(v));
}

void SettingsStore::remove(const QString &section, const QString &key)
{
    m_settings->remove(storedKey(section, key));
}

void SettingsStore::removeSection(const QString &section)
{
    m_settings->remove(section);
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

int decimalValue(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            break;
    }
    value = qMin<qint64>(value, std::numeric_limits<int>::max());
    return int(negative ? -value : value);
}
