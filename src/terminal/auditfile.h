#pragma once

#include <QDateTime>
#include <QString>

// The yearly audit files in ./Audit ("krv" + year + ".txt"): each save
// appends an empty line, "[" + the UTC caption + "]:", and the monitor text.
namespace AuditFile {

QString fileName(const QString &prefix, int year);

// Appends one record; returns an error text or an empty string. Does
// nothing (and succeeds) for a monitor of fewer than 2 characters.
QString append(const QString &folder, const QString &prefix, int year, const QString &utcCaption,
               const QString &monitorText);

} // namespace AuditFile
