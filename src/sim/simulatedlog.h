#pragma once

#include "configrecord.h"
#include "logrecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// The keyer's QSO log: the stored records, the QSO in progress and a
// stored record opened for editing. State only; the keyer decides what to
// report and when.
class SimulatedLog
{
public:
    // What the keyer knows of its own state when it records or stores.
    struct Station
    {
        int band = 7;
        bool user2 = false;
        bool contest = false;
        bool ssb = false;
        bool logSearch = true;
        qint32 nextSerial = 1;
        QDateTime now;

        static Station of(const ConfigRecord &config, const QDateTime &now);
    };

    int count() const { return int(m_records.size()); }
    const QList<LogRecord> &records() const { return m_records; }
    // Lowering the count cuts records from the end, as the keyer does when
    // the host sets it; raising it adds placeholder QSOs "QSO1", "QSO2" ...
    void resize(int count, const Station &station);
    // Records as a load from the host or a seeded log brings them.
    void append(const LogRecord &record) { m_records.append(record); }
    void replace(const QList<LogRecord> &records)
    {
        m_records = records;
        m_editIndex = -1;
    }
    // A QSO worked earlier, as it would have been stored.
    void addContact(QByteArrayView call, QByteArrayView name, QByteArrayView qth, const Station &station);
    // The records from a 0-based start on, each followed by CR.
    QByteArray exportFrom(int start) const;

    // The open record: the stored one being edited, else the QSO in progress.
    bool isEditing() const { return m_editIndex >= 0; }
    int editIndex() const { return m_editIndex; }
    // The open record's call; empty while the QSO in progress has none.
    QByteArray call() const;

    void recordCall(QByteArrayView call, const Station &station);
    // Each piece goes to the name first, then to QTH or info, then to the
    // name again.
    void recordPiece(QByteArrayView text);
    void recordReceivedReport(QByteArrayView digits);
    void recordSentReport(QByteArrayView digits);
    void recordReceivedSerial(qint32 serial);
    // The QSO in progress starts afresh, or the edit is abandoned.
    void clear();
    // Stores the QSO in progress as a new record, or writes the edited
    // record back and closes it. The record's 0-based index; -1 when the
    // QSO in progress has no call.
    int store(const Station &station);

    // Opens a stored record for editing; the QSO in progress waits.
    bool edit(int index);
    // The latest record with this call before index, else -1.
    int previousContact(QByteArrayView call, int before) const;
    // A deleted record keeps its place; its call carries a leading "-".
    // False when there was nothing to change.
    bool setDeleted(int index, bool deleted);

    // Payload of the call report for the open record: the call, a middle
    // dot, the information. Just the dot while there is no call.
    QByteArray callReport(const Station &station) const;

private:
    LogRecord &open() { return isEditing() ? m_edited : m_qso; }
    const LogRecord &open() const { return isEditing() ? m_edited : m_qso; }
    int &nextPiece() { return isEditing() ? m_editPiece : m_qsoPiece; }
    // A finished QSO without serial numbers, started and ended now.
    LogRecord makeRecord(QByteArrayView call, const Station &station) const;

    QList<LogRecord> m_records;
    LogRecord m_qso;
    int m_qsoPiece = 0;
    LogRecord m_edited;
    int m_editIndex = -1;
    int m_editPiece = 0;
};
