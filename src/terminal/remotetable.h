#pragma once

#include <QList>
#include <QString>

// The character translation table of remote.txt: pairs of single
// characters, source and replacement, applied in file order.
class TranslationTable
{
public:
    struct Pair
    {
        QChar source;
        QString replacement; // one character, or empty to drop the source
    };

    static QString fileName() { return QStringLiteral("remote.txt"); }

    // Replaces the table with the pairs of the file (a missing file leaves
    // it empty). One pair per line, two comma-separated fields, each may be
    // quoted ("," or " " need quotes); a pair whose source is blank, and a
    // line without two fields, is ignored.
    void load(const QString &path);
    void loadText(const QString &text);

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
