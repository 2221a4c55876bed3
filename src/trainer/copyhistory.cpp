#include "copyhistory.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

const QString TimeFormat = u"yyyy-MM-dd HH:mm:ss"_s;
constexpr int Fields = 5;

// The lesson is a name of the program's; a comma in it would split it.
QString field(QString text)
{
    return text.replace(u',', u';').replace(u'\n', u' ').replace(u'\r', u' ');
}

} // namespace

QString CopyHistory::fileName()
{
    return u"copyhistory.csv"_s;
}

QByteArray CopyHistory::header()
{
    return "date,lesson,characters,errors,error_percent\n"_ba;
}

QByteArray CopyHistory::line(const Session &s)
{
    const QStringList fields{s.when.toString(TimeFormat), field(s.lesson), QString::number(s.characters),
                             QString::number(s.errors), QString::number(s.errorPercent, 'f', 1)};
    return (fields.join(u',') + u'\n').toUtf8();
}

QList<CopyHistory::Session> CopyHistory::parse(QByteArrayView text)
{
    QList<Session> sessions;
    for (const QString &raw : QString::fromUtf8(text).split(u'\n')) {
        const QStringList f = raw.trimmed().split(u',');
        if (f.size() != Fields)
            continue;
        bool charactersOk = false, errorsOk = false, percentOk = false;
        Session s{QDateTime::fromString(f[0], TimeFormat), f[1], f[2].toLongLong(&charactersOk),
                  f[3].toLongLong(&errorsOk), f[4].toDouble(&percentOk)};
        if (s.when.isValid() && charactersOk && errorsOk && percentOk)
            sessions.append(s);
    }
    return sessions;
}

QList<CopyHistory::Session> CopyHistory::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

QString CopyHistory::append(const QString &path, const Session &session)
{
    QByteArray text;
    if (QFile old(path); old.exists()) {
        // Sessions that cannot be read are not written over.
        if (!old.open(QIODevice::ReadOnly))
            return u"%1: %2"_s.arg(path, old.errorString());
        text = old.readAll();
    }
    if (text.isEmpty())
        text = header();
    else if (!text.endsWith('\n'))
        text += '\n';
    text += line(session);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return u"%1: %2"_s.arg(path, file.errorString());
    return {};
}

QList<CopyHistory::Session> CopyHistory::ofLesson(const QList<Session> &sessions, const QString &lesson)
{
    QList<Session> found;
    const QString wanted = field(lesson);
    for (const Session &s : sessions) {
        if (s.lesson == wanted)
            found.append(s);
    }
    return found;
}
