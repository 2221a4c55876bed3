#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One line of countries.txt: the prefix blank-padded to four characters.
struct CountryEntry
{
    QString prefix;
    QString name;
};

// The country prefixes, sorted by prefix and searched by binary search.
// The country of a call is the one of its longest listed prefix.
class CountryTable
{
public:
    static constexpr int PrefixLength = 4;
    static constexpr int NameLength = 40;
    static QString fileName() { return QStringLiteral("countries.txt"); }
    static QString deletedLogEntry() { return QStringLiteral("Deleted Log Entry"); }

    // Replaces the table with the lines of the file (a missing file leaves
    // it empty). Returns the order and prefix errors for the operator, one
    // message per rejected line; loading goes on after each.
    QStringList load(const QString &path);
    QStringList loadText(const QString &text);

    // Country for a call as the QSO panel shows it; empty when the call is
    // not looked up or no prefix matches.
    QString country(const QString &call) const;
    // Exact search for one prefix (up to four characters).
    QString countryOfPrefix(const QString &prefix) const;

    const QList<CountryEntry> &entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // The key a prefix is sorted and searched by: upper case, blank-padded.
    static QString prefixKey(const QString &prefix);
    // Letters and digits only, one to four of them.
    static bool isValidPrefix(const QString &prefix);
    // countries.txt line for an entry: prefix in columns 1-4, name from 6.
    static QString formatLine(const CountryEntry &entry);

private:
    QStringList loadLines(const QStringList &lines);

    QList<CountryEntry> m_entries;
};

// The call as both look-ups see it: trimmed, upper case; empty when the
// call is not looked up (two characters or fewer, or not starting with a
// letter or digit).
QString lookupCall(const QString &call);

// Copies the countries.txt shipped beside the programs into the data
// folder when that has none. True when the data folder has one afterwards.
bool installDefaultCountries(const QString &dataFolder);
bool installDefaultCountries(const QString &dataFolder, const QString &programFolder);
