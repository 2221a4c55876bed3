#include "ctydatreader.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int HeaderFields = 8;

// The prefix without its overrides: (CQ zone) [ITU zone] <lat/long>
// {continent} ~UTC offset~.
QString barePrefix(const QString &item)
{
    qsizetype end = item.size();
    for (const QChar mark : {u'(', u'[', u'<', u'{', u'~'}) {
        const qsizetype at = item.indexOf(mark);
        if (at >= 0)
            end = std::min(end, at);
    }
    return item.left(end).trimmed().toUpper();
}

} // namespace

CtyDatConversion convertCtyDat(const QString &ctyText)
{
    CtyDatConversion result;
    QHash<QString, QString> owner; // prefix -> entity that has it
    QList<CountryEntry> entries;

    qsizetype pos = 0;
    const qsizetype n = ctyText.size();
    while (pos < n) {
        QStringList header;
        qsizetype at = pos;
        while (header.size() < HeaderFields) {
            const qsizetype colon = ctyText.indexOf(u':', at);
            if (colon < 0)
                break;
            header.append(ctyText.mid(at, colon - at).trimmed());
            at = colon + 1;
        }
        if (header.size() < HeaderFields)
            break;
        const qsizetype semicolon = ctyText.indexOf(u';', at);
        const qsizetype listEnd = semicolon < 0 ? n : semicolon;
        const QString list = ctyText.mid(at, listEnd - at);
        pos = listEnd + 1;

        const QString name = header.at(0).simplified().left(CountryTable::NameLength).trimmed();
        const QString primary = header.at(7);
        if (primary.startsWith(u'*')) {
            ++result.skippedEntities;
            continue;
        }
        ++result.entities;

        QStringList items = list.split(u',');
        items.prepend(primary);
        for (const QString &raw : std::as_const(items)) {
            const QString item = raw.trimmed();
            if (item.isEmpty() || item.startsWith(u'='))
                continue;
            const QString prefix = barePrefix(item);
            if (prefix.contains(u'/'))
                continue; // a primary prefix such as "3D2/c" names no real prefix
            if (!CountryTable::isValidPrefix(prefix)) {
                result.warnings.append(u"%1: prefix %2 skipped (countries.txt takes 1 to 4 letters and digits)"_s
                                           .arg(name, prefix));
                continue;
            }
            const auto known = owner.constFind(prefix);
            if (known != owner.constEnd()) {
                if (*known != name)
                    result.warnings.append(u"%1: prefix %2 skipped (already listed for %3)"_s.arg(name, prefix, *known));
                continue;
            }
            owner.insert(prefix, name);
            entries.append({CountryTable::prefixKey(prefix), name});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const CountryEntry &a, const CountryEntry &b) { return a.prefix < b.prefix; });
    result.entries = entries;
    return result;
}

QString countriesFileText(const QList<CountryEntry> &entries, const QString &source)
{
    QString text = u"; Country prefixes converted from %1\n"
                   "; prefix in columns 1-4, country name from column 6, in ascending order\n"_s.arg(source);
    for (const CountryEntry &entry : entries)
        text += CountryTable::formatLine(entry) + u'\n';
    return text;
}

bool convertCtyDatFile(const QString &ctyPath, const QString &outPath, QString *error, QStringList *warnings)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    QFile in(ctyPath);
    if (!in.open(QIODevice::ReadOnly))
        return fail(u"Cannot read %1: %2"_s.arg(ctyPath, in.errorString()));
    const CtyDatConversion conversion = convertCtyDat(QString::fromUtf8(in.readAll()));
    if (warnings)
        *warnings = conversion.warnings;
    if (conversion.entries.isEmpty())
        return fail(u"%1 holds no country entries"_s.arg(ctyPath));

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(u"Cannot write %1: %2"_s.arg(outPath, out.errorString()));
    out.write(countriesFileText(conversion.entries, QFileInfo(ctyPath).fileName()).toUtf8());
    if (!out.commit())
        return fail(u"Cannot write %1: %2"_s.arg(outPath, out.errorString()));
    return true;
}
