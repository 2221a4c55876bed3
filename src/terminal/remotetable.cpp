#include "remotetable.h"

#include "lookupfile.h"

using namespace Qt::StringLiterals;

QStringList TranslationTable::load(const QString &path)
{
    return loadText(LookupFile::read(path));
}

QStringList TranslationTable::loadText(const QString &text)
{
    QStringList messages;
    m_pairs.clear();
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = splitFields(lines.at(i));
        if (fields.isEmpty() || fields.at(0).isEmpty() || fields.at(0) == u" "_s)
            continue;
        // A longer field is no pair: taking its first character would
        // translate a character the operator never listed.
        if (fields.size() != 2 || fields.at(0).size() != 1 || fields.at(1).size() != 1) {
            messages.append(u"Line %1 of %2 ignored: it must hold two fields of one character each"_s
                                .arg(QString::number(i + 1), fileName()));
            continue;
        }
        m_pairs.append({fields.at(0).at(0), fields.at(1)});
    }
    return messages;
}

QString TranslationTable::translate(const QString &text) const
{
    if (text.size() != 1)
        return text;
    for (const Pair &pair : m_pairs) {
        if (pair.source == text.at(0))
            return pair.replacement;
    }
    return text;
}

QStringList TranslationTable::splitFields(const QString &line)
{
    QStringList fields;
    const QString rest = line.trimmed();
    if (rest.isEmpty())
        return fields;
    qsizetype i = 0;
    const qsizetype n = rest.size();
    for (;;) {
        while (i < n && (rest.at(i) == u' ' || rest.at(i) == u'\t'))
            ++i;
        QString field;
        if (i < n && rest.at(i) == u'"') {
            const qsizetype close = rest.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field = rest.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Anything between the closing quote and the comma is dropped.
            const qsizetype comma = rest.indexOf(u',', i);
            i = comma < 0 ? n : comma;
        } else {
            const qsizetype comma = rest.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            field = rest.mid(i, end - i).trimmed();
            i = end;
        }
        fields.append(field);
        if (i >= n)
            break;
        ++i; // past the comma; a trailing comma leaves an empty field
    }
    return fields;
}
