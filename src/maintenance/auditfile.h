#pragma once

#include <QDateTime>
#include <QString>

// The monitor's audit files in ./Audit. The manager keeps one a year
// ("krv" + year + ".txt"), the trainer one a save ("krt" + yymmddhhMMss +
// ".txt"). Each save appends an empty line, "[" + the UTC caption + "]:",
// and the monitor text.
namespace AuditFile {

QString fileName(const QString &prefix, int year);
// prefix + the time as yymmddhhMMss + ".txt"
QString timestampedName(const QString &prefix, const QDateTime &time);

// Appends one record; returns an error text or an empty string. Does
// nothing (and succeeds) for a monitor of fewer than 2 characters.
QString append(const QString &folder, const QString &prefix, int year, const QString &utcCaption,
               const QString &monitorText);
// The same into a file of the given name in folder.
QString appendTo(const QString &folder, const QString &name, const QString &utcCaption,
                 const QString &monitorText);

} // namespace AuditFile
