#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated keyer program on a pseudo-terminal, for tests: its device,
// its control input and its journal of what it received.
class SimProcess
{
public:
    ~SimProcess();

    static QString programPath();

    // Starts dashwright-sim with the arguments and waits for its device.
    bool start(const QStringList &arguments = {});
    QString device() const { return m_device; }
    // One control line ("key CQ", "knob 25", "vanish" ...).
    void control(const QString &line);
    // Journal lines so far (the device line excluded).
    QStringList journal();
    // Waits until a journal line starts with prefix; counts from index from.
    bool waitForJournal(const QString &prefix, int timeoutMs = 10000, int from = 0);
    qint64 processId() const { return m_process.processId(); }
    void stop();

private:
    QProcess m_process;
    QString m_device;
    QStringList m_journal;
    QByteArray m_partial;
};
