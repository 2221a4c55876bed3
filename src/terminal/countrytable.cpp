#include "countrytable.h"

#include "lookupfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

} // namespace

QString CountryTable::prefixKey(const QString &prefix)
{
    return prefix.toUpper().left(PrefixLength).leftJustified(PrefixLength, u' ');
}

bool CountryTable::isValidPrefix(const QString &prefix)
{
    if (prefix.isEmpty() || prefix.size() > PrefixLength)
        return false;
    return std::all_of(prefix.begin(), prefix.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    });
}

QString CountryTable::formatLine(const CountryEntry &entry)
{
    return prefixKey(entry.prefix) + u' ' + entry.name.left(NameLength);
}

QStringList CountryTable::load(const QString &path)
{
    return loadText(LookupFile::read(path));
}

QStringList CountryTable::loadText(const QString &text)
{
    return loadLines(text.split(u'\n'));
}

QStringList CountryTable::loadLines(const QStringList &lines)
{
    QStringList messages;
    m_entries.clear();
    QString previous;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.size() <= 6 || line.startsWith(u';'))
            continue;
        const QString prefix = line.left(PrefixLength).toUpper().trimmed();
        const QString key = prefixKey(prefix);
        if (!previous.isEmpty() && key <= previous) {
            messages.append(u"Sequence error in countries.txt at "_s + prefix);
            continue;
        }
        // Column 5 separates the prefix from the name: a prefix that runs
        // into it, or one with blanks or signs in it, is a malformed line.
        if (!isValidPrefix(prefix) || line.at(PrefixLength) != u' ') {
            messages.append(u"Country prefix error in countries.txt at "_s + prefix);
            continue;
        }
        m_entries.append({key, line.mid(PrefixLength + 1).trimmed().left(NameLength)});
        previous = key;
    }
    return messages;
}

QString CountryTable::countryOfPrefix(const QString &prefix) const
{
    const QString key = prefixKey(prefix);
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                     [](const CountryEntry &e, const QString &k) { return e.prefix < k; });
    if (it != m_entries.end() && it->prefix == key)
        return it->name;
    return {};
}

QString CountryTable::country(const QString &call) const
{
    if (call.trimmed().startsWith(u'-'))
        return deletedLogEntry();
    const QString normalized = lookupCall(call);
    if (normalized.isEmpty())
        return {};
    // "DL/G3XYZ": the part before the stroke is the prefix that counts.
    QString prefix = (normalized.size() == 3 ? normalized + u' ' : normalized).left(PrefixLength);
    const qsizetype stroke = prefix.indexOf(u'/');
    if (stroke >= 0)
        prefix.truncate(stroke);
    for (qsizetype length = prefix.size(); length >= 1; --length) {
        const QString name = countryOfPrefix(prefix.left(length));
        if (!name.isEmpty())
            return name;
    }
    return {};
}

QString lookupCall(const QString &call)
{
    const QString normalized = call.trimmed().toUpper();
    if (normalized.size() <= 2 || !isAsciiLetterOrDigit(normalized.at(0)))
        return {};
    return normalized;
}

bool installDefaultCountries(const QString &dataFolder)
{
    // Beside the program in the build tree and a portable install; in
    // ../share/dashwright when installed from the package.
    const QDir programs(QCoreApplication::applicationDirPath());
    const bool beside = QFileInfo::exists(programs.filePath(CountryTable::fileName()));
    return installDefaultCountries(dataFolder, beside ? programs.path()
                                                      : programs.filePath(u"../share/dashwright"_s));
}

bool installDefaultCountries(const QString &dataFolder, const QString &programFolder)
{
    const QString target = QDir(dataFolder).filePath(CountryTable::fileName());
    if (QFileInfo::exists(target))
        return true;
    const QString shipped = QDir(programFolder).filePath(CountryTable::fileName());
    if (!QFile::copy(shipped, target))
        return false;
    // A copy from a read-only installation stays editable for the operator.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    return true;
}
