#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// The keyer's profile memory and its load. After the acknowledged command
// "L" the host sends records "<" key ">" value CR; the keyer takes them
// until the line falls quiet, keeps them in place of the profile it held
// and answers byte 3. A stop byte (18) abandons the load.
class SimulatedProfile : public QObject
{
    Q_OBJECT
public:
    // How the keyer meets a load: as it should, taking the records without
    // ever answering, or refusing the command.
    enum class Answer { Normal, Silent, Refuse };

    explicit SimulatedProfile(QObject *parent = nullptr);

    void setAnswer(Answer answer) { m_answer = answer; }
    Answer answer() const { return m_answer; }
    // How long the line stays quiet before the load counts as complete.
    void setQuietTime(int milliseconds) { m_quiet.setInterval(milliseconds); }

    bool isLoading() const { return m_loading; }
    // The command was acknowledged; the records follow.
    void begin();
    // Takes the bytes of the load from the front of input, up to and with
    // a stop byte; what follows the stop byte is left for the keyer.
    void take(QByteArray &input);
    // The keyer was switched off: a load under way is lost.
    void abandon();

    // The records of the last complete load, without their CR.
    const QList<QByteArray> &records() const { return m_records; }
    // The records to the journal again, then "profile held" and their count.
    void journalRecords();

signals:
    void journal(const QString &line);
    // The load is complete and the keyer answers (byte 3).
    void loaded();

private:
    void finish();
    static QString readable(const QByteArray &record);

    Answer m_answer = Answer::Normal;
    bool m_loading = false;
    bool m_received = false;
    QByteArray m_pending;
    QList<QByteArray> m_incoming;
    QList<QByteArray> m_records;
    QTimer m_quiet;
};
