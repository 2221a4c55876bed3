#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The message set as the trainer keyer takes it after command "L": every
// present message in ascending number, each but message 00 behind its
// header "<" + two digits + ">", each body ending at its first NUL (a NUL
// added when the file holds none), and one more NUL for the end of the set.
class MessageLoad
{
public:
    // The keyer's message memory; a message takes its length plus its NUL.
    static constexpr qint64 Capacity = 540300;

    struct Survey
    {
        qint64 total = 0;     // the length of every present message plus 1 each
        QList<int> present;   // message numbers, ascending
        qint64 excess() const { return total - Capacity; }
    };

    // Looks at the message store in the current folder.
    static Survey survey();
    // The set's total once message number holds length bytes instead of
    // what it holds now: known before a message is written.
    static qint64 totalWith(int number, qint64 length);
    // Header and body of message number as sent for the file's bytes.
    static QByteArray piece(int number, const QByteArray &fileBytes);

    explicit MessageLoad(Survey survey) : m_survey(std::move(survey)) {}

    // The next part of the stream: a present message (a file that vanished
    // since the survey is skipped), then the end of the set; false at the
    // end. Files are read only when their turn comes.
    bool next(QByteArray *part);

private:
    Survey m_survey;
    qsizetype m_position = 0;
    bool m_ended = false;
};
