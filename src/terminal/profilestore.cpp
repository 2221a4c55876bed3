#include "profilestore.h"

#include "keyererror.h"
#include "settingsstore.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString SmartTextSection = u"SmartText"_s;

// "<" opens a record of the profile load: the keyer must never find one
// inside a value, however the text came in (typed, pasted, imported).
QString withoutRecordOpener(QString text)
{
    return text.remove(u'<');
}

QString stored(const QString &text)
{
    return withoutRecordOpener(text.trimmed().toUpper());
}

} // namespace

QString ProfileStore::section(int profile)
{
    return u"PROFILE"_s + numberText(profile);
}

const QStringList &ProfileStore::fieldKeys()
{
    static const QStringList keys{u"DESCRIPTION"_s, u"CALL1"_s, u"OPER1"_s, u"NAME1"_s, u"QTH_1"_s,
                                  u"CALL2"_s,       u"OPER2"_s, u"NAME2"_s, u"QTH_2"_s};
    return keys;
}

QString ProfileStore::messageKey(int set, int number)
{
    return u"MSG%1%2"_s.arg(set).arg(number);
}

int ProfileStore::missingCall(const QString &call1, const QString &call2)
{
    const bool has1 = !call1.trimmed().isEmpty();
    const bool has2 = !call2.trimmed().isEmpty();
    if (has1 == has2)
        return 0;
    return has1 ? 2 : 1;
}

bool ProfileStore::validCall(const QString &call)
{
    return std::all_of(call.begin(), call.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/';
    });
}

QString ProfileStore::value(int profile, const QString &key) const
{
    return m_store.value(section(profile), key, {});
}

void ProfileStore::setValue(int profile, const QString &key, const QString &value)
{
    m_store.setValue(section(profile), key, withoutRecordOpener(value));
}

void ProfileStore::setMessage(int profile, int set, int number, const QString &text)
{
    const QString key = messageKey(set, number);
    if (stored(text).isEmpty())
        m_store.remove(section(profile), key);
    else
        m_store.setValue(section(profile), key, stored(text));
}

QString ProfileStore::message(int profile, int set, int number) const
{
    return value(profile, messageKey(set, number));
}

void ProfileStore::removeProfile(int profile)
{
    m_store.removeSection(section(profile));
}

QString ProfileStore::smartText(int key) const
{
    return m_store.value(SmartTextSection, u"F"_s + QString::number(key), {});
}

void ProfileStore::setSmartText(int key, const QString &text)
{
    const QString name = u"F"_s + QString::number(key);
    if (stored(text).isEmpty())
        m_store.remove(SmartTextSection, name);
    else
        m_store.setValue(SmartTextSection, name, stored(text));
}

bool ProfileStore::commit()
{
    return m_store.sync();
}

QString ProfileStore::fileName() const
{
    return m_store.fileName();
}
