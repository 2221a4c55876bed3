#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The student's scores, one line a session, in "copyhistory.csv" of the
// data folder: date and time, lesson, characters sent, errors, error per
// cent. The file is only ever replaced whole (written beside and renamed),
// so a crash while scoring never costs the earlier sessions.
class CopyHistory
{
public:
    struct Session
    {
        QDateTime when;
        QString lesson;
        qsizetype characters = 0;
        qsizetype errors = 0;
        double errorPercent = 0.0;
        bool operator==(const Session &) const = default;
    };

    static QString fileName();
    static QByteArray header();
    static QByteArray line(const Session &session);
    // Lines that are not a session (the header, a damaged line) are skipped.
    static QList<Session> parse(QByteArrayView text);
    static QList<Session> read(const QString &path);
    // The file with the session added at its end; error text or empty.
    static QString append(const QString &path, const Session &session);
    static QList<Session> ofLesson(const QList<Session> &sessions, const QString &lesson);
};
