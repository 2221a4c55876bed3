#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The character translation table of remote.txt: pairs of single
// characters, source and replacement, applied in file order.
class TranslationTable
{
public:
    struct Pair
    {
        QChar source;
        QString replacement; // one character
    };

    static QString fileName() { return QStringLiteral("remote.txt"); }

    // Replaces the table with the pairs of the file (a missing file leaves
    // it empty). One pair per line, two comma-separated fields of one
    // character each, each may be quoted ("," or " " need quotes). Blank
    // lines and pairs whose source is blank are skipped; any other line
    // that is not such a pair is ignored and reported, one message per line.
    QStringList load(const QString &path);
    QStringList loadText(const QString &text);

    // The replacement of the first pair whose source equals the whole text;
    // any other text comes back unchanged.
    QString translate(const QString &text) const;

    const QList<Pair> &pairs() const { return m_pairs; }

    // The fields of one line as the field input reads them: unquoted fields
    // trimmed, quoted ones as written.
    static QStringList splitFields(const QString &line);

private:
    QList<Pair> m_pairs;
};
