#pragma once

#include "countrytable.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads the country file format loggers share (cty.dat): per entity a line
// "name: CQ zone: ITU zone: continent: latitude: longitude: UTC offset:
// primary prefix:" and then its prefixes, comma-separated, ending with ";".
// Prefixes of up to four letters and digits become countries.txt entries;
// exact calls ("=..."), the zone and position overrides in brackets, and
// entities outside the DXCC list (primary prefix starting with "*") are
// left out, because countries.txt has no place for them.
struct CtyDatConversion
{
    QList<CountryEntry> entries; // sorted by prefix, each prefix once
    QStringList warnings;        // prefixes that could not be taken
    int entities = 0;            // entities converted
    int skippedEntities = 0;     // entities outside the DXCC list
};

CtyDatConversion convertCtyDat(const QString &ctyText);

// countries.txt text for converted entries, with a comment header.
QString countriesFileText(const QList<CountryEntry> &entries, const QString &source);

// Converts a cty.dat file into a countries.txt file (written whole, then
// put in place). False with *error set when the input cannot be read, holds
// no entity, or the output cannot be written.
bool convertCtyDatFile(const QString &ctyPath, const QString &outPath, QString *error,
                       QStringList *warnings = nullptr);
