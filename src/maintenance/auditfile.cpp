#include "auditfile.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace AuditFile {

QString fileName(const QString &prefix, int year)
{
    return prefix + QString::number(year) + u".txt"_s;
}

QString timestampedName(const QString &prefix, const QDateTime &time)
{
    return prefix + time.toString(u"yyMMddhhmmss"_s) + u".txt"_s;
}

QString append(const QString &folder, const QString &prefix, int year, const QString &utcCaption,
               const QString &monitorText)
{
    return appendTo(folder, fileName(prefix, year), utcCaption, monitorText);
}

QString appendTo(const QString &folder, const QString &name, const QString &utcCaption,
                 const QString &monitorText)
{
    if (monitorText.size() < 2)
        return {};
    if (!QDir().mkpath(folder))
        return QFile::tr("The folder %1 cannot be created.").arg(folder);
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return file.errorString();
    QString text = monitorText;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s);
    const QByteArray record = (u"\r\n["_s + utcCaption + u"]:\r\n"_s + text + u"\r\n"_s).toUtf8();
    if (file.write(record) != record.size() || !file.flush())
        return file.errorString();
    return {};
}

} // namespace AuditFile
